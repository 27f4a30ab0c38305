#include "ui/Fonts.h"
#include "ui/Symbols.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

using namespace helm;

TEST(Fonts, TheBundledFacesAreFoundAtTheirPixelSizes) {
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    EXPECT_EQ(QStringLiteral("Inter"), Fonts::family());
    QImage img(10, 10, QImage::Format_ARGB32_Premultiplied); // 96 dpi
    for (QFont::Weight w : {QFont::Normal, QFont::Medium, QFont::DemiBold, QFont::Bold}) {
        QFont f = Fonts::font(13, w, &img);
        QFontInfo info(f);
        EXPECT_EQ(QStringLiteral("Inter"), info.family());
        EXPECT_EQ(w, info.weight());
        EXPECT_DOUBLE_EQ(9.75, f.pointSizeF()) << "13 px at 96 dpi";
    }
    for (const char* s :
         {"checkmark", "video.fill", "video.slash", "keyboard", "computermouse", "clock", "wifi",
          "arrow.down.circle", "lock.shield", "speaker.wave.2", "speaker.slash", "rectangle",
          "rectangle.portrait", "cursorarrow.rays", "eye", "scope"}) {
        QRectF box = Symbols::path(s, 20).boundingRect();
        EXPECT_TRUE(QRectF(-12, -12, 24, 24).contains(box)) << s;
        EXPECT_GT(box.width() * box.height(), 60) << s;
    }
    EXPECT_TRUE(Symbols::path("nonsense", 20).isEmpty());
    // Gone before the font cache it uses is torn down at exit.
    delete app;
    app = nullptr;
}
