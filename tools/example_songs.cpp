#include "example_songs.h"
#include "song_writer.h"

#include <array>

namespace {

// A chord as the backing of first_steps plays it.
struct Chord {
    const char* third;
    const char* top;  // the fifth or the seventh
    const char* bass;
    const char* bassFifth;
};

constexpr Chord chordC {"E4", "G4", "C3", "G3"};
constexpr Chord chordG {"B3", "D4", "G2", "D3"};
constexpr Chord chordAm {"C4", "E4", "A2", "E3"};
constexpr Chord chordF {"A3", "C4", "F2", "C3"};

// ---- first_steps: a pop song in C, four chords, a pulse lead ----

// Speed 6: a row is a sixteenth at 125 beats a minute, a pattern two bars.
Song firstSteps()
{
    SongWriter w(6);
    w.instrument(1, {1, 7, 10, 10, 0, 0, 0, 0, 0, 0, "pwm lead + note off"});
    w.instrument(2, {3, 2, 0, 5, 0, 0, 0, 0, 0, 0, "ramp pulse bass"});
    w.instrument(3, {2, 12, 4, 2, 0, 0, 0, 0, 0, 0, "fast sweep stabs"});
    w.instrument(4, {7, 0, 0, 1, 0, 0, 0, 0, 0, 0, "noise hat"});
    w.instrument(5, {7, 0, 0, 2, 0, 0, 0, 0, 0, 0, "noise snare"});
    const Voice lead {1, 0xC}, bass {2, 0xA}, stab {3, 7};
    const DrumKit kit {{'h', {4, "C6", 4}}, {'s', {5, "C5", 7}}};

    // Bass in eighths with a rest cut by a note off, off-beat stabs of the
    // chord's third and fifth, hats and a back beat.
    auto backing = [&](int p, const Chord& a, const Chord& b) {
        auto bassBar = [](const Chord& c) {
            std::string r = c.bass, f = c.bassFifth;
            return r + "/3 </1 " + r + "/2 " + f + "/2 " + r + "/3 </1 " + f + "/2 " + r + "/2";
        };
        auto stabBar = [](const Chord& c) {
            std::string t = c.third, u = c.top;
            return "r/2 " + t + "/2 r/2 " + u + "/2 r/2 " + t + "/2 r/2 " + u + "/2";
        };
        w.line(p, 2, bass, bassBar(a));
        w.line(p, 2, bass, "r/16 " + bassBar(b));
        w.line(p, 3, stab, stabBar(a));
        w.line(p, 3, stab, "r/16 " + stabBar(b));
        w.drums(p, 4, kit, "h.h.s.h.h.h.s.h.h.h.s.h.h.h.s.hh");
    };
    const std::array<std::pair<const Chord*, const Chord*>, 2> halves = {{{&chordC, &chordG}, {&chordAm, &chordF}}};
    for (int p = 0; p < 12; ++p) {
        bool firstHalf = p == 0 || p == 2 || p == 4 || p == 7 || p == 9;
        const auto& [a, b] = halves[firstHalf ? 0 : 1];
        if (p != 11) backing(p, *a, *b);
    }
    // A: the tune. B: higher, longer notes over the same chords.
    w.line(2, 1, lead, "E4/4 G4/2 C5/2 B4/2 C5/2 G4/4 D5/6 B4/2 G4/4 </2 r/2");
    w.line(3, 1, lead, "C5/4 E5/2 D5/2 C5/4 A4/4 C5/6 A4/2 F4/4 </4");
    w.line(4, 1, lead, "E4/4 G4/2 C5/2 E5/4 D5/2 C5/2 B4/4 G4/2 A4/2 B4/4 D5/4");
    w.line(5, 1, lead, "C5/2 B4/2 A4/4 E4/4 A4/4 F4/4 A4/4 C5/4 B4/4");
    w.line(6, 1, lead, "A4/8 C5/4 E5/4 F5/8 E5/4 C5/4");
    w.line(7, 1, lead, "E5/6 D5/2 C5/4 G4/4 D5/12 </4");
    w.line(8, 1, lead, "A4/4 B4/4 C5/4 E5/4 F5/4 E5/4 D5/4 C5/4");
    w.line(9, 1, lead, "E5/4 G5/4 E5/4 C5/4 D5/8 B4/4 G4/4");
    w.line(10, 1, lead, "C5/2 B4/2 A4/4 E4/4 A4/4 A4/4 G4/4 F4/4 D4/4");
    // The end: a last C, held, then cut.
    w.line(11, 1, lead, "E4/2 G4/2 C5/12 r/12 </4");
    w.line(11, 2, bass, "C3/16 </16");
    w.line(11, 3, stab, "r/2 E4/2 r/2 G4/2");
    w.drums(11, 4, kit, "h.h.s.h.h.h.s.h.", 16);
    w.order({0, 1, 2, 3, 4, 5, 2, 3, 4, 5, 6, 7, 8, 9, 2, 3, 4, 10, 11});
    return w.song();
}

// ---- arp_waltz: A minor in three-four time, chords as arpeggios ----

struct WaltzBar {
    const char* arp;  // root and the instrument that arpeggiates it
    const char* bass;
    const char* melody;
};

// Sixteen bars: Am Am Dm Dm E E Am Am, F F C C Dm E Am Am.
constexpr std::array<WaltzBar, 16> waltzBars = {{
    {"A3@1", "A2/4 E3:6/4 E3:6/4", "A4/4 C5/4 E5/4"},
    {"A3@1", "A2/4 C3:6/4 E3:6/4", "A5/8 G5/2 E5/2"},
    {"D4@1", "D3/4 A3:6/4 A3:6/4", "F5/8 E5/2 D5/2"},
    {"D4@1", "D3/4 F3:6/4 A3:6/4", "A4/12"},
    {"E3@2", "E2/4 B2:6/4 B2:6/4", "G#4/4 B4/4 E5/4"},
    {"E3@2", "E2/4 G#2:6/4 B2:6/4", "D5/8 C5/2 B4/2"},
    {"A3@1", "A2/4 E3:6/4 E3:6/4", "C5/4 B4/4 A4/4"},
    {"A3@1", "A2/4 C3:6/4 E3:6/4", "E4/8 </4"},
    {"F3@2", "F2/4 C3:6/4 C3:6/4", "A4/4 C5/4 F5/4"},
    {"F3@2", "F2/4 A2:6/4 C3:6/4", "A5/8 G5/2 F5/2"},
    {"C4@2", "C3/4 G3:6/4 G3:6/4", "E5/8 D5/2 C5/2"},
    {"C4@2", "C3/4 E3:6/4 G3:6/4", "G4/12"},
    {"D4@1", "D3/4 A3:6/4 A3:6/4", "F4/4 A4/4 D5/4"},
    {"E3@2", "E2/4 B2:6/4 B2:6/4", "D5/4 B4/4 G#4/4"},
    {"A3@1", "A2/4 E3:6/4 E3:6/4", "A4/12"},
    {"A3@1", "A2/4 C3:6/4 E3:6/4", "r/8 E4/2 G#4/2"},
}};

// Speed 5, four rows a beat: a pattern is two bars of 12 rows, ended by
// the pattern-end sign on its 24th row.
Song arpWaltz()
{
    SongWriter w(5);
    w.instrument(1, {5, 0, 0, 6, 0, 0, 15, 2, 3, 7, "arpeggios in 3/4"});
    w.instrument(2, {5, 0, 0, 6, 0, 0, 15, 2, 4, 7, "major arp 4 7"});
    w.instrument(3, {4, 0, 0, 10, 0, 0, 0, 0, 0, 0, "triangle bass"});
    w.instrument(4, {6, 0, 0, 14, 0, 0, 0, 0, 0, 0, "reed melody"});
    w.instrument(5, {7, 0, 0, 1, 0, 0, 0, 0, 0, 0, "noise tick"});
    w.instrument(6, {2, 6, 6, 16, 0, 0, 0, 0, 0, 0, "pulse melody"});
    w.instrument(7, {5, 0, 0, 4, 0, 0, 15, 1, 3, 7, "fast minor arp"});
    w.instrument(8, {5, 0, 0, 4, 0, 0, 15, 1, 4, 7, "fast major arp"});
    const DrumKit kit {{'h', {5, "C6", 3}}};

    // Pass 0 plays the reed, pass 1 the pulse with faster arpeggios; pass
    // 2 is the backing alone, for the introduction.
    auto pattern = [&](int p, int firstBar, int pass) {
        for (int half = 0; half < 2; ++half) {
            const WaltzBar& bar = waltzBars[static_cast<size_t>(firstBar + half)];
            std::string skip = half ? "r/12 " : "";
            std::string arp = bar.arp;
            if (pass == 1) arp.back() += 6;  // 1 -> 7, 2 -> 8
            w.line(p, 2, {1, 0xA}, skip + arp + "/12");
            w.line(p, 3, {3, 9}, skip + bar.bass);
            if (pass < 2) w.line(p, 1, pass == 0 ? Voice {4, 0xB} : Voice {6, 9}, skip + bar.melody);
        }
        w.drums(p, 4, kit, "....h...h...", 24);
        w.line(p, 4, {}, "r/23 -");
    };
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < 8; ++i) pattern(pass * 8 + i, i * 2, pass);
    pattern(16, 0, 2);
    pattern(17, 12, 2);
    // The end: the tonic once more, its arpeggio running out.
    w.line(18, 2, {1, 0xA}, "A3/12 <");
    w.line(18, 3, {3, 9}, "A2/12 </12");
    w.line(18, 1, {4, 0xB}, "A4/12 r/8 </4");
    w.line(18, 4, {}, "r/23 -");
    w.order({16, 17, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7, 18});
    return w.song();
}

