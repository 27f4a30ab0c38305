#include "overlays/draw/LoopFrames.h"

#include <QRect>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace helm {

namespace {

std::size_t heldBytes = 0;
std::size_t budgetBytes = std::size_t{32} << 20;

} // namespace

LoopFrames::~LoopFrames() {
    clear();
}

const LoopFrames::Frame* LoopFrames::find(int index) const {
    auto it = frames_.find(index);
    return it == frames_.end() ? nullptr : &it->second;
}

bool LoopFrames::keep(int index, Frame frame) {
    if (frames_.contains(index)) {
        return true;
    }
    const auto size = static_cast<std::size_t>(frame.image.sizeInBytes());
    if (heldBytes + size > budgetBytes) {
        return false;
    }
    heldBytes += size;
    bytes_ += size;
    frames_.emplace(index, std::move(frame));
    return true;
}

void LoopFrames::clear() {
    heldBytes -= bytes_;
    bytes_ = 0;
    frames_.clear();
}

std::size_t LoopFrames::held() {
    return heldBytes;
}

std::size_t LoopFrames::budget() {
    return budgetBytes;
}

void LoopFrames::setBudget(std::size_t bytes) {
    budgetBytes = bytes;
}

LoopFrames::Frame LoopFrames::difference(const QImage& picture, const QImage& desk) {
    if (picture.size() != desk.size() || picture.format() != desk.format() ||
        picture.depth() != 32) {
        return {QPoint(), picture}; // nothing to leave out: the whole picture
    }
    const int w = picture.width();
    int left = w, right = -1, top = -1, bottom = -1;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* a = reinterpret_cast<const std::uint32_t*>(picture.constScanLine(y));
        const auto* b = reinterpret_cast<const std::uint32_t*>(desk.constScanLine(y));
        if (std::memcmp(a, b, static_cast<std::size_t>(w) * 4) == 0) {
            continue;
        }
        int x0 = 0;
        while (a[x0] == b[x0]) {
            ++x0;
        }
        int x1 = w - 1;
        while (a[x1] == b[x1]) {
            --x1;
        }
        left = std::min(left, x0);
        right = std::max(right, x1);
        top = top < 0 ? y : top;
        bottom = y;
    }
    if (top < 0) {
        return {};
    }
    const QRect part(QPoint(left, top), QPoint(right, bottom));
    QImage image = picture.copy(part);
    image.setDevicePixelRatio(1); // placed in device pixels
    return {part.topLeft(), std::move(image)};
}

} // namespace helm
