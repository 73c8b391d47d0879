// The song a player plays is the song as its file keeps it: storedSong gives
// exactly what writing the song as text and reading it back gives.
#include "song/song_file.h"
#include "base/file_loading.h"
#include "tests/support/child_process.h"
#include "tests/support/songs/note_grid_song.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <iterator>

namespace {

Song roundTrip(const Song& song)
{
    Song read;
    parseSongText(songText(song), read);
    return read;
}

void expectSameSong(const Song& a, const Song& b, const std::string& what)
{
    SCOPED_TRACE(what);
    for (int column = 0; column < columnCount; ++column)
        EXPECT_TRUE(a.patternColumns[column] == b.patternColumns[column]) << "column " << column;
    EXPECT_EQ(a.songLengthRows, b.songLengthRows);
    EXPECT_EQ(a.speed, b.speed);
    EXPECT_EQ(a.positions, b.positions);
    EXPECT_EQ(a.instrumentParams, b.instrumentParams);
    EXPECT_EQ(a.instrumentDescriptions, b.instrumentDescriptions);
}

void expectStoredAsRoundTrip(const Song& song, const std::string& what)
{
    expectSameSong(storedSong(song), roundTrip(song), what);
}

// The example songs as LOAD puts them into the editor.
std::vector<std::pair<std::string, Song>> exampleSongs()
{
    std::vector<std::pair<std::string, Song>> songs;
    std::string folder = programDirectory() + "/data/examples";
    DIR* listing = opendir(folder.c_str());
    if (!listing) return songs;
    while (dirent* entry = readdir(listing)) {
        std::string name = entry->d_name;
        if (name[0] == '.') continue;
        std::ifstream file(folder + "/" + name, std::ios::binary);
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        Song song;
        parseSongText(decodeText(bytes), song);
        songs.emplace_back(name, song);
    }
    closedir(listing);
    return songs;
}

} // namespace

TEST(StoredSong, EveryExampleSongIsStoredAsItsRoundTripGivesIt)
{
    std::vector<std::pair<std::string, Song>> examples = exampleSongs();
    ASSERT_GE(examples.size(), 3u);
    for (const auto& [name, song] : examples) {
        expectStoredAsRoundTrip(song, name);
        // What a file gave is already as a file keeps it.
        expectSameSong(storedSong(song), song, name + " as loaded");
    }
}

TEST(StoredSong, EditorSongsAreStoredAsTheirRoundTripGivesThem)
{
    Song blank;
    blank.patternColumns = blankColumns();
    expectStoredAsRoundTrip(blank, "a new song");
    expectStoredAsRoundTrip(Song(), "a player's song before any song");
    expectStoredAsRoundTrip(noteGridSong(3, 4, 2, {U"y81F", U"q61C", U"b718", U"n514"}), "a note grid");

    // Notes past the last pattern a position plays, characters of two and
    // three bytes, descriptions to pad and to cut, the values past 248.
    Song busy = noteGridSong(16, 99, 1, {U"y81F", U"<000", U"-000", U"#A3\u20AC"});
    busy.positions[1] = 140;
    busy.patternColumns[2][200 * rowsPerPattern] = U'q';
    busy.instrumentParams[248] = 2047;
    busy.instrumentParams[250] = 3;
    busy.instrumentDescriptions[0] = U"kept nowhere";
    busy.instrumentDescriptions[1] = U"lead";
    busy.instrumentDescriptions[31] = String(30, U'z');
    expectStoredAsRoundTrip(busy, "a busy song");
}

TEST(StoredSong, ValuesNoFileCanHoldComeBackAsTheFileReadsThem)
{
    Song odd;
    odd.patternColumns = blankColumns();
    odd.patternColumns[5] = String(U"short");
    odd.speed = 0;
    odd.songLengthRows = 300 * rowsPerPattern + 5;
    odd.positions[3] = 256;
    odd.positions[4] = -1;
    odd.instrumentParams[8] = 70000;
    odd.instrumentParams[9] = -2;
    Song stored = storedSong(odd);
    expectSameSong(stored, roundTrip(odd), "odd values");
    EXPECT_EQ(stored.speed, 5);
    EXPECT_EQ(stored.songLengthRows, positionCount * rowsPerPattern);
    EXPECT_EQ(stored.positions[3], 0);

    odd.songLengthRows = -rowsPerPattern;
    odd.speed = 1 << 20;
    expectSameSong(storedSong(odd), roundTrip(odd), "negative length, huge speed");
    // Storing twice changes nothing more.
    expectSameSong(storedSong(storedSong(odd)), storedSong(odd), "stored twice");
}
