#include "song/song_file.h"

#include "base/data_paths.h"
#include "song/own_wave_section.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char32_t songMagic[] = U"KOV1";
constexpr size_t headerLength = 7;             // magic, position count, speed, pattern count
constexpr int savedInstrumentValues = 249;     // instruments 0..30 and slot 0 of 31
constexpr int firstSavedDescription = 1;
constexpr int stoppedSpeed = 5;                // what a stored speed of 0 reads as
constexpr int largestStoredNumber = 0xFFFF;    // a song file's characters are 16-bit
static_assert(savedInstrumentValues <= instrumentValueCount);
static_assert(std::size(songMagic) - 1 + 3 == headerLength);

// Where each part of a song text starts, for P saved patterns.
struct SongLayout {
    explicit SongLayout(size_t patterns)
        : patterns(patterns),
          positions(headerLength + columnCount * rowsPerPattern * patterns),
          instruments(positions + positionCount),
          descriptions(instruments + savedInstrumentValues),
          end(descriptions + (descriptionCount - firstSavedDescription) * descriptionLength)
    {
    }
    size_t columnStart(int column) const { return headerLength + column * rowsPerPattern * patterns; }

    size_t patterns, positions, instruments, descriptions, end;
};
static_assert(headerLength + columnCount * rowsPerPattern + positionCount + savedInstrumentValues +
                  (descriptionCount - 1) * descriptionLength == 1675,
              "a new song is 1675 characters");

// ---- Writing ----

// P: the largest pattern any position names, plus one. Positions hold
// 0..255; the clamp only keeps the layout whole should one not.
int savedPatternCount(const Song& song)
{
    int largest = *std::max_element(song.positions.begin(), song.positions.end());
    return std::clamp(largest + 1, 1, patternSlots);
}

// A number as a song text keeps it: one character, read back no larger than
// 16 bits (a negative number is a very large character).
int storedNumber(int value)
{
    return static_cast<int>(std::min<char32_t>(static_cast<char32_t>(value), largestStoredNumber));
}

// The header's numbers as read back: the position count never beyond the 256
// positions there are, and a speed of 0 as a song that still moves.
int readLengthRows(int storedPositions) { return std::min(storedPositions, positionCount) * rowsPerPattern; }
int readSpeed(int stored) { return stored == 0 ? stoppedSpeed : stored; }
// A position naming a pattern that cannot exist reads as pattern 0, so that
// no later reader of the columns leaves them.
int readPattern(int stored) { return stored < patternSlots ? stored : 0; }

// Text cut or filled up with the filler to exactly length characters.
String fitted(const String& text, size_t length, char32_t filler)
{
    String part = text.substr(0, length);
    part.resize(length, filler);
    return part;
}

void appendHeader(String& out, const Song& song, int patterns)
{
    out += songMagic;
    out += static_cast<char32_t>(song.songLengthRows / rowsPerPattern);
    out += static_cast<char32_t>(song.speed);
    out += static_cast<char32_t>(patterns);
}

template <size_t Count>
void appendNumbers(String& out, const std::array<int, Count>& values, size_t count)
{
    for (size_t i = 0; i < count; ++i) out += static_cast<char32_t>(values[i]);
}

// ---- Reading ----

// Bounded access to a song text: everything past its end reads as nothing.
class SongTextReader {
public:
    explicit SongTextReader(const String& text) : text_(text) {}

    // The character at index as a number; 0 past the end.
    int numberAt(size_t index) const
    {
        if (index >= text_.size()) return 0;
        return storedNumber(static_cast<int>(text_[index]));
    }

    // Up to count characters from index; shorter or empty where the text ends.
    String slice(size_t index, size_t count) const
    {
        return index < text_.size() ? text_.substr(index, count) : String();
    }

private:
    const String& text_;
};

// The stored patterns of every column, filled up with blanks to 8192
// characters; patterns beyond the column's length are not read.
void readColumns(const SongTextReader& reader, const SongLayout& layout, Song& song)
{
    size_t stored = std::min<size_t>(layout.patterns * rowsPerPattern, columnLength);
    for (int column = 0; column < columnCount; ++column) {
        String cells = reader.slice(layout.columnStart(column), stored);
        song.patternColumns[column] = fitted(cells, columnLength, blankCharOf(column));
    }
}

void readPositions(const SongTextReader& reader, const SongLayout& layout, Song& song)
{
    for (int i = 0; i < positionCount; ++i) song.positions[i] = readPattern(reader.numberAt(layout.positions + i));
}

void readInstruments(const SongTextReader& reader, const SongLayout& layout, Song& song)
{
    for (int j = 0; j < savedInstrumentValues; ++j) song.instrumentParams[j] = reader.numberAt(layout.instruments + j);
}

void readDescriptions(const SongTextReader& reader, const SongLayout& layout, Song& song)
{
    for (int n = firstSavedDescription; n < descriptionCount; ++n) {
        size_t start = layout.descriptions + (n - firstSavedDescription) * descriptionLength;
        song.instrumentDescriptions[n] = reader.slice(start, descriptionLength);
    }
}

// One UTF-8 character of at most three bytes at index, which moves past it;
// 0 at the end or on a broken sequence.
int readUtf8Number(std::string_view bytes, size_t& index)
{
    auto byte = [&](size_t i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u; };
    unsigned lead = byte(index);
    int length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : 0;
    if (length == 0 || index + length > bytes.size()) {
        index = bytes.size();
        return 0;
    }
    unsigned value = length == 1 ? lead : length == 2 ? lead & 0x1F : lead & 0x0F;
    for (int k = 1; k < length; ++k) value = value << 6 | (byte(index + k) & 0x3F);
    index += length;
    return static_cast<int>(value);
}

} // namespace

