// The song file named on the command line: what the tracker starts with, and
// where SAVE and LOAD go until the name is edited. Also the arguments that
// ask for it.
#include "tests/app/tracker_fixture.h"

#include "app/keys/command_line.h"
#include "host/key_translation.h"
#include "song/song_file.h"
#include "tests/support/child_process.h"
#include "tests/support/mod_writer.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_user_files.h"
#include "tests/support/wait.h"

#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class SongArgument : public TrackerFixture {
protected:
    // What the tracker does at create with a SONG argument.
    void openAtStart(const std::string& path, bool play = false)
    {
        engine->startWith(widen(path), play);
        engine->openStartSong();
    }

    std::string songWithNote()
    {
        Song song;
        song.patternColumns = blankColumns();
        song.patternColumns[0][3] = U'q';
        song.speed = 9;
        return encodeUtf8(songText(song));
    }

    TempFolder folder;
};

} // namespace

// A song file the disk fails to read: nothing is loaded, and SAVE does not
// write the blank song over a file that may well be good.
TEST_F(SongArgument, AFileThatFailsToReadIsNeitherLoadedNorSavedOver)
{
    std::string path = folder.path() + "/worn";
    ASSERT_EQ(symlink("/proc/self/mem", path.c_str()), 0);
    openAtStart(path, true);
    EXPECT_EQ(engine->status.text(), U"Loading Failed!");
    EXPECT_FALSE(engine->playsAtStart());
    EXPECT_EQ(engine->identity.songName, U"");
    pressAndStep(keyF11);
    EXPECT_EQ(engine->status.text(), U"Enter a Name...");
}

// A module on the command line is the song libopenmpt's reading makes,
// named after the file and unsaved, with no file of its own: SAVE writes it
// into the songs folder, never over the module. A module libopenmpt
// refuses loads nothing and leaves the song nameless.
TEST_F(SongArgument, AModuleIsAnUnsavedSongNamedAfterItsFile)
{
    ModDescription module;
    module.samples = {{"lead", sawCycle()}};
    module.patterns = {emptyModPattern(4)};
    module.orders = {0};
    module.patterns[0].at(0, 0) = {12, 1};
    const std::string bytes = modBytes(module);
    std::ofstream(folder.path() + "/Tune.mod", std::ios::binary) << bytes;
    std::ofstream(folder.path() + "/broken.s3m", std::ios::binary) << "no module";

    openAtStart(folder.path() + "/broken.s3m");
    EXPECT_EQ(engine->status.text(), U"Loading Failed!");
    EXPECT_EQ(engine->identity.songName, U"");

    openAtStart(folder.path() + "/Tune.mod");
    EXPECT_EQ(engine->status.text(), U"File Loaded...");
    EXPECT_EQ(engine->identity.songName, U"Tune");
    EXPECT_EQ(engine->identity.songFilePath, U"");
    EXPECT_TRUE(engine->unsaved.songChanged());
    EXPECT_EQ(engine->song.patternColumns[0][0], U'y');
    pressAndStep(keyF11);
    EXPECT_EQ(engine->status.text(), U"File Saved...");
    EXPECT_EQ(readFileBytes(folder.path() + "/Tune.mod"), bytes);
    EXPECT_EQ(readFileBytes(userFiles().songsFolder() + "Tune").substr(0, 4), "KOV1");
}

TEST_F(SongArgument, LoadsAsLoadDoesAndSavesBackUntilTheNameIsEdited)
{
    std::string path = folder.write("My Tune", songWithNote());
    engine->song.patternColumns[0][4] = U'w';  // an edit the loaded song replaces
    // Unsaved work of an earlier run stays for the next start without a song.
    const std::string recovery = userFiles().dataFolder() + "/unsaved_song.dat";
    std::ofstream(recovery) << "earlier work";
    openAtStart(path);
    EXPECT_EQ(readFileBytes(recovery), "earlier work");
    EXPECT_EQ(engine->status.text(), U"File Loaded...");
    EXPECT_EQ(engine->identity.songName, U"My Tune");
    EXPECT_EQ(engine->song.patternColumns[0][3], U'q');
    EXPECT_EQ(engine->song.patternColumns[0][4], U'.');
    EXPECT_EQ(engine->song.speed, 9);
    engine->undo.restoreUndoSnapshot();
    EXPECT_EQ(engine->song.patternColumns[0][3], U'q') << "undo goes back past the loaded song";

    engine->song.speed = 6;
    pressAndStep(keyF11);
    EXPECT_EQ(engine->status.text(), U"File Saved...");
    EXPECT_EQ(readFileBytes(path)[5], 6);
    EXPECT_TRUE(readFileBytes(userFiles().songsFolder() + "My Tune").empty());
    engine->song.speed = 2;
    pressAndStep(keyF12);
    EXPECT_EQ(engine->song.speed, 6) << "LOAD reads the same file again";

    // Clicking alone keeps the file; a typed character makes it a name in the songs folder.
    click(100, 450);
    step();
    pressAndStep(keyF11);
    EXPECT_EQ(readFileBytes(path)[5], 6);
    typeStepwise(U"x");
    pressAndStep(keyEnter);
    pressAndStep(keyF11);
    const std::string inSongsFolder = userFiles().songsFolder() + "My Tunex";
    EXPECT_EQ(engine->status.text(), U"File Saved...");
    EXPECT_EQ(readFileBytes(inSongsFolder).size(), 1675u);
    std::remove(inSongsFolder.c_str());
}

