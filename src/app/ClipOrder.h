#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>

namespace helm {

// Keeps what this computer sends one PC about the clipboard in the order it was decided. A push
// is read and encoded off the main thread; a release and ask decided after it wait until it has
// been written out (or has failed), so the PC never answers the ask with what it had before the
// push, and a later push waits for the ask. A push on a slow link holds them no longer than
// `hold`: then they go on, and the link itself keeps the ask behind the push. Main thread only.
class ClipOrder {
public:
    using Ticket = std::uint64_t;
    // Seconds a push on its way holds the lines decided after it.
    static constexpr double hold = 2.0;

    // A push to pc is being prepared; its place in the order is taken now.
    Ticket begin(const std::string& pc);
    // The push is ready: send runs once everything decided before it for pc is done.
    void ready(const std::string& pc, Ticket ticket, std::function<void()> send);
    // The push was written out, failed, or will not be sent after all.
    void end(const std::string& pc, Ticket ticket);
    // The push was replaced by a newer one before it started going out: it leaves the order
    // like an end, and what it would have sent is given to the caller to let go of.
    std::function<void()> withdraw(const std::string& pc, Ticket ticket);
    // The push has been on its way for `hold`: what waits behind it goes on, and its end
    // changes nothing any more.
    void giveWay(const std::string& pc, Ticket ticket);
    // Lines sent at once when nothing decided before them for pc is still under way.
    void after(const std::string& pc, std::function<void()> send);
    // The PC's link is gone: nothing it waited for will come.
    void forget(const std::string& pc);

private:
    struct Step {
        Ticket ticket;
        bool push;
        bool started = false;
        std::function<void()> send; // empty while a push is being prepared
    };

    void run(const std::string& pc);

    std::map<std::string, std::deque<Step>> steps_;
    Ticket next_ = 1;
};

} // namespace helm
