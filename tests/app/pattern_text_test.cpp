// Pattern text written for and read from the system clipboard: the texts in
// pattern_texts/ (written by hand from the formats' descriptions) become the
// grid's cells, and what is written reads back as the same cells.
#include "app/editing/pattern_text.h"

#include "tests/support/child_process.h"

#include <gtest/gtest.h>

namespace {

std::vector<ClipRow> read(const std::string& file, PasteDefaults defaults = {})
{
    std::string bytes = readFileBytes(std::string(KOVO_PATTERN_TEXTS) + "/" + file);
    EXPECT_FALSE(bytes.empty()) << file;
    return readPatternText(widen(bytes), defaults).value_or(std::vector<ClipRow>());
}

// A cell as its note, volume, instrument and octave characters ("y812"),
// "----" for a cell the text leaves alone.
std::string cellText(const ClipCell& cell)
{
    std::string text;
    for (char32_t c : {cell.note, cell.volume, cell.instrument, cell.octave}) text += c ? static_cast<char>(c) : '-';
    return text;
}

// Rows as "cell cell" lines.
std::vector<std::string> rowTexts(const std::vector<ClipRow>& rows)
{
    std::vector<std::string> lines;
    for (const ClipRow& row : rows) {
        std::string line;
        for (const ClipCell& cell : row) line += (line.empty() ? "" : " ") + cellText(cell);
        lines.push_back(line);
    }
    return lines;
}

using Lines = std::vector<std::string>;

} // namespace

// Middle C (C-5 in the text) is "y" at octave 2; instruments 01..15 are 1..F;
// v00..v64 become the digits 0..F; a note without volume gets 8, without
// instrument the current one; effects under notes are dropped.
TEST(PatternText, XmTextBecomesCellsOfTwoChannels)
{
    EXPECT_EQ(rowTexts(read("openmpt_xm.txt")),
              (Lines {"yF12 c822", ".000 .000", "<812 bB12", "d811 .400"}));
}

TEST(PatternText, ItTextWithCarriageReturnsClampsInstrumentsAndOctaves)
{
    // B-9 lies above the grid: it moves down by octaves to B-4 (octave 3's "u");
    // instrument 20 does not exist here, so the current instrument (1) is taken.
    EXPECT_EQ(rowTexts(read("openmpt_it.txt")), (Lines {"qFA2 ----", ".000", "-000", "<812", "u813"}));
    // A lower entry octave picks the lower of two keys for the same pitch.
    EXPECT_EQ(rowTexts(read("openmpt_it.txt", {1, 5}))[0], "iFA1 ----");
}

TEST(PatternText, ModTextWithoutVolumeColumnAndItsEffectsAsMarks)
{
    EXPECT_EQ(rowTexts(read("openmpt_mod.txt")), (Lines {"n831", "bB21", "#000", "+000", "-000"}));
}

TEST(PatternText, FurnaceTextFromTheNoteAndFromTheVolumeColumn)
{
    // Effect 03 (tone portamento) under the first note makes it legato: volume 0.
    EXPECT_EQ(rowTexts(read("furnace.txt")), (Lines {"y012 .000", "<812 cA21", ".000 .500", "-000 6F13"}));
    EXPECT_EQ(rowTexts(read("furnace_from_volume.txt")), (Lines {"-C-- qF22"}));
}

// Volume 0 is silence in the other trackers (here the note-off, since a note
// of volume 0 sounds on); MOD and XM text gives volume as Cxx; a tone
// portamento is a note without a new attack (volume 0 here).
TEST(PatternText, SilenceVolumeEffectsAndTonePortamento)
{
    EXPECT_EQ(rowTexts(read("openmpt_xm_volumes.txt")), (Lines {"<012", "<012", "yF22", "e032", "-85-"}));
    EXPECT_EQ(rowTexts(read("openmpt_it_portamento.txt")), (Lines {"e012", "x012"}));
    // The lowest volume stays a volume, rather than rounding to a legato 0.
    EXPECT_EQ(rowTexts(*readPatternText(U"ModPlug Tracker  XM\n|C-501v01...\n", {})), (Lines {"y112"}));
    // Cxx is a pattern break in IT text, never a volume.
    EXPECT_EQ(rowTexts(*readPatternText(U"ModPlug Tracker  IT\n|C-501...C00\n", {})), (Lines {"y812"}));
}

// A clip from the instrument column keeps its instruments; Furnace's
// octaves below 0 are whole octaves under C-0; a wider note is stepped over.
TEST(PatternText, FurnaceClipsFromTheInstrumentColumnNegativeOctavesAndWideNotes)
{
    EXPECT_EQ(rowTexts(read("furnace_from_instrument.txt")), (Lines {"-F1- .000", "-00- yA10", "<012 jF20"}));
    EXPECT_EQ(rowTexts(read("furnace_raw_note.txt")), (Lines {"-63-"}));
}

TEST(PatternText, OtherTextIsRefused)
{
    for (const char32_t* text : {U"", U"hello world", U"ModPlug Tracker  XM\n", U"ModPlug Tracker  XX\n|C-501........",
                                 U"org.tildearrow.furnace - Pattern Data (144)\nx\nC-4000F....|\n",
                                 U"org.tildearrow.furnace - Pattern Data (144)\n99999999999\nC-4000F....|\n",
                                 U"|C-501v64...\n"})
        EXPECT_FALSE(readPatternText(text, {}).has_value()) << narrow(text);
}

