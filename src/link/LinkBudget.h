#pragma once
// What waits to be sent to each PC, wherever it waits: a clip being read or encoded for it, a
// push behind the lines decided before it, a line queued behind a long one or being sealed. Every
// holder takes a share before it keeps the bytes and the share goes back when the last copy of
// it is destroyed, so a stuck PC can hold no more than the limit however the lines came. Safe on
// any thread.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace helm {

class LinkBudget : public std::enable_shared_from_this<LinkBudget> {
public:
    class Share {
    public:
        Share(std::shared_ptr<LinkBudget> budget, std::string pc, std::uint64_t bytes);
        ~Share();
        Share(const Share&) = delete;
        Share& operator=(const Share&) = delete;
        // The bytes held now, once their real size is known (a line sealed, a clip encoded).
        void resize(std::uint64_t bytes);
        std::uint64_t bytes() const { return bytes_; }

    private:
        std::shared_ptr<LinkBudget> budget_;
        const std::string pc_;
        std::uint64_t bytes_;
    };
    using Hold = std::shared_ptr<Share>;

    explicit LinkBudget(std::uint64_t limit);

    // A share of bytes for pc, or nothing when what waits for it would pass the limit with
    // `besides` more bytes held elsewhere (a socket's own buffer).
    Hold take(const std::string& pc, std::uint64_t bytes, std::uint64_t besides = 0);
    std::uint64_t waiting(const std::string& pc) const;

    const std::uint64_t limit;

private:
    void add(const std::string& pc, std::int64_t delta);

    mutable std::mutex mutex_;
    std::map<std::string, std::uint64_t> waiting_;
};

} // namespace helm
