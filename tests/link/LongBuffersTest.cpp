#include "link/LongBuffers.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace helm;

namespace {

constexpr std::size_t mib = std::size_t{1} << 20;

// The THPeligible value of the mapping that starts at p, from /proc/self/smaps.
std::string hugePagesEligible(const void* p) {
    std::ostringstream start;
    start << std::hex << reinterpret_cast<std::uintptr_t>(p) << '-';
    std::ifstream in("/proc/self/smaps");
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        const std::size_t dash = line.find('-'), space = line.find(' ');
        if (dash != std::string::npos && dash < space && std::isxdigit(line[0])) {
            inside = line.rfind(start.str(), 0) == 0; // the first line of an entry
        } else if (inside && line.rfind("THPeligible:", 0) == 0) {
            std::istringstream value(line.substr(12));
            std::string v;
            value >> v;
            return v;
        }
    }
    return "not found";
}

} // namespace

TEST(LongBuffers, GivenBackBuffersServeTheNextLineUntilIdle) {
    LongBuffers pool(4 * mib, 2, std::chrono::seconds(30));
    const char* first = nullptr;
    {
        LongBuffer a = pool.take(100);
        EXPECT_GE(a.capacity(), 4 * mib);
        a.append("clip", 4);
        first = a.data();
    }
    EXPECT_EQ(1u, pool.kept());
    {
        LongBuffer again = pool.take(mib);
        EXPECT_EQ(first, again.data()) << "the kept mapping, its pages in place";
        EXPECT_EQ(0u, again.size());
        LongBuffer bigger = pool.take(10 * mib); // nothing kept is large enough
        EXPECT_GE(bigger.capacity(), 10 * mib);
        LongBuffer third = pool.take(1);
        EXPECT_EQ(0u, pool.kept());
    }
    EXPECT_EQ(2u, pool.kept()) << "no more than two are kept";
    pool.trim(LongBuffers::Clock::now());
    EXPECT_EQ(2u, pool.kept());
    pool.trim(LongBuffers::Clock::now() + std::chrono::seconds(31));
    EXPECT_EQ(0u, pool.kept());
}

TEST(LongBuffers, GrowingKeepsTheBytesAndMovingHandsTheMappingOver) {
    LongBuffers pool(2 * mib, 4, std::chrono::seconds(30));
    std::string pattern(3 * mib, '\0');
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        pattern[i] = static_cast<char>('a' + i % 23);
    }
    LongBuffer b = pool.take(0);
    b.append(pattern.data(), mib);
    b.append(pattern.data() + mib, pattern.size() - mib); // past the first mapping
    EXPECT_GE(b.capacity(), pattern.size());
    EXPECT_EQ(pattern, b.view());
    LongBuffer moved = std::move(b);
    EXPECT_EQ(0u, b.size());
    EXPECT_EQ(pattern, moved.view());
}

TEST(LongBuffers, MappingsStartOnAHugePageAndAskForHugePages) {
    std::string mode;
    std::getline(std::ifstream("/sys/kernel/mm/transparent_hugepage/enabled"), mode);
    LongBuffers pool(4 * mib, 1, std::chrono::seconds(30));
    LongBuffer b = pool.take(0);
    EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(b.data()) % (2 * mib));
    if (mode.empty() || mode.find("[never]") != std::string::npos) {
        GTEST_SKIP() << "this kernel gives no transparent huge pages";
    }
    EXPECT_EQ("1", hugePagesEligible(b.data()));
}

TEST(LongBuffers, LongStringsAndVectorsAskForHugePagesInside) {
    std::string mode;
    std::getline(std::ifstream("/sys/kernel/mm/transparent_hugepage/enabled"), mode);
    if (mode.empty() || mode.find("[never]") != std::string::npos) {
        GTEST_SKIP() << "this kernel gives no transparent huge pages";
    }
    auto firstHuge = [](const void* p) {
        const auto at = reinterpret_cast<std::uintptr_t>(p);
        return reinterpret_cast<const void*>((at + 2 * mib - 1) / (2 * mib) * (2 * mib));
    };
    std::string line;
    LongBuffers::reserveLong(line, 16 * mib);
    EXPECT_EQ("1", hugePagesEligible(firstHuge(line.data())));
    std::vector<std::uint8_t> bytes;
    LongBuffers::reserveLong(bytes, 16 * mib);
    EXPECT_EQ("1", hugePagesEligible(firstHuge(bytes.data())));
}
