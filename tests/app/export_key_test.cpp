// Ctrl+E in the update step: only with Control held when E went down, only
// with a song name, and followed on the status row.
#include "host/key_translation.h"
#include "song/song_file.h"
#include "tests/app/tracker_fixture.h"
#include "tests/support/child_process.h"

#include <unistd.h>

namespace {

class ExportKey : public TrackerFixture {
protected:
    void TearDown() override
    {
        if (!wavPath.empty()) std::remove(wavPath.c_str());
        TrackerFixture::TearDown();
    }

    // The E key as the window sends it with Control: no character comes.
    void pressE()
    {
        game->dispatchKey(eventKeyDown, 'E', heldModifiers);
        game->dispatchKey(eventKeyUp, 'E');
    }

    std::string wavPath;
};

} // namespace

TEST_F(ExportKey, NeedsControlAndASongName)
{
    pressE();
    step();
    EXPECT_EQ(engine->statusText, U"Standby...");

    hold(keyControl);
    pressE();
    release(keyControl);
    step();
    EXPECT_EQ(engine->statusText, U"Export Failed!");
}

TEST_F(ExportKey, RendersBesideTheSongsAndTellsHowItWent)
{
    String name = U"export-key-" + intText(getpid());
    wavPath = narrow(game->resolvePath(songFolder + name + U".wav"));
    engine->songName = name;
    hold(keyControl);
    pressE();
    step();
    release(keyControl);
    EXPECT_EQ(engine->statusText.substr(0, 10), U"Exporting ");
    for (int i = 0; i < 3000 && engine->statusText.substr(0, 10) == U"Exporting "; ++i) {
        usleep(10000);
        step();
    }
    EXPECT_EQ(engine->statusText, U"Exported " + name + U".wav");
    // The blank song: the lead-in and 32 rows of 4 ticks, silent, so no tail;
    // the data chunk comes last, after the tags.
    std::string bytes = readFileBytes(wavPath);
    size_t data = bytes.rfind("data");
    ASSERT_NE(data, std::string::npos);
    EXPECT_EQ(bytes.size() - data - 8, (4u + 32 * 4) * 960 * 4);
    EXPECT_NE(bytes.find(narrow(name)), std::string::npos) << "the title is not in the tags";

    // While playing, the outcome stays in view over the transport's status.
    pressAndStep(keyF1);
    EXPECT_EQ(engine->statusText, U"Exported " + name + U".wav");
}
