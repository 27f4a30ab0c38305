// Recipes from a file given with a path are drawn as they are: whatever they hold, a frame must
// finish quickly and cleanly.
#include "overlays/Jumps.h"
#include "overlays/draw/JumpDrawer.h"

#include "ui/Fonts.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>

namespace {

// Seconds this thread spent on the processor.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

} // namespace

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
            double start = cpuSeconds();
            {
                QPainter g(&img);
                d.draw(g, p);
            }
            double took = cpuSeconds() - start;
            // A layer draws at most 10,000 elements: over a second of processor time per layer
            // (and one for the pointer), even with the sanitizers and the fuzzer's counters, is a
            // hang or a count that escaped its limit. The wall clock would count other processes.
            double budget = static_cast<double>(r.layers.size() + 1);
            if (took > budget) {
                std::fprintf(stderr, "a frame of %zu layers took %.2f s of processor time\n",
                             r.layers.size(), took);
                std::abort();
            }
        }
    }
    return 0;
}
