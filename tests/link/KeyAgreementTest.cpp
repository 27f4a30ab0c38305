#include "link/KeyAgreement.h"
#include "support/AgentCrypto.h"

#include <gtest/gtest.h>

namespace helm {
namespace {

TEST(KeyAgreement, AgreesWithAnIndependentPeerAndRefusesOtherForms) {
    KeyAgreement hub;
    fake::AgentKey agent;
    auto hubPub = hub.publicX963();
    ASSERT_EQ(hubPub.size(), 65u);
    auto agentPub = fake::unbase64(agent.publicText());
    ASSERT_TRUE(agentPub);
    auto a = hub.agree(*agentPub);
    auto b = agent.agree(fake::base64(hubPub));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(*a, *b);
    EXPECT_EQ(a->size(), 32u);

    auto compressed = fake::unbase64(agent.publicText(true));
    ASSERT_TRUE(compressed);
    EXPECT_EQ(compressed->size(), 33u);
    EXPECT_FALSE(hub.agree(*compressed));
    auto offCurve = *agentPub;
    offCurve[64] ^= 1;
    EXPECT_FALSE(hub.agree(offCurve));
    EXPECT_FALSE(hub.agree({}));
}

} // namespace
} // namespace helm
