#include "tests/support/midi/midi_sender.h"

#include "midi/jack_client.h"
#include "tests/support/wait.h"

#include <jack/midiport.h>

#include <algorithm>

namespace {
// Each message waits in the ring as its length and then its bytes.
using Length = std::uint32_t;
} // namespace

// A busy server can refuse a client now and then; the keyboard is plugged in
// again until it takes, as a person would.
MidiSender::MidiSender(const std::string& clientName)
    : portName_(clientName + ":out"), pending_(jack_ringbuffer_create(4096))
{
    auto prepare = [this](jack_client_t* client) {
        port_ = jack_port_register(client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        return port_ && jack_set_process_callback(client, process, this) == 0;
    };
    waitFor(
        [&] {
            jack_status_t status {};
            client_ = JackClient::open(clientName, status, prepare);
            return client_ != nullptr;
        },
        20);
}

// The client goes first: its real-time thread reads the ring.
MidiSender::~MidiSender()
{
    client_.reset();
    jack_ringbuffer_free(pending_);
}

void MidiSender::send(const std::vector<std::uint8_t>& bytes)
{
    if (!client_) return;
    std::vector<char> message(sizeof(Length) + bytes.size());
    Length length = static_cast<Length>(bytes.size());
    std::copy_n(reinterpret_cast<const char*>(&length), sizeof(Length), message.begin());
    std::copy(bytes.begin(), bytes.end(), message.begin() + sizeof(Length));
    // One write: the real-time thread never sees half a message.
    if (jack_ringbuffer_write_space(pending_) >= message.size())
        jack_ringbuffer_write(pending_, message.data(), message.size());
}

int MidiSender::process(jack_nframes_t frames, void* self)
{
    auto* sender = static_cast<MidiSender*>(self);
    void* buffer = jack_port_get_buffer(sender->port_, frames);
    jack_midi_clear_buffer(buffer);
    Length length = 0;
    while (jack_ringbuffer_peek(sender->pending_, reinterpret_cast<char*>(&length), sizeof(Length)) == sizeof(Length) &&
           jack_ringbuffer_read_space(sender->pending_) >= sizeof(Length) + length) {
        jack_ringbuffer_read_advance(sender->pending_, sizeof(Length));
        jack_midi_data_t* event = jack_midi_event_reserve(buffer, 0, length);
        if (event)
            jack_ringbuffer_read(sender->pending_, reinterpret_cast<char*>(event), length);
        else
            jack_ringbuffer_read_advance(sender->pending_, length);
    }
    return 0;
}
