// Song files at the edges, met through the real program: loads of what is no
// song, temporaries left by a killed program, and which saves wait for the disk.
#include "base/file_loading.h"
#include "tests/songfile/song_file_session.h"

#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The id of a process that has ended (and is not yet reused: ids are handed
// out in turn).
pid_t endedProcessId()
{
    pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

} // namespace

TEST_F(SongFileSession, LoadsOfWhatIsNoSongLeaveTheSongAndTheProgramRunning)
{
    start({}, [](const std::string& folder) {
        std::string songs = folder + "/data/songs";
        shell("mkfifo '" + songs + "/fifo' && ln -s /dev/zero '" + songs + "/zero'");
        writeFile(songs + "/big", std::string(textFileLimit + 1, 'x'));
    });
    ASSERT_TRUE(pressFor("space", "Editing..."));
    tracker->type("y");
    nameSong("before");
    ASSERT_TRUE(pressFor("F11", "File Saved..."));
    const std::string before = readFileBytes(song("before"));
    ASSERT_EQ(before.size(), 1675u);
    ASSERT_EQ(before[7], 'y');  // the typed note, first in the file

    nameSong("big");
    EXPECT_TRUE(pressFor("F12", "File not found!"));
    // Saving over a FIFO or a device (through a link) is refused as well, so
    // that neither is replaced by a plain file or written into.
    for (const std::string name : {"fifo", "zero"}) {
        nameSong(name);
        EXPECT_TRUE(pressFor("F11", "Saving Failed!")) << name;
        EXPECT_TRUE(pressFor("F12", "File not found!")) << name;
    }
    nameSong("after");
    ASSERT_TRUE(pressFor("F11", "File Saved..."));
    EXPECT_TRUE(readFileBytes(song("after")) == before);
    EXPECT_TRUE(S_ISFIFO(entryModeOf(song("fifo"))));
    EXPECT_TRUE(S_ISLNK(entryModeOf(song("zero"))));
    EXPECT_TRUE(S_ISCHR(modeOf("/dev/zero")));
    EXPECT_EQ(temporariesIn(songs()), 0);
    EXPECT_TRUE(tracker->closeWindow());
    EXPECT_EQ(tracker->process().exitStatus(), 0);
}

// A temporary names its writer's process: only those whose writer has ended
// are cleared, so a second tracker's start never takes a save from the first.
TEST_F(SongFileSession, SavesCutShortByAKillAreClearedAtStart)
{
    const std::string running = "tune~" + std::to_string(getpid()) + "~saving";
    const std::string ended = "tune~" + std::to_string(endedProcessId()) + "~saving";
    start({}, [&](const std::string& folder) {
        writeFile(folder + "/data/songs/tune", "an earlier save");
        writeFile(folder + "/data/songs/tune~saving", "half a save");
        writeFile(folder + "/data/songs/tmp.dat~saving", "");
        writeFile(folder + "/data/songs/" + running, "a save under way");
        writeFile(folder + "/data/songs/" + ended, "half a save");
    });
    EXPECT_FALSE(exists(song("tune~saving")));
    EXPECT_FALSE(exists(song("tmp.dat~saving")));
    EXPECT_FALSE(exists(song(ended)));
    EXPECT_EQ(readFileBytes(song(running)), "a save under way");
    EXPECT_EQ(readFileBytes(song("tune")), "an earlier save");
}

TEST_F(SongFileSession, OnlyTheUsersSaveWaitsForTheDisk)
{
    std::string log = "/tmp/kovo-fsync-" + std::to_string(getpid()) + ".log";
    // LeakSanitizer cannot work in a traced process: the sanitizer build
    // checks this run for everything but leaks.
    start({"strace", "-f", "-y", "-e", "trace=fsync,fdatasync,sync,syncfs", "-o", log}, [](const std::string&) {},
          {"ALSOFT_DRIVERS=null", "ASAN_OPTIONS=detect_leaks=0"});
    nameSong("tune");
    ASSERT_TRUE(pressFor("F11", "File Saved..."));
    ASSERT_TRUE(pressFor("F1", "Playing..."));
    ASSERT_TRUE(exists(song("tmp.dat")));
    ASSERT_TRUE(pressFor("F1", "Standby..."));
    ASSERT_TRUE(tracker->closeWindow(60));

    // strace -y names each synced descriptor's file: the song under its
    // temporary name, then the songs folder after the rename.
    std::ifstream calls(log);
    int songSyncs = 0, folderSyncs = 0, temporarySongSyncs = 0;
    for (std::string line; std::getline(calls, line);) {
        songSyncs += line.find("/data/songs/tune~") != std::string::npos && line.find("~saving>") != std::string::npos;
        folderSyncs += line.find("/data/songs>") != std::string::npos;
        temporarySongSyncs += line.find("tmp.dat") != std::string::npos;
    }
    std::remove(log.c_str());
    EXPECT_EQ(songSyncs, 1);
    EXPECT_EQ(folderSyncs, 1);
    EXPECT_EQ(temporarySongSyncs, 0);
}

