#pragma once
// Answers the agents' UDP probes so a PC on the same network finds the hub without an address.
#include <QObject>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QUdpSocket;

namespace helm {

class Discovery {
public:
    using Answer = std::function<std::optional<std::string>(std::string_view probe)>;
    // Lives on the thread of `parent`; `answer` runs there for every datagram.
    Discovery(QObject* parent, Answer answer);
    ~Discovery();
    Discovery(const Discovery&) = delete;
    Discovery& operator=(const Discovery&) = delete;

    bool listen(std::uint16_t port);
    std::uint16_t port() const;

    // The answer to one probe: the TCP port and, while pairing is open, the Mac's name in
    // base64, else the hub id. Nothing for a datagram that is not a probe.
    static std::optional<std::string> answer(std::string_view probe, std::uint16_t tcpPort,
                                             bool pairingOpen, const std::string& macName,
                                             const std::string& hubId);

private:
    void readable();
    QUdpSocket* socket_;
    Answer answer_;
};

} // namespace helm
