// What an export writes and what it never touches: its temporaries are its
// own new files (never through a link), what a killed export left is
// cleaned, no two outputs of one call share a name, no song file is written
// over, and what cannot fit is refused before anything is rendered.
#include "tests/export/export_fixture.h"

#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exists(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// A song of 99 positions at the slowest speed: about 17 minutes a pass.
Song longSong()
{
    Song song = testSong();
    song.speed = 16;
    song.songLengthRows = 99 * rowsPerPattern;
    putCell(song, 1, 0, U"yF12");
    return song;
}

// The command that runs the shell command with a private mount namespace
// (as root, or mapped to root where the system allows that).
std::vector<std::string> inPrivateMounts(const std::string& command)
{
    std::vector<std::string> isolated = {"unshare", "-m"};
    if (geteuid() != 0) isolated.push_back("-r");
    isolated.insert(isolated.end(), {"sh", "-c", command});
    return isolated;
}

} // namespace

// A link planted under the temporary's name must not lead the export to
// write the link's target.
TEST_F(ExportTest, ALinkWhereTheTemporaryGoesIsNeverWrittenThrough)
{
    writeSong("tune", testSong());
    std::string victim = folder.write("victim", "not to be overwritten");
    ASSERT_EQ(symlink(victim.c_str(), path("out.wav~exporting").c_str()), 0);
    EXPECT_EQ(run({"--export", "tune", "-o", "out.wav"}).exitStatus(), 1);
    EXPECT_NE(process->standardError().find("cannot write out.wav"), std::string::npos) << process->standardError();
    EXPECT_EQ(readFileBytes(victim), "not to be overwritten");
    EXPECT_FALSE(exists(path("out.wav")));
}

