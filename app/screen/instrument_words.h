// What the instrument panel's words mean: a short name for each waveform
// pair and a line for each parameter, shown on the status row while the
// pointer rests on a parameter, and in the key help's instrument pages.
#pragma once

#include <array>
#include <string_view>

// By WAV value 1..7. The pulses are ramp and opposite saw together; PWM then
// moves their width away from the one named.
constexpr std::array<std::u32string_view, 7> waveformPairNames = {
    U"SQUARE", U"PULSE12", U"PULSE25", U"TRIANGLE", U"SAW", U"REED", U"NOISE",
};

// The name of a WAV value, or "?" outside 1..7.
constexpr std::u32string_view waveformPairName(int wave)
{
    return wave >= 1 && wave <= static_cast<int>(waveformPairNames.size()) ? waveformPairNames[static_cast<size_t>(wave - 1)]
                                                                            : U"?";
}

struct ParameterWords {
    std::u32string_view label;  // as the panel's line names it, without the colon
    float y;                    // the panel line it explains
    std::u32string_view hint;   // one line, as the status row shows it
};

// At most 56 characters each, so the status row shows them whole. WAV's
// line is followed by the current pair's number and name.
constexpr ParameterWords parameterWords[] = {
    {U"INSTRUMENT", 144, U"INSTRUMENT 1-F: the one notes take and the panel shows"},
    {U"WAV", 168, U"WAV 1-7: waveform pair; now "},
    {U"PWM", 180, U"PWM 0-F: 2nd oscillator's detune (WAV 1-3 pulse width)"},
    {U"SWP", 192, U"SWP 0-F: PWM turns every SWP*3/2 ticks; 0 never turns"},
    {U"ENV", 204, U"ENV 01-FF: ticks per 1/8 volume fall; more is longer"},
    {U"E2P", 216, U"E2P 0-F: pitch falls with the envelope by E2P; 0 off"},
    {U"ARP", 228, U"ARP 0-C 0-C: two arpeggio steps in semitones at AMT F"},
    {U"SPD", 240, U"SPD 0-F: ticks per arpeggio step; 0 holds the 2nd step"},
    {U"AMT", 252, U"AMT 0-F: arpeggio depth, F whole semitones, 0 off"},
    {U"RPT", 264, U"RPT 0-1: 1 plays the arpeggio once, 0 repeats it"},
    {U"OCT", 360, U"OCT 0-3: octave of typed notes; 2 plays waves as made"},
    {U"SPD", 372, U"SPD 01-10: song speed, ticks of 1/50 s per row"},
    {U"Len", 384, U"Len 01-63: song length in positions"},
};
static_assert(std::size(parameterWords) == 13, "one line for each labelled panel row");

// The key help's instrument pages: a heading line, then what it says.
struct InstrumentHelpEntry {
    std::u32string_view heading;
    std::u32string_view text;
};

constexpr InstrumentHelpEntry instrumentHelp[] = {
    {U"INSTRUMENTS (pointer on a parameter: its line)",
     U"Each channel plays two looped waves at once, the pair WAV chooses; every 1/50 s the instrument sets their "
     U"volume and pitch."},
    {U"WAV 1-7: 1 SQUARE 2 PULSE12 3 PULSE25 4 TRIANGLE 5 SAW 6 REED 7 NOISE",
     U"1-3 are a ramp and an opposite saw that sound as a pulse of that width; 4-7 play one wave alone. 8-F play "
     U"the song's own waves alone, where the song has them."},
    {U"PWM 0-F with SWP 0-F",
     U"PWM tunes the 2nd wave PWM/800 up or down, so the pulse of WAV 1-3 widens and narrows (with 4-7 the 2nd wave "
     U"is silent: no effect). SWP turns its direction every SWP*3/2 ticks; SWP 0 keeps it up."},
    {U"ENV 01-FF with E2P 0-F",
     U"The volume falls by 1/8 of full every ENV ticks: volume 8 or less fades out, 9-F settle low. E2P pulls the "
     U"pitch down as it falls: E2P/8 of the wave's own pitch at each step, for drums and zaps."},
    {U"ARP 0-C 0-C with SPD 0-F and AMT 0-F",
     U"The note steps base, 1st ARP, 2nd ARP, SPD ticks each; AMT F makes the steps whole semitones, less scales "
     U"them down (a vibrato). SPD 0 holds the 2nd step."},
    {U"RPT 0-1 with AMT",
     U"RPT 1 plays the arpeggio once and then holds the base note; RPT 0 repeats it for as long as the note sounds."},
    {U"Ctrl+I: the instrument library", U"Type to find, F1 to listen, Enter to load into the current instrument "
                                        U"(Ctrl+Z takes it back), type a name and F11 to save the current one."},
};
