// Translation of the windowing library's key codes into the application's
// key codes, and the characters some keys send besides their press.
#pragma once

// Application key codes the framework itself refers to.
enum KeyCode {
    keyMouseLeft = 1,
    keyMouseRight = 2,
    keyMouseMiddle = 3,
    keyBackspace = 8,
    keyTab = 9,
    keyEnter = 13,
    keyShift = 16,
    keyControl = 17,
    keyEscape = 27,
    keySpace = 32,
    keyPageUp = 33,
    keyPageDown = 34,
    keyEnd = 35,
    keyHome = 36,
    keyLeft = 37,
    keyUp = 38,
    keyRight = 39,
    keyDown = 40,
    keyInsert = 45,
    keyDelete = 46,
    keyF1 = 112,
    keyF2 = 113,
    keyF3 = 114,
    keyF4 = 115,
    keyF5 = 116,
    keyF6 = 117,
    keyF7 = 118,
    keyF8 = 119,
    keyF9 = 120,
    keyF10 = 121,
    keyF11 = 122,
    keyF12 = 123,
    keySemicolon = 186,
    keyEquals = 187,
    keyComma = 188,
    keyMinus = 189,
    keyPeriod = 190,
    keySlash = 191,
    keyGrave = 192,
    keyLeftBracket = 219,
    keyBackslash = 220,
    keyRightBracket = 221,
    keyQuote = 222,
    keyIsoExtra = 226,  // the key between left Shift and the letters on ISO keyboards
    keyJoystickBase = 256,
    keyTouchBase = 384,
    keyBackRequest = 416,
    keyCloseRequest = 432,
};

// Modifier keys held when a key went down, as the key event reports them.
enum KeyModifier {
    modifierShift = 1,
    modifierControl = 2,
};

// The modifier bits of the windowing library's key event, as KeyModifier bits.
int translateModifiers(int glfwMods);

// The application code of a windowing-library key, 0 for keys that are ignored.
int translateKey(int glfwKey);

// The windowing library's key at the place of an application key code, 0 for
// none: the inverse of translateKey.
int windowKeyOf(int appCode);

// Whether a key only types its character: a digit, a letter or a
// punctuation key.
bool isTypingKey(int appCode);

// The character a key press or repeat also sends (Backspace sends 8, Left
// 65573, Delete 127), or 0 when it sends none.
int keyCharacter(int appCode);
