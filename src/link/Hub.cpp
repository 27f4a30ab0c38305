#include "link/Hub.h"

#include "link/Decimal.h"
#include "link/Discovery.h"
#include "link/HubConn.h"
#include "link/LongBuffers.h"
#include "link/Wire.h"
#include "platform/OnMain.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <exception>
#include <openssl/crypto.h>
#include <set>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace helm {

Hub::Link::Link(std::uint64_t conn, Sealer out, Sealer inn)
    : conn(conn), lastSeen(Clock::now()), out(std::move(out)), inn(std::move(inn)) {}

Hub::Hub(PCKeys keys, std::string macName, std::string hubId)
    : Hub(std::move(keys), std::move(macName), std::move(hubId), Options{}) {}

Hub::Hub(PCKeys keys, std::string macName, std::string hubId, Options options)
    : macName(std::move(macName)), hubId(std::move(hubId)), opt_(options),
      budget_(options.budget ? options.budget : std::make_shared<LinkBudget>(options.maxQueued)),
      keys_(std::move(keys)), life_(std::make_shared<char>(0)) {
    // Clips pass through strings and vectors as well as long buffers: their memory goes back
    // when they are freed.
    LongBuffers::mapLongAllocations();
    queue_.sync([this] { anchor_ = new QObject(); });
}

Hub::~Hub() {
    queue_.sync([this] {
        stopped_ = true;
        for (auto& [id, c] : conns_) {
            if (c->sock) {
                QObject::disconnect(c->sock, nullptr, nullptr, nullptr);
                c->sock->abort();
            }
        }
        conns_.clear();
        ctl_.clear();
        data_.clear();
        delete discovery_; // before its socket goes with the anchor
        discovery_ = nullptr;
        delete anchor_; // closes every socket and stops every timer
        anchor_ = nullptr;
        // OpenSSL keeps random-generator state per thread; this thread ends with the hub.
        OPENSSL_thread_stop();
    });
    work_.sync([] { OPENSSL_thread_stop(); });
    life_.reset();
}

void Hub::onQueue(std::function<void()> fn) {
    queue_.post([this, fn = std::move(fn)] {
        if (!stopped_)
            fn();
    });
}

void Hub::logAs(LogSource from, const std::string& pc, const std::string& line) {
    if (logFrom)
        logFrom(from, pc, line);
    else
        log(line);
}

void Hub::toMain(std::function<void()> fn) {
    onMain([life = std::weak_ptr<char>(life_), fn = std::move(fn)] {
        if (!life.expired())
            fn();
    });
}

