// The instrument file, the library's folders and saves, and the status row's
// line for the panel parameter under the pointer.
#include "app/files/instrument_library.h"
#include "app/screen/panel_hint.h"
#include "song/song_file.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

InstrumentPreset examplePreset()
{
    InstrumentPreset preset;
    preset.slots = {3, 15, 0x1E, 0xC7, 255, 9, 12, 4};  // RPT 1 E2P 14, SWP 12 AMT 7
    preset.description = U"Sharp # pulse lead";
    return preset;
}

std::string reasonOf(const std::string& text, int line)
{
    InstrumentReading reading = readInstrumentText(text);
    EXPECT_EQ(reading.badLine, line) << text;
    return reading.reason;
}

} // namespace

TEST(InstrumentFile, EveryParameterAndTheDescriptionComeBackAsWritten)
{
    InstrumentReading reading = readInstrumentText(instrumentFileText(examplePreset()));
    ASSERT_TRUE(reading.ok()) << reading.reason;
    EXPECT_EQ(reading.preset, examplePreset());
    // Comments, blanks, CRLF and settings left out (a fresh instrument's).
    reading = readInstrumentText("# mine\r\n\r\n  kovo-instrument 1\r\nenv = 9\r\narp=  3   7\n");
    ASSERT_TRUE(reading.ok()) << reading.reason;
    InstrumentPreset expected;
    expected.slots[slotEnvelope] = 9;
    expected.slots[slotArpFirst] = 3;
    expected.slots[slotArpSecond] = 7;
    EXPECT_EQ(reading.preset, expected);
}

TEST(InstrumentFile, ABadLineIsNamedWithItsReason)
{
    const std::string head = "kovo-instrument 1\n";
    EXPECT_EQ(reasonOf("", 0), "empty: not an instrument file");
    EXPECT_EQ(reasonOf("wav = 1\n", 1), "not an instrument file");
    EXPECT_EQ(reasonOf("kovo-instrument 2\nfuture = 1\n", 1), "version 2 is newer than this program reads");
    EXPECT_EQ(reasonOf("kovo-instrument\n", 1), "no version after kovo-instrument");
    EXPECT_EQ(reasonOf(head + "wav = 1\nenv = 0\n", 3), "env needs a number 1-255");
    EXPECT_EQ(reasonOf(head + "rpt = 2\n", 2), "rpt needs a number 0-1");
    EXPECT_EQ(reasonOf(head + "arp = 3\n", 2), "arp needs two numbers 0-12");
    EXPECT_EQ(reasonOf(head + "pwm = 4 5\n", 2), "pwm needs a number 0-15 and nothing more");
    EXPECT_EQ(reasonOf(head + "pwm = x\n", 2), "pwm needs a number 0-15");
    EXPECT_EQ(reasonOf(head + "wave = 1\n", 2), "wave needs 64 numbers -32768-32767");
    EXPECT_EQ(reasonOf(head + "wav = 9\nenv = 3\n", 2), "wav 8-15 needs a wave line");
    EXPECT_EQ(reasonOf(head + "wav = 16\n", 2), "wav needs a number 1-15");
    EXPECT_EQ(reasonOf(head + "wav 1\n", 2), "expected \"name = value\"");
    EXPECT_EQ(reasonOf(head + "wav = 1\nwav = 2\n", 3), "\"wav\" given twice");
    EXPECT_EQ(reasonOf(head + "description = a description far too long\n", 2), "description longer than 21 characters");
    EXPECT_EQ(reasonOf(head + "description = caf\xC3\xA9\n", 2), "description holds a character the screen cannot show");
}

namespace {
OwnWave waveOf(int16_t first)
{
    OwnWave wave {};
    for (size_t i = 0; i < wave.size(); ++i) wave[i] = static_cast<int16_t>(first + 500 * static_cast<int>(i));
    return wave;
}
} // namespace

// An instrument playing an own wave carries it in its file; an old file
// without one reads as before, and a wave with WAV 1-7 is dropped.
TEST(InstrumentFile, AnOwnWaveTravelsInAWaveLine)
{
    InstrumentPreset preset = examplePreset();
    preset.slots[slotWave] = 11;
    preset.wave = waveOf(-32768);
    std::string text = instrumentFileText(preset);
    EXPECT_NE(text.find("wav = 11\n"), std::string::npos);
    EXPECT_NE(text.find("\nwave = -32768 -32268 "), std::string::npos);
    InstrumentReading reading = readInstrumentText(text);
    ASSERT_TRUE(reading.ok()) << reading.reason;
    EXPECT_EQ(reading.preset, preset);

    EXPECT_EQ(instrumentFileText(examplePreset()).find("wave"), std::string::npos);
    std::string zeros = "wave =";
    for (int i = 0; i < ownWaveFrames; ++i) zeros += " 0";
    reading = readInstrumentText(instrumentFileText(examplePreset()) + zeros + "\n");
    ASSERT_TRUE(reading.ok()) << reading.reason;
    EXPECT_FALSE(reading.preset.wave);
}

// Into a song, the wave takes the slot of the same wave or the first free
// one and WAV names it; a song with no slot left takes nothing.
TEST(InstrumentFile, AnInstrumentsWaveFindsItsSlotInTheSong)
{
    Song song;
    song.patternColumns = blankColumns();
    song.ownWaves[0] = waveOf(0);
    InstrumentPreset preset = examplePreset();
    preset.slots[slotWave] = 15;
    preset.wave = waveOf(7);
    ASSERT_TRUE(placeInstrument(song, 2, preset));
    EXPECT_EQ(instrumentSlot(song, 2, slotWave), 9);
    EXPECT_EQ(song.ownWaves[1], preset.wave);
    preset.wave = waveOf(0);
    ASSERT_TRUE(placeInstrument(song, 3, preset));
    EXPECT_EQ(instrumentSlot(song, 3, slotWave), 8);
    EXPECT_EQ(instrumentOfSong(song, 3).wave, waveOf(0));

    for (size_t slot = 2; slot < song.ownWaves.size(); ++slot) song.ownWaves[slot] = waveOf(static_cast<int16_t>(slot));
    Song full = song;
    preset.wave = waveOf(-1);
    EXPECT_FALSE(placeInstrument(song, 4, preset));
    EXPECT_EQ(song.instrumentParams, full.instrumentParams);
    EXPECT_EQ(song.ownWaves, full.ownWaves);
}

