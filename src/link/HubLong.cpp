// Long lines (clips) on their way out and in. Sealing, opening and decoding a clip of a hundred
// megabytes takes far longer than the gap allowed between two pointer lines, so that work runs
// on the hub's worker queue; a link's later lines wait behind it, in order.
#include "link/Hub.h"
#include "link/HubConn.h"
#include "link/LongBuffers.h"

#include <QTcpSocket>
#include <algorithm>

namespace helm {

namespace {

// Bytes handed to a socket in one go: copying more would hold up the queue.
constexpr std::size_t slice = 256 << 10;
// The next slice waits while the socket still holds more than this: a whole clip in the socket's
// buffer would only cost memory and page faults on the queue.
// `written` resumes once half of it has gone out.
constexpr std::size_t highWater = Hub::longLine;

} // namespace

void Hub::sendLong(const std::shared_ptr<Link>& link, const std::string& name, bool isData,
                   std::string line, Done done, LinkBudget::Hold share) {
    // Only the worker touches `out` until the line is sealed.
    link->busy = true;
    work_.post([this, link, name, isData, line = std::move(line), done = std::move(done),
                share = std::move(share)]() mutable {
        // Sealed into a long buffer with room for the line break, so it is never copied.
        const std::size_t n = Sealer::sealedSize(line.size());
        auto sealed = std::make_shared<LongBuffer>(LongBuffers::shared().take(n + 1));
        sealed->resize(n + 1);
        link->out.sealInto(line, sealed->data());
        sealed->data()[n] = '\n';
        line = std::string();
        if (share)
            share->resize(n + 1); // the sealed copy is what waits from here, a third larger
        onQueue([this, link, name, isData, sealed, done = std::move(done), share] {
            writeSlices(link, name, isData, sealed, 0, done, share);
        });
    });
}

void Hub::writeSlices(const std::shared_ptr<Link>& link, const std::string& name, bool isData,
                      std::shared_ptr<const LongBuffer> sealed, std::size_t from, Done done,
                      LinkBudget::Hold share) {
    if (auto it = conns_.find(link->conn);
        it != conns_.end() && !it->second->drained &&
        it->second->sock->bytesToWrite() > static_cast<qint64>(highWater)) {
        // `written` (or the connection's end) carries on from here.
        it->second->drained = [this, link, name, isData, sealed = std::move(sealed), from,
                               done = std::move(done), share = std::move(share)] {
            writeSlices(link, name, isData, sealed, from, done, share);
        };
        return;
    }
    const std::size_t n = std::min(slice, sealed->size() - from);
    const std::string_view part(sealed->data() + from, n);
    const bool last = from + n == sealed->size();
    if (last || !write(link->conn, part, nullptr)) {
        if (last)
            write(link->conn, part, std::move(done));
        else
            done(false); // the connection is gone
        share.reset();   // handed over whole: the socket's buffer counts it from here
        link->busy = false;
        sendBacklog(link, name, isData);
        return;
    }
    // The next slice after whatever else is waiting on the queue.
    onQueue([this, link, name, isData, sealed = std::move(sealed), from = from + n,
             done = std::move(done), share = std::move(share)] {
        writeSlices(link, name, isData, sealed, from, done, share);
    });
}

void Hub::sendBacklog(const std::shared_ptr<Link>& link, const std::string& name, bool isData) {
    while (!link->busy && !link->backlog.empty()) {
        Link::Queued next = std::move(link->backlog.front());
        link->backlog.pop_front();
        sendOn(link, name, isData, std::move(next.line), std::move(next.done),
               std::move(next.share));
    }
}

void Hub::abandon(Link& link) {
    // Their shares go back with them.
    auto backlog = std::move(link.backlog);
    link.backlog.clear();
    for (Link::Queued& q : backlog)
        if (q.done)
            toMain([done = std::move(q.done)] { done(false); });
}

void Hub::openLong(HubConn& c, LongBuffer line) {
    // Only the worker touches `inn` until the line is open; the connection's later lines wait.
    c.opening = true;
    // Posted work is copied, a buffer is not: it travels behind a pointer.
    auto sealed = std::make_shared<LongBuffer>(std::move(line));
    work_.post([this, id = c.id, name = c.name, link = c.link, sealed]() mutable {
        // A sealed line is base64: bytes that are not UTF-8 fail to open just the same.
        LongBuffer opened;
        bool ok = false;
        if (std::optional<std::size_t> size = Sealer::openedSize(sealed->view())) {
            opened = LongBuffers::shared().take(*size);
            opened.resize(*size);
            ok = link->inn.openInto(sealed->view(), opened.data());
        }
        *sealed = LongBuffer();
        std::optional<Wire::ClipReply> clip;
        std::optional<std::string> plain;
        if (ok) {
            clip = Wire::clipReply(opened.view());
            if (!clip)
                plain.emplace(opened.view());
        }
        opened = LongBuffer();
        onQueue([this, id, name, ok, plain = std::move(plain), clip = std::move(clip)]() mutable {
            auto it = conns_.find(id);
            if (it == conns_.end())
                return;
            it->second->opening = false;
            if (!ok) {
                logAs(LogSource::event, name,
                      name + ": a message failed the encryption check, closing");
                release(id);
                return;
            }
            if (clip) {
                if (auto l = ctl_.find(name); l != ctl_.end())
                    l->second->lastSeen = Clock::now();
                deliverClip(name, std::move(*clip));
            } else {
                handle(*plain, name);
            }
            readable(id);
        });
    });
}

} // namespace helm
