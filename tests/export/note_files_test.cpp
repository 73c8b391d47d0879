// MOD and MIDI files written by the real program, read back by the field's
// own tools: libopenmpt (openmpt123) for modules, mido for MIDI files.
#include "tests/export/export_fixture.h"

#include "song/module_import.h"
#include "tests/support/signal_analysis.h"

#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

namespace {

// A note cell as the song holds it, at its row's tick in the pass.
struct SongNote {
    int channel;  // 0..3
    long tick;
    int key;        // 60 + pitch, or -1 for "<"
    int volumeDigit;
    int instrument;    // a slide's: the channel's last one
    long ticksToNext;  // until the channel's next note or "<"; a slide's, until its next cell
    long steadyTicks;  // until then or its first slide
};

constexpr int slideKey = -2;
constexpr long noNext = 1L << 30;

// The rows a pass plays, as the grid shows them: positions in order, each
// up to a "-" in any channel, else 32 rows.
std::vector<SongNote> songNotes(const Song& song)
{
    std::vector<SongNote> notes;
    std::array<long, channelCount> lastCell {-1, -1, -1, -1}, lastSlide {-1, -1, -1, -1};
    long tick = 0;
    for (int position = 0; position < song.songLengthRows / rowsPerPattern; ++position) {
        for (int row = 0; row < rowsPerPattern; ++row) {
            bool end = false;
            for (int channel = 1; channel <= channelCount; ++channel) {
                size_t at = static_cast<size_t>(song.positions[position] * rowsPerPattern + row);
                auto cell = [&](int column) { return song.patternColumns[column][at]; };
                int value = noteValueOf(cell(noteColumn(channel)));
                end = end || value == notePatternEnd;
                if (value == noteEmpty || value == notePatternEnd) continue;
                size_t c = static_cast<size_t>(channel - 1);
                int octave = hexDigitValue(cell(octaveColumn(channel)));
                int key = value < noteSlideDown ? 60 + octave * 12 + value - 24 : value == noteOff ? -1 : slideKey;
                // A slide moves the pitch; only a note or "<" ends a key.
                int instrument = hexDigitValue(cell(instrumentColumn(channel)));
                if (lastCell[c] >= 0) {
                    SongNote& last = notes[static_cast<size_t>(lastCell[c])];
                    long& until = key == slideKey ? last.steadyTicks : last.ticksToNext;
                    until = std::min(until, tick - last.tick);
                    if (key == slideKey) instrument = last.instrument;
                }
                if (lastSlide[c] >= 0) notes[static_cast<size_t>(lastSlide[c])].ticksToNext = tick - notes[static_cast<size_t>(lastSlide[c])].tick;
                notes.push_back({channel - 1, tick, key, hexDigitValue(cell(volumeColumn(channel))), instrument,
                                 noNext, noNext});
                long& last = key == slideKey ? lastSlide[c] : lastCell[c];
                last = static_cast<long>(notes.size()) - 1;
                if (key != slideKey) lastSlide[c] = -1;
            }
            tick += song.speed;
            if (end) break;
        }
    }
    return notes;
}

// The song with only one channel's notes (the pattern ends stay).
Song soloSong(Song song, int channel)
{
    for (int other = 1; other <= channelCount; ++other) {
        if (other == channel) continue;
        for (size_t at = 0; at < static_cast<size_t>(columnLength); ++at) {
            if (song.patternColumns[noteColumn(other)][at] != U'-') song.patternColumns[noteColumn(other)][at] = U'.';
            song.patternColumns[volumeColumn(other)][at] = U'0';
        }
    }
    return song;
}

// Whether an instrument's pitch holds still long enough to be read: not
// with an arpeggio, the envelope's pitch pull, or noise.
bool pitchReadable(const Song& song, int instrument)
{
    auto slot = [&](int s) { return instrumentSlot(song, instrument, s); };
    bool arpeggio = slot(slotAmtSwp) % 16 != 0 && (slot(slotArpFirst) != 0 || slot(slotArpSecond) != 0);
    return !arpeggio && slot(slotE2pRpt) % 16 == 0 && slot(slotWave) != 7;
}

// A pair detuned by PWM (WAV 1-3), which the module plays from samples tuned
// to where the pair sounds.
bool detunedPair(const Song& song, int instrument)
{
    return instrumentSlot(song, instrument, slotWave) <= 3 && instrumentSlot(song, instrument, slotPwm) != 0;
}

constexpr double centsBound = 10.0;
// A period slide moves by whole periods a tick, on every tick of its row but
// the first, so where a row ends it is up to half a period a tick off: at
// speed 7 near the top of the table (period 160) some 30 cents.
constexpr double slideBound = 35.0;

std::string commandOutput(const std::string& command, const std::string& input = std::string())
{
    ChildProcess process({"sh", "-c", command}, {}, input);
    EXPECT_TRUE(process.waitExit(240)) << command;
    EXPECT_EQ(process.exitStatus(), 0) << command << "\n" << process.standardError();
    return process.standardOutput() + process.standardError();
}

class NoteFiles : public ExportTest {
protected:
    void exportTo(const std::string& song, const std::string& out)
    {
        ChildProcess& program = run({"--export", song, "-o", out, "--quiet"}, {"ALSOFT_DRIVERS=null"});
        ASSERT_EQ(program.exitStatus(), 0) << program.standardError();
        EXPECT_EQ(program.standardError(), "");
    }
};

} // namespace

