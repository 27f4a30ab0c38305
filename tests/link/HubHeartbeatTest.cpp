#include "link/HubFixture.h"

namespace helm::test {
namespace {

using fake::FakeAgent;

class HubHeartbeat : public HubFixture {};

TEST_F(HubHeartbeat, SilentPcIsDroppedAndAPartialLineKeepsItAlive) {
    PCKeys k;
    k.set("pc-1", secretFor("a"));
    k.set("pc-2", secretFor("b"));
    make(k);
    auto silent = loggedIn("pc-1", secretFor("a"));
    auto trickle = loggedIn("pc-2", secretFor("b"));
    // pc-2 sends one byte of a sealed line every 400 ms: never a whole line, always some bytes.
    std::string line = trickle->out.seal("p");
    std::size_t sent = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1500) {
        if (clock.elapsed() >= static_cast<qint64>(sent) * 400) {
            trickle->sendRaw(line.substr(sent, 1));
            ++sent;
        }
        settle(20);
    }
    EXPECT_TRUE(logged("agent pc-1 lost: no reply for 5 s"));
    EXPECT_FALSE(logged("agent pc-2 lost: no reply for 5 s"));
    EXPECT_EQ(hub->names(), std::vector<std::string>{"pc-2"});
    EXPECT_TRUE(silent->waitClosed(500));
    ASSERT_TRUE(waitFor([&] { return events.size() >= 4; }));
    EXPECT_EQ(events[2], "lost pc-1");
    EXPECT_EQ(events[3], "change");
}

TEST_F(HubHeartbeat, OnePingPerPeriodAfterRestarts) {
    make(keysWith("pc-1", secretFor("a")));
    hub->restart();
    hub->restart();
    ASSERT_TRUE(waitFor([&] {
        return loggedCount("listener ready on port 0") + static_cast<int>(logLines().size()) >= 3;
    }));
    // Listening again on an ephemeral port gives a new port.
    port = hub->listeningPort();
    auto a = loggedIn("pc-1", secretFor("a"));
    int pings = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1000) {
        a->sendSealed("p");
        if (auto l = a->readSealed(100); l && *l == "p")
            ++pings;
    }
    // Five periods of 200 ms: one cycle gives about five pings, two would give ten.
    EXPECT_GE(pings, 3);
    EXPECT_LE(pings, 7);
}

TEST_F(HubHeartbeat, PostDataPrefersTheDataLinkAndReportsOnMain) {
    make(keysWith("pc-1", secretFor("a")));
    auto ctl = loggedIn("pc-1", secretFor("a"));
    int done = 0;
    hub->postData("c 1", "pc-1", [&] { ++done; });
    EXPECT_EQ(ctl->readSealed(), "c 1");
    EXPECT_TRUE(waitFor([&] { return done == 1; }));
    auto data = loggedIn("pc-1", secretFor("a"), "data");
    hub->postData("c 2", "pc-1", [&] { ++done; });
    EXPECT_EQ(data->readSealed(), "c 2");
    EXPECT_TRUE(waitFor([&] { return done == 2; }));
    hub->postData("c 3", "nobody", [&] { ++done; });
    settle(200);
    EXPECT_EQ(done, 2);
}

} // namespace
} // namespace helm::test
