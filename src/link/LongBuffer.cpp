#include "link/LongBuffer.h"

#include "link/LongBuffers.h"

#include <algorithm>
#include <cstring>

namespace helm {

LongBuffer::LongBuffer(LongBuffer&& other) noexcept
    : pool_(other.pool_), base_(other.base_), size_(other.size_), capacity_(other.capacity_) {
    other.base_ = nullptr;
    other.size_ = other.capacity_ = 0;
}

LongBuffer& LongBuffer::operator=(LongBuffer&& other) noexcept {
    if (this != &other) {
        giveBack();
        pool_ = other.pool_;
        base_ = other.base_;
        size_ = other.size_;
        capacity_ = other.capacity_;
        other.base_ = nullptr;
        other.size_ = other.capacity_ = 0;
    }
    return *this;
}

LongBuffer::~LongBuffer() {
    giveBack();
}

void LongBuffer::giveBack() {
    if (base_ != nullptr) {
        pool_->giveBack(base_, capacity_);
    }
    base_ = nullptr;
    size_ = capacity_ = 0;
}

void LongBuffer::resize(std::size_t n) {
    if (n > capacity_) {
        LongBuffers& pool = pool_ != nullptr ? *pool_ : LongBuffers::shared();
        LongBuffer bigger = pool.take(std::max(n, capacity_ * 2));
        if (size_ > 0) {
            std::memcpy(bigger.base_, base_, size_);
        }
        *this = std::move(bigger);
    }
    size_ = n;
}

void LongBuffer::append(const char* bytes, std::size_t n) {
    if (n == 0) {
        return;
    }
    const std::size_t at = size_;
    resize(at + n);
    std::memcpy(base_ + at, bytes, n);
}

} // namespace helm