TEST_F(NoteFiles, ExampleModulesLoadInLibopenmptWithoutAWarning)
{
    for (const std::string& name : exampleNames()) {
        exportTo(examplesFolder() + "/" + name, name + ".mod");
        std::string info = commandOutput("openmpt123 --info '" + path(name + ".mod") + "'");
        EXPECT_NE(info.find("ProTracker MOD (M.K.)"), std::string::npos) << info;
        EXPECT_NE(info.find("Channels...: 4"), std::string::npos) << info;
        for (const char* word : {"arning", "rror", "nvalid"}) EXPECT_EQ(info.find(word), std::string::npos) << info;
        // libxmp loads it too.
        commandOutput("xmp --load-only '" + path(name + ".mod") + "'");
    }
}

// Every note with a volume digit is a key of its pitch and velocity at its
// row's tick; every key starts at a note cell and ends before the channel's
// next cell, as its "<" or next note ends it.
TEST_F(NoteFiles, ExampleMidiFilesHoldTheSongsNotes)
{
    const std::string readNotes =
        "import mido, sys\n"
        "m = mido.MidiFile(sys.argv[1])\n"
        "print(m.type, m.ticks_per_beat, len(m.tracks))\n"
        "for number, track in enumerate(m.tracks):\n"
        "    now, down = 0, {}\n"
        "    for message in track:\n"
        "        now += message.time\n"
        "        if message.type == 'set_tempo': print('tempo', message.tempo)\n"
        "        if message.type == 'note_on' and message.velocity > 0: down[message.note] = (now, message.velocity)\n"
        "        elif message.type in ('note_on', 'note_off') and message.note in down:\n"
        "            start, velocity = down.pop(message.note)\n"
        "            print(number - 1, start, now, message.note, velocity)\n";
    for (const std::string& name : exampleNames()) {
        exportTo(examplesFolder() + "/" + name, name + ".mid");
        Song song = loadExample(name);
        std::string out = commandOutput("/usr/bin/python3 - '" + path(name + ".mid") + "'", readNotes);
        std::istringstream read(out);
        int type = 0, division = 0, tracks = 0;
        std::string word;
        long tempo = 0;
        read >> type >> division >> tracks >> word >> tempo;
        EXPECT_EQ(type, 1);
        EXPECT_EQ(division, 4 * song.speed) << name;
        EXPECT_EQ(tracks, 5);
        EXPECT_EQ(tempo, 80000L * song.speed) << name;
        // A General MIDI player plays every note of it. Whether it does is all
        // that is asked: a low rate without effects renders in a tenth of the time.
        std::string played = commandOutput("timidity -c /etc/timidity/freepats.cfg -s 8000 -EFreverb=0 -EFchorus=0 "
                                           "-Ow -o '" + path(name + ".mid.wav") + "' '" + path(name + ".mid") + "'");
        EXPECT_NE(played.find("Notes lost totally: 0"), std::string::npos) << played;
        std::map<std::pair<int, long>, std::array<long, 3>> keys;  // (channel, start) -> end, key, velocity
        for (int channel; read >> channel;) {
            long start, end, key, velocity;
            read >> start >> end >> key >> velocity;
            keys[{channel, start}] = {end, key, velocity};
        }
        std::vector<SongNote> notes = songNotes(song);
        std::map<std::pair<int, long>, const SongNote*> cells;
        for (const SongNote& note : notes) cells[{note.channel, note.tick}] = &note;
        size_t attacks = 0;
        for (const SongNote& note : notes) {
            if (note.key < 0 || note.volumeDigit == 0) continue;
            ++attacks;
            auto key = keys.find({note.channel, note.tick});
            ASSERT_NE(key, keys.end()) << name << " channel " << note.channel << " tick " << note.tick;
            EXPECT_EQ(key->second[1], note.key) << name << " tick " << note.tick;
            EXPECT_EQ(key->second[2], note.volumeDigit * 127 / 15) << name << " tick " << note.tick;
        }
        EXPECT_GT(attacks, 100u) << name;
        for (const auto& [start, key] : keys) {
            auto cell = cells.find(start);
            ASSERT_NE(cell, cells.end()) << name << " a key at tick " << start.second << " without a note";
            EXPECT_GE(cell->second->key, 0) << name << " tick " << start.second;
            EXPECT_GT(key[0], start.second);
            EXPECT_LE(key[0], start.second + std::min(cell->second->ticksToNext, noNext)) << name;
        }
    }
}

