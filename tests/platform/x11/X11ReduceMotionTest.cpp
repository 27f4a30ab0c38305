#include "platform/x11/X11ReduceMotion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace helm {
namespace {

TEST(X11ReduceMotion, KdeAnimationsOffOnlyAtAFactorOfZero) {
    // A file per case: the settings reader caches a file whose size and time look unchanged.
    int n = 0;
    struct Case {
        const char* file;
        bool reduced;
    } cases[] = {
        {"[KDE]\nAnimationDurationFactor=0\n", true},
        {"[KDE]\nAnimationDurationFactor=0.0\n", true},
        {"[KDE]\nAnimationDurationFactor=0.5\n", false},
        {"[Compositing]\nAnimationDurationFactor=0\n", false}, // another group's key
        {"[KDE]\nAnimationDurationFactor=\n", false},
        {"[KDE]\nAnimationDurationFactor=slow\n", false},
        {"", false},
    };
    for (const Case& c : cases) {
        const std::string path = ::testing::TempDir() + "kwinrc" + std::to_string(n++);
        std::ofstream(path) << c.file;
        EXPECT_EQ(c.reduced, X11ReduceMotion::kdeReduced(path)) << c.file;
        std::remove(path.c_str());
    }
    EXPECT_FALSE(X11ReduceMotion::kdeReduced(::testing::TempDir() + "no-kwinrc")) << "no file";
}

} // namespace
} // namespace helm
