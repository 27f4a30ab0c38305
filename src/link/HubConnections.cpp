// Accepting, reading, writing and closing the hub's connections.
#include "link/Base64.h"
#include "link/Hex.h"
#include "link/Hub.h"
#include "link/HubConn.h"
#include "link/Wire.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <sys/socket.h>
#include <vector>

namespace helm {

namespace {

constexpr std::size_t maxPending = 32;
constexpr std::size_t maxBeforeLogin = 8192;
// Bytes read per event: each read costs fresh pages for the long line's piece, and a pointer line
// on another link waits for it.
constexpr qint64 receiveChunk = 256 << 10;

} // namespace

void Hub::accept() {
    while (listener_ && listener_->hasPendingConnections()) {
        QTcpSocket* sock = listener_->nextPendingConnection();
        if (!sock)
            return;
        if (stopped_ || pending_ >= static_cast<int>(maxPending)) {
            sock->abort();
            sock->deleteLater();
            continue;
        }
        // The key pair is made only for a connection that will be served.
        auto c = std::make_unique<HubConn>();
        c->id = nextConn_++;
        c->sock = sock;
        sock->setParent(anchor_);
        sock->setReadBufferSize(receiveChunk);
        sock->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        c->nonce = hex(randomBytes(16));
        c->keyText = base64Encode(c->priv.publicX963());
        ++pending_;
        std::uint64_t id = c->id;
        QObject::connect(sock, &QTcpSocket::readyRead, anchor_, [this, id] { readable(id); });
        QObject::connect(sock, &QTcpSocket::disconnected, anchor_, [this, id] { ended(id); });
        QObject::connect(sock, &QTcpSocket::errorOccurred, anchor_,
                         [this, id](QAbstractSocket::SocketError) { ended(id); });
        QObject::connect(sock, &QTcpSocket::bytesWritten, anchor_,
                         [this, id](qint64 n) { written(id, n); });
        std::string greeting = "n " + c->nonce + " " + c->keyText + "\n";
        conns_.emplace(id, std::move(c));
        write(id, greeting, nullptr);
        QTimer::singleShot(opt_.helloWait, anchor_, [this, id] {
            auto it = conns_.find(id);
            if (stopped_ || it == conns_.end() || it->second->role != HubConn::Role::none)
                return;
            cancel(id);
        });
        // Bytes that arrived with the connection are read now.
        if (sock->bytesAvailable() > 0)
            readable(id);
    }
}

void Hub::acceptFailed() {
    if (!listener_)
        return;
    // Out of descriptors, most likely: the listener has paused itself. Accepting again at once
    // would only fail again, and never again would leave the hub deaf.
    log("can't accept a connection (" + listener_->errorString().toStdString() +
        "), pausing briefly");
    listener_->pauseAccepting();
    QTimer::singleShot(opt_.acceptPause, anchor_, [this, l = QPointer<QTcpServer>(listener_)] {
        if (!stopped_ && l && l == listener_)
            l->resumeAccepting();
    });
}

void Hub::readable(std::uint64_t id) {
    auto it = conns_.find(id);
    if (stopped_ || it == conns_.end())
        return;
    HubConn* c = it->second.get();
    if (c->closing) {
        c->sock->readAll(); // the reply is out; what the peer still says is of no use
        return;
    }
    // Also called with nothing new, after a long line was opened, for the lines behind it.
    // Through one reused buffer of the queue's, so only the line's own piece takes new memory.
    thread_local std::vector<char> chunk(static_cast<std::size_t>(receiveChunk));
    bool any = false;
    for (qint64 n; (n = c->sock->read(chunk.data(), receiveChunk)) > 0; any = true)
        c->buf.append(chunk.data(), static_cast<std::size_t>(n));
    if (any && c->role == HubConn::Role::ctl) {
        // Any byte, even of a line not complete yet, keeps the control link alive.
        if (auto l = ctl_.find(c->name); l != ctl_.end() && l->second->conn == id)
            l->second->lastSeen = Clock::now();
    }
    while (!c->opening) {
        const bool linked =
            (c->role == HubConn::Role::ctl || c->role == HubConn::Role::data) && c->link;
        if (c->buf.hasLong()) {
            if (!linked) {
                logAs(LogSource::noise, "", "too much before logging in, closing");
                cancel(id);
                return;
            }
            openLong(*c, c->buf.takeLong());
            break;
        }
        auto raw = c->buf.next();
        if (!raw)
            break;
        if (raw->size() >= longLine && linked) {
            LongBuffer whole;
            whole.append(raw->data(), raw->size());
            openLong(*c, std::move(whole));
            break;
        }
        std::string line = lossyUtf8(*raw);
        switch (c->role) {
        case HubConn::Role::done:
            c->afterHello += raw->size() + 1;
            break;
        case HubConn::Role::none: {
            hello(*c, line);
            // A pairing connection counts until it is closed after its answer, so a flood of
            // pairing hellos cannot hold more than the pending limit of descriptors.
            if (c->counted && c->role != HubConn::Role::done) {
                c->counted = false;
                --pending_;
            }
            if (c->role == HubConn::Role::none) {
                cancel(id);
                return;
            }
            break;
        }
        case HubConn::Role::ctl:
        case HubConn::Role::data: {
            std::string name = c->name;
            std::optional<std::string> plain;
            if (c->link)
                plain = c->link->inn.open(line);
            if (!plain) {
                logAs(LogSource::event, name,
                      name + ": a message failed the encryption check, closing");
                release(id); // a dead link must not count as connected
                return;
            }
            handle(*plain, name);
            break;
        }
        }
        // The line's work may have closed this very connection.
        auto again = conns_.find(id);
        if (again == conns_.end())
            return;
        c = again->second.get();
    }
    c->buf.compact();
    if (c->role == HubConn::Role::none && c->buf.size() > maxBeforeLogin) {
        logAs(LogSource::noise, "", "too much before logging in, closing");
        cancel(id);
        return;
    }
    if (c->role == HubConn::Role::done && c->afterHello + c->buf.size() > maxBeforeLogin) {
        logAs(LogSource::noise, "", "too much before logging in, closing");
        cancel(id);
        return;
    }
    if (c->buf.size() > opt_.maxLine) {
        logAs(LogSource::event, c->name, "line too long, closing");
        release(id, "line too long"); // the PC is gone now, not at the next silence check
    }
}

void Hub::ended(std::uint64_t id) {
    auto it = conns_.find(id);
    if (stopped_ || it == conns_.end())
        return;
    if (it->second->sock->bytesAvailable() > 0)
        readable(id);
    release(id);
}

void Hub::release(std::uint64_t id, const std::string& reason) {
    auto it = conns_.find(id);
    if (it == conns_.end())
        return;
    HubConn* c = it->second.get();
    if (c->role == HubConn::Role::ctl) {
        auto l = ctl_.find(c->name);
        if (l != ctl_.end() && l->second->conn == id) {
            drop(c->name, reason);
            return;
        }
    }
    if (c->role == HubConn::Role::data) {
        auto l = data_.find(c->name);
        if (l != data_.end() && l->second->conn == id) {
            removeData(c->name);
            return;
        }
    }
    cancel(id);
}

void Hub::cancel(std::uint64_t id) {
    auto it = conns_.find(id);
    if (it == conns_.end())
        return;
    std::unique_ptr<HubConn> c = std::move(it->second);
    conns_.erase(it);
    if (c->counted) {
        c->counted = false;
        --pending_;
    }
    QObject::disconnect(c->sock, nullptr, anchor_, nullptr);
    c->sock->abort();
    c->sock->deleteLater();
    // A long line waiting for the socket to drain finds the connection gone and reports it.
    if (c->drained)
        onQueue(std::move(c->drained));
    // Every send in flight is reported, or its link would count it for ever.
    auto completions = std::move(c->completions);
    for (auto& [end, fn] : completions)
        if (fn)
            fn(false);
}

void Hub::closeGently(std::uint64_t id) {
    auto it = conns_.find(id);
    if (it == conns_.end())
        return;
    HubConn* c = it->second.get();
    c->closing = true;
    c->sock->readAll();
    // Half-close: the peer reads the reply and then the end of the stream. An abortive close
    // with unread input would send a reset that can destroy the reply in flight.
    c->sock->flush();
    if (c->sock->socketDescriptor() >= 0)
        ::shutdown(static_cast<int>(c->sock->socketDescriptor()), SHUT_WR);
    // The peer's end of the stream closes it at once (`ended`); one that never closes its side
    // is cut off shortly after.
    QTimer::singleShot(opt_.linger, anchor_, [this, id] {
        if (!stopped_)
            cancel(id);
    });
}

bool Hub::write(std::uint64_t id, std::string_view bytes, Done done) {
    auto it = conns_.find(id);
    if (it == conns_.end() || it->second->sock->state() != QAbstractSocket::ConnectedState) {
        if (done)
            done(false);
        return false;
    }
    HubConn* c = it->second.get();
    if (c->completions.empty())
        c->lastProgress = Clock::now();
    c->queued += bytes.size();
    c->completions.emplace_back(c->queued, std::move(done));
    c->sock->write(bytes.data(), static_cast<qint64>(bytes.size()));
    return true;
}

void Hub::written(std::uint64_t id, std::int64_t bytes) {
    auto it = conns_.find(id);
    if (stopped_ || it == conns_.end())
        return;
    HubConn* c = it->second.get();
    c->sent += static_cast<std::uint64_t>(bytes);
    c->lastProgress = Clock::now();
    while (!c->completions.empty() && c->completions.front().first <= c->sent) {
        auto fn = std::move(c->completions.front().second);
        c->completions.pop_front();
        if (fn) {
            fn(true);
            // The completion may have closed the connection.
            it = conns_.find(id);
            if (it == conns_.end())
                return;
            c = it->second.get();
        }
    }
    // A long line paused at a megabyte held carries on once half of it has gone out.
    if (c->drained && c->sock->bytesToWrite() <= static_cast<qint64>(longLine / 2)) {
        auto more = std::move(c->drained);
        c->drained = nullptr;
        more();
    }
}

void Hub::sendOn(const std::shared_ptr<Link>& link, const std::string& name, bool isData,
                 std::string line, std::function<void(bool)> done, LinkBudget::Hold share) {
    auto it = conns_.find(link->conn);
    if (it == conns_.end()) {
        if (done)
            toMain([done] { done(false); });
        return;
    }
    if (share && share->replaced())
        return discard(std::move(line)); // a newer clip replaced it: nothing goes or is told
    // A peer that does not read must not make the hub keep clip after clip behind the one it is
    // stuck on. A long line that waits is admitted by its share of what waits for the PC,
    // counted with the socket's own buffer when it had none yet; a short one behind a long one
    // is only counted, so that a few bytes never cost a PC that reads its link; a short one
    // written at once only has to fit beside what the socket holds.
    const auto inSocket = static_cast<std::uint64_t>(it->second->sock->bytesToWrite());
    const bool waits = link->busy || line.size() >= longLine;
    if (!share && waits)
        share = line.size() < longLine ? budget_->count(name, line.size())
                                       : budget_->take(name, line.size(), inSocket);
    if (waits ? !share : line.size() + inSocket > budget_->limit) {
        share.reset();
        overflow(name, isData);
        if (done)
            toMain([done] { done(false); });
        return;
    }
    if (link->busy) {
        link->backlog.push_back({std::move(line), std::move(done), std::move(share)});
        return;
    }
    if (share && !share->start())
        return discard(std::move(line)); // replaced at this very moment
    ++link->sending;
    std::weak_ptr<Link> weak = link;
    Done finish = [this, weak, done = std::move(done)](bool written) {
        if (auto l = weak.lock())
            --l->sending;
        if (done)
            toMain([done, written] { done(written); });
    };
    if (line.size() >= longLine) {
        // Counted until its last slice is handed to the socket.
        sendLong(link, name, isData, std::move(line), std::move(finish), std::move(share));
        return;
    }
    std::string sealed = link->out.seal(line);
    sealed += '\n';
    write(link->conn, sealed, std::move(finish));
}

} // namespace helm
