// The command-line export of a module: the song libopenmpt's reading of it
// makes, heard at the module's pitches; a module libopenmpt refuses is named
// with status 2 and writes nothing.
#include "tests/export/export_fixture.h"

#include "tests/support/mod_writer.h"
#include "tests/support/signal_analysis.h"

TEST_F(ExportTest, AModuleExportsAtItsPitchesAndABrokenOneIsRefused)
{
    ModDescription module;
    module.samples = {{"lead", sawCycle()}};
    module.patterns = {emptyModPattern(4)};
    module.orders = {0};
    module.patterns[0].at(0, 0) = {12, 1};  // middle C
    module.patterns[0].at(8, 0) = {19, 1};  // the G above
    folder.write("tune.mod", modBytes(module));
    folder.write("broken.it", "IMPM and nothing a module needs");

    ChildProcess& good = run({"--export", "tune.mod", "-o", "tune.wav"});
    ASSERT_EQ(good.exitStatus(), 0) << good.standardError();
    // Speed 6: eight rows are 48 ticks of 960 frames.
    std::vector<float> left = wav("tune.wav").left();
    ASSERT_GT(left.size(), frames48k(96));
    std::vector<float> c = slice(left, frames48k(2), frames48k(46));
    std::vector<float> g = slice(left, frames48k(50), frames48k(94));
    EXPECT_GT(toneAmplitude(c, 48000, 261.63), 3 * toneAmplitude(c, 48000, 392.0));
    EXPECT_GT(toneAmplitude(g, 48000, 392.0), 3 * toneAmplitude(g, 48000, 261.63));

    ChildProcess& broken = run({"--export", "broken.it", "-o", "broken.wav"});
    EXPECT_EQ(broken.exitStatus(), 2);
    EXPECT_NE(broken.standardError().find("broken.it"), std::string::npos) << broken.standardError();
    EXPECT_EQ(files(), (std::vector<std::string> {"broken.it", "tune.mod", "tune.wav"}));
}
