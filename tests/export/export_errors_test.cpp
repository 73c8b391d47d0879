// How the export answers bad input: one clear line on standard error, a
// status that tells the kind of problem, and no file left behind; and a
// damaged song file still exports whatever loads.
#include "tests/export/export_fixture.h"

#include "tests/support/wait.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <tuple>

namespace {

int lineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

} // namespace

TEST_F(ExportTest, AMissingOrEmptySongIsNamedWithStatusTwo)
{
    ChildProcess& missing = run({"--export", "no-such-song", "-o", "out.wav"});
    EXPECT_EQ(missing.exitStatus(), 2);
    EXPECT_NE(missing.standardError().find("no-such-song"), std::string::npos) << missing.standardError();
    EXPECT_EQ(lineCount(missing.standardError()), 1);

    folder.write("empty", "");
    EXPECT_EQ(run({"--export", "empty", "-o", "out.wav"}).exitStatus(), 2);
    EXPECT_NE(process->standardError().find("empty"), std::string::npos);
    // A folder is no song file either.
    EXPECT_EQ(run({"--export", ".", "-o", "out.wav"}).exitStatus(), 2);
    EXPECT_EQ(files(), std::vector<std::string> {"empty"});
}

TEST_F(ExportTest, AnOutputFolderThatDoesNotExistFailsWithStatusOne)
{
    writeSong("tune", testSong());
    ChildProcess& export1 = run({"--export", "tune", "-o", "nowhere/tune.wav", "--stems"});
    EXPECT_EQ(export1.exitStatus(), 1);
    EXPECT_NE(export1.standardError().find("nowhere/tune.wav"), std::string::npos) << export1.standardError();
    EXPECT_EQ(lineCount(export1.standardError()), 1);
    // A file in the way of the name is kept as it was when the export fails.
    folder.write("taken.wav", "mine");
    EXPECT_EQ(run({"--export", "tune", "-o", "taken.wav/x.wav"}).exitStatus(), 1);
    EXPECT_EQ(readFileBytes(path("taken.wav")), "mine");
    EXPECT_EQ(files(), (std::vector<std::string> {"taken.wav", "tune"}));
}

// The disk refusing more (a file size limit makes writes fail for real)
// part-way through, in every format, with stems and in a batch: the earlier
// file of that name stays, nothing else is left.
TEST_F(ExportTest, AWriteThatFailsPartWayKeepsTheEarlierFile)
{
    Song song = testSong();
    putCell(song, 1, 0, U"yF12");
    putCell(song, 2, 0, U"q812");
    writeSong("tune", song);
    auto limitedRun = [&](long blocks, const std::string& args) {
        std::string command = "cd '" + folder.path() + "' && trap '' XFSZ && ulimit -f " + std::to_string(blocks) +
                              " && exec '" + programDirectory() + "/kovo-tracker' --export tune " + args;
        process = std::make_unique<ChildProcess>(std::vector<std::string> {"sh", "-c", command});
        EXPECT_TRUE(process->waitExit(120));
        return process->exitStatus();
    };
    for (const char* extension : {".wav", ".flac", ".ogg", ".opus", ".mp3"}) {
        std::string name = std::string("tune") + extension;
        // Half of what the whole file takes, in the shell's 512-byte blocks.
        ASSERT_EQ(run({"--export", "tune", "-o", name}).exitStatus(), 0) << name;
        long blocks = static_cast<long>(readFileBytes(path(name)).size() / 1024);
        folder.write(name, "the earlier export");
        EXPECT_EQ(limitedRun(blocks, "-o " + name + " --stems"), 1) << name;
        EXPECT_NE(process->standardError().find("cannot write " + name + ": File too large"), std::string::npos)
            << process->standardError();
        EXPECT_EQ(readFileBytes(path(name)), "the earlier export") << name;
        EXPECT_EQ(files(), (std::vector<std::string> {"tune", name})) << name;
        std::remove(path(name).c_str());
    }
    writeSong("other", song);
    mkdir(path("out").c_str(), 0755);
    folder.write("out/tune.ogg", "the earlier export");
    EXPECT_EQ(limitedRun(8, "other -o out/ --format ogg"), 1);
    EXPECT_EQ(readFileBytes(path("out/tune.ogg")), "the earlier export");
    EXPECT_EQ(readFileBytes(path("out/other.ogg")), "");
}

// The export never writes over the song it reads.
TEST_F(ExportTest, AnExportOntoItsOwnSongIsRefused)
{
    std::string bytes = encodeUtf8(songText(testSong()));
    writeSong("tune", testSong());
    EXPECT_EQ(run({"--export", "tune", "-o", "tune"}).exitStatus(), 2);
    EXPECT_NE(process->standardError().find("skipped song file tune"), std::string::npos) << process->standardError();
    EXPECT_EQ(readFileBytes(path("tune")), bytes);
}

// An older libsndfile, built without MP3: one line names the format, and
// nothing is written; the formats it has still work.
TEST_F(ExportTest, AFormatTheLibraryCannotWriteIsNamedWithStatusOne)
{
    writeSong("tune", testSong());
    const std::vector<std::string> olderLibrary = {"LD_PRELOAD=" + programDirectory() + "/libno_mp3_sndfile.so",
                                                   "ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0"};
    EXPECT_EQ(run({"--export", "tune", "-o", "tune.mp3", "--stems"}, olderLibrary).exitStatus(), 1);
    EXPECT_EQ(process->standardError(), "kovo-tracker: this libsndfile cannot write MP3 files\n");
    EXPECT_EQ(files(), std::vector<std::string> {"tune"});
    EXPECT_EQ(run({"--export", "tune", "-o", "tune.flac"}, olderLibrary).exitStatus(), 0) << process->standardError();
}

