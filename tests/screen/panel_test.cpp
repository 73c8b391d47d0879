// The instrument panel, the menu words, the header, the status row and the
// text cursors as the user reads them.
#include "tests/screen/screen_fixture.h"

#include "tests/support/child_process.h"

#include <stb_image.h>

#include <vector>

namespace {

using Panel = ScreenFixture;

constexpr int instrumentX = 385;

void setSlot(c_SoundEngine& engine, int instrument, int slot, int value)
{
    engine.song.instrumentParams[static_cast<size_t>(instrument * slotsPerInstrument + slot)] = value;
}

// Opaque pixels of a data-folder image that the picture does not show at (x, y).
int imageMismatches(const Picture& shown, const std::string& file, int x, int y)
{
    int width = 0, height = 0, components = 0;
    unsigned char* rgba = stbi_load((programDirectory() + "/data/" + file).c_str(), &width, &height, &components, 4);
    if (!rgba) return -1;
    int mismatches = 0;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const unsigned char* p = rgba + (row * width + column) * 4;
            uint32_t colour = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
            mismatches += p[3] == 255 && shown.at(x + column, y + row) != colour;
        }
    }
    stbi_image_free(rgba);
    return mismatches;
}

} // namespace

TEST_F(Panel, ParameterLinesShowTheCurrentInstrumentInHex)
{
    engine->cursor.instrument = 10;
    setSlot(*engine, 10, slotWave, 3);
    setSlot(*engine, 10, slotPwm, 15);
    setSlot(*engine, 10, slotE2pRpt, 0x1A);
    setSlot(*engine, 10, slotAmtSwp, 0x5C);
    setSlot(*engine, 10, slotEnvelope, 255);
    setSlot(*engine, 10, slotArpSpeed, 9);
    setSlot(*engine, 10, slotArpFirst, 3);
    setSlot(*engine, 10, slotArpSecond, 7);
    setSlot(*engine, 1, slotEnvelope, 0x77);  // another instrument's values stay out of sight
    engine->cursor.octave = 3;
    engine->song.speed = 16;
    engine->song.songLengthRows = 3168;
    Picture shown = repaint();
    auto line = [&](int y, int length) { return textAt(shown, instrumentX, y, length, seen::text); };
    EXPECT_EQ(line(144, 15), "  INSTRUMENT:0A");
    EXPECT_EQ(line(168, 15), "         WAV:03");
    EXPECT_EQ(line(180, 15), "         PWM:0F");
    EXPECT_EQ(line(192, 15), "         SWP:05");
    EXPECT_EQ(line(204, 15), "         ENV:FF");
    EXPECT_EQ(line(216, 15), "         E2P:0A");
    EXPECT_EQ(line(228, 15), "         ARP:37");
    EXPECT_EQ(line(240, 15), "         SPD:09");
    EXPECT_EQ(line(252, 15), "         AMT:0C");
    EXPECT_EQ(line(264, 15), "         RPT:01");
    EXPECT_EQ(line(360, 7), " OCT:03");
    EXPECT_EQ(line(372, 7), " SPD:10");
    EXPECT_EQ(line(384, 7), " Len:63");

    setSlot(*engine, 10, slotArpFirst, 12);
    setSlot(*engine, 10, slotArpSecond, 0);
    shown = repaint();
    EXPECT_EQ(line(228, 15), "         ARP:C0");
}

