#include "io/data_buffer.h"
#include "io/host_stream.h"
#include "io/stream.h"
#include "io/stream_errors.h"
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
    std::unique_ptr<c_FileStream> stream = c_FileStream::open(path("ten"), U"a");
    ASSERT_TRUE(stream);
    BBFileStream& host = *stream->hostStream();
    EXPECT_EQ(host.streamPosition(), 10);
    EXPECT_EQ(host.atEnd(), 1);
    stream->writeText(U"abc");
    EXPECT_EQ(host.streamLength(), 13);
    EXPECT_TRUE(stream->close());
    EXPECT_EQ(stream->hostStream(), nullptr);
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

TEST_F(FileStreams, WrittenTextIsExactlyItsUtf8Bytes)
{
    std::unique_ptr<c_FileStream> stream = c_FileStream::open(path("text"), U"w");
    ASSERT_TRUE(stream);
    stream->writeText(U"abc\u00E9\u20AC");
    stream->writeText(U"");
    EXPECT_TRUE(stream->close());
    EXPECT_EQ(read("text"), "abc\xC3\xA9\xE2\x82\xAC");
}

TEST_F(FileStreams, WritingToAClosedStreamThrowsNamingTheStream)
{
    std::unique_ptr<c_FileStream> stream = c_FileStream::openOrFail(path("closed"), U"w");
    stream->close();
    try {
        stream->writeText(U"x");
        FAIL() << "no error thrown";
    } catch (const c_StreamError& error) {
        EXPECT_NE(dynamic_cast<const c_StreamWriteError*>(&error), nullptr);
        EXPECT_EQ(error.stream, stream.get());
    }
}

TEST_F(FileStreams, AFullFileShowsAsAWriteErrorOrAFailedClose)
{
    // Whether the C library reports the failure at once or keeps the bytes
    // buffered until the flush, a caller learns that the file is not whole.
    for (size_t length : {1500u, 20000u}) {
        int noticed = runWithFileSizeLimit(1000, [&] {
            std::unique_ptr<c_FileStream> stream = c_FileStream::open(path("full"), U"w");
            try {
                stream->writeText(String(length, U'a'));
            } catch (const c_StreamWriteError&) {
                return 1;
            }
            return stream->close() ? 0 : 1;
        });
        EXPECT_EQ(noticed, 1) << length;
    }
}

TEST_F(FileStreams, OpenOrFailOnAMissingFileIsARuntimeError)
{
    EXPECT_EXIT((withRuntimeErrorVisible(), c_FileStream::openOrFail(path("missing"), U"r")),
                ::testing::ExitedWithCode(255), "Quorvane Runtime Error : Failed to open stream");
    EXPECT_FALSE(c_FileStream::open(path("missing"), U"r"));
}
