// The song list read from a real folder: what is listed and what is left
// out without blocking, the order, the header numbers, and narrowing by the
// typed text.
#include "app/files/song_list.h"
#include "host/file_heads.h"
#include "song/module_import.h"
#include "song/song_file.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {

// A song file's head: the magic, then positions, speed and pattern count.
std::string songHead(int positions, int speed)
{
    std::string head = "KOV1";
    appendUtf8(head, static_cast<char32_t>(positions));
    appendUtf8(head, static_cast<char32_t>(speed));
    appendUtf8(head, 1);
    return head + std::string(200, '.');
}

void setModified(const std::string& path, long seconds)
{
    timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

std::vector<std::string> names(const std::vector<SongEntry>& entries)
{
    std::vector<std::string> out;
    for (const SongEntry& entry : entries) out.push_back(narrow(entry.name));
    return out;
}

class SongFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(mkdir((folder.path() + "/old").c_str(), 0755), 0);
        ASSERT_EQ(mkdir((folder.path() + "/old/deeper").c_str(), 0755), 0);
        setModified(folder.write("newest", songHead(3, 6)), 3000);
        setModified(folder.write("old/deeper/Oldest Song", songHead(1, 4)), 1000);
        setModified(folder.write("old/a very long name that no name field can hold", songHead(99, 16)), 2000);
    }

    TempFolder folder;
};

} // namespace

TEST_F(SongFolder, ListsSongsInSubfoldersNewestFirstWithTheirHeaders)
{
    std::vector<SongEntry> entries = readSongEntries(folder.path());
    EXPECT_EQ(names(entries), (std::vector<std::string> {"newest", "old/a very long name that no name field can hold",
                                                         "old/deeper/Oldest Song"}));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].positionCount, 3);
    EXPECT_EQ(entries[0].speed, 6);
    EXPECT_EQ(entries[1].positionCount, 99);
    EXPECT_EQ(entries[1].modifiedNanoseconds, 2000'000'000'000LL);
    // Cut to its column with a mark, then positions and speed in hex as the panel shows them.
    EXPECT_EQ(entries[1].line.substr(0, 23), U"old/a very lon~  63  10");
    EXPECT_EQ(entries[1].line.size(), 34u);
}

TEST_F(SongFolder, LeavesOutWhatIsNoSongAndNeverBlocksOnStrangeFiles)
{
    const std::string& path = folder.path();
    folder.write("tmp.dat", songHead(1, 4));                   // the player's hand-over
    folder.write("cut short~saving", songHead(1, 4));          // an interrupted save
    folder.write("song.wav", "RIFF....WAVEfmt ");
    folder.write("short", "KOV");
    folder.write("old/tmp.dat", songHead(1, 4));  // only the top one is the player's
    ASSERT_EQ(mkfifo((path + "/fifo").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", (path + "/zero").c_str()), 0);
    ASSERT_EQ(symlink(path.c_str(), (path + "/old/loop").c_str()), 0);  // a folder link is not followed
    ASSERT_EQ(symlink((path + "/newest").c_str(), (path + "/linked").c_str()), 0);
    // A gigabyte that is not stored (sparse), once with the magic in front.
    for (const char* name : {"/huge", "/huge song"}) {
        std::string file = folder.write(name + 1, std::string(name) == "/huge song" ? songHead(1, 4) : "");
        ASSERT_EQ(truncate(file.c_str(), 1LL << 30), 0);
    }
    std::string locked = folder.write("locked", songHead(1, 4));
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);

    std::vector<std::string> listed = names(readSongEntries(path));
    std::sort(listed.begin(), listed.end());
    std::vector<std::string> expected {"linked", "newest", "old/a very long name that no name field can hold",
                                       "old/deeper/Oldest Song", "old/tmp.dat"};
    if (geteuid() == 0) expected.insert(expected.begin(), "locked");  // root reads any file
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    EXPECT_TRUE(readSongEntries(path + "/missing").empty());
}

// Modules of other trackers are listed by their names, without positions
// and speed, which only reading them would tell.
TEST_F(SongFolder, ListsModulesByTheirNames)
{
    setModified(folder.write("tune.MOD", "read only when loaded"), 4000);
    setModified(folder.write("old/riff.xm", "x"), 500);
    folder.write("notes.txt", "x");
    std::string huge = folder.write("huge.it", "");
    ASSERT_EQ(truncate(huge.c_str(), static_cast<off_t>(moduleFileLimit) + 1), 0);
    std::vector<SongEntry> entries = readSongEntries(folder.path());
    EXPECT_EQ(names(entries), (std::vector<std::string> {"tune.MOD", "newest", "old/a very long name that no name field can hold",
                                                         "old/deeper/Oldest Song", "old/riff.xm"}));
    ASSERT_FALSE(entries.empty());
    EXPECT_TRUE(entries[0].module);
    EXPECT_FALSE(entries[1].module);
    EXPECT_EQ(entries[0].line.substr(0, 23), U"tune.MOD         --  --");
}

// A descriptor limit that leaves exactly `spare` numbers free below it.
rlim_t limitLeaving(int spare)
{
    int fd = 0;
    for (int found = 0; found < spare; ++fd)
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) ++found;
    return static_cast<rlim_t>(fd);
}

