// The tracker's MIDI input: one input "Kovo Tracker" / "notes in" on the ALSA
// sequencer, or on JACK where there is no sequencer. Every sender that
// appears is connected to it by itself; its messages go to the input
// device's MIDI queue. Without a MIDI server the program runs on without it.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include <semaphore.h>

class MidiPorts;
class MidiQueue;
class RtMidiIn;

inline constexpr char midiClientName[] = "Kovo Tracker";
inline constexpr char midiPortName[] = "notes in";

class MidiInput {
public:
    // Opens the input and then looks for new senders about once a second,
    // all on a thread of its own ("kovo-midi"): a MIDI server takes its time
    // to answer, and neither the start nor an update step waits for it.
    // A server that is there but refuses the input (a busy JACK server, now
    // and then) is asked again at the next looks; one that refuses it five
    // times gets one line on standard error. A second thread
    // ("kovo-midi-wake") wakes the host's loop for each message.
    explicit MidiInput(MidiQueue& queue);
    ~MidiInput();
    MidiInput(const MidiInput&) = delete;
    MidiInput& operator=(const MidiInput&) = delete;

    // On the MIDI library's thread: queues one message for the next step.
    void deliver(const unsigned char* bytes, std::size_t length);

private:
    void run();
    void passOnArrivals();
    // Tries the servers in order; counts the looks in a row on which a
    // server was there but refused.
    bool open(int& refusals);
    void connectNewSenders();
    // False once the input is being closed; waits up to the time given.
    bool waitWhileOpen(std::chrono::milliseconds time);

    MidiQueue& queue_;
    std::unique_ptr<MidiPorts> ports_;
    std::unique_ptr<RtMidiIn> in_;
    std::set<std::string> connected_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
    sem_t arrived_ {};
    std::atomic<bool> stopWaking_ {false};
    std::thread wakeThread_;
};

// Asked for by the program before its run starts (tests of the editor run
// without it); midi=off in the settings file turns it down.
void requestMidiInput();
bool midiInputRequested();