// The pitch tracker the example modules are measured with reads pure tones,
// sines and squares from low to high, within 5 cents.
TEST_F(NoteFiles, ThePitchTrackerReadsPureTones)
{
    std::string selftest = commandOutput("/usr/bin/python3 '" + std::string(KOVO_NOTE_MATCH) + "' --selftest");
    std::istringstream tones(selftest);
    int read = 0;
    for (std::string line; std::getline(tones, line); ++read)
        EXPECT_LT(std::fabs(std::stod(line.substr(line.find(": ") + 2))), 5.0) << line;
    EXPECT_EQ(read, 10);
}

// One example a test, so that the examples can be measured side by side.
class ExampleModule : public NoteFiles, public ::testing::WithParamInterface<std::string> {};

// Each channel of each example on its own, rendered by the program and, as
// a module, by libopenmpt: every note whose pitch holds still long enough to
// be read starts within a tick of the program's and plays within 10 cents
// of its pitch, a pair detuned by PWM included; and at the last tick of each
// sliding row the slide has come as near the program's pitch as a period
// slide does. The program's rendering begins with a lead-in of one row.
TEST_P(ExampleModule, PlaysTheNotesAtTheirPitchAndTime)
{
    const std::string script = std::string(KOVO_NOTE_MATCH);
    const std::string& name = GetParam();
    Song song = loadExample(name);
    std::vector<SongNote> notes = songNotes(song);
    size_t attacks = 0, onsets = 0, pitches = 0, detuned = 0, slides = 0;
    double worstCents = 0, worstDetuned = 0, worstMs = 0, worstSlide = 0, slideSum = 0;
    for (int channel = 1; channel <= channelCount; ++channel) {
        std::string solo = name + "-" + std::to_string(channel);
        writeSong(solo, soloSong(song, channel));
        exportTo(solo, solo + ".wav");
        exportTo(solo, solo + ".mod");
        // Mono: the comparison mixes down anyway, and a whole song's render
        // is written and read again for every channel.
        commandOutput("openmpt123 --render --samplerate 48000 --channels 1 --no-float --output-type wav --force -q '" +
                      path(solo + ".mod") + "'");
        std::ostringstream lines;
        std::vector<const SongNote*> asked;
        for (const SongNote& note : notes) {
            if (note.channel != channel - 1) continue;
            bool readable = pitchReadable(song, note.instrument);
            if (note.key == slideKey) {
                if (!readable) continue;
                // The row's last tick, clear of its edges.
                double end = (note.tick + song.speed) * 0.02;
                lines << end + song.speed * 0.02 - 0.016 << ' ' << end - 0.016 << " 0.012 1 moment\n";
            } else {
                if (note.key < 0 || note.volumeDigit == 0) continue;
                long steady = std::min(note.steadyTicks, note.ticksToNext);
                lines << (note.tick + song.speed) * 0.02 << ' ' << note.tick * 0.02 << ' '
                      << std::min(steady, 100L) * 0.02 << ' ' << readable << '\n';
            }
            asked.push_back(&note);
        }
        for (const SongNote& note : notes)
            attacks += note.channel == channel - 1 && note.key >= 0 && note.volumeDigit > 0;
        std::istringstream found(commandOutput(
            "/usr/bin/python3 '" + script + "' '" + path(solo + ".wav") + "' '" + path(solo + ".mod.wav") + "'",
            lines.str()));
        size_t index = 0;
        for (std::string line; std::getline(found, line); ++index) {
            const SongNote& note = *asked.at(index);
            std::istringstream fields(line);
            std::string onset, cents;
            fields >> onset >> cents;
            if (onset != "skip") {
                ++onsets;
                worstMs = std::max(worstMs, std::fabs(std::stod(onset)));
                EXPECT_LE(std::fabs(std::stod(onset)), 20.0) << solo << " tick " << note.tick << ": " << line;
            }
            if (cents == "skip") continue;
            double off = std::fabs(std::stod(cents));
            if (note.key == slideKey) {
                ++slides;
                slideSum += off;
                worstSlide = std::max(worstSlide, off);
                EXPECT_LE(off, slideBound) << solo << " slide at tick " << note.tick << ": " << line;
                continue;
            }
            bool pair = detunedPair(song, note.instrument);
            ++(pair ? detuned : pitches);
            double& worst = pair ? worstDetuned : worstCents;
            worst = std::max(worst, off);
            EXPECT_LE(off, centsBound) << solo << " tick " << note.tick << ": " << line;
        }
    }
    std::printf("%s: %zu notes, %zu onsets within %.1f ms, %zu pitches within %.1f cents, %zu of PWM pairs "
                "within %.1f cents; %zu slide ends within %.1f cents (mean %.1f)\n",
                name.c_str(), attacks, onsets, worstMs, pitches, worstCents, detuned, worstDetuned, slides,
                worstSlide, slides ? slideSum / slides : 0.0);
    EXPECT_GE(onsets, 10u) << name << ": too few onsets could be told";
    EXPECT_GE(pitches + detuned, 10u) << name << ": too few pitches could be read";
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleModule, ::testing::ValuesIn(exampleNames()),
                         [](const ::testing::TestParamInfo<std::string>& example) { return example.param; });

