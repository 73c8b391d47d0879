// Songs saved into the data folder beside the test program and read back the
// way the editor and the player read them.
#include "song/song_file.h"
#include "base/data_files.h"
#include "base/file_loading.h"
#include "host/glfw_game.h"
#include "tests/support/child_process.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/test_user_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class SongFiles : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const std::string& name : written) {
            std::remove(real(name).c_str());
            std::remove((real(name) + "~saving").c_str());
        }
        if (!madeFolder.empty()) rmdir(real(madeFolder).c_str());
    }

    // A file name of this test in the songs folder, removed afterwards.
    String name(const std::string& base)
    {
        std::string unique = "songfile-test-" + std::to_string(getpid()) + "-" + base;
        written.push_back(unique);
        return widen(unique);
    }
    static std::string real(const std::string& name) { return userFiles().songsFolder() + name; }
    static std::string bytesOf(const String& name) { return readFileBytes(real(narrow(name))); }
    static bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

    Song loaded(const String& name)
    {
        String text = loadText(U"songs/" + name);
        Song song;
        if (!text.empty()) parseSongText(text, song);
        return song;
    }

    BBQuorvaneGame game;
    std::vector<std::string> written;
    std::string madeFolder;
};

Song newSong()
{
    Song song;
    song.patternColumns = blankColumns();
    return song;
}

// Notes, digits and descriptions in a few patterns, and values that need two
// or three bytes each.
Song busySong()
{
    Song song = newSong();
    song.songLengthRows = 99 * rowsPerPattern;
    song.speed = 16;
    song.positions[0] = 2;
    song.positions[1] = 140;
    song.patternColumns[0][2 * 32 + 5] = U'q';
    song.patternColumns[7][140 * 32 + 31] = U'\u20AC';
    song.patternColumns[12][0] = U'\u00E9';
    song.instrumentParams[1 * 8 + slotEnvelope] = 255;
    song.instrumentParams[248] = 2047;
    song.instrumentDescriptions[1] = U"lead";
    song.instrumentDescriptions[31] = String(21, U'z');
    return song;
}

// The same song as the file holds it: descriptions 1..31 padded to 21.
bool sameSong(const Song& a, const Song& b)
{
    auto padded = [](String text) {
        text.resize(descriptionLength, U' ');
        return text;
    };
    for (int n = 1; n < descriptionCount; ++n) {
        if (padded(a.instrumentDescriptions[n]) != padded(b.instrumentDescriptions[n])) return false;
    }
    return a.patternColumns == b.patternColumns && a.songLengthRows == b.songLengthRows && a.speed == b.speed &&
           a.positions == b.positions && a.instrumentParams == b.instrumentParams;
}

} // namespace

TEST_F(SongFiles, ANewSongIs1675BytesWithBlankDescriptions)
{
    String song = name("new");
    ASSERT_EQ(saveSong(newSong(), song), SaveOutcome::saved);
    std::string bytes = bytesOf(song);
    ASSERT_EQ(bytes.size(), 1675u);
    EXPECT_EQ(bytes.substr(0, 7), std::string("KOV1\x01\x04\x01", 7));
    EXPECT_EQ(bytes.substr(1675 - 31 * 21), std::string(31 * 21, ' '));
    Song back = loaded(song);
    EXPECT_EQ(back.instrumentDescriptions[5], String(21, U' '));
    EXPECT_EQ(back.patternColumns, blankColumns());
}

TEST_F(SongFiles, Pattern255StoresTheCountAsTwoBytesAndEveryColumnWhole)
{
    Song song = newSong();
    song.positions[3] = 255;
    song.patternColumns[15][columnLength - 1] = U'3';
    song.instrumentParams[2 * 8 + slotEnvelope] = 255;
    String file = name("p255");
    ASSERT_EQ(saveSong(song, file), SaveOutcome::saved);
    std::string bytes = bytesOf(file);
    EXPECT_EQ(bytes.substr(6, 2), "\xC4\x80");
    // Three characters of two bytes: the count, position 255 and ENV 255.
    EXPECT_EQ(bytes.size(), 7u + 512 * 256 + 1156 + 3);
    EXPECT_NE(bytes.find("\xC3\xBF"), std::string::npos);
    EXPECT_TRUE(sameSong(loaded(file), song));
}

