#include "tests/support/midi/jack_server.h"

#include "midi/jack_client.h"
#include "tests/support/wait.h"

#include <jack/jack.h>

#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace {
void quiet(const char*) {}
} // namespace

JackServer::JackServer() : name_("kovo-test-" + std::to_string(getpid()))
{
    jack_set_error_function(quiet);
    jack_set_info_function(quiet);
    setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    // Long periods: on a busy machine a client without real-time priority
    // that misses a short cycle loses the MIDI events of that cycle.
    jackd_ = std::make_unique<ChildProcess>(
        std::vector<std::string> {"jackd", "-r", "-n", name_, "-d", "dummy", "-r", "48000", "-p", "2048"});
    waitFor(
        [&] {
            jack_status_t status {};
            client_ = JackClient::open("kovo test watcher", status);
            return client_ != nullptr || !jackd_->running();
        },
        30);
}

JackServer::~JackServer()
{
    client_.reset();
    jackd_->kill(SIGTERM);
    if (!jackd_->waitExit(10)) jackd_->kill(SIGKILL);
}

std::vector<std::string> JackServer::midiPorts() { return client_->midiPorts(); }

bool JackServer::connected(const std::string& from, const std::string& to)
{
    jack_port_t* port = jack_port_by_name(client_->get(), from.c_str());
    return port && jack_port_connected_to(port, to.c_str());
}
