// Recipes from a file given with a path are drawn as they are: whatever they hold, a frame must
// finish quickly and cleanly.
#include "overlays/Jumps.h"
#include "overlays/draw/JumpDrawer.h"

#include "ui/Fonts.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz_jump_draw";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    // Fonts first, so the font cache exists before the exit handler below is registered and
    // is torn down after the application, not before it.
    QFontMetrics(helm::Fonts::font(13, QFont::DemiBold)).height();
    std::atexit([] { delete app; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto file = helm::Jumps::decode(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!file) {
        return 0;
    }
    QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
    for (const helm::JumpRecipe& r : file->recipes) {
        helm::JumpDrawer d{
            r.colored("#5A9DFF"), QPointF(40, 30), QRectF(0, 0, 64, 64), "U", 3, "PC", 0.5, false};
        for (double p : {0.0, 0.3, 0.7, 0.99}) {
            img.fill(Qt::transparent);
            auto start = std::chrono::steady_clock::now();
            {
                QPainter g(&img);
                d.draw(g, p);
            }
            // The sanitizers and the fuzzer's counters slow drawing several times over the
            // shipped build; two seconds here still catches a hang or a runaway count.
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(2)) {
                std::fprintf(stderr, "a frame took over two seconds\n");
                std::abort();
            }
        }
    }
    return 0;
}
