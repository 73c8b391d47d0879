#include "base/text_file.h"
#include "tests/support/child_process.h"
#include "tests/support/test_user_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>
#include <sys/stat.h>

// No host object exists in this program: songs are saved and cleaned up by
// the command-line export and the tools the same way.
TEST(TextFile, ATextFileIsReplacedWholeThroughItsSchemePathWithoutAHost)
{
    const String song = U"quorvane://data/songs/tune";
    ASSERT_TRUE(replaceTextFile(song, U"old text"));
    // Characters are written as 16-bit values, as every song file was: the
    // bytes of a stored song must not change.
    ASSERT_TRUE(replaceTextFile(song, U"a\u00E9\u20AC\U0001F600", Durability::cached));
    const std::string real = userFiles().songsFolder() + "tune";
    EXPECT_EQ(readFileBytes(real), "a\xC3\xA9\xE2\x82\xAC\xEF\x98\x80");
    EXPECT_FALSE(replacementLeftBehind(real));
}

TEST(TextFile, AFailedReplacementKeepsTheOldFile)
{
    const std::string folder = userFiles().songsFolder() + "folder";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    EXPECT_FALSE(replaceTextFile(U"quorvane://data/songs/folder", U"text"));
    EXPECT_FALSE(replaceTextFile(U"quorvane://data/songs/missing/tune", U"text"));
    EXPECT_FALSE(replaceTextFile(U"quorvane://nowhere/tune", U"text"));
    EXPECT_FALSE(replaceTextFile(U"quorvane://data/songs/\u012Ftune", U"text"));  // names no file
    struct stat info {};
    EXPECT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
}

TEST(TextFile, OnlyTemporariesWhoseWriterHasEndedAreRemoved)
{
    const std::string songs = userFiles().songsFolder();
    const std::string mine = "tune~" + std::to_string(getpid()) + "~saving";
    for (const std::string& name : {std::string("tune~999999999~saving"), std::string("tune~saving"), mine,
                                    std::string("tune")})
        std::ofstream(songs + name) << "x";
    removeStaleReplacements(U"quorvane://data/songs/");
    std::ifstream gone(songs + "tune~999999999~saving"), old(songs + "tune~saving");
    EXPECT_FALSE(gone.is_open());
    EXPECT_FALSE(old.is_open());
    EXPECT_EQ(readFileBytes(songs + mine), "x");
    EXPECT_EQ(readFileBytes(songs + "tune"), "x");
}
