// The computer keyboard as the real program meets it: a burst of typing with
// no pause between the keys keeps every note, and with note keys by place the
// same piano shape plays on a French AZERTY and a Dvorak keyboard loaded into
// the X server.
#include "base/file_loading.h"
#include "song/song_file.h"
#include "tests/support/child_process.h"
#include "tests/support/screen_text.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"
#include "tests/support/xvfb.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace {

// The keyboard layout (and variant) the X server gives every client from now on.
void loadKeymap(const std::string& layout, const std::string& variant = "")
{
    ensureXvfb();
    ChildProcess setxkbmap({"setxkbmap", "-layout", layout, "-variant", variant});
    ASSERT_TRUE(setxkbmap.waitExit(20));
    ASSERT_EQ(setxkbmap.exitStatus(), 0) << setxkbmap.standardError();
}

bool fileExists(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && info.st_size > 0;
}

// Names the song, saves it and reads the file back once the window is closed.
Song savedSong(TrackerProcess& tracker, const std::string& name)
{
    EXPECT_TRUE(tracker.enterSongName(name));
    tracker.key("F11");
    EXPECT_TRUE(waitFor([&] { return fileExists(tracker.songPath(name)); }, 20));
    EXPECT_TRUE(tracker.closeWindow());
    std::string bytes = readFileBytes(tracker.songPath(name));
    Song saved;
    parseSongText(decodeText(std::vector<unsigned char>(bytes.begin(), bytes.end())), saved);
    return saved;
}

// Channels from the first hold these notes from row 0 down: instrument 1,
// octave 2, volume 8, as typed.
Song typedSong(const std::vector<String>& channels)
{
    Song song;
    song.patternColumns = blankColumns();
    for (size_t channel = 0; channel < channels.size(); ++channel) {
        for (size_t row = 0; row < channels[channel].size(); ++row) {
            const char32_t cell[] = {channels[channel][row], U'8', U'1', U'2'};
            for (int part = 0; part < 4; ++part)
                song.patternColumns[channelColumn(static_cast<int>(channel) + 1, part)].set(row, cell[part]);
        }
    }
    return song;
}

void expectSamePattern(const Song& saved, const Song& expected)
{
    for (int column = 0; column < columnCount; ++column)
        EXPECT_EQ(narrow(saved.patternColumns[column].substr(0, rowsPerPattern)),
                  narrow(expected.patternColumns[column].substr(0, rowsPerPattern)))
            << "column " << column;
}

const String allNotes = U"ysxdcvgbhnjmq2w3er5t6z7ui9o0p";

// Waits until a grid row (counted from 0) reads as the text from its start
// ("1C  E-481": row, note, volume, instrument, then the next channels).
bool gridRowShows(TrackerProcess& tracker, int row, const std::string& text)
{
    const ScreenText reader;
    const uint32_t ink = row % 4 == 0 ? 0x716E7E : 0x9490A4;  // every fourth row is a beat
    return waitFor([&] { return reader.read(tracker.screenshot(), 0, 12 + 12 * row, static_cast<int>(text.size()), ink) == text; },
                   30);
}

} // namespace

TEST(KeyboardSession, EveryNoteOfABurstWithNoPauseIsInTheSavedSong)
{
    ASSERT_NO_FATAL_FAILURE(loadKeymap("us"));
    TrackerProcess tracker;
    ASSERT_TRUE(tracker.waitForWindow());
    ASSERT_TRUE(tracker.keyEach("space"));  // Editing

    // Characters typed with no delay at all, and key presses with none.
    tracker.type(narrow(allNotes), 0);
    // A cursor key that comes in the same update step as characters acts
    // first, so the test, like a user, sees the last note before moving on.
    ASSERT_TRUE(gridRowShows(tracker, 28, "1C  E-481"));
    // The cursor to the top of channel 2, one key at a time.
    std::string toChannelTwo = "Tab";
    for (size_t i = 0; i < allNotes.size(); ++i) toChannelTwo += " Up";
    ASSERT_TRUE(tracker.keyEach(toChannelTwo));
    tracker.key("q w e", 0);
    ASSERT_TRUE(gridRowShows(tracker, 2, "02  D-281 E-381"));

    expectSamePattern(savedSong(tracker, "burst"), typedSong({allNotes, U"qwe"}));
}

