// Measures key to ear: the time from a key going down (a key press through
// XTEST, or a MIDI note-on through JACK) to the first frame of the note's
// sound at a JACK port. Both ends are read in jack_get_time's clock: the key
// press when it is sent, a MIDI note-on and the sound when this client's
// cycle handles them, a frame by its place in the cycle. The sound arrives at two input ports of this client that call
// themselves physical playback ports, so that a program that connects its
// output to the machine's speakers (OpenAL Soft, MilkyTracker) connects it
// here, also each time it wakes from a pause. Run it under a JACK server
// without playback ports of its own (jackd -d dummy -P 0), and start it
// before the program: a program finds its speakers when it opens its sound.
//
// Usage: kovo_ear_latency WINDOW_TITLE COUNT key|midi...
// Waits for a window whose title holds WINDOW_TITLE, then measures COUNT
// presses of the key "y" (key) or of MIDI note 60 (midi), and prints one line
// for each: input, presses, sounds heard, median, 90th percentile and worst
// in ms.
#include <jack/jack.h>
#include <jack/midiport.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr float soundThreshold = 1e-3f;  // -60 dBFS
constexpr jack_time_t silenceBeforePress = 150000;  // microseconds
constexpr jack_time_t soundTimeout = 1000000;
constexpr int warmUpPresses = 5;
constexpr unsigned char noteOn = 0x90, noteOff = 0x80, middleC = 60, velocity = 100;

struct Ear {
    jack_client_t* client = nullptr;
    jack_port_t* ins[2] {};
    jack_port_t* keys = nullptr;
    double microsecondsPerFrame = 0;
    std::atomic<bool> armed {false};
    std::atomic<jack_time_t> onsetTime {0};
    std::atomic<bool> heard {false};
    std::atomic<jack_time_t> lastSoundTime {0};
    // MIDI messages waiting for the next cycle: 0 none, else the status byte.
    std::atomic<int> midiToSend {0};
    std::atomic<jack_time_t> midiSentTime {0};
    std::atomic<bool> midiSent {false};
};

Ear ear;

void listen(jack_time_t cycleTime, jack_nframes_t frames)
{
    for (jack_port_t* port : ear.ins) {
        auto* samples = static_cast<const float*>(jack_port_get_buffer(port, frames));
        for (jack_nframes_t i = 0; i < frames; ++i) {
            if (std::fabs(samples[i]) <= soundThreshold) continue;
            auto time = cycleTime + static_cast<jack_time_t>(i * ear.microsecondsPerFrame);
            ear.lastSoundTime = time;
            if (ear.armed && !ear.heard) {
                ear.onsetTime = time;
                ear.heard = true;
            }
            break;
        }
    }
}

void play(jack_time_t cycleTime, jack_nframes_t frames)
{
    void* buffer = jack_port_get_buffer(ear.keys, frames);
    jack_midi_clear_buffer(buffer);
    int status = ear.midiToSend.exchange(0);
    if (status == 0) return;
    unsigned char message[3] = {static_cast<unsigned char>(status), middleC, velocity};
    jack_midi_event_write(buffer, 0, message, 3);
    if (status == noteOn) {
        ear.midiSentTime = cycleTime;
        ear.midiSent = true;
    }
}

// The cycle is dated by the clock itself, not by JACK's estimate of when the
// cycle began (jack_frames_to_time): on an idle machine that estimate ran up
// to 30 ms early for seconds at a time, so that a key's sound seemed to come
// before the key, and 13 presses of 200 went uncounted.
int process(jack_nframes_t frames, void*)
{
    jack_time_t cycleTime = jack_get_time();
    play(cycleTime, frames);
    listen(cycleTime, frames);
    return 0;
}