// ---- slide_blues: a twelve-bar shuffle in A, bent notes ----

// Speed 7, three rows a beat (a shuffle's triplets): a pattern is two bars
// of 12 rows, ended by the pattern-end sign.
Song slideBlues()
{
    SongWriter w(7);
    w.instrument(1, {6, 0, 0, 24, 0, 0, 0, 0, 0, 0, "slides up + down"});
    w.instrument(2, {4, 0, 0, 12, 0, 0, 0, 0, 0, 0, "walking triangle"});
    w.instrument(3, {1, 4, 12, 3, 0, 0, 0, 0, 0, 0, "pulse comp"});
    w.instrument(4, {4, 0, 0, 1, 2, 0, 0, 0, 0, 0, "kick e2p bend"});
    w.instrument(5, {7, 0, 0, 1, 0, 0, 0, 0, 0, 0, "hat"});
    w.instrument(6, {7, 0, 0, 2, 0, 0, 0, 0, 0, 0, "snare"});
    const Voice lead {1, 7}, bass {2, 9}, comp {3, 6};
    const DrumKit kit {{'k', {4, "C5", 8}}, {'h', {5, "C6", 4}}, {'s', {6, "C5", 7}}};
    // A7, D7, E7: the boogie bass written in A, the comp's third and seventh.
    struct BluesChord {
        int fromA;
        const char* third;
        const char* seventh;
    };
    const BluesChord a7 {0, "C#4", "G4"}, d7 {5, "F#4", "C4"}, e7 {7, "G#4", "D4"};
    const char* upBar = "A2/2 A2/1 C#3/2 C#3/1 E3/2 E3/1 F#3/2 F#3/1";
    const char* downBar = "G3/2 G3/1 F#3/2 F#3/1 E3/2 E3/1 C#3/2 C#3/1";

    auto backing = [&](int p, const BluesChord& first, const BluesChord& second) {
        for (int half = 0; half < 2; ++half) {
            const BluesChord& c = half ? second : first;
            std::string skip = half ? "r/12 " : "";
            w.line(p, 2, bass, skip + (half ? downBar : upBar), c.fromA);
            std::string t = c.third, s = c.seventh;
            w.line(p, 3, comp, skip + "r/2 " + t + "/1 r/2 " + s + "/1 r/2 " + t + "/1 r/2 " + s + "/1");
        }
        w.drums(p, 4, kit, "k.hs.hk.hs.hk.hs.hk.hs..", 24);
        w.line(p, 4, {}, "r/23 -");
    };
    const std::array<std::pair<const BluesChord*, const BluesChord*>, 6> twelveBars = {
        {{&a7, &a7}, {&a7, &a7}, {&d7, &d7}, {&a7, &a7}, {&e7, &d7}, {&a7, &e7}}};
    // Two choruses of twelve bars, two bars a line.
    const std::array<const char*, 12> choruses = {
        "r/3 E4/2 #/1 G4./3 A4/3 C5/2 #/1 D5./3 C5/3 A4/3",
        "E5/6 D5/3 C5/3 A4/6 +/3 </3",
        "A4/2 #/1 C5./3 A4/3 F#4/3 D5/2 #/1 E5./4 D5/2 C5/3",
        "C5/3 A4/3 E4/2 #/1 G4./3 A4/9 </3",
        "B4/3 D5/3 E5/3 G5/3 F#5/2 +/1 E5./3 D5/3 C5/3",
        "A4/3 C5/3 C#5/3 E5/3 E5/6 +/2 </4",
        "E5/2 #/1 G5./3 E5/3 C5/3 D5/2 #/1 E5./3 C5/3 A4/3",
        "C5/3 A4/3 C5/3 D5/2 D#5/1 E5/6 +/2 C5./4",
        "F#5/3 A5/3 F#5/3 D5/3 C5/2 #/1 D5./6 </3",
        "E5/3 C5/3 A4/3 G4/3 A4/6 r/3 E4/3",
        "G#4/3 B4/3 D5/3 E5/3 D5/2 #/1 E5./3 D5/3 A4/3",
        "C5/3 B4/3 A4/3 E4/3 G#4/3 B4/3 E5/6",
    };
    for (int chorus = 0; chorus < 2; ++chorus) {
        for (int i = 0; i < 6; ++i) {
            int p = 1 + chorus * 6 + i;
            backing(p, *twelveBars[static_cast<size_t>(i)].first, *twelveBars[static_cast<size_t>(i)].second);
            w.line(p, 1, lead, choruses[static_cast<size_t>(chorus * 6 + i)]);
        }
    }
    backing(0, a7, a7);
    // The end: one bar of A, the last note falling away.
    w.line(13, 2, bass, "A2/3 </9 A2:C/3 </9");
    w.line(13, 1, lead, "r/3 E4/2 #/1 G4./3 A4/3 A4/6 +/3 </3");
    w.drums(13, 4, kit, "k.hs.hk.hs.hk", 13);
    w.line(13, 4, {}, "r/23 -");
    w.order({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6, 13});
    return w.song();
}

