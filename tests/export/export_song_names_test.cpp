// --export NAME finds the song LOAD (F12) finds: a file by that path first,
// else the user's song of that name in the songs folder, else the example.
#include "tests/export/export_fixture.h"
#include "song/song_file.h"
#include "tests/support/tracker_process.h"

#include <filesystem>
#include <fstream>

namespace {

class ExportSongNames : public ExportTest {
protected:
    // A copy of the program whose data folder holds the example "tune" too.
    void SetUp() override
    {
        std::string data = copy.folder() + "/data";
        std::filesystem::create_directories(data + "/examples");
        saveSong(data + "/examples/tune", exampleSong());
    }

    static Song exampleSong()
    {
        Song song = testSong();
        putCell(song, 1, 0, U"qF12");
        return song;
    }

    static void saveSong(const std::string& path, const Song& song)
    {
        std::ofstream(path, std::ios::binary) << encodeUtf8(songText(song));
    }

    // The copy's program in the test's folder, as a user runs it from a shell.
    ChildProcess& runCopy(const std::vector<std::string>& args)
    {
        std::string command = "cd '" + folder.path() + "' && exec '" + copy.program() + "'";
        for (const std::string& arg : args) command += " '" + arg + "'";
        process = std::make_unique<ChildProcess>(std::vector<std::string> {"sh", "-c", command});
        EXPECT_TRUE(process->waitExit(240)) << "the export did not end";
        return *process;
    }

    // The sound of the song file at the path, exported by its path.
    std::string exportedByPath(const std::string& songPath)
    {
        EXPECT_EQ(runCopy({"--export", songPath, "-o", "by-path.wav"}).exitStatus(), 0) << process->standardError();
        return readFileBytes(path("by-path.wav"));
    }

    TrackerCopy copy;
};

} // namespace

TEST_F(ExportSongNames, ANameIsTheUsersSongElseTheExampleAndAFileHereComesFirst)
{
    ASSERT_EQ(runCopy({"--export", "tune"}).exitStatus(), 0) << process->standardError();
    std::string example = readFileBytes(path("tune.wav"));
    ASSERT_FALSE(example.empty());
    EXPECT_EQ(example, exportedByPath(copy.folder() + "/data/examples/tune"));

    Song mine = testSong();
    putCell(mine, 2, 0, U"cF12");
    saveSong(copy.folder() + "/data/songs/tune", mine);
    ASSERT_EQ(runCopy({"--export", "tune", "-o", "mine.wav"}).exitStatus(), 0) << process->standardError();
    EXPECT_EQ(readFileBytes(path("mine.wav")), exportedByPath(copy.folder() + "/data/songs/tune"));
    EXPECT_NE(readFileBytes(path("mine.wav")), example);

    // A song file of that name where the command runs is the one meant.
    Song here = testSong();
    putCell(here, 3, 0, U"bF12");
    writeSong("tune", here);
    ASSERT_EQ(runCopy({"--export", "tune", "-o", "here.wav"}).exitStatus(), 0) << process->standardError();
    EXPECT_EQ(readFileBytes(path("here.wav")), exportedByPath(path("tune")));
}

TEST_F(ExportSongNames, ANameNoFolderHoldsIsReportedAsBefore)
{
    EXPECT_EQ(runCopy({"--export", "nosuch"}).exitStatus(), 2);
    EXPECT_NE(process->standardError().find("cannot read song file nosuch"), std::string::npos)
        << process->standardError();
    // A name may not climb out of the songs folder to find a file.
    EXPECT_EQ(runCopy({"--export", "../examples/tune"}).exitStatus(), 2);
    EXPECT_NE(process->standardError().find("cannot read song file ../examples/tune"), std::string::npos)
        << process->standardError();
}
