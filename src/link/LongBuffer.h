#pragma once
// The few buffers that hold a long line: a clip of up to a hundred megabytes as it is received,
// opened and sealed. Each is a mapping of its own that asks the kernel for huge pages, so
// filling one takes a few hundred page faults instead of tens of thousands (on a virtual
// machine those held up the thread that relays pointer lines for tens of milliseconds), and a
// buffer given back keeps its pages for the next long line.
#include <cstddef>
#include <string_view>

namespace helm {

class LongBuffers;

// Bytes [0, size) of one mapping. Move-only; goes back to its pool when destroyed.
class LongBuffer {
public:
    LongBuffer() = default;
    LongBuffer(LongBuffer&& other) noexcept;
    LongBuffer& operator=(LongBuffer&& other) noexcept;
    LongBuffer(const LongBuffer&) = delete;
    LongBuffer& operator=(const LongBuffer&) = delete;
    ~LongBuffer();

    char* data() { return base_; }
    const char* data() const { return base_; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    std::string_view view() const { return {base_, size_}; }

    // New bytes are left as they are: every user writes them before reading them. Growing past
    // the capacity moves the bytes into a larger buffer of the same pool.
    void resize(std::size_t n);
    void append(const char* bytes, std::size_t n);

private:
    friend class LongBuffers;
    LongBuffer(LongBuffers* pool, char* base, std::size_t capacity)
        : pool_(pool), base_(base), capacity_(capacity) {}
    void giveBack();

    LongBuffers* pool_ = nullptr;
    char* base_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

} // namespace helm
