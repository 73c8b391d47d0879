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

// While a text field takes characters the transport is held in Standby, so
// note keys go into the name and never into the pattern.
void c_SoundEngine::songNameField()
{
    if (clicked(input(), buttons::songNameField)) songNameEditing = true;
    if (!songNameEditing) return;
    holdInStandby();
    String before = songName;
    int ch = input().nextChar();
    if (songName.size() < songNameLimit && isNameChar(ch)) songName += static_cast<char32_t>(ch);
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
        int ch = input().nextChar();
        if (description.size() < descriptionLength && isNameChar(ch)) {
            description += static_cast<char32_t>(ch);
            changed = true;
        }
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
    if (transportState != stateStandby) statusText = U"Standby...";
    transportState = stateStandby;
    stopAllChannels();
}

String c_SoundEngine::loadSongFile()
{
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
    if (status == statusFileLoaded) endUnsavedState();
    return status;
}
