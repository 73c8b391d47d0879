#include "base/data_files.h"
#include "base/file_loading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace {

class FileLoading : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/kovo-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override
    {
        std::string command = "rm -rf '" + folder + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    String write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
        return widen(folder + "/" + name);
    }

    std::string folder;
};

} // namespace

TEST_F(FileLoading, TextDecodingFollowsTheMarksAndFallsBackToEightBits)
{
    EXPECT_EQ(loadText(write("utf8", "A\xC3\xA9")), String(U"A\u00E9"));
    EXPECT_EQ(loadText(write("latin", "A\xE9" "B")), String(U"A\u00E9" "B"));
    EXPECT_EQ(loadText(write("le", std::string("\xFF\xFE" "A\0", 4))), U"A");
    EXPECT_EQ(loadText(write("be", std::string("\xFE\xFF\0A\0", 5))), U"A");  // odd byte ignored
    EXPECT_EQ(loadText(write("bomonly", "\xFF\xFE")), U"");
    EXPECT_EQ(loadText(write("bom8", "\xEF\xBB\xBF" "a\xE2\x82\xAC")), String(U"a\u20AC"));
    // A broken sequence after the mark: every byte after the mark as one character.
    EXPECT_EQ(loadText(write("bombad", "\xEF\xBB\xBF" "a\xE2")), String(U"a\u00E2"));
    EXPECT_EQ(loadText(write("fourbyte", "\xF0\x9F\x98\x80")), String(U"\u00F0\u009F\u0098\u0080"));
    EXPECT_EQ(loadText(write("empty", "")), U"");
    EXPECT_EQ(loadText(widen(folder + "/missing")), U"");
}

TEST_F(FileLoading, FilesOfExactMultiplesOf4096BytesAreReadWhole)
{
    for (size_t size : {4095u, 4096u, 4097u, 8192u}) {
        std::string bytes(size, 'x');
        bytes[size - 1] = 'y';
        std::optional<std::vector<unsigned char>> loaded = loadFileBytes(write("block", bytes));
        ASSERT_TRUE(loaded);
        ASSERT_EQ(loaded->size(), size);
        EXPECT_EQ(loaded->back(), 'y');
        EXPECT_EQ(loadText(widen(folder + "/block")).size(), size);
    }
    EXPECT_FALSE(loadFileBytes(widen(folder + "/missing")));
    EXPECT_FALSE(loadFileBytes(U"quorvane://other/x"));
}

TEST_F(FileLoading, DataSchemeReachesTheDataFolderBesideTheExecutable)
{
    std::optional<std::vector<unsigned char>> font = loadFileBytes(U"quorvane://data/zukafont.png");
    ASSERT_TRUE(font);
    EXPECT_GT(font->size(), 8u);
    EXPECT_EQ(openDataFile(U"quorvane://nowhere/x", U"rb"), nullptr);
}

TEST_F(FileLoading, OnlyRegularFilesWithinTheLimitAreLoaded)
{
    // A FIFO nobody writes to would block the open; a device never ends.
    ASSERT_EQ(mkfifo((folder + "/fifo").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo((folder + "/fifo.wav").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", (folder + "/zero").c_str()), 0);
    for (const char* name : {"fifo", "zero", "."}) {
        String path = widen(folder + "/" + name);
        EXPECT_EQ(loadText(path), U"") << name;
        EXPECT_FALSE(loadFileBytes(path)) << name;
        EXPECT_EQ(openForLoading(path, mediaFileLimit), nullptr) << name;
    }
    EXPECT_EQ(openForLoading(widen(folder + "/fifo.wav"), mediaFileLimit), nullptr);

    EXPECT_EQ(loadText(write("limit", std::string(textFileLimit, 'a'))).size(), textFileLimit);
    EXPECT_EQ(loadText(write("over", std::string(textFileLimit + 1, 'a'))), U"");
    EXPECT_TRUE(loadFileBytes(widen(folder + "/over")));  // bytes and media may be larger

    // What reports no size up front (a pipe, a file of /proc) is cut off while reading.
    std::FILE* pipe = popen("head -c 600000 /dev/zero", "r");
    ASSERT_NE(pipe, nullptr);
    EXPECT_FALSE(readWholeFile(pipe, textFileLimit));
    pclose(pipe);
}

namespace {

// A file whose disk fails after its first 4096 bytes, as a worn card does.
ssize_t readThenFail(void* cookie, char* into, size_t size)
{
    size_t& given = *static_cast<size_t*>(cookie);
    if (given >= 4096) {
        errno = EIO;
        return -1;
    }
    size_t count = std::min(size, 4096 - given);
    std::memset(into, 'x', count);
    given += count;
    return static_cast<ssize_t>(count);
}

} // namespace

TEST_F(FileLoading, AReadErrorGivesNoFileRatherThanItsFirstPart)
{
    size_t given = 0;
    std::FILE* failing = fopencookie(&given, "r", {readThenFail, nullptr, nullptr, nullptr});
    ASSERT_NE(failing, nullptr);
    EXPECT_FALSE(readWholeFile(failing, textFileLimit));
    std::fclose(failing);

    // A real one: /proc/self/mem is a regular file of size 0 whose first
    // page is never mapped, so reading it ends in EIO.
    ASSERT_EQ(symlink("/proc/self/mem", (folder + "/mem").c_str()), 0);
    bool readFailed = false;
    EXPECT_EQ(loadText(widen(folder + "/mem"), readFailed), U"");
    EXPECT_TRUE(readFailed);
    EXPECT_EQ(loadText(write("fine", "abc"), readFailed), U"abc");
    EXPECT_FALSE(readFailed);
    EXPECT_EQ(loadText(widen(folder + "/missing"), readFailed), U"");
    EXPECT_FALSE(readFailed);
}

// Each kind of file that is no small regular file is named, so that a
// message can say why it was not read; a missing one is no refusal.
TEST_F(FileLoading, SmallFilesAreReadWholeOrTheReasonIsNamed)
{
    write("small", "abc");
    write("large", std::string(101, 'x'));
    ASSERT_EQ(mkfifo((folder + "/fifo").c_str(), 0644), 0);
    ASSERT_EQ(mkdir((folder + "/folder").c_str(), 0755), 0);
    ASSERT_EQ(symlink("/dev/urandom", (folder + "/random").c_str()), 0);
    const std::pair<const char*, const char*> cases[] = {
        {"fifo", "a FIFO"}, {"folder", "a folder"}, {"random", "a device"}, {"large", "too large"}};
    for (const auto& [name, reason] : cases) {
        SmallFile file = readSmallFile(folder + "/" + name, 100);
        EXPECT_FALSE(file.bytes) << name;
        EXPECT_STREQ(file.refusal, reason) << name;
    }
    SmallFile small = readSmallFile(folder + "/small", 100);
    ASSERT_TRUE(small.bytes);
    EXPECT_EQ(std::string(small.bytes->begin(), small.bytes->end()), "abc");
    EXPECT_EQ(small.refusal, nullptr);
    SmallFile missing = readSmallFile(folder + "/missing", 100);
    EXPECT_FALSE(missing.bytes);
    EXPECT_EQ(missing.refusal, nullptr);

    EXPECT_EQ(escapedBytes("keys = \x1b[2J\x7f\xc3\xa9"), "keys = \\x1B[2J\\x7F\\xC3\\xA9");
}
