// The song file: the song as one text of small numbers stored as character
// codes, written as UTF-8 into the songs folder of the data folder.
#pragma once

#include "base/text_file.h"
#include "song/own_wave_section.h"
#include "song/song_model.h"

#include <iterator>
#include <string_view>

// Folder of the song files, as a scheme path.
constexpr char32_t songFolder[] = U"quorvane://data/songs/";
// The folder's own name, the last part of songFolder.
constexpr std::u32string_view songFolderName = U"songs";
static_assert(std::u32string_view(songFolder).substr(std::size(songFolder) - 7, 5) == songFolderName);
// The song the transport hands to the player: an ordinary song file in the
// songs folder, rewritten at every start of playback.
constexpr char32_t handOverSongName[] = U"tmp.dat";

// How a save ended.
enum class SaveOutcome {
    saved,
    noName,  // nothing was written
    failed,  // any earlier file of that name is as it was
};

// The song's characters in file order: magic, header, the first P patterns
// of every column, positions, instrument values 0..248, descriptions 1..31,
// then the own waves' section when the song has any.
String songText(const Song& song);

// Whether a name keeps to the songs folder: it does not start with "/", has
// no ".." component, and every character reaches the file name as it is
// (base/text.h: narrowsExactly). Subfolders are fine.
bool songNameStaysInFolder(const String& name);

// Writes the song to the songs folder under name. Fails for a name that
// leaves the songs folder, and for the hand-over song by any spelling: the
// next start of playback would overwrite it. Only a song the user keeps needs
// to reach the disk.
SaveOutcome saveSong(const Song& song, const String& name, Durability durability = Durability::synced);
// The same for a song file anywhere.
SaveOutcome saveSongFile(const Song& song, const String& path, Durability durability = Durability::synced);
// Writes the hand-over song, for a player to read at once.
SaveOutcome saveHandOverSong(const Song& song);
// Whether a path names the hand-over song's file: "./tmp.dat", a link to it
// and its full path all do.
bool namesHandOverSong(const String& path);

// Removes what saves cut short by a killed program left in the songs folder.
void removeInterruptedSaves();

// What a song file's first bytes say: the magic, then the position count and
// the speed, each one UTF-8 character.
struct SongHeader {
    int positionCount = 0;
    int speed = 0;
};

// Bytes enough for the magic and the header's three numbers.
constexpr size_t songHeadLength = 13;

// True when the bytes begin with the song magic.
bool startsWithSongMagic(std::string_view bytes);

// Whether the file at a real path is a song: a regular file (not reached
// through a link) that begins with the song magic. Read without blocking.
bool fileHoldsSong(const std::string& realPath);

// The header of a file that begins with the song magic; numbers cut off by
// the end of the bytes read as 0.
SongHeader readSongHeader(std::string_view bytes);

// Fills the song fields from the text of a song file (callers pass only
// non-empty texts). Whatever the text holds, every column ends up 8192
// characters long; what the text lacks reads as 0 or blank. Instrument
// values 249..255 and description 0 keep their values; the own waves are
// the file's (none without a section), and the result says how they read.
OwnWavesRead parseSongText(const String& text, Song& song);

// The song as writing it to a file and reading that back into a new song
// would give: what a player plays, so that a song sounds the same from the
// editor as from its file.
Song storedSong(const Song& song);
