#include "gaze/feed/DistanceMeter.h"
#include "support/WidgetApplication.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <cmath>
#include <limits>

namespace helm {
namespace {

// Shared with the other views' tests: it outlives the bundled fonts the meter draws in.
void application() {
    test::needWidgetApplication("distance_meter_test");
}

const QColor kLive(48, 209, 89);
const QColor kWarn(255, 179, 64);

struct Drawn {
    QImage image;
    QRectF bar;
};

Drawn draw(std::optional<double> width) {
    application();
    DistanceMeter meter(kLive, kWarn);
    meter.resize(meter.sizeHint());
    meter.setWidth(width);
    QImage image(meter.size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    meter.render(&image);
    return {image, meter.bar()};
}

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 12 && std::abs(a.green() - b.green()) < 12 &&
           std::abs(a.blue() - b.blue()) < 12;
}

// The colour at a box width's place along the bar, on its middle line.
QColor at(const Drawn& d, double boxWidth) {
    const double x = d.bar.x() + d.bar.width() * boxWidth / DistanceMeter::kScale;
    return d.image.pixelColor(static_cast<int>(std::lround(x)),
                              static_cast<int>(std::lround(d.bar.center().y())));
}

TEST(DistanceMeter, DotMarksTheFaceWidthInTheColourOfItsZone) {
    struct Case {
        const char* what;
        std::optional<double> width;
        double where;
        std::optional<QColor> dot; // nothing: no dot drawn there
    };
    const Case cases[] = {
        {"a good distance", 0.3, 0.3, kLive},
        {"too close, capped at the bar's end", 0.9, 0.7 - 0.02, kWarn},
        {"too far", 0.05, 0.05, kWarn},
        {"no face", std::nullopt, 0.3, std::nullopt},
        {"a reading that is not a number", std::numeric_limits<double>::quiet_NaN(), 0.3,
         std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Drawn d = draw(c.width);
        const QColor colour = at(d, c.where);
        if (c.dot)
            EXPECT_TRUE(near(colour, *c.dot)) << colour.name().toStdString();
        else
            EXPECT_FALSE(near(colour, kLive) || near(colour, kWarn)) << colour.name().toStdString();
    }
}

TEST(DistanceMeter, GoodZoneSpansTheWidthsWithoutAHint) {
    const Drawn d = draw(std::nullopt);
    // Inside the zone the live colour shows through at 45 %, outside only the faint track.
    const QColor inside = at(d, 0.3);
    const QColor outside = at(d, 0.65);
    EXPECT_GT(inside.green(), inside.red() + 40);
    EXPECT_LT(std::abs(outside.green() - outside.red()), 10);
    EXPECT_GT(outside.red(), 20) << "the track is drawn";
}

} // namespace
} // namespace helm