bool startsWithSongMagic(std::string_view bytes)
{
    constexpr size_t length = std::size(songMagic) - 1;
    return bytes.size() >= length && std::equal(songMagic, songMagic + length, bytes.begin());
}

bool fileHoldsSong(const std::string& realPath)
{
    int fd = open(realPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat info {};
    char head[std::size(songMagic) - 1];
    bool song = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                pread(fd, head, sizeof head, 0) == static_cast<ssize_t>(sizeof head) &&
                startsWithSongMagic(std::string_view(head, sizeof head));
    close(fd);
    return song;
}

SongHeader readSongHeader(std::string_view bytes)
{
    size_t index = std::size(songMagic) - 1;
    SongHeader header;
    header.positionCount = readUtf8Number(bytes, index);
    header.speed = readUtf8Number(bytes, index);
    return header;
}

String songText(const Song& song)
{
    int patterns = savedPatternCount(song);
    SongLayout layout(patterns);
    String out;
    out.reserve(layout.end);
    appendHeader(out, song, patterns);
    for (int column = 0; column < columnCount; ++column)
        out += fitted(song.patternColumns[column], patterns * rowsPerPattern, blankCharOf(column));
    appendNumbers(out, song.positions, positionCount);
    appendNumbers(out, song.instrumentParams, savedInstrumentValues);
    for (int n = firstSavedDescription; n < descriptionCount; ++n)
        out += fitted(song.instrumentDescriptions[n], descriptionLength, U' ');
    appendOwnWaveSection(out, song.ownWaves);
    return out;
}

bool songNameStaysInFolder(const String& name)
{
    if (!narrowsExactly(name) || (!name.empty() && name.front() == U'/')) return false;
    size_t start = 0;
    for (;;) {
        size_t end = name.find(U'/', start);
        if (name.compare(start, end == String::npos ? String::npos : end - start, U"..") == 0) return false;
        if (end == String::npos) return true;
        start = end + 1;
    }
}

SaveOutcome saveSong(const Song& song, const String& name, Durability durability)
{
    if (name.empty()) return SaveOutcome::noName;
    if (!songNameStaysInFolder(name)) return SaveOutcome::failed;
    return saveSongFile(song, songFolder + name, durability);
}

SaveOutcome saveSongFile(const Song& song, const String& path, Durability durability)
{
    if (namesHandOverSong(path)) return SaveOutcome::failed;
    return replaceTextFile(path, songText(song), durability) ? SaveOutcome::saved : SaveOutcome::failed;
}

// Only read back at once by the player: no wait for the disk.
SaveOutcome saveHandOverSong(const Song& song)
{
    bool written = replaceTextFile(songFolder + String(handOverSongName), songText(song), Durability::cached);
    return written ? SaveOutcome::saved : SaveOutcome::failed;
}

bool namesHandOverSong(const String& path)
{
    // Links in the part that exists are followed, "." and ".." folded away.
    auto canonical = [](const String& scheme, std::error_code& error) {
        return std::filesystem::weakly_canonical(narrow(resolveDataPath(scheme)), error);
    };
    std::error_code pathError, handOverError;
    std::filesystem::path file = canonical(path, pathError);
    std::filesystem::path handOver = canonical(songFolder + String(handOverSongName), handOverError);
    return !pathError && !handOverError && !file.empty() && file == handOver;
}

void removeInterruptedSaves() { removeStaleReplacements(songFolder); }

OwnWavesRead parseSongText(const String& text, Song& song)
{
    SongTextReader reader(text);
    // The position count is taken as stored (0 included: the editor's
    // spinners correct it), but never beyond the 256 positions there are.
    song.songLengthRows = readLengthRows(reader.numberAt(4));
    song.speed = readSpeed(reader.numberAt(5));
    SongLayout layout(static_cast<size_t>(reader.numberAt(6)));
    readColumns(reader, layout, song);
    readPositions(reader, layout, song);
    readInstruments(reader, layout, song);
    readDescriptions(reader, layout, song);
    return readOwnWaveSection(text, layout.end, song.ownWaves);
}

// Each field goes the way of its characters through songText and
// parseSongText, without the text in between.
Song storedSong(const Song& song)
{
    Song stored;
    stored.songLengthRows = readLengthRows(storedNumber(song.songLengthRows / rowsPerPattern));
    stored.speed = readSpeed(storedNumber(song.speed));
    size_t kept = static_cast<size_t>(savedPatternCount(song)) * rowsPerPattern;
    for (int column = 0; column < columnCount; ++column)
        stored.patternColumns[column] = fitted(song.patternColumns[column].substr(0, kept), columnLength, blankCharOf(column));
    for (int i = 0; i < positionCount; ++i) stored.positions[i] = readPattern(storedNumber(song.positions[i]));
    for (int j = 0; j < savedInstrumentValues; ++j) stored.instrumentParams[j] = storedNumber(song.instrumentParams[j]);
    for (int n = firstSavedDescription; n < descriptionCount; ++n)
        stored.instrumentDescriptions[n] = fitted(song.instrumentDescriptions[n], descriptionLength, U' ');
    stored.ownWaves = song.ownWaves;
    return stored;
}
