#include "ui/Palette.h"

#include <gtest/gtest.h>

using namespace helm;

namespace {

Screen on(std::optional<std::string> computer) {
    Screen s;
    s.id = computer.value_or("mac") + "/0-0-0";
    s.computer = std::move(computer);
    return s;
}

} // namespace

TEST(Palette, EveryComputerGetsItsColourInIdOrder) {
    const QColor blue = QColor::fromRgbF(0.35f, 0.62f, 1.0f);
    const QColor purple = QColor::fromRgbF(0.75f, 0.52f, 1.0f);
    Layout desk;
    // Screens in an order other than the ids' order.
    desk.screens = {on("pc-c"), on(std::nullopt), on("pc-a"), on("pc-d"), on("pc-b"), on("pc-a")};
    const std::pair<std::optional<std::string>, QColor> cases[] = {
        {std::nullopt, gLive}, {"pc-a", blue},  {"pc-b", purple},
        {"pc-c", gWarn},       {"pc-d", gLive}, {"pc-unknown", gLive},
    };
    for (const auto& [computer, colour] : cases) {
        EXPECT_EQ(colour, computerColor(on(computer), desk)) << computer.value_or("mac");
    }
    Layout macOnly;
    macOnly.screens = {on(std::nullopt), on(std::nullopt)};
    EXPECT_EQ(gLive, computerColor(macOnly.screens[1], macOnly));
}
