#include "app/TestPortClient.h"

#include "app/Log.h"

#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace helm {

TestPortClient::TestPortClient(int fd, Interpreter interpreter, std::size_t maxUnsent,
                               std::chrono::milliseconds stall, QObject* parent)
    : QObject(parent), fd_(fd), interpreter_(std::move(interpreter)), maxUnsent_(maxUnsent),
      read_(new QSocketNotifier(fd, QSocketNotifier::Read, this)),
      write_(new QSocketNotifier(fd, QSocketNotifier::Write, this)), stall_(new QTimer(this)) {
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
    write_->setEnabled(false);
    stall_->setSingleShot(true);
    stall_->setInterval(stall);
    connect(read_, &QSocketNotifier::activated, this, [this] { readable(); });
    connect(write_, &QSocketNotifier::activated, this, [this] { pump(); });
    connect(stall_, &QTimer::timeout, this, [this] {
        log("test port: a client reads no replies, closing it");
        close();
    });
}

TestPortClient::~TestPortClient() {
    if (fd_ >= 0)
        ::close(fd_);
}

void TestPortClient::readable() {
    char bytes[65'536];
    const ssize_t n = ::recv(fd_, bytes, sizeof bytes, 0);
    if (n < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            close();
        return;
    }
    if (n == 0) { // the client sends no more; what it asked for is still answered
        peerDone_ = true;
        read_->setEnabled(false);
    }
    for (auto& line : n == 0 ? reader_.finish()
                             : reader_.feed(std::string_view(bytes, static_cast<std::size_t>(n))))
        waiting_.push_back(std::move(line));
    pump();
}

void TestPortClient::pump() {
    std::size_t wrote = 0;
    for (;;) {
        while (!waiting_.empty() && unsent() <= maxUnsent_) {
            std::optional<std::string> line = std::move(waiting_.front());
            waiting_.pop_front();
            // A line too long to be a command.
            out_ += (line ? interpreter_(*line) : std::string("?")) + "\n";
        }
        std::optional<std::size_t> n = writeSome();
        if (!n) {
            close(); // the client is gone
            return;
        }
        wrote += *n;
        // Commands already read wait for the replies before them to drain.
        if (*n == 0 || waiting_.empty() || unsent() > maxUnsent_)
            break;
    }
    read_->setEnabled(!peerDone_ && waiting_.empty());
    write_->setEnabled(unsent() > 0);
    if (unsent() <= maxUnsent_)
        stall_->stop();
    else if (wrote > 0 || !stall_->isActive())
        stall_->start(); // counted from the last reply bytes the client took
    if (peerDone_ && waiting_.empty() && unsent() == 0)
        close();
}

std::optional<std::size_t> TestPortClient::writeSome() {
    std::size_t wrote = 0;
    while (sent_ < out_.size()) {
        const ssize_t n = ::send(fd_, out_.data() + sent_, out_.size() - sent_, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n < 0)
            return std::nullopt;
        sent_ += static_cast<std::size_t>(n);
        wrote += static_cast<std::size_t>(n);
    }
    if (sent_ == out_.size()) {
        out_.clear();
        sent_ = 0;
    } else if (sent_ > maxUnsent_) {
        out_.erase(0, sent_);
        sent_ = 0;
    }
    return wrote;
}

void TestPortClient::close() {
    read_->setEnabled(false);
    write_->setEnabled(false);
    stall_->stop();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    deleteLater();
}

} // namespace helm
