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
        {{"--test-port=4000"}, true, 4000},
        {{"--test-port", "7", "--test-port", "8"}, true, 7},
    };
    for (const auto& c : cases) {
        CommandLine cl = line(c.args);
        std::string label = c.args.back();
        EXPECT_EQ(c.sim, cl.simOnly()) << label;
        EXPECT_EQ(c.port, cl.testPort()) << label;
    }
}

// What the program does with a command line: run it with these options, print the usage or
// the version, or refuse it with one line.
TEST(CommandLine, CheckRunsPrintsOrRefuses) {
    using Verdict = CommandLineCheck::Verdict;
    struct Case {
        std::vector<std::string> args;
        Verdict verdict;
        std::string error; // the refusal's start
    };
    const Case cases[] = {
        {{}, Verdict::run, ""},
        {{"--help"}, Verdict::help, ""},
        {{"-h", "--no-camera"}, Verdict::help, ""},
        {{"--version"}, Verdict::version, ""},
        {{"--bogus"}, Verdict::refuse, "helmvantor: Unknown option 'bogus'."},
        {{"--bo\ngus\x1b[2J"}, Verdict::refuse, "helmvantor: Unknown option 'bo\\ngus\\u{1B}[2J'."},
        {{"--help", "--bogus"}, Verdict::refuse, "helmvantor: Unknown option 'bogus'."},
        {{"--test-port", "abc"}, Verdict::refuse, "helmvantor: --test-port needs a port number"},
        {{"--test-port", "99999"}, Verdict::refuse, "helmvantor: --test-port needs a port number"},
        {{"--no-camera", "--test-port"}, Verdict::refuse, "helmvantor: --test-port needs"},
        {{"--replay"}, Verdict::refuse, "helmvantor: Missing value after '--replay'."},
        {{"--render-guide", ""}, Verdict::refuse, "helmvantor: --render-guide needs a folder."},
        {{"--replay", "/r", "--bogus"}, Verdict::refuse, "helmvantor: Unknown option 'bogus'."},
        {{"--render-guide", "/p", "--test-port", "x"}, Verdict::refuse, "helmvantor: --test-port"},
        {{"--no-camera=yes"}, Verdict::refuse, "helmvantor: Unexpected value after '--no-camera'."},
        {{"stray"}, Verdict::refuse, "helmvantor: Unexpected argument \"stray\""},
        {{"-token", "s"}, Verdict::refuse, "helmvantor: Unknown options: t, o, k, e, n."},
        // Qt's own options are Qt's, with one dash or two, their values whatever they look like.
        {{"-platform", "offscreen", "--display", ":3", "-reverse", "-style=fusion"},
         Verdict::run,
         ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "/usr/bin/helmvantor");
        const CommandLineCheck check = CommandLine::check(args);
        const std::string label = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(c.verdict, check.verdict) << label << ": " << check.error;
        EXPECT_EQ(0u, check.error.rfind(c.error, 0)) << label << ": " << check.error;
    }
}

// Every option's value as the parser found it: a value is the next argument whatever it looks
// like, or follows "=", and the first of several counts.
TEST(CommandLine, ValuesOfTheOptions) {
    CommandLine c = line({"--token", "-style", "--replay=/r", "--render-guide", "/p", "--token",
                          "second", "--no-camera", "-display", "--replay"});
    EXPECT_EQ("-style", c.token());
    EXPECT_EQ("/r", c.replay());
    EXPECT_EQ("/p", c.renderGuide());
    EXPECT_TRUE(c.noCamera());
    EXPECT_FALSE(c.simOnly());
    EXPECT_EQ("abc", line({"--token=abc"}).token());
    // A file name need not be UTF-8; it is the same bytes after the parser.
    EXPECT_EQ("/r\xE9\xFF", line({"--replay", "/r\xE9\xFF"}).replay());
    EXPECT_EQ("helmvantor: Unknown option 'gr\xC3\xB6\xC3\x9F"
              "e'.",
              CommandLine::check({"helmvantor", "--gr\xC3\xB6\xC3\x9F"
                                                "e"})
                  .error);
    // A copy started in this one's place gets neither form of the secret.
    EXPECT_EQ((std::vector<std::string>{"--no-camera", "x"}),
              line({"--token", "s", "--no-camera", "--token=t", "x"}).withoutToken());
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
