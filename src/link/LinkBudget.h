#pragma once
// What waits to be sent to each PC, wherever it waits: a clip being read or encoded for it, a
// push behind the lines decided before it, a line queued behind a long one or being sealed. Every
// holder takes a share before it keeps the bytes and the share goes back when the last copy of
// it is destroyed, so a stuck PC can hold no more than the limit however the lines came. Safe on
// any thread.
//
// A PC needs only the newest clipboard: a clip decided for it replaces every earlier clip for it
// that has not started going out. A replaced clip's bytes count no more from that moment, and
// whoever holds them lets them go as soon as it sees so.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace helm {

class LinkBudget : public std::enable_shared_from_this<LinkBudget> {
public:
    class Share {
    public:
        // clip: the number of a clip that a newer one replaces, 0 for any other line.
        Share(std::shared_ptr<LinkBudget> budget, std::string pc, std::uint64_t bytes,
              std::uint64_t clip = 0);
        ~Share();
        Share(const Share&) = delete;
        Share& operator=(const Share&) = delete;
        // The bytes held now, once their real size is known (a line sealed, a clip encoded).
        // Nothing changes once the clip was replaced.
        void resize(std::uint64_t bytes);
        // Holds bytes from now on when what waits for the PC stays within the limit with them;
        // false, holding what it held, when it would not or when the clip was replaced.
        bool reserve(std::uint64_t bytes);
        // A newer clip for the PC replaced this one before it started going out.
        bool replaced() const;
        // The clip starts going out: nothing replaces it from now on. False when something
        // already has; true for a line that is not a clip.
        bool start();

    private:
        friend class LinkBudget;
        enum class State { line, waiting, started, replaced };
        std::shared_ptr<LinkBudget> budget_;
        const std::string pc_;
        const std::uint64_t clip_;
        // Both guarded by the budget's mutex.
        std::uint64_t bytes_;
        State state_;
    };
    using Hold = std::shared_ptr<Share>;

    explicit LinkBudget(std::uint64_t limit);

    // A share of bytes for pc, or nothing when what waits for it would pass the limit with
    // `besides` more bytes held elsewhere (a socket's own buffer).
    Hold take(const std::string& pc, std::uint64_t bytes, std::uint64_t besides = 0);
    // A share of a few bytes that is never refused: a short line's place behind a clip, whose
    // size does not change how much a PC can make the program keep.
    Hold count(const std::string& pc, std::uint64_t bytes);
    // A new clip for pc, numbered `clip` (not 0), is decided: an empty share for it, and the
    // numbers of the earlier clips for pc it replaced, whose bytes count no more.
    struct NewClip {
        Hold share;
        std::vector<std::uint64_t> replaced;
    };
    NewClip newClip(const std::string& pc, std::uint64_t clip);
    std::uint64_t waiting(const std::string& pc) const;

    const std::uint64_t limit;

private:
    // Under the mutex.
    void add(const std::string& pc, std::int64_t delta);
    void forgetClip(Share* share);

    mutable std::mutex mutex_;
    std::map<std::string, std::uint64_t> waiting_;
    // The clips for each PC that have not started going out.
    std::map<std::string, std::vector<Share*>> clips_;
};

} // namespace helm
