#pragma once
// Where long buffers come from, shared by every thread of the link.
#include "link/LongBuffer.h"

#include <chrono>
#include <cstddef>
#include <mutex>
#include <vector>

namespace helm {

// Mappings reserve address space only: memory is taken as bytes are written, so a generous
// reserve costs nothing.
class LongBuffers {
public:
    using Clock = std::chrono::steady_clock;

    // Every mapping reserves at least `reserve` bytes, so one buffer serves any long line.
    // Buffers given back are kept, at most `keep` of them, until they are idle for `idle`.
    LongBuffers(std::size_t reserve, std::size_t keep, Clock::duration idle);
    // Every buffer taken must be given back first.
    ~LongBuffers();
    LongBuffers(const LongBuffers&) = delete;
    LongBuffers& operator=(const LongBuffers&) = delete;

    // The link's pool, for the whole run.
    static LongBuffers& shared();

    // An empty buffer of at least `capacity` bytes: a kept one when one is large enough.
    // Throws std::bad_alloc when no memory can be mapped.
    LongBuffer take(std::size_t capacity);
    // Unmaps the kept buffers that were given back before now - idle.
    void trim(Clock::time_point now);
    // Buffers kept for the next long line.
    std::size_t kept() const;

    // From now on every block the program allocates that is long enough for huge pages (8 MiB)
    // gets a mapping of its own, unmapped when it is freed. Otherwise the allocator serves
    // blocks up to 32 MiB from a thread's arena once a larger one was freed, and keeps up to
    // 64 MiB of what they leave at the top of that arena (the encoded and decoded clips of a
    // run of relays stayed resident that way), huge pages asked for them included. Once per
    // process; any thread.
    static void mapLongAllocations();
    // Asks for huge pages on the whole 2 MiB stretches of [p, p + n), memory not yet written:
    // a long line's bytes then take a few hundred page faults instead of tens of thousands,
    // and freeing them no longer holds up every thread of the program while the kernel tears
    // down each small page. Smaller stretches are left alone.
    static void adviseHuge(void* p, std::size_t n);
    // Reserves room for `n` elements in a string or vector, with huge pages where it is long.
    template <class Buffer> static void reserveLong(Buffer& b, std::size_t n) {
        b.reserve(n);
        adviseHuge(b.data(), b.capacity() * sizeof(*b.data()));
    }

private:
    friend class LongBuffer;
    struct Kept {
        char* base;
        std::size_t capacity;
        Clock::time_point since;
    };
    void giveBack(char* base, std::size_t capacity);

    const std::size_t reserve_;
    const std::size_t keep_;
    const Clock::duration idle_;
    mutable std::mutex mutex_;
    std::vector<Kept> kept_;
};

} // namespace helm
