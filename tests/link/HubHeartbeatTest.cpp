#include "link/HubFixture.h"

#include <cerrno>
#include <system_error>

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
    hub->postData("c 1", "pc-1", [&](bool) { ++done; });
    EXPECT_EQ(ctl->readSealedPastPings(), "c 1");
    EXPECT_TRUE(waitFor([&] { return done == 1; }));
    auto data = loggedIn("pc-1", secretFor("a"), "data");
    hub->postData("c 2", "pc-1", [&](bool) { ++done; });
    EXPECT_EQ(data->readSealedPastPings(), "c 2");
    EXPECT_TRUE(waitFor([&] { return done == 2; }));
    hub->postData("c 3", "nobody", [&](bool) { ++done; });
    settle(200);
    EXPECT_EQ(done, 2);
}

} // namespace
} // namespace helm::test

namespace helm::test {
namespace {

class HubStart : public HubFixture {};

TEST_F(HubStart, APortInUseReachesTheUserAndASecondStartIsHarmless) {
    make(PCKeys());
    hub->start(); // again: still one listener on the same port
    EXPECT_EQ(hub->listeningPort(), port);
    auto o = fastOptions();
    o.port = port;
    Hub second(PCKeys(), "Mac", "0123456789abcdef", o);
    std::vector<std::string> seen;
    second.onProblem = [&](const std::string& p) { seen.push_back(p); };
    EXPECT_THROW(second.start(), std::runtime_error);
    EXPECT_FALSE(second.ready);
    ASSERT_TRUE(waitFor([&] { return seen.size() == 1; }));
    EXPECT_EQ(seen[0].rfind("Helmvantor can't listen on the network (", 0), 0u);
    EXPECT_NE(seen[0].find("). Quit other copies of Helmvantor and try again."), std::string::npos);
}

TEST_F(HubStart, TailscaleOnlyWithoutATailscaleAddressThrows) {
    Hub h(PCKeys(), "Mac", "0123456789abcdef", fastOptions());
    h.tailscaleOnly = true;
    try {
        h.start();
        FAIL() << "no error";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().value(), EADDRNOTAVAIL);
    }
    EXPECT_EQ(h.listeningPort(), 0);
    EXPECT_EQ(h.discoveryListeningPort(), 0);
}

} // namespace
} // namespace helm::test