// Ctrl+K, and then the keys at the piano's places as each keyboard prints
// them, all in one burst: the same 29 notes, remembered as a setting.
TEST(KeyboardSession, NoteKeysByPlacePlayThePianoShapeOnAzertyAndDvorak)
{
    struct Keyboard {
        std::string layout;
        std::string variant;
        std::string switchKey;  // what the keyboard prints at the place of K
        std::string pianoKeys;  // X key names at the places of "y s x ... 0 p" on a German keyboard
    };
    const Keyboard keyboards[] = {
        {"fr", "", "ctrl+k",
         "w s x d c v g b h n j comma a eacute z quotedbl e r parenleft t minus y egrave u i ccedilla o agrave p"},
        {"us", "dvorak", "ctrl+t",
         "semicolon o q e j k i x d b h m apostrophe 2 comma 3 period p 5 y 6 f 7 g c 9 r 0 l"},
    };
    for (const Keyboard& keyboard : keyboards) {
        SCOPED_TRACE(keyboard.layout + " " + keyboard.variant);
        ASSERT_NO_FATAL_FAILURE(loadKeymap(keyboard.layout, keyboard.variant));
        TempFolder config;
        TrackerProcess tracker({"ALSOFT_DRIVERS=null", "XDG_CONFIG_HOME=" + config.path()});
        ASSERT_TRUE(tracker.waitForWindow());
        ASSERT_TRUE(tracker.keyEach("space " + keyboard.switchKey));  // Editing, note keys by place
        tracker.key(keyboard.pianoKeys, 0);
        ASSERT_TRUE(gridRowShows(tracker, 28, "1C  E-481"));
        expectSamePattern(savedSong(tracker, "places"), typedSong({allNotes}));
        EXPECT_NE(readFileBytes(config.path() + "/kovo-tracker/settings").find("note_keys=position\n"),
                  std::string::npos);
    }
    ASSERT_NO_FATAL_FAILURE(loadKeymap("us"));
}

// Ctrl+H names the shortcuts as the keyboard in use prints their keys: on a
// French keyboard undo is Control with the key printed "W".
TEST(KeyboardSession, TheKeyHelpNamesTheKeysAsAnAzertyKeyboardPrintsThem)
{
    ASSERT_NO_FATAL_FAILURE(loadKeymap("fr"));
    TrackerProcess tracker;
    ASSERT_TRUE(tracker.waitForWindow());
    ScreenText reader;
    ASSERT_TRUE(reader.loaded());
    ASSERT_TRUE(tracker.keyEach("ctrl+h"));
    constexpr uint32_t keysInk = 0x9490A4;
    auto helpShows = [&](const std::string& keys) {
        Picture shown = tracker.screenshot();
        for (int line = 1; line <= 30; ++line) {
            if (reader.read(shown, 0, 12 + 12 * line, static_cast<int>(keys.size()), keysInk) == keys) return true;
        }
        return false;
    };
    EXPECT_TRUE(waitFor([&] { return helpShows("UNDO, Ctrl+W"); }, 30));
    ASSERT_TRUE(tracker.closeWindow());
    ASSERT_NO_FATAL_FAILURE(loadKeymap("us"));
}

// A key file of one's own: Ctrl+J switches to note keys by place, the key A
// plays C (and Z no longer does), and the bad line is named on standard error.
TEST(KeyboardSession, TheKeyFileBindsShortcutsAndNoteKeysAndNamesItsBadLines)
{
    ASSERT_NO_FATAL_FAILURE(loadKeymap("us"));
    TempFolder config;
    std::filesystem::create_directories(config.path() + "/kovo-tracker");
    std::ofstream(config.path() + "/kovo-tracker/keys") << "# mine\nnote_keys = j\nnote_0 = a\nfly = x\n";
    TrackerProcess tracker({"ALSOFT_DRIVERS=null", "XDG_CONFIG_HOME=" + config.path()});
    ASSERT_TRUE(tracker.waitForWindow());
    ASSERT_TRUE(tracker.keyEach("space ctrl+j"));
    tracker.key("a z q", 0);
    ASSERT_TRUE(gridRowShows(tracker, 1, "01  C-381"));
    expectSamePattern(savedSong(tracker, "bound"), typedSong({U"yq"}));
    EXPECT_NE(tracker.process().standardError().find("keys line 4: no action \"fly\": fly = x"), std::string::npos)
        << tracker.process().standardError();
}

// A key file that is a FIFO neither holds the start nor binds anything, and
// one over its limit is refused whole rather than cut inside a line: each is
// named on standard error.
TEST(KeyboardSession, AKeyFileThatIsAFifoOrTooLongIsRefusedWithAMessage)
{
    TempFolder config;
    const std::string keys = config.path() + "/kovo-tracker/keys";
    std::filesystem::create_directories(config.path() + "/kovo-tracker");
    ASSERT_EQ(mkfifo(keys.c_str(), 0644), 0);
    {
        TrackerProcess tracker({"ALSOFT_DRIVERS=null", "XDG_CONFIG_HOME=" + config.path()});
        ASSERT_TRUE(tracker.waitForWindow());
        EXPECT_TRUE(waitFor([&] { return tracker.process().standardError().find(keys + " not read: a FIFO") != std::string::npos; }, 30))
            << tracker.process().standardError();
        ASSERT_TRUE(tracker.closeWindow());
    }
    std::filesystem::remove(keys);
    // The cut at 64 KiB would fall inside the last line and leave "undo = b".
    std::string text = std::string(64 * 1024 - 10, '#') + "\nundo = bracketleft\n";
    std::ofstream(keys) << text;
    TrackerProcess tracker({"ALSOFT_DRIVERS=null", "XDG_CONFIG_HOME=" + config.path()});
    ASSERT_TRUE(tracker.waitForWindow());
    EXPECT_TRUE(waitFor([&] { return tracker.process().standardError().find(keys + " not read: too large") != std::string::npos; }, 30))
        << tracker.process().standardError();
    EXPECT_EQ(tracker.process().standardError().find("line 2"), std::string::npos);
    ASSERT_TRUE(tracker.closeWindow());
}
