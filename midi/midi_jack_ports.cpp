#include "midi/jack_client.h"
#include "midi/midi_ports.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cerrno>

namespace {

// The library's messages (a server that is not running, above all) would
// fill standard error; the tracker says what matters in one line itself.
void quiet(const char*) {}

std::string clientOf(const std::string& portName) { return portName.substr(0, portName.find(':')); }

// JACK renames a second client of the same name ("Kovo Tracker-01") and
// tells its clients no other client's process, so the own input is the one
// that was not there before the MIDI library opened it.
class JackPorts : public MidiPorts {
public:
    explicit JackPorts(std::unique_ptr<JackClient> client)
        : client_(std::move(client)), inputsBefore_(client_->midiPorts(nullptr, JackPortIsInput))
    {
    }

    bool findOwnPort(const std::string& client, const std::string& port) override
    {
        std::string pattern = "^" + client + ".*:" + port + "$";
        for (const std::string& name : client_->midiPorts(pattern.c_str(), JackPortIsInput))
            if (std::find(inputsBefore_.begin(), inputsBefore_.end(), name) == inputsBefore_.end()) ownPort_ = name;
        return !ownPort_.empty();
    }

    std::vector<std::string> senders() override
    {
        std::vector<std::string> found;
        std::string ownClient = clientOf(ownPort_) + ":";
        for (const std::string& port : client_->midiPorts(nullptr, JackPortIsOutput))
            if (port.compare(0, ownClient.size(), ownClient) != 0 && !isMidiThrough(port)) found.push_back(port);
        return found;
    }

    bool connect(const std::string& sender) override
    {
        int result = jack_connect(client_->get(), sender.c_str(), ownPort_.c_str());
        return result == 0 || result == EEXIST;
    }

private:
    std::unique_ptr<JackClient> client_;
    std::vector<std::string> inputsBefore_;
    std::string ownPort_;
};

} // namespace

std::unique_ptr<MidiPorts> openJackPorts(const std::string& clientName, bool& serverThere)
{
    jack_set_error_function(quiet);
    jack_set_info_function(quiet);
    jack_status_t status {};
    std::unique_ptr<JackClient> client = JackClient::open(clientName + " ports", status);
    serverThere = client || (status & JackServerError);
    if (!client) return nullptr;
    return std::make_unique<JackPorts>(std::move(client));
}
