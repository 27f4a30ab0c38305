#pragma once

#include <QImage>
#include <QPoint>

#include <cstddef>
#include <unordered_map>

namespace helm {

// The pictures of one looping tile, one per frame of the screen, kept once drawn: the loop
// repeats exactly, so each frame is drawn once instead of on every pass. A frame keeps only
// the part that differs from the tile's still desk. Every store of the process shares one
// budget of bytes; a frame that would pass it is not kept, and its tile draws it afresh.
class LoopFrames {
public:
    struct Frame {
        QPoint at;    // the part's top left in the tile, in device pixels
        QImage image; // null when the frame is the desk itself
    };

    LoopFrames() = default;
    ~LoopFrames();
    LoopFrames(const LoopFrames&) = delete;
    LoopFrames& operator=(const LoopFrames&) = delete;

    const Frame* find(int index) const;
    // Keeps the frame unless the budget has no room for it; answers whether it did.
    bool keep(int index, Frame frame);
    // Gives every frame back.
    void clear();
    std::size_t bytes() const { return bytes_; }

    // Bytes kept by every store together, and what they may keep (32 MB unless set).
    static std::size_t held();
    static std::size_t budget();
    static void setBudget(std::size_t bytes);

    // The part of picture that differs from desk, an image of the same size and format.
    static Frame difference(const QImage& picture, const QImage& desk);

private:
    std::unordered_map<int, Frame> frames_;
    std::size_t bytes_ = 0;
};

} // namespace helm
