#include "app/TestPort.h"

#include "app/CommandReader.h"
#include "app/Log.h"
#include "app/NumberText.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <utility>

namespace helm {

TestPort::TestPort(Interpreter interpreter) : interpreter_(std::move(interpreter)) {}

TestPort::~TestPort() = default;

bool TestPort::start(std::uint16_t port) {
    auto server = std::make_unique<QTcpServer>();
    if (!server->listen(QHostAddress::LocalHost, port)) {
        log("test port failed");
        return false;
    }
    server_ = std::move(server);
    QObject::connect(server_.get(), &QTcpServer::newConnection, server_.get(), [this] { serve(); });
    log(format("test port %u", static_cast<unsigned>(this->port())));
    return true;
}

std::uint16_t TestPort::port() const {
    return server_ ? server_->serverPort() : 0;
}

void TestPort::serve() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        auto buffer = std::make_shared<CommandReader>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            QByteArray bytes = socket->readAll();
            for (auto& line : buffer->feed(std::string_view(bytes.constData(), bytes.size()))) {
                std::string reply = "?"; // a line too long to be a command
                if (line) {
                    reply = interpreter_(*line);
                }
                reply += "\n";
                socket->write(reply.data(), static_cast<qint64>(reply.size()));
                if (socket->bytesToWrite() > maxUnsent) {
                    // A client that does not read its replies would have them kept for ever.
                    log("test port: a client reads no replies, closing it");
                    socket->abort();
                    return;
                }
            }
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

} // namespace helm
