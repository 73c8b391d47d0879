#include "tests/support/midi/midi_sender.h"

#include <RtMidi.h>

MidiSender::MidiSender(const std::string& clientName)
    : out_(std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, clientName)), portName_(clientName + ":out")
{
    out_->openVirtualPort("out");
}

MidiSender::~MidiSender() = default;

void MidiSender::send(const std::vector<std::uint8_t>& bytes)
{
    std::vector<unsigned char> message(bytes.begin(), bytes.end());
    out_->sendMessage(&message);
}