// What a killed export left is removed by the next one in that folder; the
// temporary of an export that still runs (it holds its lock) is not.
TEST_F(ExportTest, LeftoversOfKilledExportsAreCleanedAndLiveOnesKept)
{
    writeSong("tune", testSong());
    folder.write("old.wav~exporting", "left by a killed export");
    folder.write("old.wav", "the older export");
    std::string live = folder.write("busy.flac~exporting", "being written");
    int held = open(live.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(mkdir(path("not-a-file~exporting").c_str(), 0755), 0);

    EXPECT_EQ(run({"--export", "tune", "-o", "tune.wav"}).exitStatus(), 0) << process->standardError();
    close(held);
    EXPECT_FALSE(exists(path("old.wav~exporting")));
    EXPECT_EQ(readFileBytes(path("old.wav")), "the older export");
    EXPECT_EQ(readFileBytes(live), "being written");
    EXPECT_TRUE(exists(path("not-a-file~exporting")));
    EXPECT_FALSE(exists(path("tune.wav~exporting")));
    EXPECT_FALSE(wav("tune.wav").samples.empty());
}

// The file is on the disk before it takes its name: synced, then renamed,
// then its folder synced (strace -y names each synced descriptor's file).
TEST_F(ExportTest, TheFileIsSyncedBeforeItTakesItsName)
{
    writeSong("tune", testSong());
    std::string log = path("calls");
    // LeakSanitizer cannot work in a traced process.
    std::string command = "cd '" + folder.path() + "' && exec strace -f -y -e trace=fsync,rename -o '" + log + "' '" +
                          programDirectory() + "/kovo-tracker' --export tune -o tune.flac";
    process = std::make_unique<ChildProcess>(std::vector<std::string> {"sh", "-c", command},
                                             std::vector<std::string> {"ASAN_OPTIONS=detect_leaks=0"});
    ASSERT_TRUE(process->waitExit(240));
    ASSERT_EQ(process->exitStatus(), 0) << process->standardError();
    std::ifstream calls(log);
    std::vector<std::string> order;
    for (std::string line; std::getline(calls, line);) {
        if (line.find("fsync(") != std::string::npos && line.find("tune.flac~exporting>") != std::string::npos)
            order.push_back("file synced");
        else if (line.find("rename(") != std::string::npos && line.find("tune.flac\"") != std::string::npos)
            order.push_back("renamed");
        else if (line.find("fsync(") != std::string::npos && line.find(folder.path() + ">") != std::string::npos)
            order.push_back("folder synced");
    }
    EXPECT_EQ(order, (std::vector<std::string> {"file synced", "renamed", "folder synced"}));
}

// "track"'s stems are track-1.wav to track-4.wav, and "track-1"'s mix would
// be track-1.wav too: the later song is skipped and named, the earlier one's
// files are whole.
TEST_F(ExportTest, NoTwoOutputsOfOneCallShareAName)
{
    Song quiet = testSong();
    Song loud = testSong();
    putCell(loud, 2, 0, U"q812");
    writeSong("track", quiet);
    writeSong("track-1", loud);
    ChildProcess& both = run({"--export", "track", "track-1", "--stems", "-o", "out/"});
    EXPECT_EQ(both.exitStatus(), 2);
    EXPECT_NE(both.standardError().find("skipped song file track-1: another song is exported to out/track-1.wav"),
              std::string::npos)
        << both.standardError();
    for (const char* name : {"track.wav", "track-1.wav", "track-2.wav", "track-3.wav", "track-4.wav"})
        EXPECT_FALSE(wav(std::string("out/") + name).samples.empty()) << name;
    EXPECT_FALSE(exists(path("out/track-1-1.wav")));
    // track-1.wav is track's first stem: the quiet song's silence.
    std::vector<int16_t> stem = wav("out/track-1.wav").samples;
    EXPECT_TRUE(std::all_of(stem.begin(), stem.end(), [](int16_t value) { return value == 0; }));

    // The same file by two spellings, or one song twice, is one name too.
    EXPECT_EQ(run({"--export", "track", "./track", "-o", "again/"}).exitStatus(), 2);
    EXPECT_EQ(run({"--export", "track", "-o", "out//track.wav", "--stems"}).exitStatus(), 0);
}

// A file that starts with the song magic is a song, whatever its name says.
TEST_F(ExportTest, NoOutputIsWrittenOverASongFile)
{
    writeSong("tune", testSong());
    std::string song = writeSong("beat.wav", testSong());
    std::string bytes = readFileBytes(song);
    EXPECT_EQ(run({"--export", "tune", "-o", "beat.wav"}).exitStatus(), 2);
    EXPECT_NE(process->standardError().find("beat.wav"), std::string::npos) << process->standardError();
    writeSong("beat-2.wav", testSong());
    EXPECT_EQ(run({"--export", "tune", "-o", "beat.wav", "--stems"}).exitStatus(), 2);
    EXPECT_EQ(readFileBytes(song), bytes);
    EXPECT_FALSE(exists(path("beat-1.wav")));
}

// 1000 passes of 17 minutes are 281 hours: far past the 4 GiB of a WAV file.
// Refused at once, before a frame is rendered (the file size limit only
// keeps a regression from filling the disk).
TEST_F(ExportTest, ASoundTooLongForAWavFileIsRefusedUpFront)
{
    writeSong("long", longSong());
    std::string command = "cd '" + folder.path() + "' && trap '' XFSZ && ulimit -f 65536 && exec '" +
                          programDirectory() + "/kovo-tracker' --export long -o long.wav --loops 1000";
    process = std::make_unique<ChildProcess>(std::vector<std::string> {"sh", "-c", command});
    ASSERT_TRUE(process->waitExit(240));
    EXPECT_EQ(process->exitStatus(), 1);
    EXPECT_NE(process->standardError().find("cannot write long.wav: the sound is longer than the 6:12:49 a WAV file "
                                            "holds at 48000 Hz"),
              std::string::npos)
        << process->standardError();
    EXPECT_EQ(files(), std::vector<std::string> {"long"});
}

// A folder on a 1 MB disk of its own: 17 minutes of FLAC or WAV cannot fit.
// The disk is a tmpfs in a private mount namespace where the system allows
// one; where it refuses (a chroot whose root is no mount point, an
// unprivileged container), the folder reports 1 MiB free through a preloaded
// free-space query instead.
TEST_F(ExportTest, AnExportLargerThanTheFreeSpaceIsRefusedUpFront)
{
    writeSong("long", longSong());
    ASSERT_EQ(mkdir(path("small").c_str(), 0755), 0);
    std::string mount = "mount -t tmpfs -o size=1m kovo-test '" + path("small") + "'";
    ChildProcess probe(inPrivateMounts(mount));
    ASSERT_TRUE(probe.waitExit(60));
    if (probe.exitStatus() == 0) {
        process = std::make_unique<ChildProcess>(inPrivateMounts(
            mount + " && cd '" + folder.path() + "' && exec '" + programDirectory() +
            "/kovo-tracker' --export long -o small/long.wav --stems"));
        ASSERT_TRUE(process->waitExit(240));
    } else {
        run({"--export", "long", "-o", "small/long.wav", "--stems"},
            {"LD_PRELOAD=" + programDirectory() + "/libsmall_disk.so", "KOVO_SMALL_DISK=" + path("small"),
             "ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0"});
    }
    EXPECT_EQ(process->exitStatus(), 1);
    EXPECT_NE(process->standardError().find("cannot write small/long.wav: the sound needs more than the 1 MB free "
                                            "there (0:00:"),
              std::string::npos)
        << process->standardError();
    EXPECT_EQ(files(), (std::vector<std::string> {"long", "small"}));
}
