// The song list: every song file under the songs folder, newest first, and
// the part of it whose names hold the typed text, with one of them
// highlighted.
#pragma once

#include "base/text.h"

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

// The example songs that come with the program: read-only, beside its
// resources, listed after the user's songs as "examples/name".
constexpr char32_t exampleFolder[] = U"quorvane://data/examples/";
constexpr std::u32string_view exampleSection = U"examples/";
// Shown in an example's date column.
constexpr char32_t exampleMark[] = U"example";

// Text as the list matches it against what is typed: ASCII letters in lower case.
String foldedText(const String& text);

struct SongEntry {
    String name;  // as LOAD takes it: "subfolder/name", one character per byte
    String file;  // the file it is read from, as a scheme path
    bool example = false;
    bool module = false;  // a module of another tracker, read through libopenmpt
    String foldedName;  // lower case, for matching the typed text
    int positionCount = 0;
    int speed = 0;
    long long modifiedNanoseconds = 0;
    String line;  // the entry as the list shows it
};

// Width of the name in an entry line, in font cells.
constexpr int entryNameColumns = 15;

// The header over the entry lines, aligned with them.
constexpr char32_t songListHeader[] = U"Name            Len Spd Modified";

// Reads the song files under the folder (a real path): regular files that
// LOAD can take and that start with the song magic, and modules by their
// names (.mod, .xm, .s3m, .it), apart from the player's hand-over file and
// cut-short saves. Only each file's first bytes are read.
// A set cancel flag ends the reading early.
std::vector<SongEntry> readSongEntries(const std::string& realFolder, const std::atomic<bool>* cancel = nullptr);
// The example songs in the examples folder (a real path), by name.
std::vector<SongEntry> readExampleEntries(const std::string& realFolder);
// The user's songs, then the examples in a section of their own (real paths).
std::vector<SongEntry> readSongsAndExamples(const std::string& songsFolder, const std::string& examplesFolder,
                                            const std::atomic<bool>* cancel);

// A text as the font can show it: characters outside printable ASCII as "?".
String shownText(const String& text);

class SongList {
public:
    explicit SongList(int visibleRows) : visibleRows_(visibleRows) {}

    void setEntries(std::vector<SongEntry> entries);
    bool ready() const { return ready_; }
    int totalCount() const { return static_cast<int>(entries_.size()); }
    int shownCount() const { return static_cast<int>(shown_.size()); }
    const SongEntry& shownEntry(int index) const { return entries_[shown_[index]]; }
    // The highlighted entry, or null when nothing is shown.
    const SongEntry* highlighted() const;
    int highlight() const { return highlight_; }
    int top() const { return top_; }
    const String& filter() const { return filter_; }

    // Narrows the list to names holding the text typed so far plus c, in
    // either case. False when the character is not taken.
    bool narrow(char32_t c);
    // Takes the last typed character back; false when there was none.
    bool widen();
    // Moves the highlight, stopping at both ends; true when it moved.
    bool moveBy(int rows);
    bool moveTo(int index);
    int pageRows() const { return visibleRows_; }

private:
    void refilter();
    void keepInView();

    int visibleRows_;
    std::vector<SongEntry> entries_;
    std::vector<int> shown_;  // indices of entries_ whose names match
    String filter_;
    String foldedFilter_;
    int highlight_ = 0;
    int top_ = 0;
    bool ready_ = false;
};
