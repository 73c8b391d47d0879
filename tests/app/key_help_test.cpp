// The key help against what runs the keys and what the README tells: the
// same rows, every Control shortcut named where it is run from, and pages
// that fit the area they are shown in.
#include "app/keys/key_help.h"
#include "app/keys/key_table.h"
#include "app/screen/instrument_words.h"
#include "app/screen/overlays.h"
#include "app/screen/screen_layout.h"
#include "base/file_loading.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

String trimmed(const String& text)
{
    size_t first = text.find_first_not_of(U' ');
    size_t last = text.find_last_not_of(U' ');
    return first == String::npos ? String() : text.substr(first, last - first + 1);
}

// Markdown's code marks go; the minus sign the font lacks reads as "-".
String plainText(String text)
{
    text.erase(std::remove(text.begin(), text.end(), U'`'), text.end());
    std::replace(text.begin(), text.end(), U'\u2212', U'-');
    return text;
}

// The rows of the README's key table: keys and what they do.
std::vector<std::pair<String, String>> readmeKeyRows()
{
    std::string bytes = readFileBytes(KOVO_README);
    String text = decodeText(std::vector<unsigned char>(bytes.begin(), bytes.end()));
    std::vector<std::pair<String, String>> rows;
    size_t at = text.find(U"| key or button | what it does |");
    if (at == String::npos) return rows;
    at = text.find(U'\n', text.find(U'\n', at) + 1) + 1;  // past the header and its rule
    while (at < text.size() && text[at] == U'|') {
        size_t end = text.find(U'\n', at);
        String line = text.substr(at, end - at);
        size_t middle = line.find(U" | ");
        rows.emplace_back(plainText(trimmed(line.substr(1, middle - 1))),
                          plainText(trimmed(line.substr(middle + 3, line.size() - middle - 4))));
        at = end + 1;
    }
    return rows;
}

} // namespace

TEST(KeyHelp, HasTheRowsOfTheReadmeKeyTableInItsOrder)
{
    std::vector<std::pair<String, String>> readme = readmeKeyRows();
    ASSERT_EQ(readme.size(), std::size(keyRows));
    for (size_t i = 0; i < readme.size(); ++i) {
        EXPECT_EQ(narrow(readme[i].first), narrow(String(keyRows[i].keys))) << "row " << i;
        EXPECT_EQ(narrow(readme[i].second), narrow(String(keyRows[i].action))) << "row " << i;
    }
}

TEST(KeyHelp, EveryControlShortcutIsNamedInTheRowThatRunsIt)
{
    int shortcuts = 0;
    for (const KeyRow& row : keyRows) {
        for (const ControlShortcut& shortcut : row.shortcuts) {
            if (!shortcut.run) continue;
            shortcuts += 1;
            String name = U"Ctrl+" + String(shortcutKeyName(shortcut.key));
            EXPECT_NE(row.keys.find(name), std::u32string_view::npos) << narrow(String(row.keys));
        }
    }
    EXPECT_EQ(shortcuts, 22);
}

TEST(KeyHelp, PagesHoldEveryRowWholeWithinTheArea)
{
    std::vector<HelpPage> pages = keyHelpPages(Overlays::helpBodyLines);
    EXPECT_GE(pages.size(), 2u);
    String keys, actions;
    for (const HelpPage& page : pages) {
        EXPECT_LE(page.size(), static_cast<size_t>(Overlays::helpBodyLines));
        ASSERT_FALSE(page.empty());
        EXPECT_TRUE(page.front().keys);  // a page starts with a row
        for (const HelpLine& line : page) {
            EXPECT_LE(line.text.size(), static_cast<size_t>(overlayColumns)) << narrow(line.text);
            (line.keys ? keys : actions) += line.text + U" ";
        }
    }
    String allKeys, allActions;
    for (const KeyRow& row : keyRows) {
        allKeys += String(row.keys) + U" ";
        allActions += String(row.action) + U" ";
    }
    // The instrument pages follow the keys, each entry as a row is.
    for (const InstrumentHelpEntry& entry : instrumentHelp) {
        allKeys += String(entry.heading) + U" ";
        allActions += String(entry.text) + U" ";
    }
    auto squeezed = [](String text) {
        text.erase(std::remove(text.begin(), text.end(), U' '), text.end());
        return text;
    };
    EXPECT_EQ(squeezed(keys), squeezed(allKeys));
    EXPECT_EQ(squeezed(actions), squeezed(allActions));
}

TEST(KeyHelp, WrapsAtBlanksAndCutsOnlyWordsLongerThanALine)
{
    EXPECT_EQ(wrapText(U"one two three", 7), (std::vector<String> {U"one two", U"three"}));
    EXPECT_EQ(wrapText(U"abcdefghij k", 4), (std::vector<String> {U"abcd", U"efgh", U"ij k"}));
    EXPECT_TRUE(wrapText(U"   ", 4).empty());
}

// Keys named as a French AZERTY keyboard prints them at the German places:
// shortcuts in capitals, the note keys by place, and characters the screen's
// font lacks left at the table's names.
TEST(KeyHelp, NamesShortcutsAndNotePlacesAsTheKeyboardPrintsThem)
{
    const std::map<int, std::string> azerty = {{'Z', "w"}, {'Y', "y"}, {'Q', "a"}, {'W', "z"}, {'M', ","},
                                               {'2', "\xC3\xA9"}, {'3', "\""}, {'H', "h"}, {'C', "c"}};
    KeyCaps caps = [&azerty](int key) {
        auto found = azerty.find(key);
        return found == azerty.end() ? String() : widen(found->second);
    };
    auto keysOfRow = [](const std::vector<HelpPage>& pages, std::u32string_view start) {
        for (const HelpPage& page : pages) {
            for (const HelpLine& line : page) {
                if (line.keys && line.text.substr(0, start.size()) == start) return narrow(line.text);
            }
        }
        return std::string();
    };
    std::vector<HelpPage> byCharacters = keyHelpPages(Overlays::helpBodyLines, caps, false);
    EXPECT_EQ(keysOfRow(byCharacters, U"UNDO"), "UNDO, Ctrl+W");
    EXPECT_EQ(keysOfRow(byCharacters, U"Ctrl+H"), "Ctrl+H");
    EXPECT_EQ(keysOfRow(byCharacters, U"y s x"), "y s x d c v g b h n j m, q 2 w 3 e");
    std::vector<HelpPage> byPlace = keyHelpPages(Overlays::helpBodyLines, caps, true);
    EXPECT_EQ(keysOfRow(byPlace, U"w s x"), "w s x d c v g b h n j ,, a 2 z \" e");  // its first line
}
