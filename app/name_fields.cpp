#include "app/sound_engine.h"

#include "app/status_texts.h"

#include "song/song_file.h"
#include "app/user_input.h"

#include <string_view>

namespace {

constexpr size_t songNameLimit = 32;

// The only characters either text field takes; capitals never enter a name.
constexpr std::u32string_view nameCharacters = U"üäö abcdefghijklmnopqrstuvwxyz!-._()&+[]/1234567890";
static_assert(nameCharacters.size() == 51);

bool isNameChar(int code) { return code > 0 && nameCharacters.find(static_cast<char32_t>(code)) != std::u32string_view::npos; }

} // namespace

// Takes the step's characters into a field, in order, up to its limit and
// the Enter that ends it; what follows Enter is left for the pattern.
bool c_SoundEngine::takeNameCharacters(String& text, size_t limit)
{
    bool changed = false;
    while (int ch = input().nextChar()) {
        if (ch == keyEnter) break;
        if (text.size() >= limit || !isNameChar(ch)) continue;
        text += static_cast<char32_t>(ch);
        changed = true;
    }
    return changed;
}

// While a text field takes characters the transport is held in Standby, so
// note keys go into the name and never into the pattern.
void c_SoundEngine::songNameField()
{
    if (clicked(input(), buttons::songNameField)) songNameEditing = true;
    if (!songNameEditing) return;
    holdInStandby();
    String before = songName;
    takeNameCharacters(songName, songNameLimit);
    if (pressed(input(), keyEnter)) songNameEditing = false;
    if ((pressed(input(), keyBackspace) || pressed(input(), keyDelete)) && !songName.empty()) songName.pop_back();
    // An edited name is a name in the songs folder again.
    if (songName != before) songFilePath.clear();
}

// Clicking the description starts it afresh; Backspace clears all of it, on
// purpose, unlike the song name.
void c_SoundEngine::descriptionField()
{
    String& description = instrumentDescriptions[currentInstrument];
    size_t lengthBefore = description.size();
    bool changed = false;
    if (clicked(input(), buttons::descriptionField)) {
        description.clear();
        descriptionEditing = true;
    }
    if (descriptionEditing) {
        holdInStandby();
        changed = takeNameCharacters(description, descriptionLength);
        if (pressed(input(), keyEnter)) {
            description.resize(descriptionLength, U' ');
            descriptionEditing = false;
        }
        if (pressed(input(), keyBackspace) || pressed(input(), keyDelete)) description.clear();
    }
    if (changed || description.size() != lengthBefore) markSongChanged();
}

// An active field keeps the transport in Standby, and the status row says so
// whenever that ends Editing.
void c_SoundEngine::holdInStandby()
{
    if (transportState != stateStandby) statusText = statusStandby;
    transportState = stateStandby;
    stopAllChannels();
}

String c_SoundEngine::loadSongFile()
{
    EditorSong before = editorSong();
    if (songFilePath.empty()) {
        // A name that arrives with a path ending in "songs\" keeps only the
        // part from that backslash on.
        size_t cut = songName.rfind(U'\\');
        const size_t folderLength = songFolderName.size();
        while (cut != String::npos &&
               !(cut >= folderLength && songName.compare(cut - folderLength, folderLength, songFolderName) == 0))
            cut = cut == 0 ? String::npos : songName.rfind(U'\\', cut - 1);
        if (cut != String::npos) songName = songName.substr(cut);
        if (songName.empty() || !songNameStaysInFolder(songName)) return statusFileNotFound;
    }
    String status = readSongFile(songFile());
    // A name no song of the user's has may be an example's.
    if (status == statusFileNotFound && songFilePath.empty() && readExampleSong()) status = statusFileLoaded;
    if (status != statusFileLoaded) return status;
    return songLoaded(std::move(before));
}

String c_SoundEngine::loadExampleSong()
{
    EditorSong before = editorSong();
    if (!readExampleSong()) return statusFileNotFound;
    return songLoaded(std::move(before));
}

// An example loads under its own name, without the section: SAVE then
// writes a copy into the songs folder, never into the read-only examples.
bool c_SoundEngine::readExampleSong()
{
    String name = songName;
    if (name.compare(0, exampleSection.size(), exampleSection) == 0) name = name.substr(exampleSection.size());
    if (name.empty() || !songNameStaysInFolder(name) || readSongFile(exampleFolder + name) != statusFileLoaded)
        return false;
    songName = name;
    return true;
}

// The song a load replaced is one undo step.
String c_SoundEngine::songLoaded(EditorSong before)
{
    songBeforeLoad = std::make_unique<EditorSong>(std::move(before));
    undoneLoad.reset();
    endUnsavedState(false);
    return statusFileLoaded;
}

// A name from the song list means a file in the songs folder, even while the
// editor holds a song from elsewhere.
String c_SoundEngine::loadSongNamed(const String& name, bool example)
{
    String before = songName;
    String beforePath = songFilePath;
    songName = name;
    songFilePath.clear();
    String outcome = example ? loadExampleSong() : loadSongFile();
    if (outcome == statusFileLoaded) {
        songBeforeLoad->songName = before;
        songBeforeLoad->songFilePath = beforePath;
    } else {
        // The song stays, and so does the file it belongs to.
        songName = before;
        songFilePath = beforePath;
    }
    return outcome;
}
