#include "app/sound_engine.h"
#include "app/user_input.h"

namespace {

// One spinner: a minus and a plus button 16 units wide, and the value they
// change. A negative x marks the instrument-panel form, whose buttons stand at
// fixed x; the song-settings form has its own x.
struct Spinner {
    float x;
    float y;
    int minimum;
    int maximum;
    int (*read)(const c_SoundEngine&);
    void (*write)(c_SoundEngine&, int);
    bool editsSong;  // false for the entry settings, which the song file does not keep
};

constexpr float panelForm = -1;
constexpr float panelMinusX = 561;

int& slot(c_SoundEngine& e, int n) { return e.instrumentParams[e.currentInstrument * slotsPerInstrument + n]; }
int slotValue(const c_SoundEngine& e, int n) { return instrumentSlot(e, e.currentInstrument, n); }

// In this order: the instrument number is chosen before its slots are read.
constexpr Spinner spinners[] = {
    {473, 360, 1, 4, [](const c_SoundEngine& e) { return e.octave + 1; }, [](c_SoundEngine& e, int v) { e.octave = v - 1; }, false},
    {473, 372, 1, 16, [](const c_SoundEngine& e) { return e.speed; }, [](c_SoundEngine& e, int v) { e.speed = v; }, true},
    {473, 384, 1, maxSongPositions, [](const c_SoundEngine& e) { return e.songLengthRows / rowsPerPattern; },
     [](c_SoundEngine& e, int v) { e.songLengthRows = v * rowsPerPattern; }, true},
    {panelForm, 144, 1, 15, [](const c_SoundEngine& e) { return e.currentInstrument; },
     [](c_SoundEngine& e, int v) { e.currentInstrument = v; }, false},
    {panelForm, 168, 1, 7, [](const c_SoundEngine& e) { return slotValue(e, slotWave); },
     [](c_SoundEngine& e, int v) { slot(e, slotWave) = v; }, true},
    {panelForm, 180, 0, 15, [](const c_SoundEngine& e) { return slotValue(e, slotPwm); },
     [](c_SoundEngine& e, int v) { slot(e, slotPwm) = v; }, true},
    {panelForm, 204, 1, 255, [](const c_SoundEngine& e) { return slotValue(e, slotEnvelope); },
     [](c_SoundEngine& e, int v) { slot(e, slotEnvelope) = v; }, true},
    {panelForm, 228, 0, 12, [](const c_SoundEngine& e) { return slotValue(e, slotArpFirst); },
     [](c_SoundEngine& e, int v) { slot(e, slotArpFirst) = v; }, true},
    {593, 228, 0, 12, [](const c_SoundEngine& e) { return slotValue(e, slotArpSecond); },
     [](c_SoundEngine& e, int v) { slot(e, slotArpSecond) = v; }, true},
    {panelForm, 240, 0, 15, [](const c_SoundEngine& e) { return slotValue(e, slotArpSpeed); },
     [](c_SoundEngine& e, int v) { slot(e, slotArpSpeed) = v; }, true},
    // SWP and AMT share slot 3 (SWP * 16 + AMT), RPT and E2P slot 2.
    {panelForm, 192, 0, 15, [](const c_SoundEngine& e) { return slotValue(e, slotAmtSwp) / 16; },
     [](c_SoundEngine& e, int v) { slot(e, slotAmtSwp) = v * 16 + slot(e, slotAmtSwp) % 16; }, true},
    {panelForm, 252, 0, 15, [](const c_SoundEngine& e) { return slotValue(e, slotAmtSwp) % 16; },
     [](c_SoundEngine& e, int v) { slot(e, slotAmtSwp) = slot(e, slotAmtSwp) / 16 * 16 + v; }, true},
    {panelForm, 264, 0, 1, [](const c_SoundEngine& e) { return slotValue(e, slotE2pRpt) / 16; },
     [](c_SoundEngine& e, int v) { slot(e, slotE2pRpt) = v * 16 + slot(e, slotE2pRpt) % 16; }, true},
    {panelForm, 216, 0, 15, [](const c_SoundEngine& e) { return slotValue(e, slotE2pRpt) % 16; },
     [](c_SoundEngine& e, int v) { slot(e, slotE2pRpt) = slot(e, slotE2pRpt) / 16 * 16 + v; }, true},
    {385, 12, 0, 255, [](const c_SoundEngine& e) { return e.positions[e.currentPosition]; },
     [](c_SoundEngine& e, int v) { e.positions[e.currentPosition] = v; }, true},
};
static_assert(sizeof spinners / sizeof spinners[0] == 15);

int clampTo(const Spinner& spinner, int value)
{
    if (value < spinner.minimum) return spinner.minimum;
    return value > spinner.maximum ? spinner.maximum : value;
}

// A click on minus or plus moves the value one step inside its range; the
// range is enforced every step, clicked or not.
int spin(const c_InputDevice& input, const Spinner& spinner, int value)
{
    float minusX = spinner.x == panelForm ? panelMinusX : spinner.x;
    ButtonRect minus {minusX, minusX + 16, spinner.y + 2, spinner.y + 14};
    ButtonRect plus {minusX + 16, minusX + 32, spinner.y + 2, spinner.y + 14};
    if (clicked(input, minus) && value > spinner.minimum) value -= 1;
    if (clicked(input, plus) && value < spinner.maximum) value += 1;
    return clampTo(spinner, value);
}

} // namespace

void c_SoundEngine::runSpinners()
{
    for (const Spinner& spinner : spinners) {
        int value = spinner.read(*this);
        int result = spin(input(), spinner, value);
        // Only a click is the user's change; the clamp alone is not.
        if (spinner.editsSong && result != clampTo(spinner, value)) markSongChanged();
        spinner.write(*this, result);
    }
}
