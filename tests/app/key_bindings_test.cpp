// The key file's lines: what binds, what is named as wrong, and the help
// showing the bindings in force.
#include "app/keys/key_bindings.h"
#include "app/keys/key_help.h"
#include "app/keys/key_table.h"

#include <gtest/gtest.h>

namespace {

// An AZERTY keyboard's caps for the few keys the lines name.
int azertyKey(char32_t character)
{
    switch (character) {
    case U'w': return 'Z';
    case U'a': return 'Q';
    case U'z': return 'W';
    default: return 0;
    }
}

size_t slotOf(std::string_view action)
{
    for (size_t slot = 0; slot < shortcutSlots; ++slot) {
        if (keyRows[slot / shortcutsPerRow].shortcuts[slot % shortcutsPerRow].action == action) return slot;
    }
    return shortcutSlots;
}

} // namespace

TEST(KeyBindings, LinesBindShortcutsAndNotePlacesAndBadOnesAreNamed)
{
    const std::string text = "# my keys\n"
                             "undo = w\n"
                             "copy=comma\n"
                             "  Paste = ;\n"
                             "note_0 = a\n"
                             "note_off = less\r\n"
                             "\n"
                             "nonsense\n"
                             "redo =\n"
                             "fly = x\n"
                             "note_29 = x\n"
                             "cut = ctrl\n"
                             "loop = enter\n";
    std::vector<std::string> complaints;
    KeyBindings bindings = parseKeyBindings(text, azertyKey, complaints);
    EXPECT_EQ(boundShortcutKey(bindings, slotOf("undo")), 'Z');  // the key printed "w"
    EXPECT_EQ(boundShortcutKey(bindings, slotOf("copy")), 188);
    EXPECT_EQ(boundShortcutKey(bindings, slotOf("paste")), 186);
    EXPECT_EQ(boundShortcutKey(bindings, slotOf("redo")), 'Y');  // its bad line left it as it was
    EXPECT_EQ(boundShortcutKey(bindings, slotOf("loop")), keyEnter);
    EXPECT_EQ(boundNoteAt(bindings, 'Q'), U'y');
    EXPECT_EQ(boundNoteAt(bindings, 'Z'), U'\0') << "the place the note had is free";
    EXPECT_EQ(boundNoteAt(bindings, keyIsoExtra), U'<');
    EXPECT_EQ(boundNoteAt(bindings, keyGrave), U'\0');
    EXPECT_EQ(boundNoteAt(bindings, 'P'), U'p');
    EXPECT_EQ(complaints, (std::vector<std::string> {"line 8: no \"action = key\": nonsense",
                                                     "line 9: no key \"\": redo =",
                                                     "line 10: no action \"fly\": fly = x",
                                                     "line 11: no action \"note_29\": note_29 = x",
                                                     "line 12: no key \"ctrl\": cut = ctrl"}));

    // The help shows the bindings in force.
    std::vector<HelpPage> pages = keyHelpPages(30, {}, true, &bindings);
    std::vector<std::string> keyLines;
    for (const HelpPage& page : pages) {
        for (const HelpLine& line : page) {
            if (line.keys) keyLines.push_back(narrow(line.text));
        }
    }
    auto shown = [&keyLines](const std::string& start) {
        for (const std::string& line : keyLines) {
            if (line.rfind(start, 0) == 0) return line;
        }
        return std::string();
    };
    EXPECT_EQ(shown("UNDO"), "UNDO, Ctrl+Z");
    EXPECT_EQ(shown("Ctrl+,"), "Ctrl+, / Ctrl+Shift+C, Ctrl+X");
    EXPECT_EQ(shown("Ctrl+;"), "Ctrl+; / Ctrl+Shift+V");
    EXPECT_EQ(shown("Q s x").substr(0, 12), "Q s x d c v ");  // note_0 on the key Q
}
