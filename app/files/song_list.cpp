#include "app/files/song_list.h"

#include "app/editing/cell_text.h"
#include "base/file_loading.h"
#include "base/text_file.h"
#include "host/file_heads.h"
#include "song/module_import.h"
#include "song/song_file.h"

#include <algorithm>
#include <ctime>
#include <string_view>

namespace {

constexpr size_t filterLimit = 40;

char32_t folded(char32_t c) { return c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c; }

} // namespace

String foldedText(const String& text)
{
    String out = text;
    std::transform(out.begin(), out.end(), out.begin(), folded);
    return out;
}

namespace {

bool endsWith(const String& text, std::u32string_view suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

String dateText(long long nanoseconds)
{
    std::time_t seconds = static_cast<std::time_t>(nanoseconds / 1000000000LL);
    std::tm local {};
    char text[16] = "";
    if (localtime_r(&seconds, &local)) std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return widen(text);
}

// Name, positions and speed as the panel shows them (two hex digits), date.
// An example shows its name without the section, which its mark names.
String entryLine(const SongEntry& entry)
{
    String name = shownText(entry.example ? entry.name.substr(exampleSection.size()) : entry.name);
    if (name.size() > entryNameColumns) name = name.substr(0, entryNameColumns - 1) + U"~";
    name.resize(entryNameColumns, U' ');
    // A module's positions and speed are known only once it is read.
    String numbers = entry.module ? String(U"--  --") : byteHex(entry.positionCount) + U"  " + byteHex(entry.speed);
    return name + U"  " + numbers + U" " +
           (entry.example ? String(exampleMark) : dateText(entry.modifiedNanoseconds));
}

// The entry's header numbers, date and line, from its file's first bytes.
SongEntry describedEntry(SongEntry entry, const FileHead& file)
{
    SongHeader header = readSongHeader(file.head);
    entry.foldedName = foldedText(entry.name);
    entry.positionCount = header.positionCount;
    entry.speed = header.speed;
    entry.modifiedNanoseconds = file.modifiedNanoseconds;
    entry.line = entryLine(entry);
    return entry;
}

bool newerFirst(const SongEntry& a, const SongEntry& b)
{
    if (a.modifiedNanoseconds != b.modifiedNanoseconds) return a.modifiedNanoseconds > b.modifiedNanoseconds;
    return a.name < b.name;
}

} // namespace

String shownText(const String& text)
{
    String out = text;
    for (char32_t& c : out)
        if (c < 32 || c > 126) c = U'?';
    return out;
}

std::vector<SongEntry> readSongEntries(const std::string& realFolder, const std::atomic<bool>* cancel)
{
    std::vector<SongEntry> entries;
    for (const FileHead& file :
         readFileHeads(realFolder, songHeadLength, static_cast<long long>(moduleFileLimit), cancel)) {
        SongEntry entry;
        entry.name = widen(file.relativePath);
        bool song = startsWithSongMagic(file.head) && file.size <= static_cast<long long>(textFileLimit);
        entry.module = !song && namesModule(file.relativePath);
        if (!(song || entry.module) || entry.name == handOverSongName || endsWith(entry.name, replacementSuffix))
            continue;
        entry.file = songFolder + entry.name;
        entries.push_back(describedEntry(std::move(entry), file));
    }
    std::sort(entries.begin(), entries.end(), newerFirst);
    return entries;
}

std::vector<SongEntry> readExampleEntries(const std::string& realFolder)
{
    std::vector<SongEntry> entries;
    for (const FileHead& file : readFileHeads(realFolder, songHeadLength, static_cast<long long>(textFileLimit))) {
        if (!startsWithSongMagic(file.head)) continue;
        SongEntry entry;
        entry.example = true;
        entry.name = String(exampleSection) + widen(file.relativePath);
        entry.file = exampleFolder + widen(file.relativePath);
        entries.push_back(describedEntry(std::move(entry), file));
    }
    std::sort(entries.begin(), entries.end(), [](const SongEntry& a, const SongEntry& b) { return a.name < b.name; });
    return entries;
}

std::vector<SongEntry> readSongsAndExamples(const std::string& songsFolder, const std::string& examplesFolder,
                                            const std::atomic<bool>* cancel)
{
    std::vector<SongEntry> entries = readSongEntries(songsFolder, cancel);
    for (SongEntry& entry : readExampleEntries(examplesFolder)) entries.push_back(std::move(entry));
    return entries;
}

void SongList::setEntries(std::vector<SongEntry> entries)
{
    entries_ = std::move(entries);
    ready_ = true;
    refilter();
}

const SongEntry* SongList::highlighted() const
{
    return highlight_ < shownCount() ? &shownEntry(highlight_) : nullptr;
}

// Typing only ever removes entries, so narrowing looks at those still shown.
bool SongList::narrow(char32_t c)
{
    if (c < 32 || c == 127 || c >= 65536 || filter_.size() >= filterLimit) return false;
    filter_ += c;
    foldedFilter_ += folded(c);
    auto unmatched = [this](int index) { return entries_[index].foldedName.find(foldedFilter_) == String::npos; };
    shown_.erase(std::remove_if(shown_.begin(), shown_.end(), unmatched), shown_.end());
    highlight_ = 0;
    top_ = 0;
    return true;
}

bool SongList::widen()
{
    if (filter_.empty()) return false;
    filter_.pop_back();
    foldedFilter_.pop_back();
    refilter();
    return true;
}

void SongList::refilter()
{
    shown_.clear();
    for (int i = 0; i < totalCount(); ++i)
        if (entries_[i].foldedName.find(foldedFilter_) != String::npos) shown_.push_back(i);
    highlight_ = 0;
    top_ = 0;
}

bool SongList::moveBy(int rows) { return moveTo(highlight_ + rows); }

bool SongList::moveTo(int index)
{
    int target = std::clamp(index, 0, std::max(0, shownCount() - 1));
    if (target == highlight_) return false;
    highlight_ = target;
    keepInView();
    return true;
}

void SongList::keepInView()
{
    if (highlight_ < top_) top_ = highlight_;
    if (highlight_ >= top_ + visibleRows_) top_ = highlight_ - visibleRows_ + 1;
}
