#include "app/DisplayCheck.h"

#include <gtest/gtest.h>

using namespace helm;

TEST(DisplayCheck, RefusesWithoutAnXServerAndOnOtherPlatformsOutsideSimulation) {
    const std::string noDisplay =
        "Helmvantor needs an X11 display (or QT_QPA_PLATFORM=offscreen with --test-port).";
    auto notX11 = [](const std::string& p) {
        return "Helmvantor needs X11, not Qt's \"" + p +
               "\" platform (use QT_QPA_PLATFORM=xcb, or offscreen with --test-port).";
    };
    struct Case {
        std::vector<std::string> args;
        std::string qpa;
        bool x11;
        std::optional<std::string> line;
    };
    const Case cases[] = {
        {{}, "", false, noDisplay},
        {{}, "", true, std::nullopt},
        {{}, "xcb", false, noDisplay},
        {{}, "xcb:nograb", false, noDisplay},
        {{"--test-port", "0"}, "", false, noDisplay},
        {{"--test-port", "0"}, "offscreen", false, std::nullopt},
        {{"--test-port"}, "wayland", false, std::nullopt},
        {{"-platform", "offscreen"}, "", true, notX11("offscreen")},
        {{"--platform", "xcb"}, "offscreen", false, noDisplay},
        {{}, "wayland", true, notX11("wayland")},
        {{}, "minimal:enable_fonts", true, notX11("minimal")},
        // Lists Qt tries in order: it ends on xcb where an X server answers.
        {{}, "wayland;xcb", true, std::nullopt},
        {{}, "XCB;wayland", true, std::nullopt},
        {{}, "wayland;xcb", false, noDisplay},
        {{}, "wayland;Offscreen", true, notX11("wayland;offscreen")},
        {{}, "wayland; xcb", true, notX11("wayland; xcb")}, // Qt trims nothing
        {{"--test-port", "0"}, "xcb;offscreen", false, std::nullopt},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"helmvantor"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(testing::Message() << "qpa=" << c.qpa << " x11=" << c.x11 << " args "
                                        << CommandLine(args).startLine(false));
        EXPECT_EQ(c.line, missingDisplay(CommandLine(args), c.qpa, [&] { return c.x11; }));
    }
    // The platform Qt picked by itself.
    EXPECT_EQ(notX11("wayland"), refusedPlatform(CommandLine({"helmvantor"}), "wayland"));
    EXPECT_EQ(std::nullopt, refusedPlatform(CommandLine({"helmvantor"}), "xcb"));
    EXPECT_EQ(std::nullopt,
              refusedPlatform(CommandLine({"helmvantor", "--test-port", "0"}), "offscreen"));
}