// A song without notes still makes a module of one pattern and a MIDI file
// of empty tracks; a song that ends patterns early and names no waveform
// (WAV 0) plays nothing in either.
TEST_F(NoteFiles, SongsWithoutSoundGiveFilesWithoutNotes)
{
    Song blank = testSong();
    Song silent = testSong();
    silent.instrumentParams[8 + slotWave] = 0;
    putCell(silent, 1, 0, U"y812");
    putCell(silent, 4, 3, U"-000");
    for (const auto& [name, song] : {std::pair<std::string, Song>("blank", blank), {"silent", silent}}) {
        writeSong(name, song);
        exportTo(name, name + ".mod");
        exportTo(name, name + ".mid");
        std::string info = commandOutput("openmpt123 --info '" + path(name + ".mod") + "'");
        EXPECT_NE(info.find("Orders.....: 1\n"), std::string::npos) << info;
        std::string notes = commandOutput("/usr/bin/python3 -c 'import mido, sys\n"
                                          "print(sum(m.type == \"note_on\" for m in mido.merge_tracks("
                                          "mido.MidiFile(sys.argv[1]).tracks)))' '" +
                                          path(name + ".mid") + "'");
        EXPECT_EQ(notes, "0\n") << name;
    }
}

// A module the program wrote comes back in through libopenmpt as the same
// notes: every attack of the song is a note of the same pitch on the same
// channel and tick (the samples' names say the octave each length plays
// in), and every note the import finds is one of the song's notes or legato
// notes.
TEST_F(NoteFiles, ExampleModulesComeBackInAsTheSongsNotes)
{
    using Heard = std::tuple<int, long, int>;  // channel, tick, key
    auto heard = [](const std::vector<SongNote>& notes, bool withLegato) {
        std::set<Heard> out;
        for (const SongNote& note : notes)
            if (note.key >= 0 && (note.volumeDigit > 0 || withLegato))
                out.insert({note.channel, note.tick, note.key});
        return out;
    };
    for (const std::string& name : exampleNames()) {
        exportTo(examplesFolder() + "/" + name, name + ".mod");
        std::optional<Song> imported = importModuleFile(path(name + ".mod"));
        ASSERT_TRUE(imported) << name;
        Song song = loadExample(name);
        std::set<Heard> attacks = heard(songNotes(song), false), cells = heard(songNotes(song), true);
        std::set<Heard> back = heard(songNotes(*imported), true);
        EXPECT_EQ(imported->speed, song.speed) << name;
        for (const Heard& note : attacks)
            EXPECT_TRUE(back.count(note)) << name << ": channel " << std::get<0>(note) + 1 << ", tick "
                                          << std::get<1>(note) << " lost";
        for (const Heard& note : back)
            EXPECT_TRUE(cells.count(note)) << name << ": channel " << std::get<0>(note) + 1 << ", tick "
                                           << std::get<1>(note) << " not the song's";
    }
}

