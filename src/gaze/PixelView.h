#pragma once

#include <cstddef>
#include <cstdint>

namespace helm {

// A read-only look at one 8-bit channel of a camera frame, laid over the frame's own memory so
// nothing is copied. The byte of pixel (row, column) is at
// base + row * bytesPerRow + column * bytesPerPixel + channel.
// The owner keeps the memory alive (and locked, where the camera needs that) while it is read.
struct PixelView {
    const std::uint8_t* base = nullptr;
    int width = 0;
    int height = 0;
    std::size_t bytesPerRow = 0;
    int bytesPerPixel = 1;
    int channel = 0;

    // Plane 0 of a planar frame (the luma of NV12, I420, YUYV-split buffers): one byte a pixel.
    static PixelView luma(const std::uint8_t* base, int width, int height,
                          std::size_t bytesPerRow) {
        return {base, width, height, bytesPerRow, 1, 0};
    }

    // A packed frame. The default reads the second byte of four (green of BGRA/ARGB-style
    // buffers); a three-byte BGR image passes bytesPerPixel 3.
    static PixelView packed(const std::uint8_t* base, int width, int height,
                            std::size_t bytesPerRow, int bytesPerPixel = 4, int channel = 1) {
        return {base, width, height, bytesPerRow, bytesPerPixel, channel};
    }

    // True when every byte the view can address lies inside its rows: a view that breaks this
    // (a channel past the pixel, rows shorter than the pixels in them) is never read.
    bool consistent() const;
};

// The mean brightness of the frame, 0 to 1, from a sparse grid of about 24 × 16 samples;
// 0.5 when there is nothing to sample.
double brightness(const PixelView& view);

} // namespace helm
