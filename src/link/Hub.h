#pragma once
// The Mac's end of the PC link. It listens for PC agents, logs their control and data links in,
// seals every line, pings every control link and drops the silent ones, pairs new PCs and answers
// discovery probes. All of its state lives on its own serial queue "pivmor.hub"; callbacks leave
// that queue for the main thread, except `log` and `fastMove`, which run on it.
#include "desk/DisplayInfo.h"
#include "link/Clip.h"
#include "link/LinkBudget.h"
#include "link/LogSource.h"
#include "link/LongBuffer.h"
#include "link/PCKeys.h"
#include "link/Sealer.h"
#include "link/Wire.h"
#include "platform/NetAddresses.h"
#include "platform/SerialQueue.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class QObject;
class QTcpServer;
class QTimer;

namespace helm {

class Discovery;
struct HubConn;

class Hub {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::uint16_t port = 49400;
    // Lines this long or longer are received in pieces and sealed or opened off the queue.
    static constexpr std::size_t longLine = 1 << 20;
    static constexpr std::uint16_t discoveryPort = 49402;
    // Bytes of lines that may wait to be sent to one PC: in its sockets, being sealed, queued
    // behind a long line, and clips read and encoded for it. A clip going out, sealed, and the
    // newest behind it fit up to 96 MB each; only the newest waits, as it replaces the others.
    static constexpr std::uint64_t maxWaiting = 300'000'000;
    // The longest line taken from a PC, sealed: its largest clip fits.
    static constexpr std::uint64_t maxLineIn = 2 * Wire::maxClipBytes;

    // Ports and timer lengths; tests shorten the timers and use ephemeral ports (0).
    struct Options {
        std::uint16_t port = Hub::port;
        std::uint16_t discoveryPort = Hub::discoveryPort;
        std::chrono::milliseconds heartbeat{2000};
        std::chrono::milliseconds silence{5000};    // no line or byte for this long drops a PC
        std::chrono::milliseconds helloWait{5000};  // a new connection must say hello by then
        std::chrono::milliseconds pairWait{60000};  // the user's time to confirm a check code
        std::chrono::milliseconds stall{5000};      // sends stuck this long drop their link
        std::chrono::milliseconds linger{1000};     // a final reply's wait for the peer to close
        std::chrono::milliseconds acceptPause{500}; // no accepting this long when out of files
        // Bytes waiting to be sent to one PC; a budget given brings its own limit instead.
        std::uint64_t maxQueued = maxWaiting;
        // Where what waits for each PC is counted, shared with whoever prepares its clips; the
        // hub makes its own when none is given.
        std::shared_ptr<LinkBudget> budget;
        std::uint64_t maxLine = maxLineIn; // a received line, sealed
        // Where to find a Tailscale address to listen on alone; without one there is none.
        const NetAddresses* addresses = nullptr;
    };

    // One logged-in connection, known by the serial number of its connection.
    struct Link {
        Link(std::uint64_t conn, Sealer out, Sealer inn);
        const std::uint64_t conn;
        Clock::time_point lastSeen;
        int sending = 0; // lines handed to the connection and not yet reported processed
        Sealer out;      // hub to agent
        Sealer inn;      // agent to hub
        // A long line is being sealed or written in slices: `out` belongs to that work, and
        // later lines wait here in order, each with its share of what waits for the PC.
        bool busy = false;
        struct Queued {
            std::string line;
            std::function<void(bool)> done;
            LinkBudget::Hold share;
        };
        std::deque<Queued> backlog;
    };

    Hub(PCKeys keys, std::string macName, std::string hubId);
    Hub(PCKeys keys, std::string macName, std::string hubId, Options options);
    ~Hub();
    Hub(const Hub&) = delete;
    Hub& operator=(const Hub&) = delete;

    const std::string macName;
    const std::string hubId;
    std::atomic<bool> tailscaleOnly{false}; // set before start or restart
    std::atomic<bool> ready{false};         // the listener is listening

