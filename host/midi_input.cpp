#include "host/midi_input.h"

#include "host/midi_ports.h"
#include "host/midi_queue.h"
#include "host/settings_file.h"

#include <RtMidi.h>

#include <chrono>
#include <cstdio>

namespace {

bool requested = false;
constexpr auto lookInterval = std::chrono::seconds(1);

// On the MIDI library's thread.
void onMessage(double, std::vector<unsigned char>* message, void* queue)
{
    static_cast<MidiQueue*>(queue)->push(message->data(), message->size());
}

// Warnings and errors after the start (a device unplugged, a server gone)
// only mean less MIDI.
void onError(RtMidiError::Type, const std::string&, void*) {}

struct Server {
    RtMidi::Api api;
    const char* name;
    std::unique_ptr<MidiPorts> (*openPorts)(const std::string&);
};

// The sequencer first: it is where keyboards appear on a desktop.
constexpr Server servers[] = {
    {RtMidi::LINUX_ALSA, "ALSA sequencer", openAlsaPorts},
    {RtMidi::UNIX_JACK, "JACK", openJackPorts},
};
static_assert(sizeof(servers) / sizeof(servers[0]) == 2);

std::unique_ptr<RtMidiIn> openInput(RtMidi::Api api, MidiQueue& queue)
{
    try {
        auto in = std::make_unique<RtMidiIn>(api, midiClientName);
        in->setErrorCallback(onError);
        in->setCallback(onMessage, &queue);
        in->openVirtualPort(midiPortName);
        return in;
    } catch (const RtMidiError&) {
        return nullptr;
    }
}

} // namespace

void requestMidiInput() { requested = true; }

bool midiInputRequested() { return requested && readSetting(settingsFilePath(), "midi") != "off"; }

std::unique_ptr<MidiInput> MidiInput::open(MidiQueue& queue)
{
    for (const Server& server : servers) {
        std::unique_ptr<MidiPorts> ports = server.openPorts(midiClientName);
        if (!ports) continue;
        std::unique_ptr<RtMidiIn> in = openInput(server.api, queue);
        if (in && ports->findOwnPort(midiClientName, midiPortName))
            return std::unique_ptr<MidiInput>(new MidiInput(std::move(in), std::move(ports), server.name));
    }
    std::fputs("kovo-tracker: no MIDI input (no ALSA sequencer and no JACK server to use)\n", stderr);
    return nullptr;
}

MidiInput::MidiInput(std::unique_ptr<RtMidiIn> in, std::unique_ptr<MidiPorts> ports, const char* serverName)
    : ports_(std::move(ports)), in_(std::move(in)), serverName_(serverName), watcher_([this] { watchPorts(); })
{
}

MidiInput::~MidiInput()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    watcher_.join();
}

void MidiInput::watchPorts()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        lock.unlock();
        connectNewSenders();
        lock.lock();
        wake_.wait_for(lock, lookInterval, [this] { return stopping_; });
    }
}

// A sender is connected once, when it is first seen; one the user has
// disconnected by hand stays disconnected until it goes and comes back.
void MidiInput::connectNewSenders()
{
    std::set<std::string> present;
    for (const std::string& sender : ports_->senders()) {
        if (!connected_.count(sender)) ports_->connect(sender);
        present.insert(sender);
    }
    connected_ = std::move(present);
}