TEST(InstrumentLibrary, ShipsTwoDozenDescribedInstrumentsWithADrumKit)
{
    InstrumentShelf shelf = readInstrumentShelf("", shippedInstrumentsFolder(), "", "");
    EXPECT_GE(shelf.entries.size(), 24u);
    for (const auto& [file, instrument] : shelf.instruments) {
        EXPECT_EQ(instrument.problem, "") << narrow(file);
        EXPECT_FALSE(instrument.preset.description.empty()) << narrow(file);
    }
    for (const char* drum : {"drum-kick", "drum-snare", "drum-tom-lo", "drum-tom-hi", "drum-hat", "drum-hat-op"}) {
        String path = widen(shippedInstrumentsFolder() + "/" + drum + ".instrument");
        EXPECT_EQ(shelf.instruments.count(path), 1u) << drum;
    }
}

// A song's instruments are listed from its file: the song is never loaded.
// A file that is no regular file, or holds a bad line, is listed as not read.
TEST(InstrumentLibrary, ListsSongInstrumentsAndFilesThatCannotBeRead)
{
    TempFolder user, songs;
    Song song;
    song.patternColumns = blankColumns();
    placeInstrument(song, 3, examplePreset());
    songs.write("tune", encodeUtf8(songText(song)));
    user.write("bad.instrument", "kovo-instrument 1\nenv = 300\n");
    ASSERT_EQ(mkfifo((user.path() + "/pipe.instrument").c_str(), 0600), 0);

    InstrumentShelf shelf = readInstrumentShelf(user.path(), "", songs.path(), "");
    ASSERT_EQ(shelf.entries.size(), 3u);
    EXPECT_EQ(narrow(shelf.entries[0].line), "bad          (not read)");
    EXPECT_EQ(shelf.instruments[shelf.entries[0].file].problem, "line 2: env needs a number 1-255");
    EXPECT_EQ(shelf.instruments[shelf.entries[1].file].problem, "a FIFO");
    EXPECT_EQ(narrow(shelf.entries[2].name), "tune#3");
    EXPECT_EQ(shelf.instruments[shelf.entries[2].file].preset, examplePreset());
}

TEST(InstrumentLibrary, SavesWholeFilesOnlyUnderNamesThatStayInTheFolder)
{
    TempFolder home;
    std::string folder = home.path() + "/kovo-tracker/instruments";
    EXPECT_EQ(saveInstrument(examplePreset(), U"My bass_2", folder), InstrumentSaveOutcome::saved);
    InstrumentShelf shelf = readInstrumentShelf(folder, "", "", "");
    ASSERT_EQ(shelf.entries.size(), 1u);
    EXPECT_EQ(shelf.instruments.begin()->second.preset, examplePreset());

    EXPECT_EQ(saveInstrument(examplePreset(), U"", folder), InstrumentSaveOutcome::noName);
    for (const char32_t* name : {U"../escape", U"a/b", U" lead", U"tab\there", U"caf\u00e9", U".hidden"})
        EXPECT_EQ(saveInstrument(examplePreset(), name, folder), InstrumentSaveOutcome::badName) << narrow(name);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
    // A folder in the file's place is never replaced.
    std::filesystem::create_directory(folder + "/taken.instrument");
    EXPECT_EQ(saveInstrument(examplePreset(), U"taken", folder), InstrumentSaveOutcome::failed);
}

// The line shows while the pointer rests on a parameter; an outcome that
// arrives meanwhile wins until the pointer moves to another one.
TEST(PanelHint, NamesTheParameterUnderThePointerAndGivesWayToOutcomes)
{
    Song song;
    NoteCursor cursor;
    int position = 0;
    PanelValues values {song, cursor, position};
    song.instrumentParams[cursor.instrument * slotsPerInstrument + slotWave] = 7;
    PanelHint hint;
    // The window opened under the pointer: no move yet.
    hint.follow(0, 0, values, U"Standby...");
    hint.follow(500, 168, values, U"Standby...");
    EXPECT_EQ(narrow(hint.text()), "");
    hint.follow(500, 170, values, U"Standby...");
    EXPECT_EQ(narrow(hint.text()), "WAV 1-7: waveform pair; now 07 NOISE");
    song.instrumentParams[cursor.instrument * slotsPerInstrument + slotWave] = 10;
    hint.follow(501, 170, values, U"Standby...");
    EXPECT_EQ(narrow(hint.text()), "WAV A: the song's own wave 3");
    song.instrumentParams[cursor.instrument * slotsPerInstrument + slotWave] = 7;
    hint.follow(620, 230, values, U"Standby...");  // ARP's second spinner
    EXPECT_EQ(narrow(hint.text()).substr(0, 4), "ARP ");
    hint.follow(620, 230, values, U"File Saved...");
    EXPECT_EQ(narrow(hint.text()), "");
    hint.follow(580, 254, values, U"File Saved...");
    EXPECT_EQ(narrow(hint.text()).substr(0, 4), "AMT ");
    hint.follow(200, 200, values, U"File Saved...");  // the grid
    EXPECT_EQ(narrow(hint.text()), "");
}