TEST_F(SongFiles, SaveLoadSaveGivesTheSameBytes)
{
    Song song = busySong();
    song.positions[200] = 9;  // beyond the song's length, still saved and counted
    String first = name("first"), second = name("second");
    ASSERT_EQ(saveSong(song, first), SaveOutcome::saved);
    Song back = loaded(first);
    EXPECT_TRUE(sameSong(back, song));
    ASSERT_EQ(saveSong(back, second), SaveOutcome::saved);
    EXPECT_EQ(bytesOf(first), bytesOf(second));
    // Two bytes each for the count 141, position 140, the e-acute, ENV 255 and
    // 2047; three for the euro sign.
    EXPECT_EQ(bytesOf(first).size(), 7u + 512 * 141 + 1156 + 5 + 2);
}

TEST_F(SongFiles, UnsavedPatternsAndLongDescriptionsDoNotOutliveALoad)
{
    Song song = busySong();
    song.patternColumns[0][200 * 32] = U'q';           // no position names pattern 200
    song.instrumentDescriptions[2] = String(30, U'y');  // longer than a description can be
    String file = name("unsaved");
    ASSERT_EQ(saveSong(song, file), SaveOutcome::saved);
    Song back = loaded(file);
    EXPECT_EQ(back.patternColumns[0][200 * 32], U'.');
    EXPECT_EQ(back.instrumentDescriptions[2], String(21, U'y'));
    EXPECT_EQ(back.instrumentDescriptions[3], String(21, U' '));
}

// The next start of playback would overwrite a song saved there.
TEST_F(SongFiles, TheTemporarySongIsAnOrdinarySongThatNoSaveOverwrites)
{
    written.push_back("tmp.dat");
    ASSERT_EQ(saveHandOverSong(busySong()), SaveOutcome::saved);
    EXPECT_TRUE(sameSong(loaded(U"tmp.dat"), busySong()));
    std::string handedOver = bytesOf(U"tmp.dat");

    for (const char32_t* spelling : {U"tmp.dat", U"./tmp.dat", U".//tmp.dat", U"././tmp.dat"})
        EXPECT_EQ(saveSong(newSong(), spelling), SaveOutcome::failed) << narrow(spelling);
    EXPECT_EQ(saveSongFile(newSong(), widen(real("tmp.dat"))), SaveOutcome::failed);
    String link = name("link");
    ASSERT_EQ(symlink("tmp.dat", real(narrow(link)).c_str()), 0);
    EXPECT_EQ(saveSong(newSong(), link), SaveOutcome::failed);
    EXPECT_EQ(bytesOf(U"tmp.dat"), handedOver);

    // Only that one file: the same name in a subfolder is a song like any other.
    madeFolder = narrow(name("sub"));
    ASSERT_EQ(mkdir(real(madeFolder).c_str(), 0755), 0);
    written.insert(written.begin(), madeFolder + "/tmp.dat");
    EXPECT_EQ(saveSong(newSong(), widen(madeFolder + "/tmp.dat")), SaveOutcome::saved);
}

TEST_F(SongFiles, NamesThatCannotBeWrittenFailWithoutLeavingFiles)
{
    EXPECT_EQ(saveSong(newSong(), U""), SaveOutcome::noName);
    String lost = name("no-such-folder/song");
    EXPECT_EQ(saveSong(newSong(), lost), SaveOutcome::failed);
    EXPECT_FALSE(exists(userFiles().songsFolder() + narrow(lost).substr(0, narrow(lost).find('/'))));

    madeFolder = narrow(name("sub"));
    ASSERT_EQ(mkdir(real(madeFolder).c_str(), 0755), 0);
    String inFolder = widen(madeFolder + "/song");
    written.insert(written.begin(), madeFolder + "/song");
    EXPECT_EQ(saveSong(newSong(), inFolder), SaveOutcome::saved);
    EXPECT_EQ(bytesOf(inFolder).size(), 1675u);
}

