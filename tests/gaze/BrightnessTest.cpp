#include "gaze/PixelView.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace helm;

TEST(Brightness, SamplesTheSparseGrid) {
    // 640 × 480 luma plane with padding at each row's end: the sampled bytes are 255, the rest
    // 0, so any sample off the grid (or into the padding) shows in the result.
    const int w = 640, h = 480;
    const std::size_t bpr = 704;
    std::vector<std::uint8_t> luma(bpr * h, 0);
    int marked = 0;
    for (int r = 30; r <= 450; r += 30) {
        for (int c = 26; c <= 624; c += 26) {
            luma[r * bpr + c] = 255;
            ++marked;
        }
    }
    EXPECT_EQ(15 * 24, marked);
    EXPECT_DOUBLE_EQ(1.0, brightness(PixelView::luma(luma.data(), w, h, bpr)));
}

TEST(Brightness, GridStartsAndEndsWhereItShould) {
    // One bright byte at a time: a sample there adds 255 / count, anywhere else nothing. This
    // tells a grid that starts at 0, or stops a step early, from the right one.
    struct Case {
        const char* name;
        int w, h;
        int row, col;
        double want;
    };
    const Case cases[] = {
        {"first grid row and column", 640, 480, 30, 26, 1.0 / 360},
        {"last grid row and column", 640, 480, 450, 624, 1.0 / 360},
        {"row 0 is not sampled", 640, 480, 0, 26, 0},
        {"column 0 is not sampled", 640, 480, 30, 0, 0},
        {"between grid rows", 640, 480, 45, 26, 0},
        {"small: the first pixel", 20, 10, 0, 0, 1.0 / 200},
        {"small: the last pixel", 20, 10, 9, 19, 1.0 / 200},
        // 16 rows by 24 columns is the smallest size with a step of 1 that starts at 1.
        {"16 × 24: row 0 is skipped", 24, 16, 0, 5, 0},
        {"16 × 24: the last pixel", 24, 16, 15, 23, 1.0 / (15 * 23)},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> luma(static_cast<std::size_t>(c.w * c.h), 0);
        luma[static_cast<std::size_t>(c.row * c.w + c.col)] = 255;
        EXPECT_DOUBLE_EQ(c.want, brightness(PixelView::luma(luma.data(), c.w, c.h, c.w))) << c.name;
    }
}

TEST(Brightness, PackedSmallBufferReadsEveryPixelsSecondByte) {
    const int w = 20, h = 10;
    std::vector<std::uint8_t> px(w * h * 4, 0);
    for (int i = 0; i < w * h; ++i) {
        px[i * 4 + 1] = 51; // 0.2 of full scale
        px[i * 4 + 0] = 255;
        px[i * 4 + 2] = 255;
        px[i * 4 + 3] = 255;
    }
    EXPECT_DOUBLE_EQ(0.2, brightness(PixelView::packed(px.data(), w, h, w * 4)));
}

TEST(Brightness, NothingToReadGivesMiddleGrey) {
    std::vector<std::uint8_t> px(64, 200);
    struct Case {
        const char* name;
        PixelView view;
    };
    const Case cases[] = {
        {"no memory", PixelView::luma(nullptr, 4, 4, 4)},
        {"height 0", PixelView::luma(px.data(), 4, 0, 4)},
        {"width 0", PixelView::luma(px.data(), 0, 4, 0)},
        {"channel outside the pixel", PixelView::packed(px.data(), 2, 2, 8, 4, 4)},
        {"rows shorter than their pixels", PixelView::packed(px.data(), 4, 2, 8, 4, 1)},
        {"negative size", PixelView::luma(px.data(), -4, 4, 4)},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(0.5, brightness(c.view)) << c.name;
    }
}