void Hub::start() {
    std::exception_ptr failure;
    std::optional<std::string> deaf;
    queue_.sync([&] {
        try {
            deaf = startOnQueue();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    if (failure)
        std::rethrow_exception(failure);
    if (deaf)
        throw std::runtime_error(*deaf);
}

void Hub::setKeys(PCKeys keys) {
    onQueue([this, keys = std::move(keys)]() mutable { keys_ = std::move(keys); });
}

std::optional<std::string> Hub::startOnQueue() {
    if (stopped_ || listener_)
        return std::nullopt; // already listening: a second start changes nothing
    QHostAddress address = QHostAddress::Any;
    if (tailscaleOnly) {
        auto ts = opt_.addresses ? opt_.addresses->tailscaleAddress() : std::nullopt;
        if (!ts)
            throw std::system_error(EADDRNOTAVAIL, std::generic_category());
        address = QHostAddress(QString::fromStdString(*ts));
    }
    listener_ = new QTcpServer(anchor_);
    listener_->setMaxPendingConnections(64);
    QObject::connect(listener_, &QTcpServer::newConnection, anchor_, [this] { accept(); });
    QObject::connect(listener_, &QTcpServer::acceptError, anchor_,
                     [this](QAbstractSocket::SocketError) { acceptFailed(); });
    char text[160];
    std::optional<std::string> deaf;
    if (listener_->listen(address, opt_.port)) {
        ready = true;
        std::snprintf(text, sizeof text, "listener ready on port %u",
                      static_cast<unsigned>(listener_->serverPort()));
        log(text);
        toMain([this] {
            if (onListening)
                onListening();
        });
    } else {
        ready = false;
        deaf = listener_->errorString().toStdString();
        std::snprintf(text, sizeof text, "listener failed on port %u: %s",
                      static_cast<unsigned>(opt_.port), deaf->c_str());
        log(text);
        toMain([this, why = *deaf] {
            if (onProblem)
                onProblem("Helmvantor can't listen on the network (" + why +
                          "). Quit other copies of Helmvantor and try again.");
        });
        // No listener is kept, so a later start tries the port again.
        delete listener_;
        listener_ = nullptr;
    }
    if (!tailscaleOnly)
        startDiscovery();
    if (!heartbeat_) {
        heartbeat_ = new QTimer(anchor_);
        heartbeat_->setInterval(static_cast<int>(opt_.heartbeat.count()));
        QObject::connect(heartbeat_, &QTimer::timeout, anchor_, [this] { heartbeat(); });
        heartbeat_->start();
    }
    return deaf;
}

void Hub::startDiscovery() {
    delete discovery_;
    discovery_ = new Discovery(anchor_, [this](std::string_view probe) {
        std::uint16_t tcp = listener_ ? listener_->serverPort() : opt_.port;
        return Discovery::answer(probe, tcp, pairCode_.has_value(), macName, hubId);
    });
    if (!discovery_->listen(opt_.discoveryPort))
        log("discovery: can't listen");
}

void Hub::stopListening() {
    queue_.sync([this] {
        if (listener_) {
            listener_->close();
            delete listener_;
            listener_ = nullptr;
        }
        delete discovery_;
        discovery_ = nullptr;
        ready = false;
    });
}

void Hub::restart() {
    onQueue([this] {
        if (listener_) {
            listener_->close();
            listener_->deleteLater();
            listener_ = nullptr;
        }
        delete discovery_;
        discovery_ = nullptr;
        ready = false;
        std::vector<std::string> pcs;
        for (const auto& [name, link] : ctl_)
            pcs.push_back(name);
        for (const auto& name : pcs)
            drop(name, "listening again");
        // A data link without its control link has no PC left to belong to.
        while (!data_.empty())
            removeData(data_.begin()->first);
        try {
            startOnQueue();
        } catch (const std::exception& e) {
            log(std::string("restart: ") + e.what());
            toMain([this] {
                if (onProblem)
                    onProblem("Tailscale isn't running, so Helmvantor can't listen only on it. "
                              "Start Tailscale or turn the setting off.");
            });
        }
    });
}

void Hub::heartbeat() {
    auto now = Clock::now();
    // The buffers of the last clip go once no clip has needed them for a while.
    LongBuffers::shared().trim(now);
    // A link that takes nothing of what it is sent is stuck: what waits on it is reported not
    // sent, and the lines decided after it go on without it.
    char stall[48];
    std::snprintf(stall, sizeof stall, "nothing read for %g s",
                  std::chrono::duration<double>(opt_.stall).count());
    auto data = data_;
    for (const auto& [name, link] : data) {
        if (stuck(link->conn, now)) {
            logAs(LogSource::event, name, "agent " + name + " data link dropped: " + stall);
            removeData(name);
        }
    }
    auto snapshot = ctl_;
    for (const auto& [name, link] : snapshot) {
        // Sends in flight keep a link only while they make progress.
        bool stalled = !conns_.contains(link->conn) || stuck(link->conn, now);
        bool busy = link->sending > 0 && !stalled;
        if (!busy && now - link->lastSeen > opt_.silence)
            drop(name, "no reply for 5 s");
        else if (stalled)
            drop(name, stall); // it answers, but reads nothing
        else
            sendOn(link, name, false, Wire::ping, nullptr);
    }
}

bool Hub::stuck(std::uint64_t conn, Clock::time_point now) const {
    auto it = conns_.find(conn);
    return it != conns_.end() && !it->second->completions.empty() &&
           now - it->second->lastProgress > opt_.stall;
}

void Hub::drop(std::string name, std::string reason) {
    removeData(name);
    auto it = ctl_.find(name);
    if (it == ctl_.end())
        return;
    auto link = it->second;
    ctl_.erase(it);
    cancel(link->conn);
    abandon(*link);
    logAs(LogSource::event, name, "agent " + name + " lost: " + reason);
    announce(name);
}

void Hub::announce(const std::string& lost) {
    std::set<std::string> now;
    for (const auto& [name, link] : ctl_)
        now.insert(name);
    toMain([this, now = std::move(now), lost] {
        linked_ = now;
        if (!lost.empty() && onLost)
            onLost(lost);
        if (onChange)
            onChange();
    });
}

void Hub::removeData(std::string name) {
    auto it = data_.find(name);
    if (it == data_.end())
        return;
    auto link = it->second;
    data_.erase(it);
    cancel(link->conn);
    abandon(*link);
}

void Hub::post(const std::string& line, const std::string& to) {
    onQueue([this, line, to] { sendOnQueue(line, to); });
}

void Hub::postData(std::string line, const std::string& to, std::function<void(bool)> done,
                   LinkBudget::Hold share) {
    // Counted from here: a clip on its way to the queue waits for the PC as much as one in it.
    if (share)
        share->resize(line.size());
    else if (line.size() < longLine)
        share = budget_->count(to, line.size()); // refused, if at all, beside the socket's bytes
    else
        share = budget_->take(to, line.size());
    if (!share)
        line = std::string(); // not sent: nothing to keep
    onQueue([this, line = std::move(line), to, done = std::move(done),
             share = std::move(share)]() mutable {
        std::shared_ptr<Link> link;
        const bool isData = data_.contains(to);
        if (isData)
            link = data_.at(to);
        else if (auto c = ctl_.find(to); c != ctl_.end())
            link = c->second;
        if (!link)
            return;
        if (!share) {
            overflow(to, isData);
            if (done)
                toMain([done] { done(false); });
            return;
        }
        sendOn(link, to, isData, std::move(line), std::move(done), std::move(share));
    });
}

void Hub::dropReplaced(const std::string& pc) {
    onQueue([this, pc] {
        for (auto* links : {&ctl_, &data_}) {
            auto it = links->find(pc);
            if (it == links->end())
                continue;
            std::deque<Link::Queued>& backlog = it->second->backlog;
            for (auto q = backlog.begin(); q != backlog.end();) {
                if (q->share && q->share->replaced()) {
                    discard(std::move(q->line));
                    q = backlog.erase(q);
                } else {
                    ++q;
                }
            }
        }
    });
}

void Hub::discard(std::string line) {
    // Freed on the worker, where long lines are freed: tearing down their memory takes a while,
    // and the queue carries the pointer lines of every PC.
    if (line.size() >= longLine)
        work_.post(
            [line = std::make_shared<std::string>(std::move(line))] { *line = std::string(); });
}

void Hub::overflow(const std::string& name, bool isData) {
    // The peer does not take what it is sent; holding more would only eat memory.
    const std::string why = "more than " + megabytes(budget_->limit) + " waiting to be sent";
    if (isData) {
        if (!data_.contains(name))
            return;
        logAs(LogSource::event, name, "agent " + name + " data link dropped: " + why);
        removeData(name);
    } else {
        drop(name, why);
    }
}

bool Hub::send(const std::string& line, const std::string& to) {
    post(line, to);
    return linked_.count(to) > 0;
}

void Hub::sendOnQueue(const std::string& line, const std::string& to) {
    if (auto it = ctl_.find(to); it != ctl_.end())
        sendOn(it->second, to, false, line, nullptr);
}

std::vector<std::string> Hub::names() {
    std::vector<std::string> out;
    queue_.sync([&] {
        for (const auto& [name, link] : ctl_)
            out.push_back(name);
    });
    return out; // the map keeps them in ascending order
}

void Hub::finish(std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    // Lines posted before this call run on the queue before the first check.
    auto until = [&](const std::function<bool()>& done) {
        for (;;) {
            bool ok = false;
            queue_.sync([&] { ok = done(); });
            if (ok || Clock::now() >= deadline)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    };
    until([this] {
        return std::all_of(conns_.begin(), conns_.end(), [](const auto& c) {
            return c.second->completions.empty() && !c.second->drained;
        });
    });
    queue_.sync([this] {
        std::vector<std::uint64_t> ids;
        for (const auto& [id, c] : conns_)
            if (!c->closing)
                ids.push_back(id);
        for (std::uint64_t id : ids)
            closeGently(id);
    });
    until([this] { return conns_.empty(); });
}

void Hub::forget(const std::string& name) {
    onQueue([this, name] {
        keys_.forget(name);
        rekeyStoring_.erase(name);
        drop(name, "forgotten");
        toMain([this, keys = keys_] {
            if (onKeys)
                onKeys(keys);
        });
    });
}

void Hub::forgetAll() {
    onQueue([this] {
        keys_ = PCKeys();
        rekeyStoring_.clear();
        std::vector<std::string> pcs;
        for (const auto& [name, link] : ctl_)
            pcs.push_back(name);
        for (const auto& name : pcs)
            drop(name, "new secret");
        while (!data_.empty())
            removeData(data_.begin()->first);
        toMain([this, keys = keys_] {
            if (onKeys)
                onKeys(keys);
        });
    });
}

void Hub::dropAll(const std::string& reason) {
    onQueue([this, reason] {
        std::vector<std::string> pcs;
        for (const auto& [name, link] : ctl_)
            pcs.push_back(name);
        for (const auto& name : pcs)
            drop(name, reason);
    });
}

std::uint16_t Hub::listeningPort() {
    std::uint16_t p = 0;
    queue_.sync([&] { p = listener_ ? listener_->serverPort() : 0; });
    return p;
}

std::uint16_t Hub::discoveryListeningPort() {
    std::uint16_t p = 0;
    queue_.sync([&] { p = discovery_ ? discovery_->port() : 0; });
    return p;
}

PCKeys Hub::keysNow() {
    PCKeys k;
    queue_.sync([&] { k = keys_; });
    return k;
}

int Hub::pendingNow() {
    int n = 0;
    queue_.sync([&] { n = pending_; });
    return n;
}

} // namespace helm
