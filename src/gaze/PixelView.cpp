#include "gaze/PixelView.h"

namespace helm {

bool PixelView::consistent() const {
    if (base == nullptr || width < 0 || height < 0 || bytesPerPixel < 1 || channel < 0 ||
        channel >= bytesPerPixel) {
        return false;
    }
    return bytesPerRow >= static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel);
}

double brightness(const PixelView& view) {
    if (!view.consistent()) {
        return 0.5;
    }
    int rowStep = view.height < 16 ? 1 : view.height / 16;
    int colStep = view.width < 24 ? 1 : view.width / 24;
    std::uint64_t sum = 0;
    std::uint64_t count = 0;
    for (int row = view.height / 16; row < view.height; row += rowStep) {
        const std::uint8_t* line = view.base + static_cast<std::size_t>(row) * view.bytesPerRow;
        for (int col = view.width / 24; col < view.width; col += colStep) {
            sum +=
                line[static_cast<std::size_t>(col) * static_cast<std::size_t>(view.bytesPerPixel) +
                     static_cast<std::size_t>(view.channel)];
            ++count;
        }
    }
    if (count == 0) {
        return 0.5;
    }
    return static_cast<double>(sum) / static_cast<double>(count) / 255.0;
}

} // namespace helm
