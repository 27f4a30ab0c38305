#pragma once
// What the hub keeps for one accepted connection while it lives (internal to the hub).
#include "link/Hub.h"
#include "link/KeyAgreement.h"
#include "link/LineSplitter.h"

#include <deque>

class QTcpSocket;

namespace helm {

struct HubConn {
    enum class Role { none, ctl, data, done };

    std::uint64_t id = 0;
    QTcpSocket* sock = nullptr;
    LineSplitter buf{Hub::longLine};
    Role role = Role::none;
    std::string name;                // for ctl and data
    std::shared_ptr<Hub::Link> link; // for ctl and data
    bool counted = true;             // still counts in the hub's pending connections
    std::uint64_t afterHello = 0;    // bytes a pairing connection sent after its pair line
    bool closing = false;            // a final reply went out; input is ignored now
    bool opening = false;            // a long line is being opened; later lines wait
    // Handshake values of this connection.
    std::string nonce;
    std::string keyText;
    KeyAgreement priv;
    // Sends in flight: the stream offset at which each completes, and what to call then.
    std::uint64_t queued = 0;
    std::uint64_t sent = 0;
    std::deque<std::pair<std::uint64_t, std::function<void(bool)>>> completions;
    Hub::Clock::time_point lastProgress = Hub::Clock::now();
    // The rest of a long line, waiting until the socket has sent most of what it holds.
    std::function<void()> drained;
};

} // namespace helm
