#include "midi/jack_client.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr char closingPort[] = "closing";
// A busy machine may keep the client's thread waiting a while; past this
// the client is closed all the same.
constexpr auto catchUpLimit = std::chrono::seconds(10);

} // namespace

std::unique_ptr<JackClient> JackClient::open(const std::string& name, jack_status_t& status, const Prepare& prepare)
{
    status = {};
    jack_client_t* opened = jack_client_open(name.c_str(), JackNoStartServer, &status);
    if (!opened) return nullptr;
    auto client = std::make_unique<JackClient>(opened);
    if ((prepare && !prepare(opened)) || jack_activate(opened) != 0) {
        // The server is there and may well take the client at a later try.
        status = static_cast<jack_status_t>(status | JackFailure | JackServerError);
        return nullptr;
    }
    client->active_ = true;
    return client;
}

JackClient::JackClient(jack_client_t* client) : client_(client)
{
    jack_set_port_registration_callback(client_, onPortRegistration, this);
}

JackClient::~JackClient()
{
    if (active_) catchUp();
    jack_client_close(client_);
}

std::vector<std::string> JackClient::midiPorts(const char* pattern, unsigned long flags) const
{
    std::unique_ptr<const char*[], void (*)(void*)> names(
        jack_get_ports(client_, pattern, JACK_DEFAULT_MIDI_TYPE, flags), jack_free);
    std::vector<std::string> found;
    for (const char** name = names.get(); name && *name; ++name) found.push_back(*name);
    return found;
}

// Only a flag: the thread may be cancelled anywhere in here once the client
// closes, and must hold nothing then.
void JackClient::onPortRegistration(jack_port_id_t id, int registered, void* self)
{
    auto* client = static_cast<JackClient*>(self);
    jack_port_t* port = jack_port_by_id(client->client_, id);
    if (registered && port && jack_port_is_mine(client->client_, port) &&
        std::strcmp(jack_port_short_name(port), closingPort) == 0)
        client->closingPortSeen_ = true;
}

// The server tells a client everything in order on one connection, so the
// port's report comes after all that was told before it.
void JackClient::catchUp()
{
    if (!jack_port_register(client_, closingPort, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0)) return;
    auto limit = std::chrono::steady_clock::now() + catchUpLimit;
    while (!closingPortSeen_ && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}
