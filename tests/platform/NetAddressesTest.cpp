#include "platform/NetAddresses.h"
#include "platform/linux/IfaddrsAddresses.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace helm {
namespace {

TEST(NetAddresses, TailscaleRange) {
    struct Case {
        const char* address;
        bool tailscale;
    } cases[] = {
        {"100.64.0.1", true},    {"100.127.255.254", true},
        {"100.63.0.1", false},   {"100.128.0.1", false},
        {"10.0.0.1", false},     {"100.64.0", false},
        {"100.64.0.1.5", false}, {"100..64.0.1", true},
        {"100.64.x.0.1", true},  {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NetAddresses::isTailscale(c.address), c.tailscale) << c.address;
}

TEST(NetAddresses, PicksLanAndTailscaleAddresses) {
    using L = std::vector<std::string>;
    EXPECT_EQ(NetAddresses::lanAddress(L{"127.0.0.1", "169.254.3.4"}), std::nullopt);
    EXPECT_EQ(NetAddresses::lanAddress(L{"127.0.0.1", "100.100.1.1", "192.168.1.20", "10.0.0.2"}),
              "192.168.1.20");
    EXPECT_EQ(NetAddresses::tailscaleAddress(L{"192.168.1.20", "100.100.1.1"}), "100.100.1.1");
    EXPECT_EQ(NetAddresses::tailscaleAddress(L{"192.168.1.20"}), std::nullopt);
}

TEST(NetAddresses, ListsLoopbackOfThisMachine) {
    auto list = IfaddrsAddresses().addresses();
    EXPECT_NE(std::find(list.begin(), list.end(), "127.0.0.1"), list.end());
}

} // namespace
} // namespace helm