// ---- drum_pocket: a funk vamp in D, drums made of bent triangles ----

// Speed 3: a row is a thirty-second at 125 beats a minute, a pattern a bar.
Song drumPocket()
{
    SongWriter w(3);
    w.instrument(1, {4, 0, 0, 1, 2, 0, 0, 0, 0, 0, "e2p drums rpt strums"});
    w.instrument(2, {7, 0, 0, 2, 1, 0, 0, 0, 0, 0, "snare noise e2p"});
    w.instrument(3, {7, 0, 0, 1, 0, 0, 0, 0, 0, 0, "closed hat"});
    w.instrument(4, {7, 0, 0, 3, 0, 0, 0, 0, 0, 0, "open hat"});
    w.instrument(5, {4, 0, 0, 2, 1, 0, 0, 0, 0, 0, "tom e2p 1"});
    w.instrument(6, {3, 3, 0, 3, 0, 0, 0, 0, 0, 0, "funk bass"});
    w.instrument(7, {1, 8, 3, 2, 0, 1, 15, 1, 3, 7, "minor strum rpt 1"});
    w.instrument(8, {1, 8, 3, 2, 0, 1, 15, 1, 4, 7, "major strum rpt 1"});
    w.instrument(9, {2, 5, 6, 8, 0, 0, 3, 4, 1, 0, "lead amt 3 wobble"});
    const DrumKit kit {{'k', {1, "C5", 8}}, {'s', {2, "A4", 8}}, {'h', {3, "C6", 3}},
                       {'o', {4, "C6", 4}}, {'t', {5, "D5", 8}}, {'m', {5, "A4", 8}}};
    const char* groove = "k.h.h.k.s.h.h.h.k.h.k.h.s.h.o.h.";
    const char* fill = "k...s...k.k.s...t.t.t.m.m.m.ssss";
    const char* bassDm = "D2/3 </1 D3/2 r/2 D2/2 C3/2 r/2 A2/2 D2/4 F2/2 G2/2 A2/2 C3/2 A2/2 G2/2";
    auto strum = [](const std::string& chord) {
        return "r/4 " + chord + "/4 r/4 " + chord + "/2 r/6 " + chord + "/4 r/2 " + chord + "/2";
    };
    const Voice bass {6, 9}, lead {9, 0xB};

    // Bars of the vamp: Dm7 or G7, with as much of the band as asked for.
    auto bar = [&](int p, bool onG, bool withBass, bool withStrums, const char* drums = nullptr) {
        w.drums(p, 4, kit, drums ? drums : groove);
        if (withBass) w.line(p, 2, bass, bassDm, onG ? 5 : 0);
        if (withStrums) w.line(p, 3, {7, 8}, strum(onG ? "G3@8" : "D4@7"));
    };
    bar(0, false, false, false);
    bar(1, false, true, false);
    bar(2, true, true, false);
    bar(3, false, true, true);
    bar(4, true, true, true);
    const std::array<const char*, 9> phrases = {
        "A4/4 C5/2 D5/6 r/4 F5/2 E5/2 D5/4 C5/4 A4/4",
        "B4/4 D5/4 G5/8 F5/4 D5/4 </8",
        "D5/2 D5/2 F5/4 A5/4 G5/4 F5/4 D5/4 C5/4 A4/4",
        "B4/6 C5/2 D5/8 </16",
        "G5/6 F5/2 D5/8 C5/4 A4/4 D5/4 </4",
        "D6/8 C6/4 A5/4 G5/8 F5/8",
        "G5/12 A5/4 B5/8 D6/8",
        "F6/8 E6/4 D6/4 C6/8 A5/8",
        "B5/16 A5/8 G5/8",
    };
    const std::array<int, 9> phrasePatterns = {5, 6, 7, 8, 9, 11, 12, 13, 14};
    for (size_t i = 0; i < phrases.size(); ++i) {
        int p = phrasePatterns[i];
        bool onG = p == 6 || p == 8 || p == 9 || p == 12 || p == 14;
        bar(p, onG, true, true);
        w.line(p, 1, lead, phrases[i]);
    }
    bar(10, true, true, true, fill);
    // The end: one hit of the whole band on D.
    w.drums(15, 4, kit, "k...............o", 17);
    w.line(15, 2, bass, "D2/16 </16");
    w.line(15, 3, {7, 8}, "D4@7/4");
    w.line(15, 1, lead, "D5/16 </16");
    w.order({0, 0, 1, 2, 3, 4, 3, 4, 5, 6, 7, 8, 5, 6, 7, 9, 10, 11, 12, 13, 14, 11, 12, 13, 10,
             5, 6, 7, 8, 5, 6, 7, 9, 15});
    return w.song();
}