    // Filled in once, before `start`. Looked up when a posted call runs; skipped when unset.
    std::function<void(const PCKeys&)> onKeys;
    // Stores the keys with a newly paired PC before that PC is told it is paired, and with a
    // PC's new own secret before the PC is sent it; called on the main thread, and answers
    // there once the store has, through the callback when one is given. False refuses the
    // pairing (the next run would not know the PC), or leaves the PC on the older secret.
    std::function<void(const PCKeys&, std::function<void(bool stored)>)> keepKeys;
    std::function<void(const std::string&, const std::optional<std::string>&)> onConfirm;
    std::function<void()> onChange;
    std::function<void(const std::string&)> onLost;
    std::function<void(const std::string&, std::int64_t, std::optional<Clip>)> onClip;
    std::function<void(const std::string&)> onPaired;
    // The user confirmed a check code, but the PC had left: nothing was stored.
    std::function<void(const std::string&)> onPairLeft;
    std::function<void(const std::string&, const std::vector<DisplayInfo>&)> onDisplays;
    std::function<void(const std::string&, bool)> onEdge;
    std::function<void(const std::string&)> onProblem;
    std::function<void()> onListening; // each time a start or restart gets the port
    std::function<void(const std::string&)> onActivity;
    std::function<void(const std::string&, const std::string&)> onRemoteInput;
    std::function<void(const std::string&)> onCapOff;
    // Runs on the hub's queue; must not call `send` or `names`.
    std::function<bool(const std::string&, std::int64_t, std::int64_t)> fastMove;
    std::function<void(const std::string&)> log = [](const std::string&) {};
    // When set, gets the lines about a PC or a connection in place of `log`, with where they
    // come from and the PC's name ("" when the connection named none). On the hub's queue.
    std::function<void(LogSource, const std::string& pc, const std::string& line)> logFrom;

    // Opens the listener, discovery and the heartbeat on the hub's queue; a second start is
    // harmless. Throws std::system_error (EADDRNOTAVAIL) in Tailscale-only mode without a
    // Tailscale address, and std::runtime_error with the reason when the port cannot be
    // listened on (another copy holds it); discovery and the heartbeat run all the same.
    void start();
    // The keys once they are read, for a hub made before they could be: given before `start`,
    // as no PC can log in or pair until the hub listens.
    void setKeys(PCKeys keys);
    void restart();
    // Closes the listener and the discovery socket and waits until they are closed; links
    // stay. A later start listens again.
    void stopListening();
    void post(const std::string& line, const std::string& to);
    // done (optional) runs on the main thread once the line was written out (true) or could not
    // be (false); never when the PC has no link. The line counts in what waits for the PC from
    // this call on, in the share given when it was counted before; past the bound it is not
    // sent and the link that holds the rest is dropped. A clip replaced by a newer one is not
    // sent, and done never runs for it.
    void postData(std::string line, const std::string& to, std::function<void(bool)> done = nullptr,
                  LinkBudget::Hold share = nullptr);
    // Clips for pc were replaced by a newer one (LinkBudget::newClip): those still waiting on its
    // links are let go now, without a report. A replaced clip handed over later is let go the
    // same way when its turn comes. Any thread.
    void dropReplaced(const std::string& pc);
    // Main thread only; never waits for the hub. True when the PC had a control link as far
    // as `linked` knows; the line goes out when the hub's queue gets to it.
    bool send(const std::string& line, const std::string& to);
    // Only from the hub's queue.
    void sendOnQueue(const std::string& line, const std::string& to);
    // Not from the hub's queue; waits for it (tests and tools). The PCs with a control link,
    // sorted.
    std::vector<std::string> names();
    // Main thread only; never waits. The PCs with a control link as of the last `onChange`
    // or `onLost` delivered, updated just before those callbacks run.
    const std::set<std::string>& linked() const { return linked_; }
    // Not from the hub's queue; at quit. Waits until every line handed over so far is written
    // out, then closes each connection gently so the PC reads those lines before the end of
    // the stream, and waits for the PCs to close; gives up once limit has passed in all.
    void finish(std::chrono::milliseconds limit);
    void forget(const std::string& name);
    void forgetAll();
    void dropAll(const std::string& reason);
    // Opens pairing with a code, or closes it. A code that paired a PC, or met five wrong
    // tries, opens nothing again: pairing stays closed.
    void setPairCode(const std::optional<std::string>& code);
    void confirmPairing(bool yes);

    // Read on the hub's queue for tests and the test port.
    std::uint16_t listeningPort();
    std::uint16_t discoveryListeningPort();
    PCKeys keysNow();
    int pendingNow();

private:
    struct Waiting {
        std::string name;
        std::uint64_t conn;
        std::string transcript;
        std::string shared;
        std::string code;
    };
    using Done = std::function<void(bool written)>;

