#include "windows/Segmented.h"

#include "DeskSample.h"
#include "ui/DarkPalette.h"
#include "ui/Fonts.h"

#include <gtest/gtest.h>

using namespace helm;

TEST(Segmented, OnlyTheChosenSegmentStandsOut) {
    test::needApplication();
    Segmented s(
        {"Fast", "Normal", "Steady"}, 220, [](int) {}, Fonts::font(12, QFont::Normal));
    s.setPalette(darkPalette()); // as in the settings window
    s.resize(220, 28);
    for (int chosen : {-1, 0, 2}) {
        s.select(chosen);
        const QImage img = s.grab().toImage();
        // A segment's fill, just inside its top left corner, away from the border and the text.
        auto fill = [&](int i) {
            const QRect r = s.segment(i)->geometry();
            return QColor(img.pixel(r.left() + 4, r.top() + 4));
        };
        const int other = chosen == 0 ? 1 : 0;
        for (int i = 0; i < 3; ++i) {
            if (i == chosen) {
                EXPECT_GT(fill(i).lightness() - fill(other).lightness(), 20) << i << " chosen";
            } else {
                EXPECT_EQ(fill(i), fill(other)) << i << " with " << chosen << " chosen";
            }
        }
    }
}
