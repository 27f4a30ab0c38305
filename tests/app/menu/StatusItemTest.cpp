#include "app/menu/TrayStatusItem.h"
#include "platform/sim/RecordingStatusItem.h"
#include "ui/Palette.h"

#include "QtApp.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace helm {
namespace {

using Look = StatusItem::Look;
using Symbol = StatusItem::Symbol;
using Tint = StatusItem::Tint;

const Look kEye{Symbol::eye, Tint::none, " 1", "Keys and mouse on 1 \u00b7 Main", "Helmvantor"};

TEST(StatusItem, DrawsOnlyWhatChanged) {
    RecordingStatusItem item;
    Look warn{Symbol::warning, Tint::warn, " 1", "Can't see you", "Can't see you"};
    for (const Look& l : {kEye, kEye, warn, warn, kEye}) {
        item.show(l);
    }
    ASSERT_EQ(3u, item.drawn.size());
    EXPECT_EQ(warn, item.drawn[1]);
    EXPECT_EQ(kEye, *item.shown());
}

TEST(TrayStatusItem, SetsTheIconOnlyWhenItLooksDifferent) {
    qtApp();
    TrayStatusItem tray;
    Look otherTip = kEye;
    otherTip.tooltip = "Keys and mouse on 2 \u00b7 Side";
    Look otherNumber = otherTip;
    otherNumber.title = " 2";
    tray.show(kEye);
    tray.show(kEye);
    tray.show(otherTip); // the tooltip alone
    EXPECT_EQ(1, tray.iconsSet());
    tray.show(otherNumber);
    EXPECT_EQ(2, tray.iconsSet());
}

// How many pixels are close to the colour.
int count(const QImage& image, const QColor& c) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QColor p = image.pixelColor(x, y);
            if (p.alpha() > 250 && std::abs(p.red() - c.red()) < 8 &&
                std::abs(p.green() - c.green()) < 8 && std::abs(p.blue() - c.blue()) < 8) {
                ++n;
            }
        }
    }
    return n;
}

TEST(TrayStatusItem, IconCarriesTintAndNumber) {
    qtApp();
    struct Case {
        Tint tint;
        QColor want;
    } cases[] = {{Tint::warn, gWarn}, {Tint::live, gLive}, {Tint::none, gInk}};
    for (const Case& c : cases) {
        Look l = kEye;
        l.tint = c.tint;
        QImage image = TrayStatusItem::icon(l, 44).convertToFormat(QImage::Format_ARGB32);
        EXPECT_GT(count(image, c.want), 100) << int(c.tint);
        for (Tint other : {Tint::warn, Tint::live}) {
            if (other != c.tint) {
                EXPECT_EQ(0, count(image, other == Tint::warn ? gWarn : gLive));
            }
        }
    }
    Look two = kEye;
    two.title = " 2";
    EXPECT_NE(TrayStatusItem::icon(kEye, 44), TrayStatusItem::icon(two, 44));
    Look symbolOnly = kEye;
    symbolOnly.title.clear();
    QImage bare = TrayStatusItem::icon(symbolOnly, 44);
    EXPECT_EQ(0, bare.pixelColor(38, 38).alpha()); // no number in the corner
}

TEST(TrayStatusItem, ReadsOnLightAndDarkPanelsWithTheNumberInside) {
    qtApp();
    for (int px : {16, 22, 44}) {
        for (const char* title : {" 1", " 10", " ?"}) {
            Look l = kEye;
            l.title = title;
            const QImage icon = TrayStatusItem::icon(l, px).convertToFormat(QImage::Format_ARGB32);
            SCOPED_TRACE(testing::Message() << px << " px, title" << title);
            for (QColor panel : {QColor(Qt::white), QColor(Qt::black), QColor(0x2e3436)}) {
                QImage on(icon.size(), QImage::Format_ARGB32);
                on.fill(panel);
                QPainter(&on).drawImage(0, 0, icon);
                int standingOut = 0;
                for (int i = 0; i < px * px; ++i) {
                    const int lightness = on.pixelColor(i % px, i / px).lightness();
                    standingOut += std::abs(lightness - panel.lightness()) > 90;
                }
                EXPECT_GT(standingOut, px * px / 16) << panel.name().toStdString();
            }
            for (int i = 0; i < px; ++i) { // nothing touches an edge, where trays cut
                EXPECT_EQ(0, icon.pixelColor(i, 0).alpha() + icon.pixelColor(0, i).alpha() +
                                 icon.pixelColor(i, px - 1).alpha() +
                                 icon.pixelColor(px - 1, i).alpha());
            }
        }
    }
}

TEST(TrayStatusItem, TooltipNamesTheProgramUnlessThereIsAProblem) {
    Look sick{Symbol::warning, Tint::warn, " 1", "Can't see you", "Can't see you"};
    EXPECT_EQ("Helmvantor\nKeys and mouse on 1 \u00b7 Main",
              TrayStatusItem::tooltip(kEye).toStdString());
    EXPECT_EQ("Can't see you", TrayStatusItem::tooltip(sick).toStdString());
}

} // namespace
} // namespace helm
