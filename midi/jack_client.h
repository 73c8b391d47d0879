// A client of a JACK server that can be closed at any moment without
// hanging the process.
//
// libjack stops a client's notification thread, when the client is closed,
// by cancelling it at once. When another client of the server has just come
// or gone, that thread is handling it under a lock the library shares among
// all clients of the process; cancelled there, it dies holding the lock,
// and every later close in the process waits for ever. So this client is
// active with a port registration callback, and before closing it registers
// a port named "closing" and waits until its own thread has reported that
// port: everything the server told it before is handled by then.
#pragma once

#include <jack/jack.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class JackClient {
public:
    // Registers ports and sets callbacks, which JACK takes only before the
    // client is activated.
    using Prepare = std::function<bool(jack_client_t*)>;

    // Never starts a server. Null when no server runs (JackServerFailed in
    // the status), or when a busy one did not answer in time or would not
    // take the client's ports or its activation (JackServerError).
    static std::unique_ptr<JackClient> open(const std::string& name, jack_status_t& status, const Prepare& prepare = {});

    // Takes a client just opened, not yet active; open() is the way in.
    explicit JackClient(jack_client_t* client);
    ~JackClient();
    JackClient(const JackClient&) = delete;
    JackClient& operator=(const JackClient&) = delete;

    jack_client_t* get() const { return client_; }
    // The MIDI ports, "client:port", whose names match the pattern (all of
    // them for none) and that have the flags (any for 0).
    std::vector<std::string> midiPorts(const char* pattern = nullptr, unsigned long flags = 0) const;

private:
    static void onPortRegistration(jack_port_id_t id, int registered, void* self);
    // Returns when the client's thread has handled all it was told before
    // (or the server is gone, or the thread waited too long).
    void catchUp();

    jack_client_t* client_;
    bool active_ = false;
    std::atomic<bool> closingPortSeen_ {false};
};