TEST_F(ExportTest, AnInterruptedExportLeavesNoFile)
{
    Song song = testSong();
    song.speed = 16;
    song.songLengthRows = 99 * rowsPerPattern;
    putCell(song, 1, 0, U"yF12");
    writeSong("long", song);
    ChildProcess slow({programDirectory() + "/kovo-tracker", "--export", path("long"), "-o", path("long.wav"),
                       "--loops", "20", "--stems"});
    struct stat info {};
    ASSERT_TRUE(waitFor([&] { return stat(path("long.wav~exporting").c_str(), &info) == 0 || !slow.running(); }, 60));
    slow.kill(SIGINT);
    ASSERT_TRUE(slow.waitExit(60));
    EXPECT_EQ(slow.exitStatus(), 128 + SIGINT) << slow.standardError();
    EXPECT_EQ(files(), std::vector<std::string> {"long"});
}

TEST_F(ExportTest, BadArgumentsPrintTheUsageWithStatusTwo)
{
    writeSong("tune", testSong());
    const std::vector<std::vector<std::string>> badLines = {
        {"--export", "tune", "--bogus"},     {"--export", "tune", "--loops", "0"},
        {"--export", "tune", "--loops", "-2"}, {"--export", "tune", "--loops", "two"},
        {"--export", "tune", "--loops", "3x"}, {"--export", "tune", "--rate", "22050"},
        {"--export", "tune", "--rate", "-48000"}, {"--export", "tune", "--rate"},
        {"--export"},                        {"--stems"},
        {"-o", "x.wav"},                     {"--export", "tune", "--export", "tune"},
        {"tune", "tune"},                    {"--export", "tune", "--play"},
        {"--export", "tune", "-o", "tune.aiff"}, {"--export", "tune", "-o", "tune.mp4"},
        {"--export", "tune", "--format", "aac"}, {"--export", "tune", "--format"},
        {"--export", "tune", "--quality", "11"}, {"--export", "tune", "--quality", "-1"},
        {"--export", "tune", "-o", "x.opus", "--rate", "44100"}, {"--export", "tune", "tune", "-o", "both.wav"},
        {"--export", "tune", "--jobs", "0"},      {"--export", "tune", "-o", "x.mod", "--stems"},
        {"--export", "tune", "--format", "mid", "--stems"},
    };
    for (const std::vector<std::string>& line : badLines) {
        ChildProcess& bad = run(line);
        std::string shown = line[0] + " " + (line.size() > 1 ? line.back() : "");
        EXPECT_EQ(bad.exitStatus(), 2) << shown;
        EXPECT_NE(bad.standardError().find("kovo-tracker --export SONG... [-o OUT.wav|FOLDER/]"), std::string::npos)
            << shown;
        EXPECT_TRUE(bad.standardOutput().empty()) << shown;
    }
    EXPECT_EQ(files(), std::vector<std::string> {"tune"});
}

TEST_F(ExportTest, HelpPrintsTheUsageAndSucceeds)
{
    ChildProcess& help = run({"--help"}, {"DISPLAY=:987"});
    EXPECT_EQ(help.exitStatus(), 0);
    EXPECT_NE(help.standardOutput().find("--export SONG... [-o OUT.wav|FOLDER/] [--format wav|flac|ogg|opus|mp3|mod|mid]"),
              std::string::npos);
    EXPECT_TRUE(help.standardError().empty());
    // Where a musician finds the files the tracker reads and writes.
    for (const char* place : {"~/.local/share/kovo-tracker/songs/", "data/examples/", "~/.config/kovo-tracker/settings",
                              "~/.config/kovo-tracker/keys", "Ctrl+E writes"})
        EXPECT_NE(help.standardOutput().find(place), std::string::npos) << place << " in\n" << help.standardOutput();
}

// Whatever the file holds, the song plays as the tracker would load it: cut
// short, full of noise, or with a speed and length no editor would keep.
// Speed 16 and 99 positions at the most, as the tracker's spinners keep them;
// each limit is met by a song of its own, so that neither takes the
// other's length (the slowest longest song is a quarter of an hour of sound).
TEST_F(ExportTest, DamagedSongFilesExportWhatLoads)
{
    std::string whole = encodeUtf8(songText(testSong()));
    std::string noise;
    for (int i = 0; i < 5000; ++i) noise += static_cast<char>((i * 7919 + i / 13) % 251);
    auto settings = [](int speed, int positions) {
        Song song = testSong();
        song.speed = speed;
        song.songLengthRows = positions * rowsPerPattern;
        return encodeUtf8(songText(song));
    };
    // Each with the frames of its pass (the lead-in is one row), where its settings are out of bounds.
    const std::vector<std::tuple<std::string, std::string, size_t>> damaged = {
        {"cut", whole.substr(0, 700), 0},
        {"header", "KOV1", 0},
        {"noise", noise, 0},
        {"slowest", settings(0xFFFF, 2), frames48k(16 + 2 * 32 * 16)},
        {"longest", settings(1, 255), frames48k(1 + 99 * 32)},
    };
    for (const auto& [name, bytes, frames] : damaged) {
        folder.write(name, bytes);
        ChildProcess& done = run({"--export", name, "--quiet"});
        EXPECT_EQ(done.exitStatus(), 0) << name << ": " << done.standardError();
        WavContent content = wav(name + ".wav");
        EXPECT_EQ(content.channels, 2) << name;
        EXPECT_GT(content.frames(), 0u) << name;
        EXPECT_EQ(content.frames() % 960, 0u) << name;
        if (frames != 0) {
            EXPECT_EQ(content.frames(), frames) << name;
        }
    }
}
