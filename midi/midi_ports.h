// The MIDI server's list of ports and its connections, for connecting every
// sender to the tracker's own input by itself. One implementation per server:
// the ALSA sequencer and JACK.
#pragma once

#include <memory>
#include <string>
#include <vector>

class MidiPorts {
public:
    virtual ~MidiPorts() = default;
    // Finds the input port the MIDI library opened for this process, by
    // its client and port names, among the ports that came after this
    // object was opened; false when it is not there.
    virtual bool findOwnPort(const std::string& client, const std::string& port) = 0;
    // The readable ports of other clients, by a name that stays while the
    // port lives. The server's own ports and "Midi Through" are left out.
    virtual std::vector<std::string> senders() = 0;
    // Connects a sender to the own port; true when it is connected after
    // (also when it already was). A port gone meanwhile is no error, and a
    // busy server's refusal is tried again at the next look.
    virtual bool connect(const std::string& sender) = 0;
};

// Each opener says whether its server is there at all, also when it gives
// no ports: a server that is there may let the input in at a later try.
// Null when there is no sequencer (or no permission to use it).
std::unique_ptr<MidiPorts> openAlsaPorts(const std::string& clientName, bool& serverThere);
// Null when no JACK server runs, or when it did not answer in time (a busy
// server); never starts one.
std::unique_ptr<MidiPorts> openJackPorts(const std::string& clientName, bool& serverThere);

// Through Midi Through everything sent anywhere would come back a second time.
inline bool isMidiThrough(const std::string& name) { return name.find("Midi Through") != std::string::npos; }