// Each reading thread holds one folder and one file open at a time: a tree
// of more folders than the process may open files lists every song, and
// the saves that run meanwhile find descriptors free.
TEST_F(SongFolder, ManyFoldersNeverTakeMoreThanAFewDescriptors)
{
    const int folders = 200;
    for (int i = 0; i < folders; ++i) {
        std::string name = "many-" + std::to_string(i);
        ASSERT_EQ(mkdir((folder.path() + "/" + name).c_str(), 0755), 0);
        folder.write(name + "/song", songHead(1, 4));
    }
    rlimit before {};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &before), 0);
    rlimit few = before;
    few.rlim_cur = limitLeaving(20);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &few), 0);
    std::vector<SongEntry> entries = readSongEntries(folder.path());
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &before), 0);
    EXPECT_EQ(entries.size(), 3u + folders);
}

// Whoever stopped waiting can end the reading early.
TEST_F(SongFolder, ACancelledReadingEndsWithWhatItHas)
{
    std::atomic<bool> cancel {true};
    EXPECT_TRUE(readSongEntries(folder.path(), &cancel).empty());
}

TEST_F(SongFolder, TypedTextNarrowsInEitherCaseAndBackspaceWidens)
{
    SongList list(2);
    list.setEntries(readSongEntries(folder.path()));
    ASSERT_EQ(list.shownCount(), 3);
    EXPECT_TRUE(list.moveBy(5));  // stops at the last entry, scrolled into view
    EXPECT_EQ(list.highlight(), 2);
    EXPECT_EQ(list.top(), 1);
    EXPECT_FALSE(list.moveBy(1));

    for (char32_t c : std::u32string_view(U"EST S")) list.narrow(c);
    EXPECT_EQ(list.filter(), U"EST S");
    ASSERT_EQ(list.shownCount(), 1);
    EXPECT_EQ(list.highlighted()->name, U"old/deeper/Oldest Song");
    EXPECT_FALSE(list.narrow(U'\b'));
    list.narrow(U'x');
    EXPECT_EQ(list.shownCount(), 0);
    EXPECT_EQ(list.highlighted(), nullptr);
    EXPECT_FALSE(list.moveBy(1));
    list.widen();
    list.widen();
    list.widen();
    EXPECT_EQ(list.filter(), U"EST");  // "newest" holds it too
    EXPECT_EQ(list.shownCount(), 2);
    while (list.widen()) {}
    EXPECT_EQ(list.shownCount(), 3);
}

// The examples: every song file of their folder, by name, with the section
// before the name as LOAD takes it, read from their own folder.
TEST(ExampleEntries, ListTheExamplesByNameAsTheirSectionNamesThem)
{
    TempFolder examples;
    setModified(examples.write("waltz", songHead(2, 5)), 3000);
    setModified(examples.write("blues", songHead(27, 7)), 1000);
    examples.write("notes.txt", "not a song");
    std::vector<SongEntry> entries = readExampleEntries(examples.path());
    EXPECT_EQ(names(entries), (std::vector<std::string> {"examples/blues", "examples/waltz"}));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].example);
    EXPECT_EQ(entries[0].file, U"quorvane://data/examples/blues");
    EXPECT_EQ(entries[0].line, U"blues            1B  07 example");
    EXPECT_EQ(entries[0].foldedName, U"examples/blues");
    // The user's songs are read from the songs folder, and are no examples.
    std::vector<SongEntry> songs = readSongEntries(examples.path());
    ASSERT_EQ(songs.size(), 2u);
    EXPECT_FALSE(songs[0].example);
    EXPECT_EQ(songs[0].file, U"quorvane://data/songs/waltz");
}

TEST(SongHeader, ReadsTheNumbersAfterTheMagicAndStopsAtTheEndOfTheBytes)
{
    std::string head = songHead(300, 0x800);  // two and three bytes of UTF-8
    EXPECT_TRUE(startsWithSongMagic(head));
    EXPECT_EQ(readSongHeader(head).positionCount, 300);
    EXPECT_EQ(readSongHeader(head).speed, 0x800);
    EXPECT_EQ(readSongHeader(head.substr(0, 7)).speed, 0);  // cut inside the speed
    EXPECT_FALSE(startsWithSongMagic("KOV"));
    EXPECT_FALSE(startsWithSongMagic("kov1"));
}
