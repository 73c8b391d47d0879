// Measures how long a MIDI note takes to reach the pattern: a sender on a
// JACK server plays 200 notes into the real tracker (its own window, loop
// and MIDI input, in this process); after every update step a probe looks
// whether the note's cell was written and its preview channels started.
// Prints the median and the worst of each, and whether each note was taken
// by the first update step after JACK delivered it.
#include "app/playing/audio_channels.h"
#include "app/sound_engine.h"
#include "audio/audio_device.h"
#include "framework/app.h"
#include "host/input_device.h"
#include "host/glfw_game.h"
#include "midi/midi_input.h"

#include <AL/al.h>
#include <GLFW/glfw3.h>
#include <RtMidi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int noteCount = 200;

double millisSince(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

struct Measure {
    std::atomic<bool> pending {false};  // a note is on its way
    std::atomic<long> sentAtStep {0};
    Clock::time_point sentAt;
    // When JACK handed the note to a second input of this program: the
    // tracker's own input gets it in the same cycle.
    std::atomic<long> arrivedAtStep {-1};
    // The tracker's own input took it: the step's MIDI notes held it.
    std::atomic<bool> reachedTracker {false};
    std::atomic<bool> seen {false};
    std::atomic<bool> finished {false};
    double toCell = 0, toChannels = 0;
    long steps = 0;
};

Measure measure;
std::atomic<long> stepsRun {0};

class ProbeEngine : public c_SoundEngine {
public:
    void update() override
    {
        stepsRun += 1;
        if (transport.state() != stateEditing) transport.switchEditing();
        // Every note entered takes an undo snapshot, and nothing else here does.
        int slotBefore = undo.slot();
        if (measure.pending && inputDevice()->midiNotes().size() > 0) measure.reachedTracker = true;
        c_SoundEngine::update();
        if (measure.finished) glfwSetWindowShouldClose(glfwGetCurrentContext(), 1);
        if (!measure.pending || undo.slot() == slotBefore) return;
        measure.toCell = millisSince(measure.sentAt);
        ALint state = 0;
        alGetSourcei(gxtkAudio::audio()->sourceOf(1), AL_SOURCE_STATE, &state);
        measure.toChannels = state == AL_PLAYING ? millisSince(measure.sentAt) : -1;
        measure.steps = stepsRun - (measure.arrivedAtStep >= 0 ? measure.arrivedAtStep.load() : measure.sentAtStep.load());
        stopAllChannels();
        measure.pending = false;
        measure.seen = true;
    }
};

// Sends one note and waits until the probe has seen it (false after 2 s).
bool playNote(RtMidiOut& out, int note)
{
    std::vector<unsigned char> message {0x90, static_cast<unsigned char>(note), 100};
    measure.seen = false;
    measure.sentAt = Clock::now();
    measure.sentAtStep = stepsRun.load();
    measure.arrivedAtStep = -1;
    measure.reachedTracker = false;
    measure.pending = true;
    out.sendMessage(&message);
    for (int i = 0; i < 2000 && !measure.seen; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    measure.pending = false;
    return measure.seen;
}

struct Results {
    std::vector<double> toCell, toChannels;
    long mostSteps = 0;
    int nextStep = 0;  // notes taken by the first step begun after the note-on
    int missed = 0;        // in the tracker's input, never written: the tracker's fault
    int lostOnTheWay = 0;  // delivered to neither input
    // Delivered to the second input only: JACK never handed it to the
    // tracker's client (a server without real-time priority, a loaded machine).
    int lostToTracker = 0;
};

void onArrival(double, std::vector<unsigned char>*, void*)
{
    if (measure.pending && measure.arrivedAtStep < 0) measure.arrivedAtStep = stepsRun.load();
}

// Listens to the sender beside the tracker.
void watchArrivals(RtMidiIn& watch, const std::string& sender)
{
    for (unsigned port = 0; port < watch.getPortCount(); ++port) {
        if (watch.getPortName(port) != sender) continue;
        watch.setCallback(onArrival);
        watch.openPort(port, "in");
        return;
    }
}

void play(Results& results)
{
    RtMidiOut out(RtMidi::UNIX_JACK, "latency keyboard");
    out.openVirtualPort("out");
    RtMidiIn watch(RtMidi::UNIX_JACK, "latency watch");
    watchArrivals(watch, "latency keyboard:out");
    // Until the tracker has connected the new port by itself.
    for (int i = 0; i < 100 && !playNote(out, 60); ++i) {}
    std::mt19937 random(7);
    std::uniform_int_distribution<int> gap(20, 45);  // ms: notes meet the steps at every phase
    for (int i = 0; i < noteCount; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(gap(random)));
        if (!playNote(out, 48 + i % 24)) {
            // JACK without real-time priority on a loaded machine can lose a
            // note on the way, to one client or to both; only a note in the
            // tracker's own input that it did not write counts against it.
            if (measure.reachedTracker)
                results.missed += 1;
            else
                (measure.arrivedAtStep >= 0 ? results.lostToTracker : results.lostOnTheWay) += 1;
            continue;
        }
        results.toCell.push_back(measure.toCell);
        results.toChannels.push_back(measure.toChannels);
        results.mostSteps = std::max(results.mostSteps, measure.steps);
        if (measure.steps <= 1) results.nextStep += 1;
    }
    measure.finished = true;
}

void report(const char* what, std::vector<double> values)
{
    if (values.empty()) return;
    std::sort(values.begin(), values.end());
    std::printf("note-on to %-24s median %6.1f ms   worst %6.1f ms\n", what, values[values.size() / 2], values.back());
}

} // namespace

int main()
{
    if (!glfwInit()) return 1;
    static BBQuorvaneGame game;
    game.setWindowPicture({U"Kovo Tracker", 640, 475, {}});
    requestMidiInput();
    static ProbeEngine engine;
    Results results;
    std::thread sender([&] {
        // The run must have started (and opened its MIDI input) first.
        while (stepsRun < 10) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        play(results);
    });
    game.runLoop();
    sender.join();
    std::printf("%zu of %d notes written; lost by JACK: %d on the way, %d to the tracker's client alone; "
                "%d in the tracker's input but not written\n",
                results.toCell.size(), noteCount, results.lostOnTheWay, results.lostToTracker, results.missed);
    report("cell written:", results.toCell);
    report("preview channels started:", results.toChannels);
    std::printf("taken by the first update step after its arrival: %d of %zu (at most %ld steps)\n", results.nextStep,
                results.toCell.size(), results.mostSteps);
    std::fflush(stdout);
    _exit(results.missed == 0 ? 0 : 1);
}
