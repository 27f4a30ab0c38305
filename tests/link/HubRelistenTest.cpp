#include "HubFixture.h"

namespace helm::test {
namespace {

using HubRelisten = HubFixture;

// A successor's hub finds the ports held by the run it replaces: once that run stops
// listening, trying again gets them.
TEST_F(HubRelisten, ASecondHubListensOnceTheFirstLetsGo) {
    make(PCKeys());
    ASSERT_TRUE(hub->ready);
    Hub::Options o = fastOptions();
    o.port = port;
    o.discoveryPort = hub->discoveryListeningPort();
    Hub next(PCKeys(), "next", "0123456789abcdef", o);
    EXPECT_THROW(next.start(), std::runtime_error);
    EXPECT_FALSE(next.ready);

    hub->stopListening();
    EXPECT_FALSE(hub->ready);
    EXPECT_EQ(hub->listeningPort(), 0);
    next.start();
    EXPECT_TRUE(next.ready);
    EXPECT_EQ(next.listeningPort(), port);
    EXPECT_EQ(next.discoveryListeningPort(), o.discoveryPort);
}

} // namespace
} // namespace helm::test
