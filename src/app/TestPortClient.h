#pragma once

#include "app/CommandReader.h"

#include <QObject>

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>

class QSocketNotifier;
class QTimer;

namespace helm {

// One client of the test port, on a socket driven here rather than by Qt's: a Qt socket closes
// as soon as the peer shuts its sending side, dropping replies not yet written, while a script
// may send its commands and shut its side at once. Every reply is written before the socket
// is closed. While more than `maxUnsent` bytes of replies wait, no further commands are read;
// a client that takes none of them for `stall` is closed.
class TestPortClient : public QObject {
public:
    using Interpreter = std::function<std::string(const std::string& line)>;

    TestPortClient(int fd, Interpreter interpreter, std::size_t maxUnsent,
                   std::chrono::milliseconds stall, QObject* parent);
    ~TestPortClient() override;

private:
    void readable();
    // Answers the commands read while the replies waiting allow, and writes what the socket
    // takes.
    void pump();
    // Bytes written now; nothing when the socket failed.
    std::optional<std::size_t> writeSome();
    std::size_t unsent() const { return out_.size() - sent_; }
    void close();

    int fd_;
    Interpreter interpreter_;
    std::size_t maxUnsent_;
    CommandReader reader_;
    std::deque<std::optional<std::string>> waiting_; // commands read, not yet answered
    std::string out_;                                // replies not yet written
    std::size_t sent_ = 0;                           // of out_
    bool peerDone_ = false;
    QSocketNotifier* read_;
    QSocketNotifier* write_;
    QTimer* stall_;
};

} // namespace helm
