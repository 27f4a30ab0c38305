#include "app/NoiseSummary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <regex>

using namespace helm;

namespace {

// The copies of noise one written line stands for.
long long copies(const std::string& line) {
    static const std::regex count(
        R"(^log: (\d+) more lines left out|\((\d+)( more)? times in the last minute\)$)");
    std::smatch m;
    if (!std::regex_search(line, m, count))
        return 1; // a line as it came, or "(once more …)" behind one written before
    return std::stoll(m[1].matched ? m[1].str() : m[2].str());
}

} // namespace

TEST(NoiseSummary, AnHourOfFloodFitsInOneLogFileWithEveryCopyCounted) {
    const struct {
        const char* flood;
        std::function<std::string(int)> line;
    } cases[] = {
        {"256 names not paired",
         [](int i) {
             return "agent pc-" + std::to_string(i % 256) + " isn't paired (or was forgotten)";
         }},
        // A host that makes up a new name of the longest kind for every login.
        {"a new name each time",
         [](int i) {
             return "agent " + std::string(54, 'x') + std::to_string(1'000'000'000 + i) +
                    " failed the secret check";
         }},
        {"connections that name nobody",
         [](int i) { return i % 3 ? "bad hello" : "too much before logging in, closing"; }},
    };
    constexpr int perSecond = 100;
    constexpr int lines = 3600 * perSecond;
    for (const auto& c : cases) {
        long long bytes = 0;
        long long counted = 0;
        NoiseSummary noise([&](const std::string& l) {
            bytes += 27 + static_cast<long long>(l.size()); // date, space, line, line feed
            counted += copies(l);
        });
        for (int i = 0; i < lines; ++i)
            noise(c.line(i), NoiseSummary::Clock::time_point(std::chrono::milliseconds(i * 10)));
        noise.finish();
        EXPECT_LT(bytes, 5'000'000) << c.flood; // the log file is not started afresh
        EXPECT_EQ(counted, lines) << c.flood;
        std::printf("log growth under a flood of %s: %lld bytes an hour\n", c.flood, bytes);
    }
}
