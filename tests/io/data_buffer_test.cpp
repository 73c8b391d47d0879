#include "io/data_buffer.h"
#include "tests/io/io_test_folder.h"

namespace {

std::string bytesOf(const BBDataBuffer& buffer)
{
    return std::string(reinterpret_cast<const char*>(buffer.bytes()), static_cast<size_t>(buffer.byteCount()));
}

// The bytes pokeText produces for a text, in a buffer with room for them.
std::string utf8Of(const String& text)
{
    c_DataBuffer buffer;
    buffer.allocate(static_cast<int>(text.size() * 3));
    int count = buffer.pokeText(0, text, U"utf8");
    return bytesOf(buffer).substr(0, static_cast<size_t>(count));
}

} // namespace

using DataBuffers = IoTestFolder;

TEST_F(DataBuffers, Utf8TakesEachCharacterAsSixteenBits)
{
    EXPECT_EQ(utf8Of(U"abc"), "abc");
    EXPECT_EQ(utf8Of(U"\u00E9"), "\xC3\xA9");
    EXPECT_EQ(utf8Of(U"\u20AC"), "\xE2\x82\xAC");
    EXPECT_EQ(utf8Of(String(1, U'\0') + U"\u007F\u0080\u07FF\u0800\uFFFF"),
              std::string("\0\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF", 12));
    EXPECT_EQ(utf8Of(U"\U0001F600"), "\xEF\x98\x80");  // only the low 16 bits, 0xF600
}

TEST_F(DataBuffers, PokeTextWritesWhatFitsAndReturnsTheFullSize)
{
    c_DataBuffer buffer;
    buffer.allocate(4);
    buffer.pokeBytes(0, {'-', '-', '-', '-'}, 0, 4);
    EXPECT_EQ(buffer.pokeText(2, U"vwxyz", U"ascii"), 5);
    EXPECT_EQ(bytesOf(buffer), "--vw");
    EXPECT_EQ(buffer.pokeText(1, U"\u20AC", U"utf8"), 3);
    EXPECT_EQ(bytesOf(buffer), "-\xE2\x82\xAC");
    EXPECT_EQ(buffer.pokeText(0, U"", U"utf8"), 0);
    EXPECT_EQ(buffer.pokeText(4, U"ab", U"utf8"), 2);
    EXPECT_EQ(buffer.pokeText(-1, U"ab", U"ascii"), 2);
    EXPECT_EQ(buffer.pokeText(0, U"\u0141", U"ascii"), 1);  // low 8 bits: 0x41
    EXPECT_EQ(bytesOf(buffer), "A\xE2\x82\xAC");
}

TEST_F(DataBuffers, PokeBytesKeepsLowBitsAndStaysInsideBothSides)
{
    c_DataBuffer buffer;
    buffer.allocate(4);
    buffer.pokeBytes(0, {0x141, 0x42, -1, 0x44}, 0, 4);
    EXPECT_EQ(bytesOf(buffer), "AB\xFF" "D");
    buffer.pokeBytes(2, {'x', 'y', 'z'}, 1, 9);  // two values left, two bytes of room
    EXPECT_EQ(bytesOf(buffer), "AByz");
    buffer.pokeBytes(-1, {'q'}, 0, 1);
    buffer.pokeBytes(0, {'q'}, 1, 1);
    buffer.pokeBytes(0, {'q'}, -1, 1);
    EXPECT_EQ(bytesOf(buffer), "AByz");
}

TEST_F(DataBuffers, ABufferIsFilledOnceUntilDiscarded)
{
    BBDataBuffer buffer;
    EXPECT_FALSE(buffer.loadFile(path("missing")));
    EXPECT_FALSE(buffer.holdsBytes());
    EXPECT_FALSE(buffer.adopt(-1));
    EXPECT_TRUE(buffer.loadFile(write("file", "hello")));
    EXPECT_EQ(bytesOf(buffer), "hello");
    EXPECT_FALSE(buffer.adopt(3));
    EXPECT_FALSE(buffer.loadFile(path("file")));
    buffer.discard();
    EXPECT_EQ(buffer.byteCount(), 0);
    EXPECT_EQ(buffer.bytes(), nullptr);
    EXPECT_TRUE(buffer.adopt(std::vector<unsigned char> {'o', 'k'}));
    EXPECT_EQ(bytesOf(buffer), "ok");
}

TEST_F(DataBuffers, MisuseIsARuntimeError)
{
    c_DataBuffer buffer;
    buffer.allocate(2);
    EXPECT_EXIT((withRuntimeErrorVisible(), buffer.allocate(2)), ::testing::ExitedWithCode(255),
                "Quorvane Runtime Error : Allocate DataBuffer failed");
    EXPECT_EXIT((withRuntimeErrorVisible(), buffer.pokeText(0, U"a", U"UTF8")), ::testing::ExitedWithCode(255),
                "Quorvane Runtime Error : Invalid string encoding:UTF8");
    c_DataBuffer negative;
    EXPECT_EXIT((withRuntimeErrorVisible(), negative.allocate(-5)), ::testing::ExitedWithCode(255),
                "Allocate DataBuffer failed");
}
