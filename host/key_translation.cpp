#include "host/key_translation.h"

#include <array>

namespace {

constexpr int firstTableKey = 32;
constexpr int lastTableKey = 345;
constexpr int isoExtraKey = 162;  // the windowing library's second "world" key

struct KeyPair {
    int glfwKey;
    int appCode;
};

// Keys other than digits and letters that the program knows; every other key
// of the windowing library is ignored.
constexpr KeyPair namedKeys[] = {
    {32, 32},   {34, 222},  {39, 222},  {44, 188},  {45, 189},  {46, 190},  {47, 191},
    {59, 186},  {61, 187},  {91, 219},  {92, 220},  {93, 221},  {96, 192},  {126, 192},
    {256, 27},  {257, 13},  {258, 9},   {259, 8},   {260, 45},  {261, 46},  {262, 39},
    {263, 37},  {264, 40},  {265, 38},  {266, 33},  {267, 34},  {268, 36},  {269, 35},
    {290, 112}, {291, 113}, {292, 114}, {293, 115}, {294, 116}, {295, 117}, {296, 118},
    {297, 119}, {298, 120}, {299, 121}, {300, 122}, {301, 123}, {320, 96},  {321, 97},
    {322, 98},  {323, 99},  {324, 100}, {325, 101}, {326, 102}, {327, 103}, {328, 104},
    {329, 105}, {330, 110}, {331, 111}, {332, 106}, {333, 109}, {334, 107}, {340, 16},
    {344, 16},  {341, 17},  {345, 17},  {isoExtraKey, keyIsoExtra},
};

constexpr std::array<int, lastTableKey - firstTableKey + 1> buildKeyTable()
{
    std::array<int, lastTableKey - firstTableKey + 1> table {};
    for (int key = 48; key <= 57; ++key) table[key - firstTableKey] = key;
    for (int key = 65; key <= 90; ++key) table[key - firstTableKey] = key;
    for (const KeyPair& pair : namedKeys) table[pair.glfwKey - firstTableKey] = pair.appCode;
    return table;
}

constexpr auto keyTable = buildKeyTable();
static_assert(keyTable[65 - firstTableKey] == 65 && keyTable[301 - firstTableKey] == 123);

} // namespace

int translateKey(int glfwKey)
{
    if (glfwKey < firstTableKey || glfwKey > lastTableKey) return 0;
    return keyTable[glfwKey - firstTableKey];
}

int windowKeyOf(int appCode)
{
    if (appCode <= 0) return 0;
    for (int key = firstTableKey; key <= lastTableKey; ++key) {
        if (keyTable[key - firstTableKey] == appCode) return key;
    }
    return 0;
}

int translateModifiers(int glfwMods)
{
    constexpr int glfwShift = 0x0001;
    constexpr int glfwControl = 0x0002;
    return (glfwMods & glfwShift ? modifierShift : 0) | (glfwMods & glfwControl ? modifierControl : 0);
}

bool isTypingKey(int appCode)
{
    return (appCode >= '0' && appCode <= '9') || (appCode >= 'A' && appCode <= 'Z') ||
           (appCode >= keySemicolon && appCode <= keyGrave) || (appCode >= keyLeftBracket && appCode <= keyQuote);
}

int keyCharacter(int appCode)
{
    switch (appCode) {
    case keyBackspace: case keyTab: case keyEnter: case keyEscape:
        return appCode;
    case keyDelete:
        return 127;
    default:
        // Navigation keys reach the character queue above the Unicode range.
        if ((appCode >= keyPageUp && appCode <= keyDown) || appCode == keyInsert) return appCode + 65536;
        return 0;
    }
}