bool openJack()
{
    ear.client = jack_client_open("kovo-ear", JackNoStartServer, nullptr);
    if (!ear.client) return false;
    const unsigned long physicalInput = JackPortIsInput | JackPortIsPhysical | JackPortIsTerminal;
    ear.ins[0] = jack_port_register(ear.client, "playback_1", JACK_DEFAULT_AUDIO_TYPE, physicalInput, 0);
    ear.ins[1] = jack_port_register(ear.client, "playback_2", JACK_DEFAULT_AUDIO_TYPE, physicalInput, 0);
    ear.keys = jack_port_register(ear.client, "keys", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    if (!ear.ins[0] || !ear.ins[1] || !ear.keys) return false;
    ear.microsecondsPerFrame = 1e6 / jack_get_sample_rate(ear.client);
    jack_set_process_callback(ear.client, process, nullptr);
    return jack_activate(ear.client) == 0;
}

void sleepMillis(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Microseconds from then until now, negative while then is still to come
// (a frame late in the cycle running now). An unsigned difference once made
// a note-on that JACK dated a little ahead look 1 s overdue at once, so on an
// idle machine one note in five was counted unheard and the next one heard
// the sound of the one before.
std::int64_t microsecondsSince(jack_time_t then)
{
    return static_cast<std::int64_t>(jack_get_time()) - static_cast<std::int64_t>(then);
}

// Waits until nothing has sounded for a while (false after 5 s of sound).
bool waitForSilence()
{
    for (int i = 0; i < 5000; ++i) {
        jack_time_t last = ear.lastSoundTime;
        if (last == 0 || microsecondsSince(last) > static_cast<std::int64_t>(silenceBeforePress))
            return true;
        sleepMillis(1);
    }
    return false;
}

// The first sound after the press, in ms from it; none if none came.
std::optional<double> waitForSound(jack_time_t pressedAt)
{
    while (!ear.heard) {
        if (microsecondsSince(pressedAt) > static_cast<std::int64_t>(soundTimeout)) return std::nullopt;
        sleepMillis(1);
    }
    return (static_cast<double>(ear.onsetTime) - static_cast<double>(pressedAt)) / 1000.0;
}

class KeySender {
public:
    explicit KeySender(const char* key)
    {
        display_ = XOpenDisplay(nullptr);
        if (display_) code_ = XKeysymToKeycode(display_, XStringToKeysym(key));
    }
    ~KeySender()
    {
        if (display_) XCloseDisplay(display_);
    }
    bool ready() const { return display_ && code_ != 0; }

    bool hasWindow(const char* title)
    {
        Window root = DefaultRootWindow(display_), parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, root, &root, &parent, &children, &count)) return false;
        bool found = false;
        for (unsigned i = 0; i < count && !found; ++i) {
            char* name = nullptr;
            if (XFetchName(display_, children[i], &name) && name) {
                found = std::strstr(name, title) != nullptr;
                XFree(name);
            }
        }
        if (children) XFree(children);
        return found;
    }

    jack_time_t press()
    {
        XTestFakeKeyEvent(display_, code_, True, CurrentTime);
        jack_time_t sent = jack_get_time();
        XFlush(display_);
        return sent;
    }
    void release()
    {
        XTestFakeKeyEvent(display_, code_, False, CurrentTime);
        XFlush(display_);
    }

private:
    Display* display_ = nullptr;
    KeyCode code_ = 0;
};

// A note-on goes out at the start of the next cycle; its time is that
// cycle's.
jack_time_t sendNoteOn()
{
    ear.midiSent = false;
    ear.midiToSend = noteOn;
    while (!ear.midiSent) std::this_thread::sleep_for(std::chrono::microseconds(100));
    return ear.midiSentTime;
}

void sendNoteOff()
{
    while (ear.midiToSend != 0) sleepMillis(1);
    ear.midiToSend = noteOff;
}

bool waitForMidiListener()
{
    for (int i = 0; i < 1000; ++i) {
        if (jack_port_connected(ear.keys) > 0) return true;
        sleepMillis(10);
    }
    return false;
}

struct Presser {
    KeySender* keys = nullptr;  // null: MIDI

    jack_time_t down() { return keys ? keys->press() : sendNoteOn(); }
    void up()
    {
        if (keys)
            keys->release();
        else
            sendNoteOff();
    }
};