TEST_F(Panel, MenuWordsLogoDescriptionLayoutAndSongName)
{
    engine->cursor.instrument = 4;
    engine->song.instrumentDescriptions[4] = U"Square lead no. 4";
    engine->identity.songName = U"first.kov";
    Picture shown = repaint();
    EXPECT_EQ(textAt(shown, 391, 441, 9, seen::text), "LOAD SAVE");
    EXPECT_EQ(textAt(shown, 520, 343, 9, seen::text), "EDIT UNDO");
    EXPECT_EQ(textAt(shown, 520, 363, 9, seen::text), "COPYBLOCK");
    EXPECT_EQ(textAt(shown, 520, 383, 9, seen::text), "PASTE@POS");
    EXPECT_EQ(textAt(shown, 520, 323, 9, seen::text), "PLAY HOME");
    const char* logo[] = {"[ [ [[[ [ [ [[[", "[ [ [ [ [ [ [ [", "[[  [ [ [ [ [ [", "[ [ [ [  [  [ [", "[ [ [[[  [  [[["};
    for (int row = 0; row < 5; ++row) EXPECT_EQ(textAt(shown, 425, 40 + 12 * row, 15, seen::text), logo[row]);
    EXPECT_EQ(textAt(shown, 442, 106, 12, seen::text), "Description:");
    EXPECT_EQ(reader.read(shown, 396, 123, 21, seen::description, seen::grid), "Square lead no. 4    ");
    EXPECT_EQ(textAt(shown, 520, 440, 9, seen::text), "LAYOUT DE");
    EXPECT_EQ(reader.read(shown, 0 + 11, 441, 10, seen::text, seen::grid), "first.kov ");

    click(600, 450);  // LAYOUT
    step();
    engine->cursor.instrument = 5;  // an empty description leaves the box black
    shown = repaint();
    EXPECT_EQ(textAt(shown, 520, 440, 9, seen::text), "LAYOUT US");
    EXPECT_EQ(pixelsNotOf(shown, 394, 122, 236, 18, seen::grid), 0);
}

TEST_F(Panel, HeaderStatusRowAndTransportLabel)
{
    engine->transport.switchChannel(2, false);
    engine->status.say(U"File Saved...");
    Picture shown = repaint();
    EXPECT_EQ(textAt(shown, 0, -1, 43, seen::text), "POS CHN1  CHN2  CHN3  CHN4  POS ## Status: ");
    EXPECT_EQ(textAt(shown, 43 * 11, -1, 13, seen::statusText), "File Saved...");
    EXPECT_EQ(textAt(shown, 0, 408, 34, seen::text), "    on    on    off   on   FLW:Off");
    EXPECT_EQ(engine->painter.channelOnText(2), U"off ");

    // A message too long for the room after "Status: " takes that word's
    // place, and then whole headings from the right, so it reads whole.
    engine->status.say(U"Twenty-three cells long");
    shown = repaint();
    EXPECT_EQ(textAt(shown, 0, -1, 58, seen::statusText), std::string(35, ' ') + "Twenty-three cells long");
    EXPECT_EQ(textAt(shown, 0, -1, 58, seen::text), "POS CHN1  CHN2  CHN3  CHN4  POS ##" + std::string(24, ' '));
    engine->transport.startPlaybackFromStart();
    engine->transport.follow(true);
    engine->status.say(U"A message longer than the word Status");
    shown = repaint();
    EXPECT_EQ(textAt(shown, 21 * 11, -1, 37, seen::statusText), "A message longer than the word Status");
    EXPECT_EQ(textAt(shown, 0, -1, 21, seen::text), "POS CHN1  CHN2  CHN3 ");
    engine->status.say(U"Exported /a/folder/deep/down/where/nobody/would/look/for/it/song.wav");
    shown = repaint();
    EXPECT_EQ(textAt(shown, 0, -1, 58, seen::statusText), "Exported /a/folder/deep/dow...y/would/look/for/it/song.wav");
    EXPECT_EQ(pixelsNotOf(shown, 0, 12, 640, 12, seen::statusText), 640 * 12);
    EXPECT_EQ(textAt(shown, 0, 408, 33, seen::text), "    on    on    off   on   FLW:On");
    EXPECT_EQ(textAt(shown, 520, 323, 9, seen::text), "STOP HOME");
}