    // Hub.cpp
    void onQueue(std::function<void()> fn);
    void logAs(LogSource from, const std::string& pc, const std::string& line);
    void toMain(std::function<void()> fn);
    // The listener's failure, when it could not listen.
    std::optional<std::string> startOnQueue();
    void startDiscovery();
    void heartbeat();
    // By value: the name often belongs to the connection being closed.
    void drop(std::string name, std::string reason);
    // Tells the main thread the PCs now linked, then `onLost` (when a name is given) and
    // `onChange`.
    void announce(const std::string& lost = {});
    void removeData(std::string name);

    // HubConnections.cpp
    void accept();
    void readable(std::uint64_t id);
    void ended(std::uint64_t id);
    // A connection is over: drop or remove what ran on it.
    void release(std::uint64_t id, const std::string& reason = "closed");
    void acceptFailed();
    void cancel(std::uint64_t id);
    void closeGently(std::uint64_t id);
    void written(std::uint64_t id, std::int64_t bytes);
    bool write(std::uint64_t id, std::string_view bytes, Done done);
    void sendOn(const std::shared_ptr<Link>& link, const std::string& name, bool isData,
                std::string line, std::function<void(bool)> done, LinkBudget::Hold share = nullptr);
    // A line that will not be sent is let go; a long one off the queue.
    void discard(std::string line);
    // Drops the link the line was for, which has more waiting than the bound.
    void overflow(const std::string& name, bool isData);
    // Sends on the connection have made no progress for the stall time.
    bool stuck(std::uint64_t conn, Clock::time_point now) const;

    // HubLong.cpp: lines of a megabyte or more are sealed, opened and decoded on `work_` and
    // written in slices, so the queue stays free for the short lines of other links.
    // The line's share of what waits for the PC goes back once its last slice is handed over.
    void sendLong(const std::shared_ptr<Link>& link, const std::string& name, bool isData,
                  std::string line, Done done, LinkBudget::Hold share);
    void writeSlices(const std::shared_ptr<Link>& link, const std::string& name, bool isData,
                     std::shared_ptr<const LongBuffer> sealed, std::size_t from, Done done,
                     LinkBudget::Hold share);
    void sendBacklog(const std::shared_ptr<Link>& link, const std::string& name, bool isData);
    // The link is gone: what waits behind its long line is reported not sent and freed now.
    void abandon(Link& link);
    void openLong(HubConn& c, LongBuffer line);

    // HubLogin.cpp
    void hello(HubConn& c, const std::string& line);
    void handle(const std::string& line, const std::string& name);
    // Sends a PC on the older shared secret its own, once that is stored.
    void rekey(const std::string& name);
    void rekeyStored(const std::string& name, const std::string& fresh, bool stored);
    void deliverClip(const std::string& name, Wire::ClipReply reply);

    // HubPairing.cpp
    void pair(const std::string& name, const std::string& proof, const std::string& transcript,
              const std::string& shared, std::uint64_t conn);
    void finishPairing(bool yes);
    void pairLeft(const std::string& name);
    // The pairing's keys were stored (or not): the PC gets its secret, or is refused.
    void sendPaired(Waiting w, const std::string& fresh, bool stored);
    void reply(std::uint64_t conn, const std::string& text, Done then = nullptr);

    const Options opt_;
    const std::shared_ptr<LinkBudget> budget_;
    PCKeys keys_;
    std::shared_ptr<char> life_; // posted main-thread calls check it before touching the hub
    bool stopped_ = false;
    QObject* anchor_ = nullptr; // parent and timer context of everything on the queue
    QTcpServer* listener_ = nullptr;
    Discovery* discovery_ = nullptr;
    QTimer* heartbeat_ = nullptr;
    std::map<std::string, std::shared_ptr<Link>> ctl_, data_;
    std::optional<std::string> pairCode_;
    std::set<std::string> spentCodes_; // codes that paired a PC or met five wrong tries
    int pairFailures_ = 0;
    int pending_ = 0;
    std::set<std::string> rekeyStoring_; // PCs whose `keys_.rekeying` secret is being stored
    std::optional<Waiting> waiting_;
    std::map<std::uint64_t, std::unique_ptr<HubConn>> conns_;
    std::set<std::string> linked_; // main thread only
    std::uint64_t nextConn_ = 1;
    SerialQueue queue_{"pivmor.hub"};     // stopped after work_, while the state above still exists
    SerialQueue work_{"pivmor.hub.work"}; // last: its work posts back to queue_
};

} // namespace helm
