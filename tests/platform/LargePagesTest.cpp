#include "platform/linux/LargePages.h"

#include <gtest/gtest.h>

namespace {

using helm::LargePages::tunables;

TEST(LargePages, RestartsOnlyWhenHugePagesAreOnRequestAndNotYetAsked) {
    const std::string madvise = "always [madvise] never";
    struct Case {
        std::string current, mode;
        std::optional<std::string> next;
    } cases[] = {
        {"", madvise, "glibc.malloc.hugetlb=1"},
        {"glibc.malloc.check=3", madvise, "glibc.malloc.check=3:glibc.malloc.hugetlb=1"},
        {"glibc.malloc.hugetlb=0", madvise, {}}, // the user's own choice stands, and no loop
        {"glibc.malloc.hugetlb=1", madvise, {}},
        {"", "[always] madvise never", {}},
        {"", "always madvise [never]", {}},
        {"", "", {}}, // no such kernel setting
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tunables(c.current, c.mode), c.next) << c.current << " / " << c.mode;
    }
}

} // namespace
