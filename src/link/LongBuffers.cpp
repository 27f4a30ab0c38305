#include "link/LongBuffers.h"

#include <sys/mman.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <new>

namespace helm {

namespace {

constexpr std::size_t hugePage = std::size_t{2} << 20;
// The shortest stretch given huge pages.
constexpr std::size_t minHuge = 4 * hugePage;

std::size_t roundUp(std::size_t n, std::size_t to) {
    return (n + to - 1) / to * to;
}

char* map(std::size_t capacity) {
    // A huge page more than asked, so that the buffer can start on a huge-page boundary: only
    // whole aligned 2 MiB stretches are given huge pages.
    const std::size_t span = capacity + hugePage;
    void* p = ::mmap(nullptr, span, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t aligned = roundUp(start, hugePage);
    if (aligned > start) {
        ::munmap(p, aligned - start);
    }
    if (const std::uintptr_t end = aligned + capacity; end < start + span) {
        ::munmap(reinterpret_cast<void*>(end), start + span - end);
    }
    // Where the kernel has no transparent huge pages the buffer works all the same, a small
    // page at a time.
    ::madvise(reinterpret_cast<void*>(aligned), capacity, MADV_HUGEPAGE);
    return reinterpret_cast<char*>(aligned);
}

} // namespace

LongBuffers::LongBuffers(std::size_t reserve, std::size_t keep, Clock::duration idle)
    : reserve_(roundUp(std::max(reserve, hugePage), hugePage)), keep_(keep), idle_(idle) {}

LongBuffers::~LongBuffers() {
    for (const Kept& k : kept_) {
        ::munmap(k.base, k.capacity);
    }
}

LongBuffers& LongBuffers::shared() {
    // 256 MiB holds the longest line the hub takes. Kept long enough for the clips of one
    // burst of hand-overs, not for minutes after a PC left. Never destroyed: a buffer may still
    // come back while the program ends.
    static auto* pool = new LongBuffers(std::size_t{256} << 20, 4, std::chrono::seconds(5));
    return *pool;
}

LongBuffer LongBuffers::take(std::size_t capacity) {
    {
        std::lock_guard lock(mutex_);
        auto best = kept_.end();
        for (auto it = kept_.begin(); it != kept_.end(); ++it) {
            if (it->capacity >= capacity &&
                (best == kept_.end() || it->capacity < best->capacity)) {
                best = it;
            }
        }
        if (best != kept_.end()) {
            LongBuffer b(this, best->base, best->capacity);
            kept_.erase(best);
            return b;
        }
    }
    const std::size_t size = roundUp(std::max(capacity, reserve_), hugePage);
    return LongBuffer(this, map(size), size);
}

void LongBuffers::giveBack(char* base, std::size_t capacity) {
    Kept drop{nullptr, 0, {}};
    {
        std::lock_guard lock(mutex_);
        kept_.push_back({base, capacity, Clock::now()});
        if (kept_.size() > keep_) {
            drop = kept_.front();
            kept_.erase(kept_.begin());
        }
    }
    // Unmapped outside the lock: tearing down a large mapping takes a while.
    if (drop.base != nullptr) {
        ::munmap(drop.base, drop.capacity);
    }
}

void LongBuffers::trim(Clock::time_point now) {
    std::vector<Kept> idle;
    {
        std::lock_guard lock(mutex_);
        auto stale = [&](const Kept& k) { return now - k.since > idle_; };
        std::copy_if(kept_.begin(), kept_.end(), std::back_inserter(idle), stale);
        std::erase_if(kept_, stale);
    }
    for (const Kept& k : idle) {
        ::munmap(k.base, k.capacity);
    }
}

void LongBuffers::mapLongAllocations() {
#if defined(__GLIBC__)
    static std::once_flag once;
    std::call_once(once, [] {
        // Blocks that may be given huge pages (adviseHuge) are mapped alone. What smaller ones
        // leave at the top of an arena is kept up to twice that, as the allocator would do on
        // its own at this size, so a buffer freed and taken again each frame is not unmapped
        // and faulted in again every time.
        mallopt(M_MMAP_THRESHOLD, static_cast<int>(minHuge));
        mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * minHuge));
    });
#endif
}

void LongBuffers::adviseHuge(void* p, std::size_t n) {
    const auto start = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t from = roundUp(start, hugePage);
    const std::uintptr_t to = (start + n) / hugePage * hugePage;
    if (n >= minHuge && to > from) {
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    }
}

std::size_t LongBuffers::kept() const {
    std::lock_guard lock(mutex_);
    return kept_.size();
}

} // namespace helm