// The "[" of the pattern cursor stands behind the cell the cursor is on: odd
// columns on the notes of channels 1 to 4, even ones on their volume digits.
TEST_F(Panel, PatternCursorStandsBehindItsCell)
{
    // Screen row 0 is left out: the title bar covers its top two pixel rows.
    putNote(0, 1, U'y', U'2', U'F', U'1');
    putNote(3, 6, U'q', U'1', U'C', U'2');
    struct Case {
        int column, row, x, y;
        const char* under;
    } cases[] = {
        {1, 2, 44, 24, "C"},  // note of channel 1, screen row 1
        {2, 2, 77, 24, "F"},  // volume of channel 1
        {7, 7, 242, 84, "C"}, // note of channel 4, screen row 6
        {8, 7, 275, 84, "C"}, // volume of channel 4
        {3, 32, 110, 384, "-"},
    };
    for (const Case& c : cases) {
        engine->cursor.column = c.column;
        engine->cursor.row = c.row;
        Picture shown = repaint();
        uint32_t ink = (c.row - 1) % 4 == 0 ? seen::beat : seen::text;
        EXPECT_EQ(reader.read(shown, c.x, c.y, 1, ink, seen::caret), c.under) << "column " << c.column;
        // The blank before it is the " " of " [": nothing is drawn there.
        EXPECT_NE(shown.at(c.x - 1, c.y + 6), seen::caret);
    }
}

TEST_F(Panel, TextFieldCursorsStandWhereTheNextCharacterGoes)
{
    engine->files.editSongName(true);
    Picture shown = repaint();
    EXPECT_EQ(reader.read(shown, 11, 441, 1, seen::caret), "[");
    EXPECT_EQ(reader.read(shown, 44, 24, 1, seen::text, seen::grid), "-");  // no pattern cursor
    EXPECT_EQ(pixelsNotOf(shown, 394, 122, 236, 18, seen::grid), 0);      // no description cursor

    engine->identity.songName = U"abc";
    shown = repaint();
    EXPECT_EQ(reader.read(shown, 11, 441, 3, seen::text, seen::grid), "abc");
    EXPECT_EQ(reader.read(shown, 44, 441, 1, seen::caret), "[");

    engine->files.editSongName(false);
    engine->files.editDescription(true);
    shown = repaint();
    EXPECT_EQ(reader.read(shown, 396, 123, 1, seen::caret), "[");
    EXPECT_EQ(reader.read(shown, 44, 441, 1, seen::text, seen::grid), " ");
    EXPECT_EQ(reader.read(shown, 44, 24, 1, seen::text, seen::grid), "-");

    engine->song.instrumentDescriptions[1] = U"Lead";
    shown = repaint();
    EXPECT_EQ(reader.read(shown, 396, 123, 4, seen::description, seen::grid), "Lead");
    EXPECT_EQ(reader.read(shown, 396 + 44, 123, 1, seen::caret), "[");

    // Both fields at once: both cursors.
    engine->files.editSongName(true);
    shown = repaint();
    EXPECT_EQ(reader.read(shown, 44, 441, 1, seen::caret), "[");
    EXPECT_EQ(reader.read(shown, 396 + 44, 123, 1, seen::caret), "[");
}

// The images come last, over the grid and the panel texts.
TEST_F(Panel, SpinnerButtonsAndTheNavigationRowAreDrawnWhole)
{
    Picture shown = repaint();
    const int buttons[][2] = {{561, 144}, {473, 360}, {561, 168}, {561, 180}, {561, 192}, {561, 204}, {561, 228},
                              {593, 228}, {561, 240}, {561, 252}, {561, 264}, {561, 216}, {473, 372}, {473, 384}};
    for (const auto& at : buttons) EXPECT_EQ(imageMismatches(shown, "button1.png", at[0], at[1]), 0) << at[0] << "," << at[1];
    EXPECT_EQ(imageMismatches(shown, "button_navrow.png", 385, 12), 0);
}