// One press, from silence: when it went down (0: the sound before it never
// ended) and the latency in ms (none when nothing sounded; below 0 when a
// sound was there before the press, which a sound heard late would be).
struct Press {
    jack_time_t at = 0;
    std::optional<double> latency;
    bool counts() const { return latency && *latency >= 0; }
};

Press measureOne(Presser& presser, std::mt19937& random)
{
    Press press;
    if (!waitForSilence()) return press;
    // A random wait, so that presses meet the programs' loops at every phase.
    sleepMillis(std::uniform_int_distribution<int>(0, 40)(random));
    ear.heard = false;
    ear.armed = true;
    press.at = presser.down();
    press.latency = waitForSound(press.at);
    ear.armed = false;
    presser.up();
    return press;
}

// KOVO_EAR_VERBOSE: one line a press on standard error, for finding the
// presses that went unheard and when.
void logPress(const char* input, int index, const Press& press, jack_time_t firstAt)
{
    if (!std::getenv("KOVO_EAR_VERBOSE")) return;
    double at = static_cast<double>(microsecondsSince(firstAt) - microsecondsSince(press.at)) / 1e6;
    if (press.at == 0)
        std::fprintf(stderr, "%s %d: the sound before it never ended\n", input, index);
    else if (!press.latency)
        std::fprintf(stderr, "%s %d at %.3f s: nothing within %.0f s\n", input, index, at, soundTimeout / 1e6);
    else if (*press.latency < 0)
        std::fprintf(stderr, "%s %d at %.3f s: sounded %.1f ms before it\n", input, index, at, -*press.latency);
    else
        std::fprintf(stderr, "%s %d at %.3f s: %.1f ms\n", input, index, at, *press.latency);
}

void report(const char* input, int presses, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    if (values.empty()) {
        std::printf("%s %d 0 - - -\n", input, presses);
    } else {
        size_t p90 = (values.size() * 9 + 9) / 10 - 1;
        std::printf("%s %d %zu %.1f %.1f %.1f\n", input, presses, values.size(), values[values.size() / 2],
                    values[p90], values.back());
    }
    std::fflush(stdout);
}

void measure(const char* input, Presser presser, int count)
{
    std::mt19937 random(7);
    for (int i = 0; i < warmUpPresses; ++i) measureOne(presser, random);
    std::vector<double> latencies;
    jack_time_t firstAt = jack_get_time();
    for (int i = 0; i < count; ++i) {
        Press press = measureOne(presser, random);
        logPress(input, i, press, firstAt);
        if (press.counts()) latencies.push_back(*press.latency);
    }
    report(input, count, latencies);
}

// A program that does not connect its output to the speakers by itself
// (MilkyTracker) is connected here: its audio outputs, in pairs.
void connectOutputs()
{
    const char** ports = jack_get_ports(ear.client, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    for (int i = 0; ports && ports[i]; ++i)
        jack_connect(ear.client, ports[i], jack_port_name(ear.ins[i % 2]));
    jack_free(ports);
}

bool waitForWindow(KeySender& keys, const char* title)
{
    for (int i = 0; i < 600 && !keys.hasWindow(title); ++i) sleepMillis(100);
    if (!keys.hasWindow(title)) return false;
    sleepMillis(6000);  // until it has shown itself (past a splash screen) and opened its sound
    connectOutputs();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s WINDOW_TITLE COUNT key|midi...\n", argv[0]);
        return 2;
    }
    int count = std::atoi(argv[2]);
    if (!openJack()) {
        std::fprintf(stderr, "kovo_ear_latency: no JACK server\n");
        return 1;
    }
    KeySender keys("y");
    if (!keys.ready() || !waitForWindow(keys, argv[1])) {
        std::fprintf(stderr, "kovo_ear_latency: no X display, or no window \"%s\"\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        bool midi = std::strcmp(argv[i], "midi") == 0;
        if (midi && !waitForMidiListener()) {
            std::fprintf(stderr, "kovo_ear_latency: nobody listens to the MIDI port\n");
            continue;
        }
        measure(argv[i], Presser {midi ? nullptr : &keys}, count);
    }
    jack_client_close(ear.client);
    return 0;
}
