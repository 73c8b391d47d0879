#include "tests/support/midi/midi_sender.h"

#include "tests/support/wait.h"

#include <RtMidi.h>

// A busy server can refuse a client now and then; the keyboard is plugged in
// again until it takes, as a person would.
MidiSender::MidiSender(const std::string& clientName) : portName_(clientName + ":out")
{
    waitFor(
        [&] {
            try {
                auto out = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, clientName);
                out->openVirtualPort("out");
                out_ = std::move(out);
                return true;
            } catch (const RtMidiError&) {
                return false;
            }
        },
        20);
}

MidiSender::~MidiSender() = default;

void MidiSender::send(const std::vector<std::uint8_t>& bytes)
{
    if (!out_) return;
    std::vector<unsigned char> message(bytes.begin(), bytes.end());
    out_->sendMessage(&message);
}
