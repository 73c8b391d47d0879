// MIDI keyboards through a real MIDI server: a JACK server on its dummy
// backend, the real tracker under Xvfb, and senders that appear before and
// after it starts. What they play is read back from the saved song's bytes,
// the screen and the captured sound.
#include "song/song_file.h"
#include "tests/support/midi/jack_server.h"
#include "tests/support/midi/midi_sender.h"
#include "tests/support/screen_text.h"
#include "tests/support/signal_analysis.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <dirent.h>
#include <unistd.h>

namespace {

constexpr uint32_t textInk = 0x9490A4;
constexpr double captureRate = 48000;
constexpr const char* trackerPort = "Kovo Tracker:notes in";

// One server for the whole program: starting one costs more than a test.
JackServer& jack()
{
    static JackServer server;
    return server;
}

// The capture's 16-bit samples from a byte offset on (its header's sizes are
// written only when the device closes).
std::vector<float> captureFrom(const std::string& path, long long offset)
{
    std::string bytes = readFileBytes(path);
    std::vector<float> samples;
    for (size_t i = static_cast<size_t>(offset) & ~size_t {1}; i + 1 < bytes.size(); i += 2) {
        int16_t value;
        std::memcpy(&value, bytes.data() + i, 2);
        samples.push_back(value / 32768.0f);
    }
    return samples;
}

// The names of a process's threads.
std::vector<std::string> threadNames(int pid)
{
    std::vector<std::string> names;
    std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    if (DIR* dir = opendir(tasks.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.') names.push_back(readFileBytes(tasks + "/" + entry->d_name + "/comm"));
        }
        closedir(dir);
    }
    return names;
}

double cents(double measured, double expected) { return 1200 * std::log2(measured / expected); }

// Instrument 1 plays WAV 3 (ramp and saw) without detune and with the
// slowest fade, so the preview holds one clean pitch for seconds.
Song songWithSteadyInstrument()
{
    Song song;
    song.patternColumns = blankColumns();
    song.instrumentParams[8] = 3;
    song.instrumentParams[8 + 4] = 255;
    return song;
}

class MidiKeyboard : public ::testing::Test {
protected:
    static std::vector<std::string> jackEnvironment(const std::string& config)
    {
        return {"ALSOFT_CONF=" + config, jack().environment()};
    }

    bool waitForStatus(const std::string& status)
    {
        return waitFor([&] { return reader.status(tracker->screenshot()) == status; }, 30);
    }

    // Channel 1's row as the grid shows it, by its number from 00: number,
    // note, volume, instrument.
    std::string gridRow(int row) { return reader.read(tracker->screenshot(), 0, 12 + 12 * row, 9, textInk); }

    bool waitForConnection(const MidiSender& sender)
    {
        return waitFor([&] { return jack().connected(sender.portName(), trackerPort); }, 20);
    }

    // What the server holds and what the tracker said, for a failure's message.
    std::string connectionReport()
    {
        std::string ports;
        for (const std::string& port : jack().midiPorts()) ports += " \"" + port + "\"";
        return "; MIDI ports:" + ports + "; the tracker said: \"" + tracker->process().standardError() + "\"";
    }

    // Sounds the note in Standby and measures the preview's pitch over the
    // last second of two that follow. Not from the first sound: the note
    // before still rings until this one replaces it, which on a busy machine
    // can take a few tenths of a second (its harmonics then lie in range).
    double previewFrequency(MidiSender& sender, int note, double low, double high)
    {
        long long from = fileSize(capturePath);
        sender.noteOn(note, 100);
        long long enough = from + static_cast<long long>(2 * captureRate * 2);
        if (!waitFor([&] { return fileSize(capturePath) > enough; }, 30)) return 0;
        std::vector<float> samples = captureFrom(capturePath, from);
        size_t second = static_cast<size_t>(captureRate);
        return strongestFrequency(slice(samples, samples.size() - second, samples.size()), captureRate, low, high)
            .frequency;
    }

