#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QTcpServer;

namespace helm {

class App;

// The local command port that drives the running program from scripts. It listens on the
// loopback address only and serves every connection on the main thread: each command line
// gets one reply line. Exists only in simulation mode.
class TestPort {
public:
    using Interpreter = std::function<std::string(const std::string& line)>;
    // Replies held for one client before it is read no further commands; one reply may be
    // longer. A client that takes none of them for `stall` is closed.
    static constexpr std::size_t maxUnsent = 1 << 20;
    // The longest screen id a command takes.
    static constexpr std::size_t maxId = 256;

    explicit TestPort(Interpreter interpreter,
                      std::chrono::milliseconds stall = std::chrono::seconds(10));
    ~TestPort();

    // Opens 127.0.0.1:port (0 lets the system choose) and logs "test port " with the port
    // actually opened, or "test port failed".
    bool start(std::uint16_t port);
    std::uint16_t port() const;

    // Interprets one command line against the application and returns the reply.
    static std::string run(const std::string& line, App& app);

private:
    Interpreter interpreter_;
    std::chrono::milliseconds stall_;
    std::unique_ptr<QTcpServer> server_;
};

} // namespace helm
