// A MIDI sender on the test's JACK server, as a keyboard or a sequencer
// program appears to the tracker: a port of another client, sending bytes.
#pragma once

#include <jack/jack.h>
#include <jack/ringbuffer.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class JackClient;

class MidiSender {
public:
    // A client of that name with one output port "out"; with none when the
    // server refused it for long (the test then finds no port to connect,
    // and sends go nowhere).
    explicit MidiSender(const std::string& clientName);
    ~MidiSender();
    MidiSender(const MidiSender&) = delete;
    MidiSender& operator=(const MidiSender&) = delete;

    // "client:out", as JACK names the port.
    const std::string& portName() const { return portName_; }
    // One message, delivered in one piece at the next cycle.
    void send(const std::vector<std::uint8_t>& bytes);
    void noteOn(int note, int velocity) { send({0x90, static_cast<std::uint8_t>(note), static_cast<std::uint8_t>(velocity)}); }

private:
    static int process(jack_nframes_t frames, void* self);

    std::string portName_;
    jack_ringbuffer_t* pending_;
    jack_port_t* port_ = nullptr;
    std::unique_ptr<JackClient> client_;
};
