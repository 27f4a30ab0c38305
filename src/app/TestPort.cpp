#include "app/TestPort.h"

#include "app/Log.h"
#include "app/NumberText.h"
#include "app/TestPortClient.h"

#include <QHostAddress>
#include <QTcpServer>

#include <utility>

namespace helm {

namespace {

// Hands each accepted socket over as it is: its clients are served by TestPortClient.
class Listener : public QTcpServer {
public:
    std::function<void(int fd)> onSocket;

protected:
    void incomingConnection(qintptr fd) override { onSocket(static_cast<int>(fd)); }
};

} // namespace

TestPort::TestPort(Interpreter interpreter, std::chrono::milliseconds stall)
    : interpreter_(std::move(interpreter)), stall_(stall) {}

TestPort::~TestPort() = default;

bool TestPort::start(std::uint16_t port) {
    auto server = std::make_unique<Listener>();
    if (!server->listen(QHostAddress::LocalHost, port)) {
        log("test port failed");
        return false;
    }
    // Clients are the listener's children: they go when it goes.
    server->onSocket = [this, parent = server.get()](int fd) {
        new TestPortClient(fd, interpreter_, maxUnsent, stall_, parent);
    };
    server_ = std::move(server);
    log(format("test port %u", static_cast<unsigned>(this->port())));
    return true;
}

std::uint16_t TestPort::port() const {
    return server_ ? server_->serverPort() : 0;
}

} // namespace helm
