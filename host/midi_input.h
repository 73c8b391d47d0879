// The tracker's MIDI input: one input "Kovo Tracker" / "notes in" on the ALSA
// sequencer, or on JACK where there is no sequencer. Every sender that
// appears is connected to it by itself; its messages go to the input
// device's MIDI queue. Without a MIDI server the program runs on without it.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

class MidiPorts;
class MidiQueue;
class RtMidiIn;

inline constexpr char midiClientName[] = "Kovo Tracker";
inline constexpr char midiPortName[] = "notes in";

class MidiInput {
public:
    // Null, after one line on standard error, when no MIDI server can be used.
    static std::unique_ptr<MidiInput> open(MidiQueue& queue);
    ~MidiInput();
    MidiInput(const MidiInput&) = delete;
    MidiInput& operator=(const MidiInput&) = delete;

    const char* serverName() const { return serverName_; }

private:
    MidiInput(std::unique_ptr<RtMidiIn> in, std::unique_ptr<MidiPorts> ports, const char* serverName);
    // Looks for new senders about once a second, on a thread of its own so
    // that no update step ever waits for the MIDI server.
    void watchPorts();
    void connectNewSenders();

    std::unique_ptr<MidiPorts> ports_;
    std::unique_ptr<RtMidiIn> in_;
    const char* serverName_;
    std::set<std::string> connected_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread watcher_;
};

// Asked for by the program before its run starts (tests of the editor run
// without it); midi=off in the settings file turns it down.
void requestMidiInput();
bool midiInputRequested();