    ScreenText reader;
    TempFolder audioFolder;
    std::string capturePath = audioFolder.path() + "/capture.wav";
    std::string configPath = audioFolder.write("alsoft.conf", "[general]\ndrivers = wave\nchannels = mono\n"
                                                              "sample-type = int16\nfrequency = 48000\n"
                                                              "[wave]\nfile = " + capturePath + "\n");
    std::unique_ptr<TrackerProcess> tracker;
};

} // namespace

TEST_F(MidiKeyboard, NotesFromSendersOfBeforeAndAfterTheStartAreHeardAndWritten)
{
    ASSERT_TRUE(jack().running());
    auto early = std::make_unique<MidiSender>("early keyboard");
    tracker = std::make_unique<TrackerProcess>(jackEnvironment(configPath));
    ASSERT_TRUE(tracker->waitForWindow());
    ASSERT_TRUE(waitForConnection(*early)) << "the sender that was there first is not connected" << connectionReport();
    ASSERT_TRUE(waitForStatus("Standby..."));
    tracker->loadSong("keys", encodeUtf8(songText(songWithSteadyInstrument())));
    ASSERT_TRUE(waitForStatus("File Loaded..."));

    // Standby: heard at the pitch of the key (middle C is the typed "y" at
    // octave 2; the C three octaves up lies beyond the entry octave), and
    // nothing written: the notes below start at row 1.
    double middleC = previewFrequency(*early, 60, 200, 330);
    EXPECT_NEAR(cents(middleC, 261.625), 0, 1) << middleC << " Hz";
    double highC = previewFrequency(*early, 96, 1800, 2400);
    EXPECT_NEAR(cents(highC, 2093.0), 0, 1) << highC << " Hz";

    tracker->key("space");
    ASSERT_TRUE(waitForStatus("Editing..."));
    early->noteOn(60, 127);
    // Nothing of these may write: note-off, velocity 0, controller, clock,
    // program change, pitch bend, sysex, a note below every octave.
    for (const std::vector<std::uint8_t>& junk :
         std::vector<std::vector<std::uint8_t>> {{0x80, 60, 64}, {0x90, 62, 0}, {0xB0, 7, 100}, {0xF8}, {0xC0, 5},
                                                 {0xE0, 0, 64}, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, {0x90, 30, 90}})
        early->send(junk);
    early->send({0x91, 64, 64, 67, 1});  // two notes, the second in running status
    // A chord below the entry octave, in the order played.
    for (int note : {48, 52, 55}) early->noteOn(note, 100);
    early->noteOn(100, 80);  // the highest note any octave reaches

    ASSERT_TRUE(waitFor([&] { return gridRow(6) == "06  E-5A1"; }, 20)) << gridRow(6);
    early.reset();  // unplugged: the tracker goes on with the others

    MidiSender late("late keyboard");
    ASSERT_TRUE(waitForConnection(late)) << "a sender that appeared later is not connected" << connectionReport();
    late.noteOn(62, 64);
    ASSERT_TRUE(waitFor([&] { return gridRow(7) == "07  D-281"; }, 20)) << gridRow(7);

    // Rows 00, 04 and 08 are drawn in another ink.
    EXPECT_EQ(gridRow(1) + "|" + gridRow(2) + "|" + gridRow(3), "01  E-281|02  G-211|03  C-1C1");
    EXPECT_EQ(gridRow(5) + "|" + gridRow(6) + "|" + gridRow(7), "05  G-1C1|06  E-5A1|07  D-281");

    tracker->key("F11");
    Song expected = songWithSteadyInstrument();
    auto put = [&expected](int row, const char32_t* cell) {
        for (int part = 0; part < 4; ++part) expected.patternColumns[4 * part][row] = cell[part];
    };
    const char32_t* cells[] = {U"yF12", U"c812", U"b112", U"yC11", U"cC11", U"bC11", U"pA13", U"x812"};
    for (int row = 0; row < 8; ++row) put(row, cells[row]);
    std::string expectedBytes = encodeUtf8(songText(expected));
    EXPECT_TRUE(waitFor([&] { return readFileBytes(tracker->songPath("keys")) == expectedBytes; }, 20));
    EXPECT_TRUE(tracker->closeWindow());
    EXPECT_EQ(tracker->process().exitStatus(), 0);
    EXPECT_EQ(tracker->process().standardError(), "");
}

