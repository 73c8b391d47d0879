#include "app/files/song_files.h"

#include "app/files/unsaved_work.h"
#include "app/keys/user_input.h"
#include "app/playing/transport.h"

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
bool SongFiles::takeNameCharacters(c_InputDevice& input, String& text, size_t limit)
{
    bool changed = false;
    while (int ch = input.nextChar()) {
        if (ch == keyEnter) break;
        if (text.size() >= limit || !isNameChar(ch)) continue;
        text += static_cast<char32_t>(ch);
        changed = true;
    }
    return changed;
}

// While a text field takes characters the transport is held in Standby, so
// note keys go into the name and never into the pattern.
void SongFiles::songNameField(c_InputDevice& input)
{
    if (clicked(input, buttons::songNameField)) songNameEditing = true;
    if (!songNameEditing) return;
    transport.holdInStandby();
    String& songName = identity.songName;
    String before = songName;
    takeNameCharacters(input, songName, songNameLimit);
    if (pressed(input, keyEnter)) songNameEditing = false;
    if ((pressed(input, keyBackspace) || pressed(input, keyDelete)) && !songName.empty()) songName.pop_back();
    // An edited name is a name in the songs folder again.
    if (songName != before) identity.songFilePath.clear();
}

// Clicking the description starts it afresh; Backspace clears all of it, on
// purpose, unlike the song name.
void SongFiles::descriptionField(c_InputDevice& input)
{
    String& description = song.instrumentDescriptions[cursor.instrument];
    size_t lengthBefore = description.size();
    bool changed = false;
    if (clicked(input, buttons::descriptionField)) {
        description.clear();
        descriptionEditing = true;
    }
    if (descriptionEditing) {
        transport.holdInStandby();
        changed = takeNameCharacters(input, description, descriptionLength);
        if (pressed(input, keyEnter)) {
            description.resize(descriptionLength, U' ');
            descriptionEditing = false;
        }
        if (pressed(input, keyBackspace) || pressed(input, keyDelete)) description.clear();
    }
    if (changed || description.size() != lengthBefore) unsaved.markSongChanged();
}