// A song's own wave is heard in the sound export and in the module (as a
// sample of its own, named for its WAV value), and the MIDI file gives it
// the saw lead's program.
TEST_F(NoteFiles, ASongsOwnWaveSoundsInEveryExport)
{
    Song song = testSong();
    song.instrumentParams[8 + slotWave] = firstOwnWave + 1;
    OwnWave wave {};
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = static_cast<int16_t>(std::lround(20000 * std::sin(4 * M_PI * static_cast<double>(i) / 64)));
    song.ownWaves[1] = wave;
    putCell(song, 1, 0, U"y912");
    writeSong("own", song);
    exportTo("own", "own.wav");
    exportTo("own", "own.mod");
    exportTo("own", "own.mid");
    commandOutput("openmpt123 --render --samplerate 48000 --no-float --output-type wav --force -q '" + path("own.mod") + "'");

    // Two sine periods a cycle: an octave above the note's C.
    for (const char* file : {"own.wav", "own.mod.wav"}) {
        std::vector<float> heard = slice(wav(file).left(), frames48k(4), frames48k(60));
        EXPECT_NEAR(strongestFrequency(heard, 48000, 100, 1000).frequency, 523.25, 5) << file;
        EXPECT_LT(toneAmplitude(heard, 48000, 261.63), 0.05 * toneAmplitude(heard, 48000, 523.25)) << file;
    }
    std::string module = readFileBytes(path("own.mod"));
    EXPECT_EQ(module.substr(20, 6), std::string("WAV 9\0", 6));  // the first sample, after the title
    std::string programs = commandOutput(
        "/usr/bin/python3 -c \"import mido, sys\n"
        "print([m.program for t in mido.MidiFile(sys.argv[1]).tracks for m in t if m.type == 'program_change'])\" '" +
        path("own.mid") + "'");
    EXPECT_EQ(programs, "[81]\n");
}
