#include "io/data_buffer.h"
#include "io/host_stream.h"
#include "tests/io/io_test_folder.h"
#include "tests/support/file_size_limit.h"

using FileStreams = IoTestFolder;

TEST_F(FileStreams, ModesOpenCreateOrRefuseAsNamed)
{
    BBFileStream unknown;
    EXPECT_FALSE(unknown.openPath(path("x-mode"), U"x"));
    EXPECT_FALSE(exists("x-mode"));
    EXPECT_FALSE(openHostStream(path("missing"), U"r"));
    EXPECT_FALSE(exists("missing"));

    std::unique_ptr<BBFileStream> created = openHostStream(path("new"), U"u");
    ASSERT_TRUE(created);
    EXPECT_TRUE(exists("new"));
    EXPECT_EQ(created->streamLength(), 0);
    EXPECT_FALSE(created->openPath(path("new"), U"r"));  // already open

    write("old", "0123456789");
    ASSERT_TRUE(openHostStream(path("old"), U"w"));
    EXPECT_EQ(read("old"), "");
}

TEST_F(FileStreams, AppendStartsAtTheEndAndGrowsTheLength)
{
    write("ten", "0123456789");
    std::unique_ptr<BBFileStream> stream = openHostStream(path("ten"), U"a");
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->streamPosition(), 10);
    EXPECT_EQ(stream->atEnd(), 1);
    BBDataBuffer text;
    ASSERT_TRUE(text.adopt(std::vector<unsigned char> {'a', 'b', 'c'}));
    EXPECT_EQ(stream->writeFrom(text, 0, 3), 3);
    EXPECT_EQ(stream->streamLength(), 13);
    EXPECT_TRUE(stream->closeStream());
    EXPECT_EQ(stream->writeFrom(text, 0, 3), 0);  // closed
    EXPECT_EQ(read("ten"), "0123456789abc");
}

TEST_F(FileStreams, AtEndSeekAndReadFollowThePosition)
{
    BBFileStream empty, full;
    ASSERT_TRUE(empty.openPath(write("empty", ""), U"r"));
    ASSERT_TRUE(full.openPath(write("full", "abcdef"), U"r"));
    EXPECT_EQ(empty.atEnd(), 1);
    EXPECT_EQ(full.atEnd(), 0);

    BBDataBuffer buffer;
    ASSERT_TRUE(buffer.adopt(4));
    EXPECT_EQ(full.seekTo(3), 3);
    EXPECT_EQ(full.readInto(buffer, 1, 10), 3);  // only the buffer's room past offset 1 is used
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.bytes()) + 1, 3), "def");
    EXPECT_EQ(full.atEnd(), 1);
    EXPECT_EQ(full.readInto(buffer, 4, 1), 0);  // offset outside the buffer

    full.closeStream();
    EXPECT_EQ(full.atEnd(), -1);
    EXPECT_EQ(full.streamLength(), 0);
    EXPECT_EQ(full.seekTo(2), 0);
    EXPECT_EQ(full.readInto(buffer, 0, 1), 0);
}

TEST_F(FileStreams, UpdateModeWritesWhereItReadUpTo)
{
    BBFileStream stream;
    ASSERT_TRUE(stream.openPath(write("update", "abcdef"), U"u"));
    BBDataBuffer readBuffer, writeBuffer;
    ASSERT_TRUE(readBuffer.adopt(2));
    ASSERT_TRUE(writeBuffer.adopt(std::vector<unsigned char> {'X', 'Y'}));
    ASSERT_EQ(stream.readInto(readBuffer, 0, 2), 2);
    EXPECT_EQ(stream.writeFrom(writeBuffer, 0, 2), 2);
    EXPECT_EQ(stream.streamPosition(), 4);
    EXPECT_EQ(stream.readInto(readBuffer, 0, 2), 2);
    EXPECT_EQ(readBuffer.bytes()[1], 'f');
    EXPECT_TRUE(stream.closeStream());
    EXPECT_EQ(read("update"), "abXYef");
}

TEST_F(FileStreams, AFullFileShowsAsAShortWriteOrAFailedClose)
{
    // Whether the C library reports the failure at once or keeps the bytes
    // buffered until the flush, a caller learns that the file is not whole.
    for (int length : {1500, 20000}) {
        int noticed = runWithFileSizeLimit(1000, [&] {
            std::unique_ptr<BBFileStream> stream = openHostStream(path("full"), U"w");
            BBDataBuffer bytes;
            if (!stream || !bytes.adopt(std::vector<unsigned char>(static_cast<size_t>(length), 'a'))) return 2;
            bool whole = stream->writeFrom(bytes, 0, length) == length;
            return stream->closeStream() && whole ? 0 : 1;
        });
        EXPECT_EQ(noticed, 1) << length;
    }
}
