// The note keys by their place on the keyboard: the places the German
// keyboard's note characters have, named by the key codes, which stand for
// places whatever the keyboard prints on them.
#pragma once

#include "host/key_translation.h"

#include <string_view>

struct NoteKeyPlace {
    int key;         // application key code of the place
    char32_t note;   // the note character typing there on a German keyboard enters
};

// In semitone order, then the marks. The note-off also sits left of "1", for
// keyboards without the key beside left Shift.
constexpr NoteKeyPlace noteKeyPlaces[] = {
    {'Z', U'y'}, {'S', U's'}, {'X', U'x'}, {'D', U'd'}, {'C', U'c'}, {'V', U'v'}, {'G', U'g'}, {'B', U'b'},
    {'H', U'h'}, {'N', U'n'}, {'J', U'j'}, {'M', U'm'}, {'Q', U'q'}, {'2', U'2'}, {'W', U'w'}, {'3', U'3'},
    {'E', U'e'}, {'R', U'r'}, {'5', U'5'}, {'T', U't'}, {'6', U'6'}, {'Y', U'z'}, {'7', U'7'}, {'U', U'u'},
    {'I', U'i'}, {'9', U'9'}, {'O', U'o'}, {'0', U'0'}, {'P', U'p'},
    {keyIsoExtra, U'<'}, {keyGrave, U'<'}, {keyRightBracket, U'+'}, {keyBackslash, U'#'}, {keySlash, U'-'},
    {keyPeriod, U'.'},
};
static_assert(std::size(noteKeyPlaces) == 35);
