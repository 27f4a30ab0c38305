#include "app/CommandLine.h"

#include <gtest/gtest.h>

using namespace helm;

namespace {

CommandLine line(std::vector<std::string> rest) {
    rest.insert(rest.begin(), "/usr/bin/helmvantor");
    return CommandLine(std::move(rest));
}

} // namespace

TEST(CommandLine, AnOptionAsTheLastArgumentHasNoValue) {
    CommandLine c = line({"--replay", "/rec", "--render-guide"});
    EXPECT_FALSE(c.arg("--render-guide"));
    EXPECT_EQ("/rec", c.arg("--replay"));
    EXPECT_FALSE(c.arg("--missing"));
    EXPECT_FALSE(c.arg("--REPLAY")); // exact comparison
    // The first occurrence counts.
    EXPECT_EQ("a", line({"--x", "a", "--x", "b"}).arg("--x"));
}

TEST(CommandLine, TestPortValues) {
    struct Case {
        std::vector<std::string> args;
        bool sim;
        std::optional<std::uint16_t> port;
    };
    const Case cases[] = {
        {{"--test-port", "4000"}, true, 4000},
        {{"--test-port", "0"}, true, 0},
        {{"--test-port", "65535"}, true, 65535},
        {{"--test-port", "65536"}, true, std::nullopt},
        {{"--test-port", "-1"}, true, std::nullopt},
        {{"--test-port", "abc"}, true, std::nullopt},
        {{"--test-port", ""}, true, std::nullopt},
        {{"--test-port", "+80"}, true, std::nullopt},
        {{"--test-port", " 80"}, true, std::nullopt},
        {{"--test-port", "4294967376"}, true, std::nullopt}, // 80 after 32-bit wrap-around
        {{"--no-camera", "--test-port"}, true, std::nullopt},
        {{"--no-camera"}, false, std::nullopt},
        {{"--test-port=4000"}, false, std::nullopt},
    };
    for (const auto& c : cases) {
        CommandLine cl = line(c.args);
        std::string label = c.args.back();
        EXPECT_EQ(c.sim, cl.simOnly()) << label;
        EXPECT_EQ(c.port, cl.testPort()) << label;
    }
}

TEST(CommandLine, StartLineLeavesOutTokensAndEscapesArguments) {
    struct Case {
        std::vector<std::string> args;
        const char* line;
    };
    const Case cases[] = {
        {{}, "start iso=false args=[]"},
        {{"--test-port", "0", "--no-camera"},
         R"(start iso=false args=["--test-port", "0", "--no-camera"])"},
        {{"--token", "s3cret", "--no-camera"}, R"(start iso=false args=["--no-camera"])"},
        {{"--token=s3cret", "next"}, R"(start iso=false args=["next"])"},
        {{"--tokenish"}, "start iso=false args=[]"},
        {{"--token", "--token", "s3cret"}, "start iso=false args=[]"},
        {{"--no-camera", "--token"}, R"(start iso=false args=["--no-camera"])"},
        {{"say \"hi\"", "back\\slash"}, R"(start iso=false args=["say \"hi\"", "back\\slash"])"},
        {{"a\nb\tc\rd", std::string("nul\0x", 5), "\x1b[0m\x7f"},
         R"(start iso=false args=["a\nb\tc\rd", "nul\0x", "\u{1B}[0m\u{7F}"])"},
        {{"Größe → 1"}, R"(start iso=false args=["Größe → 1"])"},
        {{"a\xC2\x85"
          "b\xC2\x9F\xC2\xA0"},
         "start iso=false args=[\"a\\u{85}b\\u{9F}\xC2\xA0\"]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.line, line(c.args).startLine(false));
    }
    EXPECT_EQ("start iso=true args=[]", line({}).startLine(true));
}