// A song chosen in the list is that song, not the file the tracker started
// with; an example chosen there keeps its own name, and SAVE writes the
// user's copy into the songs folder.
TEST_F(SongArgument, ASongChosenInTheListReplacesTheStartFile)
{
    std::string path = folder.write("My Tune", songWithNote());
    openAtStart(path);
    engine->overlays.toggleSongList();
    ASSERT_TRUE(waitFor([&] {
        step();
        return engine->overlays.songs().ready();
    }, 30));
    typeStepwise(U"examples/first_steps");
    ASSERT_EQ(engine->overlays.songs().shownCount(), 1);
    pressAndStep(keyEnter);
    EXPECT_EQ(engine->status.text(), U"File Loaded...");
    EXPECT_EQ(engine->identity.songName, U"first_steps");
    EXPECT_TRUE(engine->identity.songFilePath.empty());
    EXPECT_EQ(engine->song.speed, 6);
    pressAndStep(keyF11);
    EXPECT_EQ(engine->status.text(), U"File Saved...");
    const std::string copy = userFiles().songsFolder() + "first_steps";
    EXPECT_EQ(readFileBytes(copy), readFileBytes(programDirectory() + "/data/examples/first_steps"));
    EXPECT_EQ(readFileBytes(path), songWithNote());
    std::remove(copy.c_str());
}

TEST_F(SongArgument, ARelativePathIsRelativeToTheCurrentFolder)
{
    folder.write("tune", songWithNote());
    char* here = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(folder.path().c_str()), 0);
    openAtStart("tune");
    EXPECT_EQ(chdir(here), 0);
    std::free(here);
    EXPECT_EQ(engine->status.text(), U"File Loaded...");
    EXPECT_EQ(engine->identity.songFilePath, widen(folder.path() + "/tune"));
}

// Nothing that is not a regular song file is read, nothing waits on a FIFO,
// and a SAVE never replaces what is not a regular file.
TEST_F(SongArgument, WhatCannotBeLoadedLeavesTheBlankSongAndSaveStaysSafe)
{
    ASSERT_EQ(mkfifo((folder.path() + "/fifo").c_str(), 0644), 0);
    folder.write("empty", "");
    for (const std::string& path : {folder.path(), folder.path() + "/fifo", std::string("/dev/zero"),
                                    folder.path() + "/empty", folder.path() + "/missing"}) {
        openAtStart(path);
        EXPECT_EQ(engine->status.text(), U"File not found!") << path;
        EXPECT_EQ(engine->song.patternColumns[0], blankColumn(0)) << path;
    }
    engine->identity.songFilePath = U"/dev/zero";
    pressAndStep(keyF11);
    EXPECT_EQ(engine->status.text(), U"Saving Failed!");
    struct stat info {};
    ASSERT_EQ(stat("/dev/zero", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));

    // A file that is not there yet is made by the first SAVE.
    engine->identity.songFilePath = widen(folder.path() + "/missing");
    pressAndStep(keyF11);
    EXPECT_EQ(engine->status.text(), U"File Saved...");
    EXPECT_EQ(readFileBytes(folder.path() + "/missing").size(), 1675u);
}

TEST(TrackerArguments, ASongAndPlayOpenTheTrackerAndTwoSongsAreWrong)
{
    auto parse = [](std::vector<const char*> words) {
        words.insert(words.begin(), "kovo-tracker");
        return parseCommandLine(static_cast<int>(words.size()), words.data());
    };
    CommandLine line = parse({"--play", "tune", "--scale", "2"});
    EXPECT_EQ(line.action, CommandLine::runTracker);
    EXPECT_TRUE(line.play);
    EXPECT_EQ(line.songPath, "tune");
    EXPECT_EQ(line.windowScale, 2);
    EXPECT_EQ(parse({"--", "-odd name"}).songPath, "-odd name");
    EXPECT_EQ(parse({}).songPath, "");
    for (const std::vector<const char*>& bad :
         {std::vector<const char*> {"a", "b"}, {"--bogus"}, {"--export", "a", "--quiet", "b"}, {"--export", "a", "--play"}, {""}})
        EXPECT_EQ(parse(bad).action, CommandLine::badUsage) << bad[0];
}
