#include "app/DisplayCheck.h"

#include <gtest/gtest.h>

using namespace helm;

TEST(DisplayCheck, RefusesOnlyWhenQtWouldNeedAnXServerThatIsNotThere) {
    struct Case {
        std::vector<std::string> args;
        std::string qpa;
        bool x11;
        bool refused;
    };
    const Case cases[] = {
        {{}, "", false, true},
        {{}, "", true, false},
        {{}, "xcb", false, true},
        {{}, "xcb:nograb", false, true},
        {{"--test-port", "0"}, "", false, true},
        {{"--test-port", "0"}, "offscreen", false, false},
        {{"-platform", "offscreen"}, "", false, false},
        {{"--platform", "xcb"}, "offscreen", false, true},
        {{}, "wayland", false, false},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"helmvantor"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(testing::Message() << "qpa=" << c.qpa << " x11=" << c.x11 << " args "
                                        << CommandLine(args).startLine(false));
        const auto line = missingDisplay(CommandLine(args), c.qpa, [&] { return c.x11; });
        EXPECT_EQ(line.has_value(), c.refused);
        if (line) {
            EXPECT_EQ(*line, "Helmvantor needs an X11 display (or QT_QPA_PLATFORM=offscreen with "
                             "--test-port).");
        }
    }
}
