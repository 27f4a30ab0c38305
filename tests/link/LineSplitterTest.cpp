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

// Lines at or past the long-line size come out whole through takeLong, in stream order with the
// short lines around them, however the stream is chunked.
TEST(LineSplitter, LongLinesKeepTheirPlaceAndBytes) {
    const std::string longA(40, 'a'), longB = std::string(25, 'b') + "\r" + std::string(9, 'c');
    struct Case {
        std::string stream;
        std::vector<std::string> lines; // long lines marked with a leading "L:"
        std::size_t left;
    } cases[] = {
        {"p\n" + longA + "\nq\n", {"p", "L:" + longA, "q"}, 0},
        {longA + "\n" + longB + "\n", {"L:" + longA, "L:" + longB}, 0},
        {"short\n" + longA + "\n\nend", {"short", "L:" + longA, ""}, 3},
        {"p\n" + longA, {"p"}, longA.size()},
        {std::string(15, 's') + "\n", {std::string(15, 's')}, 0}, // under the size
    };
    std::mt19937 rng(11);
    for (const auto& c : cases) {
        for (int round = 0; round < 100; ++round) {
            LineSplitter b(16);
            std::vector<std::string> got;
            for (std::size_t i = 0; i < c.stream.size();) {
                std::size_t n = std::min<std::size_t>(1 + rng() % 23, c.stream.size() - i);
                b.append(c.stream.data() + i, n);
                i += n;
                for (;;) {
                    if (b.hasLong()) {
                        got.push_back("L:" + std::string(b.takeLong().view()));
                    } else if (auto l = b.next()) {
                        got.emplace_back(*l);
                    } else {
                        break;
                    }
                }
                b.compact();
            }
            // A complete line read in one go may come out of next(); only its bytes matter then.
            for (auto& l : got)
                if (l.size() >= 16 && l.rfind("L:", 0) != 0)
                    l = "L:" + l;
            EXPECT_EQ(got, c.lines) << c.stream;
            EXPECT_EQ(b.size(), c.left) << c.stream;
        }
    }
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
