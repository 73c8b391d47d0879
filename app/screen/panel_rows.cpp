#include "app/screen/panel_rows.h"

#include "app/screen/screen_layout.h"
#include "app/screen/screen_record.h"
#include "song/waveform_table.h"

namespace {

constexpr float panelX = layout::instrumentSpinnersX;
constexpr float settingsX = layout::settingsSpinnersX;

int& slot(PanelValues& e, int n) { return e.song.instrumentParams[e.cursor.instrument * slotsPerInstrument + n]; }
int slotValue(const PanelValues& e, int n) { return instrumentSlot(e.song, e.cursor.instrument, n); }

// SWP and AMT share slot 3 (SWP * 16 + AMT), RPT and E2P slot 2.
int highNibble(const PanelValues& e, int n) { return slotValue(e, n) / 16; }
int lowNibble(const PanelValues& e, int n) { return slotValue(e, n) % 16; }
void setHighNibble(PanelValues& e, int n, int v) { slot(e, n) = v * 16 + slot(e, n) % 16; }
void setLowNibble(PanelValues& e, int n, int v) { slot(e, n) = slot(e, n) / 16 * 16 + v; }

} // namespace

constexpr std::array<PanelRow, panelRowCount> panelRows = {{
    // The line shows the octave counted from 0, the spinner from 1.
    {U" OCT:", settingsX, 360, 1, 4, [](const PanelValues& e) { return e.cursor.octave + 1; },
     [](PanelValues& e, int v) { e.cursor.octave = v - 1; }, [](const PanelValues& e) { return e.cursor.octave; }, false, true},
    {U" SPD:", settingsX, 372, 1, 16, [](const PanelValues& e) { return e.song.speed; },
     [](PanelValues& e, int v) { e.song.speed = v; }, nullptr, true, true},
    {U" Len:", settingsX, 384, 1, maxSongPositions, [](const PanelValues& e) { return e.song.songLengthRows / rowsPerPattern; },
     [](PanelValues& e, int v) { e.song.songLengthRows = v * rowsPerPattern; }, nullptr, true, true},
    {U"  INSTRUMENT:", panelX, 144, 1, 15, [](const PanelValues& e) { return e.cursor.instrument; },
     [](PanelValues& e, int v) { e.cursor.instrument = v; }, nullptr, false, true},
    // Up to F; waveOffered keeps it to 1..7 and the own waves the song has.
    {U"         WAV:", panelX, 168, 1, lastOwnWave, [](const PanelValues& e) { return slotValue(e, slotWave); },
     [](PanelValues& e, int v) { slot(e, slotWave) = v; }, nullptr, true, true},
    {U"         PWM:", panelX, 180, 0, 15, [](const PanelValues& e) { return slotValue(e, slotPwm); },
     [](PanelValues& e, int v) { slot(e, slotPwm) = v; }, nullptr, true, true},
    {U"         ENV:", panelX, 204, 1, 255, [](const PanelValues& e) { return slotValue(e, slotEnvelope); },
     [](PanelValues& e, int v) { slot(e, slotEnvelope) = v; }, nullptr, true, true},
    // The two arpeggio offsets stand as the two digits of one line, one spinner each.
    {U"         ARP:", panelX, 228, 0, 12, [](const PanelValues& e) { return slotValue(e, slotArpFirst); },
     [](PanelValues& e, int v) { slot(e, slotArpFirst) = v; },
     [](const PanelValues& e) { return slotValue(e, slotArpFirst) * 16 + slotValue(e, slotArpSecond); }, true, true},
    {nullptr, layout::secondDigitSpinnersX, 228, 0, 12, [](const PanelValues& e) { return slotValue(e, slotArpSecond); },
     [](PanelValues& e, int v) { slot(e, slotArpSecond) = v; }, nullptr, true, true},
    {U"         SPD:", panelX, 240, 0, 15, [](const PanelValues& e) { return slotValue(e, slotArpSpeed); },
     [](PanelValues& e, int v) { slot(e, slotArpSpeed) = v; }, nullptr, true, true},
    {U"         SWP:", panelX, 192, 0, 15, [](const PanelValues& e) { return highNibble(e, slotAmtSwp); },
     [](PanelValues& e, int v) { setHighNibble(e, slotAmtSwp, v); }, nullptr, true, true},
    {U"         AMT:", panelX, 252, 0, 15, [](const PanelValues& e) { return lowNibble(e, slotAmtSwp); },
     [](PanelValues& e, int v) { setLowNibble(e, slotAmtSwp, v); }, nullptr, true, true},
    {U"         RPT:", panelX, 264, 0, 1, [](const PanelValues& e) { return highNibble(e, slotE2pRpt); },
     [](PanelValues& e, int v) { setHighNibble(e, slotE2pRpt, v); }, nullptr, true, true},
    {U"         E2P:", panelX, 216, 0, 15, [](const PanelValues& e) { return lowNibble(e, slotE2pRpt); },
     [](PanelValues& e, int v) { setLowNibble(e, slotE2pRpt, v); }, nullptr, true, true},
    // The position number is shown on the top row, in the position list.
    {nullptr, layout::navigationRow.x, layout::navigationRow.y, 0, 255, [](const PanelValues& e) { return e.song.positions[e.position]; },
     [](PanelValues& e, int v) { e.song.positions[e.position] = v; }, nullptr, true, false},
}};

constexpr size_t labelledRows()
{
    size_t count = 0;
    for (const PanelRow& row : panelRows) count += row.label != nullptr;
    return count;
}
static_assert(labelledRows() == BodyView::parameterLineCount, "one parameter line for each labelled row");

static_assert(panelRows[waveRow].y == 168 && panelRows[waveRow].maximum == lastOwnWave, "waveRow is WAV's");

bool rowOffers(const PanelRow& row, const PanelValues& values, int value)
{
    return &row != &panelRows[waveRow] || value <= highestWave || holdsOwnWave(values.song.ownWaves, value);
}

int shownValue(const PanelRow& row, const PanelValues& values)
{
    return row.shown ? row.shown(values) : row.read(values);
}