TEST(PatternText, WrittenTextIsXmPatternTextAndReadsBackAsTheSameCells)
{
    std::vector<ClipRow> rows = {
        {{U'y', U'F', U'1', U'2'}, {U'<', U'8', U'3', U'2'}},
        {{U'#', U'0', U'0', U'0'}, {U'.', U'0', U'0', U'0'}},
        {{U'.', U'5', U'0', U'0'}, {U'p', U'0', U'F', U'3'}},
        {{U'+', U'3', U'0', U'0'}, {U'-', U'0', U'0', U'0'}},
    };
    // Every key at the entry octave, every volume digit and instrument.
    const std::u32string_view keys = U"ysxdcvgbhnjmq2w3er5t6z7ui9o0p";
    for (size_t i = 0; i < keys.size(); ++i) {
        char32_t digit = U"0123456789ABCDEF"[i % 16];
        rows.push_back({{keys[i], digit, U"123456789ABCDEF"[i % 15], i < 24 ? U'2' : U'3'}, {U'y', U'8', U'1', U'0'}});
    }
    String text = writePatternText(rows);
    EXPECT_EQ(narrow(text.substr(0, 120)), "ModPlug Tracker  XM\n"
                                           "|C-501v64...|===03v34...\n"
                                           "|........100|...........\n"
                                           "|.....v21...|E-815...3FF\n"
                                           "|.....v13200|........D00\n");
    std::optional<std::vector<ClipRow>> back = readPatternText(text, {2, 7});
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(rowTexts(*back), rowTexts(rows));

    // A legato note (volume 0) goes as a tone portamento, not as the silent "v00".
    const std::vector<ClipRow> legato = {{{U'e', U'0', U'3', U'2'}}};
    EXPECT_EQ(narrow(writePatternText(legato)), "ModPlug Tracker  XM\n|E-603...3FF\n");
    EXPECT_EQ(rowTexts(*readPatternText(writePatternText(legato), {2, 7})), rowTexts(legato));

    // A note-off of volume 0 keeps it, rather than coming back at the typed volume.
    const std::vector<ClipRow> off = {{{U'<', U'0', U'3', U'2'}}};
    EXPECT_EQ(narrow(writePatternText(off)), "ModPlug Tracker  XM\n|===03v00...\n");
    EXPECT_EQ(rowTexts(*readPatternText(writePatternText(off), {2, 7})), rowTexts(off));
}

TEST(PatternText, LongAndBrokenTextsAreReadWithoutHarm)
{
    String text = U"ModPlug Tracker  XM\n";
    for (int i = 0; i < 1000; ++i) text += U"|C-5|||C|C-9zzv9999999|\u00FF\u00FF\u00FF\u00FF\u00FF\u00FF\u00FF\u00FF|===\n";
    std::optional<std::vector<ClipRow>> rows = readPatternText(text, {});
    ASSERT_TRUE(rows.has_value());
    EXPECT_EQ(rows->size(), 256u);
    EXPECT_EQ(cellText((*rows)[0][0]), "y812");
    EXPECT_EQ(cellText((*rows)[0][4]), "iF13") << "C-9 an octave down, into the grid's range; v99 as F";
    EXPECT_EQ(cellText((*rows)[0][6]), "<812");

    String furnace = U"org.tildearrow.furnace - Pattern Data (144)\n18\n";
    for (int i = 0; i < 300; ++i) furnace += U"0D00|||\u00FF|\n";
    rows = readPatternText(furnace, {});
    ASSERT_TRUE(rows.has_value());
    EXPECT_EQ(rows->size(), 256u);
}

// Other programs' ways of writing the same rows: CR or CRLF line ends, a
// byte-order mark, blanks before the lines, a line before the header.
TEST(PatternText, TheSameRowsAreReadHoweverTheTextIsLaidOut)
{
    const Lines expected = rowTexts(*readPatternText(U"ModPlug Tracker  XM\n|C-501v64...\n|...........100\n", {}));
    ASSERT_EQ(expected.size(), 2u);
    const String variants[] = {
        U"ModPlug Tracker  XM\r|C-501v64...\r|...........100\r",
        U"ModPlug Tracker  XM\r\n|C-501v64...\r\n|...........100",
        U"\uFEFFModPlug Tracker  XM\n|C-501v64...\n|...........100\n",
        U"\tModPlug Tracker  XM\n\t|C-501v64...\n  \t|...........100\n",
        U"Pattern from another program\n\nModPlug Tracker  XM\n|C-501v64...\n|...........100\n",
    };
    for (const String& text : variants) {
        std::optional<std::vector<ClipRow>> rows = readPatternText(text, {});
        ASSERT_TRUE(rows.has_value()) << narrow(text);
        EXPECT_EQ(rowTexts(*rows), expected) << narrow(text);
    }
    const String furnace = U"\uFEFFfirst line\r\norg.tildearrow.furnace - Pattern Data (12)\r\n0\r\n\tC-4000F....|\r\n";
    ASSERT_TRUE(readPatternText(furnace, {}).has_value());
    EXPECT_EQ(cellText((*readPatternText(furnace, {}))[0][0]), "yF12");
    EXPECT_FALSE(readPatternText(U"no header here\n|C-501v64...\n", {}).has_value());
}

// However long a row is, only a bounded part of it is kept.
TEST(PatternText, AVeryLongRowKeepsABoundedNumberOfCells)
{
    const String text = U"ModPlug Tracker  XM\n" + String(200000, U'|') + U"\n";
    std::optional<std::vector<ClipRow>> rows = readPatternText(text, {});
    ASSERT_TRUE(rows.has_value());
    EXPECT_EQ((*rows)[0].size(), 64u);
}
