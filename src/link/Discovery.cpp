#include "link/Discovery.h"

#include "link/Base64.h"
#include "link/LineSplitter.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <cstdio>

namespace helm {

Discovery::Discovery(QObject* parent, Answer answer)
    : socket_(new QUdpSocket(parent)), answer_(std::move(answer)) {
    QObject::connect(socket_, &QUdpSocket::readyRead, socket_, [this] { readable(); });
}

Discovery::~Discovery() {
    delete socket_;
}

bool Discovery::listen(std::uint16_t port) {
    return socket_->bind(QHostAddress::AnyIPv4, port);
}

std::uint16_t Discovery::port() const {
    return socket_->localPort();
}

void Discovery::readable() {
    // Each datagram is answered at most once, to the address it came from.
    while (socket_->hasPendingDatagrams()) {
        QNetworkDatagram d = socket_->receiveDatagram(2048);
        if (!d.isValid() || d.data().isEmpty())
            continue;
        auto reply = answer_(
            std::string_view(d.data().constData(), static_cast<std::size_t>(d.data().size())));
        if (reply)
            socket_->writeDatagram(reply->data(), static_cast<qint64>(reply->size()),
                                   d.senderAddress(), static_cast<quint16>(d.senderPort()));
    }
}

std::optional<std::string> Discovery::answer(std::string_view probe, std::uint16_t tcpPort,
                                             bool pairingOpen, const std::string& macName,
                                             const std::string& hubId) {
    if (lossyUtf8(probe).rfind("PIVMOR?", 0) != 0)
        return std::nullopt;
    char head[32];
    std::snprintf(head, sizeof head, "PIVMOR! %u", static_cast<unsigned>(tcpPort));
    if (pairingOpen)
        return std::string(head) + " " + base64Encode(macName);
    return std::string(head) + " - " + hubId;
}

} // namespace helm
