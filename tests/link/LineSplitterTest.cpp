#include "link/LineSplitter.h"
#include "link/Hello.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace helm {
namespace {

std::vector<std::string> drain(LineSplitter& b) {
    std::vector<std::string> out;
    while (auto l = b.next())
        out.emplace_back(*l);
    b.compact();
    return out;
}

TEST(LineSplitter, AnyChunkingGivesTheSameLines) {
    std::string stream = "n abc def\n\nh x y\npartial line without end";
    std::vector<std::string> expected = {"n abc def", "", "h x y"};
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        LineSplitter b;
        std::vector<std::string> got;
        std::size_t i = 0;
        while (i < stream.size()) {
            std::size_t n = 1 + rng() % 7;
            n = std::min(n, stream.size() - i);
            b.append(stream.data() + i, n);
            i += n;
            for (auto& l : drain(b))
                got.push_back(l);
        }
        EXPECT_EQ(got, expected);
        EXPECT_EQ(b.size(), std::string("partial line without end").size());
    }
}

TEST(LineSplitter, ManySmallLinesInOneReadAreAllTaken) {
    std::string big;
    for (int i = 0; i < 100000; ++i)
        big += "p\n";
    LineSplitter b;
    b.append(big.data(), big.size());
    EXPECT_EQ(drain(b).size(), 100000u);
    EXPECT_EQ(b.size(), 0u);
}

TEST(LossyUtf8, ReplacesInvalidSequences) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"plain", "plain"},
        {"caf\xC3\xA9", "caf\xC3\xA9"},
        {"a\xFF"
         "b",
         "a\xEF\xBF\xBD"
         "b"},
        {"\xC3", "\xEF\xBF\xBD"},                                 // cut off
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                 // overlong
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"}, // surrogate
    };
    for (const auto& c : cases)
        EXPECT_EQ(lossyUtf8(c.in), c.out) << c.in;
}

TEST(Hello, ShapesAcceptedAndRefused) {
    const std::string n32(32, 'a');
    struct Case {
        std::string line;
        bool ok;
        bool pairing;
        std::string role;
    } cases[] = {
        {"h pc " + n32 + " KEY PROOF ctl", true, false, "ctl"},
        {"h pc " + n32 + " KEY PROOF data", true, false, "data"},
        {"h  pc   " + n32 + " KEY  PROOF ctl ", true, false, "ctl"},
        {"pair pc " + n32 + " KEY PROOF", true, true, "pair"},
        {"h pc " + n32 + " KEY PROOF pair", false, false, ""},
        {"h pc " + n32 + " KEY PROOF", false, false, ""},
        {"h pc " + n32 + " KEY PROOF ctl extra", false, false, ""},
        {"pair pc " + n32 + " KEY PROOF ctl", false, false, ""},
        {"H pc " + n32 + " KEY PROOF ctl", false, false, ""},
        {"h pc " + std::string(31, 'a') + " KEY PROOF ctl", false, false, ""},
        {"h pc " + std::string(33, 'a') + " KEY PROOF ctl", false, false, ""},
        {"", false, false, ""},
    };
    for (const auto& c : cases) {
        auto h = Hello::parse(c.line);
        ASSERT_EQ(h.has_value(), c.ok) << c.line;
        if (h) {
            EXPECT_EQ(h->pairing, c.pairing);
            EXPECT_EQ(h->role, c.role);
            EXPECT_EQ(h->name, "pc");
            EXPECT_EQ(h->nonce, n32);
            EXPECT_EQ(h->keyText, "KEY");
            EXPECT_EQ(h->proof, "PROOF");
        }
    }
}

} // namespace
} // namespace helm
