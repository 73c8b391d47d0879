#include "midi/midi_input.h"

#include "base/settings_file.h"
#include "host/input_wake.h"
#include "host/midi_queue.h"
#include "midi/midi_ports.h"

#include <RtMidi.h>

#include <cstdio>
#include <iostream>
#include <pthread.h>

namespace {

bool requested = false;
constexpr auto lookInterval = std::chrono::milliseconds(1000);
// A busy server can refuse a client now and then (it gives each of its
// clients a moment to answer); one that refuses this many looks in a row
// means it, and is worth telling about.
constexpr int refusalsToTell = 5;

// On the MIDI library's thread, which on JACK is the server's real-time
// thread: it only queues the message and posts the semaphore.
void onMessage(double, std::vector<unsigned char>* message, void* input)
{
    static_cast<MidiInput*>(input)->deliver(message->data(), message->size());
}

// Warnings and errors after the start (a device unplugged, a server gone)
// only mean less MIDI.
void onError(RtMidiError::Type, const std::string&, void*) {}

struct Server {
    RtMidi::Api api;
    std::unique_ptr<MidiPorts> (*openPorts)(const std::string&, bool& serverThere);
};

// The sequencer first: it is where keyboards appear on a desktop.
constexpr Server servers[] = {
    {RtMidi::LINUX_ALSA, openAlsaPorts},
    {RtMidi::UNIX_JACK, openJackPorts},
};
static_assert(sizeof(servers) / sizeof(servers[0]) == 2);

// The library warns on std::cerr from its constructor, before an error
// callback can be set: a JACK server that refused its client at the first
// try, which opening the port tries again. The tracker says what matters
// itself, and nothing else in it writes to std::cerr.
class StandardErrorStreamSilenced {
public:
    StandardErrorStreamSilenced() : saved_(std::cerr.rdbuf(nullptr)) {}
    ~StandardErrorStreamSilenced() { std::cerr.rdbuf(saved_); }
    StandardErrorStreamSilenced(const StandardErrorStreamSilenced&) = delete;
    StandardErrorStreamSilenced& operator=(const StandardErrorStreamSilenced&) = delete;

private:
    std::streambuf* saved_;
};

std::unique_ptr<RtMidiIn> openInput(RtMidi::Api api, MidiInput& input)
{
    try {
        std::unique_ptr<RtMidiIn> in;
        {
            StandardErrorStreamSilenced silenced;
            in = std::make_unique<RtMidiIn>(api, midiClientName);
        }
        in->setErrorCallback(onError);
        in->setCallback(onMessage, &input);
        in->openVirtualPort(midiPortName);
        return in;
    } catch (const RtMidiError&) {
        return nullptr;
    }
}

} // namespace

void requestMidiInput() { requested = true; }

bool midiInputRequested() { return requested && readSetting(settingsFilePath(), "midi") != "off"; }

MidiInput::MidiInput(MidiQueue& queue) : queue_(queue)
{
    sem_init(&arrived_, 0, 0);
    thread_ = std::thread([this] { run(); });
    wakeThread_ = std::thread([this] { passOnArrivals(); });
    pthread_setname_np(thread_.native_handle(), "kovo-midi");
    pthread_setname_np(wakeThread_.native_handle(), "kovo-midi-wake");
}

MidiInput::~MidiInput()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    stopWaking_ = true;
    sem_post(&arrived_);
    wakeThread_.join();
    sem_destroy(&arrived_);
}

void MidiInput::deliver(const unsigned char* bytes, std::size_t length)
{
    queue_.push(bytes, length);
    sem_post(&arrived_);
}

// Wakes the host's loop for each message, away from the real-time thread.
void MidiInput::passOnArrivals()
{
    while (true) {
        while (sem_wait(&arrived_) != 0) {}
        if (stopWaking_) return;
        wakeForInput();
    }
}

// With no MIDI server at all there is nothing to say or to wait for: most
// machines have none, and nothing changes for them. A server that is there
// but refuses the input (a busy one, now and then) is asked again at the
// next looks; one that keeps refusing it is worth the one line, and then
// the tracker goes on without MIDI.
void MidiInput::run()
{
    int refusals = 0;
    do {
        if (in_ || open(refusals))
            connectNewSenders();
        else if (refusals == 0 || refusals == refusalsToTell)
            return;
    } while (waitWhileOpen(lookInterval));
}

bool MidiInput::open(int& refusals)
{
    bool serverSeen = false;
    for (const Server& server : servers) {
        bool serverThere = false;
        ports_ = server.openPorts(midiClientName, serverThere);
        serverSeen = serverSeen || serverThere;
        if (!ports_) continue;
        in_ = openInput(server.api, *this);
        if (in_ && ports_->findOwnPort(midiClientName, midiPortName)) return true;
        in_.reset();
    }
    ports_.reset();
    refusals = serverSeen ? refusals + 1 : 0;
    if (refusals == refusalsToTell)
        std::fputs("kovo-tracker: no MIDI input: the ALSA sequencer or JACK server refused it\n", stderr);
    return false;
}

bool MidiInput::waitWhileOpen(std::chrono::milliseconds time)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return !wake_.wait_for(lock, time, [this] { return stopping_; });
}

// A sender is connected once, when it is first seen (or at the next look,
// if the server refused it); one the user has disconnected by hand stays
// disconnected until it goes and comes back.
void MidiInput::connectNewSenders()
{
    std::set<std::string> present;
    for (const std::string& sender : ports_->senders()) {
        if (connected_.count(sender) || ports_->connect(sender)) present.insert(sender);
    }
    connected_ = std::move(present);
}