TEST_F(SongFiles, AFailedWriteKeepsTheEarlierFileAndTheProgramGoesOn)
{
    String file = name("kept");
    ASSERT_EQ(saveSong(newSong(), file), SaveOutcome::saved);
    std::string before = bytesOf(file);
    auto saveUnderLimit = [&](const Song& song) {
        return runWithFileSizeLimit(1000, [&] { return saveSong(song, file) == SaveOutcome::failed ? 0 : 1; });
    };
    Song large = newSong();
    large.positions[0] = 255;  // fails inside the write
    EXPECT_EQ(saveUnderLimit(large), 0);
    EXPECT_EQ(saveUnderLimit(newSong()), 0);  // fails only when flushed
    EXPECT_EQ(bytesOf(file), before);
    EXPECT_FALSE(replacementLeftBehind(real(narrow(file))));

    String fresh = name("never");
    EXPECT_EQ(runWithFileSizeLimit(1000, [&] { return saveSong(newSong(), fresh) == SaveOutcome::failed ? 0 : 1; }), 0);
    EXPECT_FALSE(exists(real(narrow(fresh))));
}

TEST_F(SongFiles, NamesMustKeepToTheSongsFolder)
{
    for (const char32_t* inside : {U"tune", U"sub/tune", U"a..b", U"..tune", U"sub/tune..", U"./tune"})
        EXPECT_TRUE(songNameStaysInFolder(inside)) << narrow(inside);
    for (const char32_t* outside : {U"..", U"../tune", U"sub/../../tune", U"sub/..", U"/tmp/tune"})
        EXPECT_FALSE(songNameStaysInFolder(outside)) << narrow(outside);
    String escape = widen("../songfile-test-" + std::to_string(getpid()));
    EXPECT_EQ(saveSong(newSong(), escape), SaveOutcome::failed);
    EXPECT_FALSE(exists(userFiles().dataFolder() + "/" + narrow(escape).substr(3)));
}

// U+012E and U+012F keep "." and "/" as their low bytes: checked as they
// are, they would pass, and the file opened would be two folders up.
TEST_F(SongFiles, CharactersThatDoNotNarrowAsTheyAreNameNoFile)
{
    std::string base = "songfile-test-" + std::to_string(getpid());
    String disguised = U"\u012E\u012E\u012F\u012E\u012E\u012F" + widen(base);
    ASSERT_EQ(narrow(disguised), "../../" + base);
    EXPECT_FALSE(songNameStaysInFolder(disguised));
    EXPECT_FALSE(songNameStaysInFolder(U"tune\u0100"));
    EXPECT_FALSE(songNameStaysInFolder(String(U"tune") + U'\0' + U"/../x"));
    EXPECT_TRUE(songNameStaysInFolder(U"t\u00FCne"));  // a name character, one byte as it is
    EXPECT_EQ(saveSong(newSong(), disguised), SaveOutcome::failed);
    EXPECT_EQ(saveSongFile(newSong(), songFolder + disguised), SaveOutcome::failed);
    EXPECT_FALSE(exists(programDirectory() + "/" + base));

    // Read the same way: the file two folders up is not the song asked for.
    std::string outside = programDirectory() + "/" + base;
    ASSERT_TRUE(std::ofstream(outside) << "KOV1");
    EXPECT_EQ(loadText(songFolder + disguised), U"");
    std::remove(outside.c_str());
}

TEST_F(SongFiles, TheLargestSongTheProgramCanWriteLoadsBack)
{
    // Every character that can take three bytes does.
    Song song = newSong();
    song.positions.fill(patternSlots - 1);
    for (PatternColumn& column : song.patternColumns) column = String(columnLength, U'\uFFFF');
    std::fill_n(song.instrumentParams.begin(), 249, 0xFFFF);  // the values a file holds
    for (String& text : song.instrumentDescriptions) text.assign(descriptionLength, U'\uFFFF');
    String file = name("largest");
    ASSERT_EQ(saveSong(song, file), SaveOutcome::saved);
    EXPECT_EQ(bytesOf(file).size(), 8u + 3 * 16 * 8192 + 2 * 256 + 3 * 249 + 3 * 21 * 31);
    EXPECT_LT(bytesOf(file).size(), textFileLimit);
    EXPECT_TRUE(sameSong(loaded(file), song));
}
