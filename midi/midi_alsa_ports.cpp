#include "midi/midi_ports.h"

#include <alsa/asoundlib.h>

#include <cerrno>
#include <unistd.h>

namespace {

void quiet(const char*, int, const char*, int, const char*, ...) {}

// An info record of the sequencer library, freed with it.
template <typename Info, int (*allocate)(Info**), void (*release)(Info*)> struct Record {
    Record() { allocate(&info); }
    ~Record() { release(info); }
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;
    Info* info = nullptr;
};
using ClientInfo = Record<snd_seq_client_info_t, snd_seq_client_info_malloc, snd_seq_client_info_free>;
using PortInfo = Record<snd_seq_port_info_t, snd_seq_port_info_malloc, snd_seq_port_info_free>;

class AlsaPorts : public MidiPorts {
public:
    explicit AlsaPorts(snd_seq_t* seq) : seq_(seq) {}
    ~AlsaPorts() override { snd_seq_close(seq_); }

    bool findOwnPort(const std::string& client, const std::string& port) override
    {
        forEachPort([&](snd_seq_client_info_t* c, snd_seq_port_info_t* p) {
            if (client == snd_seq_client_info_get_name(c) && port == snd_seq_port_info_get_name(p) &&
                snd_seq_client_info_get_pid(c) == getpid())
                own_ = *snd_seq_port_info_get_addr(p);
        });
        return own_.client != 0;
    }

    std::vector<std::string> senders() override
    {
        std::vector<std::string> found;
        constexpr unsigned readable = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
        forEachPort([&](snd_seq_client_info_t* c, snd_seq_port_info_t* p) {
            const snd_seq_addr_t* addr = snd_seq_port_info_get_addr(p);
            if ((snd_seq_port_info_get_capability(p) & readable) != readable || addr->client == SND_SEQ_CLIENT_SYSTEM ||
                addr->client == own_.client || isMidiThrough(snd_seq_client_info_get_name(c)))
                return;
            found.push_back(std::to_string(addr->client) + ":" + std::to_string(addr->port));
        });
        return found;
    }

    bool connect(const std::string& sender) override
    {
        snd_seq_addr_t from {};
        if (snd_seq_parse_address(seq_, &from, sender.c_str()) < 0) return false;
        snd_seq_port_subscribe_t* subscription = nullptr;
        snd_seq_port_subscribe_alloca(&subscription);
        snd_seq_port_subscribe_set_sender(subscription, &from);
        snd_seq_port_subscribe_set_dest(subscription, &own_);
        int result = snd_seq_subscribe_port(seq_, subscription);
        return result == 0 || result == -EBUSY;
    }

private:
    template <typename Visit> void forEachPort(Visit visit)
    {
        ClientInfo client;
        PortInfo port;
        snd_seq_client_info_set_client(client.info, -1);
        while (snd_seq_query_next_client(seq_, client.info) >= 0) {
            snd_seq_port_info_set_client(port.info, snd_seq_client_info_get_client(client.info));
            snd_seq_port_info_set_port(port.info, -1);
            while (snd_seq_query_next_port(seq_, port.info) >= 0) visit(client.info, port.info);
        }
    }

    snd_seq_t* seq_;
    snd_seq_addr_t own_ {};
};

} // namespace

std::unique_ptr<MidiPorts> openAlsaPorts(const std::string& clientName, bool& serverThere)
{
    serverThere = access("/dev/snd/seq", F_OK) == 0;
    if (!serverThere) return nullptr;
    snd_lib_error_set_handler(quiet);
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0) return nullptr;
    snd_seq_set_client_name(seq, (clientName + " ports").c_str());
    return std::make_unique<AlsaPorts>(seq);
}
