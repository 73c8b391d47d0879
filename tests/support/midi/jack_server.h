// A real JACK server on the dummy backend (no sound hardware needed), under a
// name of the test program's own so that parallel tests never meet; its
// clients, this process and the programs it starts, find it through
// JACK_DEFAULT_SERVER.
#pragma once

#include "tests/support/child_process.h"

#include <memory>
#include <string>
#include <vector>

class JackClient;

class JackServer {
public:
    // Starts jackd and waits until it takes clients; running() says whether
    // it did.
    JackServer();
    ~JackServer();
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    bool running() const { return client_ != nullptr; }
    const std::string& name() const { return name_; }
    // "JACK_DEFAULT_SERVER=<name>", for a program's environment.
    std::string environment() const { return "JACK_DEFAULT_SERVER=" + name_; }

    // The names of the MIDI ports, "client:port".
    std::vector<std::string> midiPorts();
    bool connected(const std::string& from, const std::string& to);

private:
    std::string name_;
    std::unique_ptr<ChildProcess> jackd_;
    std::unique_ptr<JackClient> client_;
};
