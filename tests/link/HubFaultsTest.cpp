// Behaviour the hub keeps sound where a plain reading of its rules would lose a link, a secret
// or memory.
#include "link/HubFixture.h"

namespace helm::test {
namespace {

using fake::FakeAgent;

class HubFaults : public HubFixture {};

TEST_F(HubFaults, ForgettingClosesTheDataLinkToo) {
    PCKeys k;
    k.set("pc-1", secretFor("a"));
    k.set("pc-2", secretFor("b"));
    k.set("pc-3", secretFor("c"));
    make(k);
    auto ctl1 = loggedIn("pc-1", secretFor("a"));
    auto data1 = loggedIn("pc-1", secretFor("a"), "data");
    auto data2 = loggedIn("pc-2", secretFor("b"), "data"); // a data link without control link
    auto data3 = loggedIn("pc-3", secretFor("c"), "data");
    hub->forget("pc-1");
    hub->forget("pc-2");
    EXPECT_TRUE(ctl1->waitClosed(1000));
    EXPECT_TRUE(data1->waitClosed(1000));
    EXPECT_TRUE(data2->waitClosed(1000));
    EXPECT_TRUE(data3->connected());
    hub->forgetAll();
    EXPECT_TRUE(data3->waitClosed(1000));
    ASSERT_TRUE(waitFor([&] { return keyUpdates.size() == 3; }));
    EXPECT_EQ(keyUpdates.back(), PCKeys());
}

TEST_F(HubFaults, RestartClosesDataLinks) {
    make(keysWith("pc-1", secretFor("a")));
    auto data = loggedIn("pc-1", secretFor("a"), "data");
    hub->restart();
    EXPECT_TRUE(data->waitClosed(1000));
}

TEST_F(HubFaults, AConnectionThatBreaksDropsThePcAtOnce) {
    auto o = fastOptions();
    o.silence = std::chrono::milliseconds(3000); // the heartbeat must not be what drops it
    make(keysWith("pc-1", secretFor("a")), o);
    auto a = loggedIn("pc-1", secretFor("a"));
    ASSERT_TRUE(waitFor([&] { return events.size() == 1; }));
    a->abortive();
    EXPECT_TRUE(waitFor([&] { return events.size() == 3; }, 1000));
    EXPECT_TRUE(logged("agent pc-1 lost: closed"));
    EXPECT_FALSE(hub->send("p", "pc-1"));
}

TEST_F(HubFaults, ATamperedLineDropsThePcAtOnce) {
    auto o = fastOptions();
    o.silence = std::chrono::milliseconds(3000);
    make(keysWith("pc-1", secretFor("a")), o);
    auto a = loggedIn("pc-1", secretFor("a"));
    a->sendLine(a->out.seal("a").substr(4));
    EXPECT_TRUE(waitFor([&] { return logged("agent pc-1 lost: closed"); }, 1000));
    // The log line is written on the hub's queue; the main thread hears of the loss just after.
    EXPECT_TRUE(waitFor([&] { return hub->linked().count("pc-1") == 0; }, 1000));
    EXPECT_FALSE(hub->send("p", "pc-1"));
}

TEST_F(HubFaults, StalledSendsDoNotKeepASilentPcForEver) {
    make(keysWith("pc-1", secretFor("a")));
    auto a = loggedIn("pc-1", secretFor("a"));
    // The agent neither reads nor pings; the hub has far more to send than the sockets hold.
    std::string big(4'000'000, 'x');
    for (int i = 0; i < 10; ++i)
        hub->post(big, "pc-1");
    EXPECT_TRUE(waitFor([&] { return logged("agent pc-1 lost: no reply for 5 s"); }, 15000));
}

// A link that stops reading while it still answers: once its sends stall, what it was sending
// fails, once, and the link goes. A data link takes only itself: later lines go over the
// control link.
TEST_F(HubFaults, ALinkThatStopsReadingFailsItsPushAndGoes) {
    struct Case {
        bool data;
        std::string lost;
    };
    const Case cases[] = {
        {true, "agent pc-1 data link dropped: nothing read for 0.5 s"},
        {false, "agent pc-1 lost: nothing read for 0.5 s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lost);
        auto o = fastOptions();
        o.silence = std::chrono::milliseconds(3000); // it answers: silence is not what drops it
        make(keysWith("pc-1", secretFor("a")), o);
        auto ctl = loggedIn("pc-1", secretFor("a"));
        auto data = c.data ? loggedIn("pc-1", secretFor("a"), "data") : nullptr;
        (c.data ? data : ctl)->stopReading();
        std::vector<bool> done;
        hub->postData("c " + std::string(20'000'000, 'x'), "pc-1",
                      [&](bool written) { done.push_back(written); });
        EXPECT_TRUE(waitFor([&] {
            ctl->sendSealed("p");
            return logged(c.lost) && !done.empty();
        }));
        settle(300);
        EXPECT_EQ(done, std::vector<bool>{false});
        if (c.data) {
            hub->postData("C", "pc-1");
            EXPECT_EQ(ctl->readSealedPastPings(), "C");
        }
        hub.reset();
    }
}

TEST_F(HubFaults, TooMuchWaitingToBeSentDropsThePc) {
    auto o = fastOptions();
    o.maxQueued = 2'000'000;
    o.silence = std::chrono::milliseconds(3000);
    make(keysWith("pc-1", secretFor("a")), o);
    auto a = loggedIn("pc-1", secretFor("a"));
    std::string chunk(500'000, 'x');
    for (int i = 0; i < 80; ++i)
        hub->post(chunk, "pc-1");
    EXPECT_TRUE(waitFor(
        [&] { return logged("agent pc-1 lost: more than 2 MB waiting to be sent"); }, 2000));
}

TEST_F(HubFaults, PairingWhoseConnectionClosedStoresNothing) {
    openPairing("123456");
    {
        FakeAgent a("pc-new");
        ASSERT_TRUE(a.connect(port));
        EXPECT_EQ(a.pairStart("123456"), "confirm");
        a.close();
    }
    ASSERT_TRUE(waitFor([&] { return confirms.size() == 1; }));
    settle(100); // the hub sees the end of the connection
    hub->confirmPairing(true);
    ASSERT_TRUE(waitFor([&] { return confirms.size() == 2; }));
    settle(100);
    EXPECT_TRUE(keyUpdates.empty());
    EXPECT_EQ(std::count(events.begin(), events.end(), "paired pc-new"), 0);
    EXPECT_EQ(std::count(events.begin(), events.end(), "left pc-new"), 1); // the user is told
    EXPECT_FALSE(hub->keysNow().secret("pc-new"));
    EXPECT_FALSE(logged("paired pc-new"));
}

TEST_F(HubFaults, ARekeyLostWithItsLinkDoesNotLockThePcOut) {
    PCKeys k;
    k.legacy = secretFor("old");
    k.legacyNames = {"pc-1"};
    make(k);
    std::string fresh;
    {
        FakeAgent a("pc-1");
        ASSERT_TRUE(a.connect(port));
        ASSERT_TRUE(a.login(secretFor("old")));
        EXPECT_EQ(a.readSealed(), "D");
        auto rekey = a.readSealed();
        ASSERT_TRUE(rekey && rekey->rfind("rekey ", 0) == 0);
        fresh = rekey->substr(6);
        a.abortive(); // the agent stored the secret, but its "rekeyed" never arrives
    }
    FakeAgent b("pc-1");
    ASSERT_TRUE(b.connect(port));
    ASSERT_TRUE(b.login(fresh));
    EXPECT_EQ(b.readSealed(), "D");
    ASSERT_TRUE(waitFor([&] { return !keyUpdates.empty(); }));
    EXPECT_EQ(keyUpdates.back().secret("pc-1")->key, fresh);
    EXPECT_FALSE(keyUpdates.back().legacy);
}

// A PC given a secret the next run would not know could never log in again.
TEST_F(HubFaults, APCIsSentItsOwnKeyOnlyOnceItIsStored) {
    for (bool stored : {false, true}) {
        SCOPED_TRACE(stored ? "stored" : "not stored");
        PCKeys k;
        k.legacy = secretFor("old");
        k.legacyNames = {"pc-1"};
        make(k);
        std::vector<PCKeys> kept;
        hub->keepKeys = [&](const PCKeys& keys, std::function<void(bool)> done) {
            kept.push_back(keys);
            done(stored);
        };
        auto a = loggedIn("pc-1", secretFor("old"));
        ASSERT_TRUE(waitFor([&] { return kept.size() == 1; }));
        std::optional<std::string> line = a->readSealedPastPings(300);
        if (!stored) {
            EXPECT_FALSE(line) << "sent " << line.value_or("");
            EXPECT_TRUE(
                logged("pc-1 keeps the older shared secret: its own key couldn't be stored"));
            EXPECT_TRUE(hub->keysNow().secret("pc-1")->legacy);
            continue;
        }
        ASSERT_TRUE(line && line->rfind("rekey ", 0) == 0) << line.value_or("nothing");
        EXPECT_EQ(kept[0].rekeying.at("pc-1"), line->substr(6)) << "what was stored";
        EXPECT_TRUE(kept[0].secret("pc-1")->legacy) << "the old secret holds until \"rekeyed\"";
    }
}

TEST_F(HubFaults, PairingConnectionMayNotFloodAfterItsPairLine) {
    openPairing("123456");
    FakeAgent a("pc-new");
    ASSERT_TRUE(a.connect(port));
    EXPECT_EQ(a.pairStart("123456"), "confirm");
    std::string lines;
    for (int i = 0; i < 4100; ++i)
        lines += "x\n"; // 8,200 bytes, every line ignored
    a.sendRaw(lines);
    EXPECT_TRUE(a.waitClosed(1000));
    EXPECT_TRUE(logged("too much before logging in, closing"));
}

// At quit the last lines must reach the PC before the hub and its sockets are gone, even when
// the PC has just sent something the hub has not read: the PC reads them, then the end.
TEST_F(HubFaults, FinishDeliversWhatWasSentAndThenTheEnd) {
    make(keysWith("pc-1", secretFor("a")));
    auto a = loggedIn("pc-1", secretFor("a"));
    a->sendSealed("p");
    hub->send("r", "pc-1");
    hub->finish(std::chrono::milliseconds(1000));
    EXPECT_EQ(a->readSealedPastPings(), "r");
    EXPECT_TRUE(a->waitClosed(1000));
}

} // namespace
} // namespace helm::test