// ---- night_chorus: a slow song in F, shimmering pads ----

struct BalladBar {
    const char* pad;
    const char* bass;
    const char* bell;
};

constexpr BalladBar balladF {"A3", "F2/12 C3/4", "F4"};
constexpr BalladBar balladAm {"C4", "A2/12 E2/4", "A4"};
constexpr BalladBar balladDm {"D4", "D2/12 A2/4", "D5"};
constexpr BalladBar balladBb {"D4", "Bb2/12 F2/4", "Bb4"};
constexpr BalladBar balladC {"E4", "C3/12 G2/4", "C5"};

// Speed 8: a row is a sixteenth at 94 beats a minute, a pattern two bars.
Song nightChorus()
{
    SongWriter w(8);
    w.instrument(1, {1, 3, 15, 60, 0, 0, 1, 6, 1, 2, "amt chorus pads env"});
    w.instrument(2, {4, 0, 0, 40, 0, 0, 0, 0, 0, 0, "slow triangle bass"});
    w.instrument(3, {5, 0, 0, 20, 0, 0, 15, 3, 12, 7, "bell octave arp"});
    w.instrument(4, {2, 9, 8, 255, 0, 0, 0, 0, 0, 0, "lead env 255 holds"});
    const Voice pad {1, 0xE}, bass {2, 0xC}, bell {3, 8}, lead {4, 9};

    auto backing = [&](int p, const BalladBar& a, const BalladBar& b) {
        for (int half = 0; half < 2; ++half) {
            const BalladBar& c = half ? b : a;
            std::string skip = half ? "r/16 " : "";
            w.line(p, 2, pad, skip + c.pad + "/16");
            w.line(p, 3, bass, skip + c.bass);
            w.line(p, 4, bell, skip + "r/8 " + c.bell + "/8");
        }
    };
    backing(0, balladF, balladAm);
    backing(1, balladF, balladAm);
    backing(2, balladDm, balladBb);
    backing(3, balladF, balladC);
    backing(4, balladBb, balladC);
    backing(5, balladBb, balladC);
    backing(6, balladDm, balladBb);
    backing(7, balladF, balladC);
    w.line(1, 1, lead, "C5/8 A4/4 C5/4 E5/12 D5/4");
    w.line(2, 1, lead, "F5/8 E5/4 D5/4 D5/12 </4");
    w.line(3, 1, lead, "C5/4 D5/4 C5/4 A4/4 G4/8 A4/4 C5/4");
    w.line(4, 1, lead, "D5/8 C5/4 Bb4/4 C5/12 </4");
    w.line(5, 1, lead, "D5/8 F5/4 E5/4 G5/8 E5/4 C5/4");
    w.line(6, 1, lead, "A5/8 F5/4 D5/4 F5/12 D5/4");
    w.line(7, 1, lead, "C5/4 F5/4 A5/4 G5/4 G5/12 </4");
    // The end: F, then every voice let go.
    w.line(8, 1, lead, "A4/8 F4/8 r/12 </4");
    w.line(8, 2, pad, "A3/24 </8");
    w.line(8, 3, bass, "F2/24 </8");
    w.line(8, 4, bell, "r/8 F4/8 r/8 C5/8");
    w.order({0, 1, 2, 3, 4, 1, 2, 3, 5, 6, 7, 1, 2, 3, 5, 8});
    return w.song();
}

} // namespace

std::vector<ExampleSong> exampleSongs()
{
    return {
        {"first_steps", firstSteps()}, {"arp_waltz", arpWaltz()}, {"slide_blues", slideBlues()},
        {"drum_pocket", drumPocket()}, {"night_chorus", nightChorus()},
    };
}
