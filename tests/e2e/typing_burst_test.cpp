// Typing as fast as X can deliver it, into the real program: every note of a
// burst with no pause between the keys is in the saved song.
#include "host/file_loading.h"
#include "song/song_file.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

bool fileExists(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && info.st_size > 0;
}

// Channel 1 holds the 29 note keys from row 0 down, channel 2 three notes
// from row 0: instrument 1, octave 2, volume 8, as typed.
Song expectedSong(const String& channelOne, const String& channelTwo)
{
    Song song;
    song.patternColumns = blankColumns();
    auto put = [&song](int channel, const String& keys) {
        for (size_t row = 0; row < keys.size(); ++row) {
            const char32_t cell[] = {keys[row], U'8', U'1', U'2'};
            for (int part = 0; part < 4; ++part) song.patternColumns[channelColumn(channel, part)].set(row, cell[part]);
        }
    };
    put(1, channelOne);
    put(2, channelTwo);
    return song;
}

} // namespace

TEST(TypingBurst, EveryNoteOfABurstWithNoPauseIsInTheSavedSong)
{
    TrackerProcess tracker;
    ASSERT_TRUE(tracker.waitForWindow());
    ASSERT_TRUE(tracker.keyEach("space"));  // Editing

    // Characters typed with no delay at all, and key presses with none.
    const std::string allNotes = "ysxdcvgbhnjmq2w3er5t6z7ui9o0p";
    tracker.type(allNotes, 0);
    // The cursor to the top of channel 2, one key at a time.
    std::string toChannelTwo = "Tab";
    for (size_t i = 0; i < allNotes.size(); ++i) toChannelTwo += " Up";
    ASSERT_TRUE(tracker.keyEach(toChannelTwo));
    tracker.key("q w e", 0);

    ASSERT_TRUE(tracker.enterSongName("burst"));
    tracker.key("F11");
    ASSERT_TRUE(waitFor([&] { return fileExists(tracker.songPath("burst")); }, 20));
    ASSERT_TRUE(tracker.closeWindow());

    std::string bytes = readFileBytes(tracker.songPath("burst"));
    Song saved;
    parseSongText(decodeText(std::vector<unsigned char>(bytes.begin(), bytes.end())), saved);
    Song expected = expectedSong(widen(allNotes), U"qwe");
    for (int column = 0; column < columnCount; ++column)
        EXPECT_EQ(narrow(saved.patternColumns[column].substr(0, rowsPerPattern)),
                  narrow(expected.patternColumns[column].substr(0, rowsPerPattern)))
            << "column " << column;
}