// A second tracker on the same JACK server gets a client of another name
// ("Kovo Tracker-01"); each connects the keyboard to its own input, so that
// both hear it. Two tracker processes, as users run them: the program never
// has two inputs in one process.
TEST_F(MidiKeyboard, TwoTrackersOnOneServerEachConnectTheKeyboardToTheirOwnInput)
{
    ASSERT_TRUE(jack().running());
    MidiSender keyboard("shared keyboard");
    const std::vector<std::string> environment {"ALSOFT_DRIVERS=null", jack().environment()};
    tracker = std::make_unique<TrackerProcess>(environment);
    ASSERT_TRUE(tracker->waitForWindow());
    ASSERT_TRUE(waitForConnection(keyboard)) << connectionReport();
    TrackerProcess second(*tracker, environment);
    ASSERT_TRUE(second.waitForWindow());
    EXPECT_TRUE(waitFor([&] { return jack().connected(keyboard.portName(), "Kovo Tracker-01:notes in"); }, 20))
        << "the second tracker did not connect the keyboard to its own input" << connectionReport();
    for (TrackerProcess* one : {&second, tracker.get()}) {
        EXPECT_TRUE(one->closeWindow());
        EXPECT_EQ(one->process().standardError(), "");
    }
}

// Neither a sequencer (none on this machine) nor a JACK server under the
// name the program looks for: the tracker works as ever and says nothing.
TEST_F(MidiKeyboard, WithoutAnyMidiServerTheTrackerStartsAndWorks)
{
    std::string noServer = "JACK_DEFAULT_SERVER=kovo-test-none-" + std::to_string(getpid());
    tracker = std::make_unique<TrackerProcess>(std::vector<std::string> {"ALSOFT_DRIVERS=null", noServer});
    ASSERT_TRUE(tracker->waitForWindow());
    ASSERT_TRUE(waitForStatus("Standby..."));
    tracker->key("space Down");
    tracker->type("q");
    EXPECT_TRUE(waitFor([&] { return gridRow(1) == "01  C-381"; }, 20)) << gridRow(1);
    EXPECT_TRUE(tracker->closeWindow());
    EXPECT_EQ(tracker->process().exitStatus(), 0);
    EXPECT_EQ(tracker->process().standardError(), "");
}

TEST_F(MidiKeyboard, MidiOffInTheSettingsOpensNoInput)
{
    ASSERT_TRUE(jack().running());
    MidiSender keyboard("unused keyboard");
    TempFolder config;
    ASSERT_EQ(system(("mkdir -p '" + config.path() + "/kovo-tracker'").c_str()), 0);
    config.write("kovo-tracker/settings", "scale=1\nmidi=off\n");
    tracker = std::make_unique<TrackerProcess>(
        std::vector<std::string> {"ALSOFT_DRIVERS=null", "XDG_CONFIG_HOME=" + config.path(), jack().environment()});
    ASSERT_TRUE(tracker->waitForWindow());
    // The MIDI input's thread is started before the first status shows, or never.
    ASSERT_TRUE(waitForStatus("Standby..."));
    for (const std::string& name : threadNames(tracker->process().pid())) EXPECT_NE(name, "kovo-midi\n");
    for (const std::string& port : jack().midiPorts()) EXPECT_EQ(port.find("Kovo Tracker"), std::string::npos) << port;
    EXPECT_TRUE(tracker->closeWindow());
    EXPECT_EQ(tracker->process().standardError().find("MIDI"), std::string::npos);
}
