#include "link/HubFixture.h"

namespace helm::test {
namespace {

using fake::FakeAgent;

class HubLogin : public HubFixture {};

TEST_F(HubLogin, HelloOneByteAtATimeLogsIn) {
    make(keysWith("pc-1", secretFor("a")));
    FakeAgent a("pc-1");
    ASSERT_TRUE(a.connect(port));
    for (char ch : a.helloLine(secretFor("a"), "ctl") + "\n")
        a.sendRaw(std::string(1, ch));
    auto ok = a.readLine();
    ASSERT_TRUE(ok);
    EXPECT_TRUE(a.acceptOk(*ok, secretFor("a"), "ctl"));
    EXPECT_EQ(a.readSealed(), "D");
    EXPECT_TRUE(waitFor([&] { return events == std::vector<std::string>{"change"}; }));
    EXPECT_EQ(hub->names(), std::vector<std::string>{"pc-1"});
    EXPECT_TRUE(logged("agent pc-1 connected"));
}

TEST_F(HubLogin, HelloAndSealedLinesInOneSegmentAreAllHandledInOrder) {
    make(keysWith("pc-1", secretFor("a")));
    FakeAgent a("pc-1");
    ASSERT_TRUE(a.connect(port));
    std::string hello = a.helloLine(secretFor("a"), "ctl");
    a.prepareKeys(secretFor("a"), "ctl");
    std::string one = a.out.seal("a");
    std::string two = a.out.seal("e R");
    a.sendRaw(hello + "\n" + one + "\n" + two + "\n");
    auto ok = a.readLine();
    ASSERT_TRUE(ok && a.acceptOk(*ok, secretFor("a"), "ctl"));
    EXPECT_EQ(a.readSealed(), "D");
    EXPECT_TRUE(waitFor([&] { return events.size() >= 3; }));
    EXPECT_EQ(events, (std::vector<std::string>{"change", "activity pc-1", "edge pc-1 R"}));
}

TEST_F(HubLogin, LimitOfBytesBeforeLogin) {
    make(PCKeys());
    FakeAgent keep("pc-1"), close("pc-2");
    ASSERT_TRUE(keep.connect(port));
    ASSERT_TRUE(close.connect(port));
    keep.sendRaw(std::string(8192, 'x'));
    close.sendRaw(std::string(8193, 'x'));
    EXPECT_TRUE(close.waitClosed(2000));
    EXPECT_TRUE(logged("too much before logging in, closing"));
    EXPECT_EQ(loggedCount("too much before logging in, closing"), 1);
    EXPECT_TRUE(keep.connected());
}

TEST_F(HubLogin, ThirtyThirdPendingConnectionIsRefusedUntilOneLeaves) {
    make(PCKeys());
    std::vector<std::unique_ptr<FakeAgent>> agents;
    for (int i = 0; i < 32; ++i) {
        agents.push_back(std::make_unique<FakeAgent>("pc"));
        ASSERT_TRUE(agents.back()->connect(port)) << i;
    }
    FakeAgent extra("pc");
    ASSERT_TRUE(extra.connectOnly(port));
    EXPECT_FALSE(extra.readLine(300)); // no greeting
    EXPECT_TRUE(extra.waitClosed(1000));
    EXPECT_EQ(hub->pendingNow(), 32);
    agents[0]->close();
    EXPECT_TRUE(waitFor([&] { return hub->pendingNow() == 31; }));
    FakeAgent later("pc");
    EXPECT_TRUE(later.connect(port));
}

TEST_F(HubLogin, SilentConnectionIsCancelledAfterTheHelloWait) {
    make(PCKeys());
    FakeAgent a("pc");
    ASSERT_TRUE(a.connect(port));
    EXPECT_EQ(hub->pendingNow(), 1);
    EXPECT_TRUE(a.waitClosed(2000));
    EXPECT_TRUE(waitFor([&] { return hub->pendingNow() == 0; }));
}

TEST_F(HubLogin, MalformedOrUnprovenHellosGetNoAnswer) {
    const std::string s = secretFor("a");
    struct Case {
        const char* what;
        std::function<std::string(FakeAgent&)> hello;
        const char* logLine;
    };
    auto proof = [&](FakeAgent& a, const std::string& role) {
        return fake::proof(s, "agent|" + a.transcriptFor(role));
    };
    std::vector<Case> cases = {
        {"nonce of 31",
         [&](FakeAgent& a) {
             a.nonce = a.nonce.substr(0, 31);
             return a.helloLine(s, "ctl");
         },
         "bad hello"},
        {"nonce of 33",
         [&](FakeAgent& a) {
             a.nonce += "0";
             return a.helloLine(s, "ctl");
         },
         "bad hello"},
        {"upper-case proof",
         [&](FakeAgent& a) {
             std::string p = proof(a, "ctl");
             for (auto& ch : p)
                 ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
             return "h pc-1 " + a.nonce + " " + a.keyText + " " + p + " ctl";
         },
         "agent pc-1 failed the secret check"},
        {"ctl proof sent as data",
         [&](FakeAgent& a) {
             return "h pc-1 " + a.nonce + " " + a.keyText + " " + proof(a, "ctl") + " data";
         },
         "agent pc-1 failed the secret check"},
        {"compressed key",
         [&](FakeAgent& a) {
             a.keyText = a.keyText; // keep the transcript's key text what travels
             std::string k = fake::AgentKey().publicText(true);
             return "h pc-1 " + a.nonce + " " + k + " " + proof(a, "ctl") + " ctl";
         },
         "bad hello"},
        {"off-curve key",
         [&](FakeAgent& a) {
             auto raw = *fake::unbase64(a.keyText);
             raw[64] ^= 1;
             return "h pc-1 " + a.nonce + " " + fake::base64(raw) + " " + proof(a, "ctl") + " ctl";
         },
         "bad hello"},
        {"role word pair", [&](FakeAgent& a) { return a.helloLine(s, "pair"); }, "bad hello"},
        {"unknown PC",
         [&](FakeAgent& a) {
             return "h pc-9 " + a.nonce + " " + a.keyText + " " + proof(a, "ctl") + " ctl";
         },
         "agent pc-9 isn't paired (or was forgotten)"},
        {"wrong secret", [&](FakeAgent& a) { return a.helloLine(secretFor("other"), "ctl"); },
         "agent pc-1 failed the secret check"},
    };
    make(keysWith("pc-1", s));
    for (const auto& c : cases) {
        FakeAgent a("pc-1");
        ASSERT_TRUE(a.connect(port)) << c.what;
        a.sendLine(c.hello(a));
        EXPECT_FALSE(a.readLine(1000)) << c.what; // closed without a word
        EXPECT_FALSE(a.connected()) << c.what;
        EXPECT_TRUE(waitFor([&] { return logged(c.logLine); })) << c.what;
    }
    EXPECT_TRUE(hub->names().empty());
    EXPECT_TRUE(events.empty());
}

TEST_F(HubLogin, DoubledSpacesInTheHelloAreAccepted) {
    make(keysWith("pc-1", secretFor("a")));
    FakeAgent a("pc-1");
    ASSERT_TRUE(a.connect(port));
    std::string p = fake::proof(secretFor("a"), "agent|" + a.transcriptFor("ctl"));
    a.sendLine("h  pc-1  " + a.nonce + "   " + a.keyText + " " + p + "  ctl ");
    auto ok = a.readLine();
    ASSERT_TRUE(ok);
    EXPECT_TRUE(a.acceptOk(*ok, secretFor("a"), "ctl"));
}

TEST_F(HubLogin, LegacyLoginGetsOkThenDisplaysThenRekey) {
    PCKeys k;
    k.legacy = secretFor("old");
    k.legacyNames = {"pc-1"};
    make(k);
    FakeAgent a("pc-1");
    ASSERT_TRUE(a.connect(port));
    ASSERT_TRUE(a.login(secretFor("old")));
    EXPECT_EQ(a.inn.counter(), 0u);
    EXPECT_EQ(a.readSealed(), "D");
    auto rekey = a.readSealed();
    ASSERT_TRUE(rekey);
    EXPECT_EQ(a.inn.counter(), 2u);
    ASSERT_EQ(rekey->substr(0, 6), "rekey ");
    std::string fresh = rekey->substr(6);
    EXPECT_EQ(fresh.size(), 48u);
    a.sendSealed("rekeyed");
    ASSERT_TRUE(waitFor([&] { return !keyUpdates.empty(); }));
    EXPECT_EQ(keyUpdates.back().secret("pc-1")->key, fresh);
    EXPECT_FALSE(keyUpdates.back().legacy);
    a.sendSealed("rekeyed"); // a second one changes nothing
    settle(100);
    EXPECT_EQ(keyUpdates.size(), 1u);

    // The next login needs the new secret and gets no "rekey".
    FakeAgent b("pc-1");
    ASSERT_TRUE(b.connect(port));
    ASSERT_TRUE(b.login(fresh));
    EXPECT_EQ(b.readSealed(), "D");
    b.sendSealed("p");
    for (int i = 0; i < 2; ++i) {
        if (auto line = b.readSealed(300)) {
            EXPECT_EQ(*line, "p"); // pings only
        }
    }
}

TEST_F(HubLogin, DataLinkLogsInQuietly) {
    make(keysWith("pc-1", secretFor("a")));
    FakeAgent d("pc-1");
    ASSERT_TRUE(d.connect(port));
    ASSERT_TRUE(d.login(secretFor("a"), "data"));
    EXPECT_FALSE(d.readLine(300)); // no "D"
    EXPECT_TRUE(logged("agent pc-1 data link up"));
    EXPECT_FALSE(logged("agent pc-1 connected"));
    EXPECT_FALSE(hub->send("p", "pc-1")); // a data link alone does not make a PC connected
    // Nor may it drive the desk: its input is not heard until the control link is up.
    for (const char* line : {"a", "cap off", "L k 30 1", "L m 3 -2", "e R"})
        d.sendSealed(line);
    d.sendSealed("c 7"); // a clip reply still counts
    ASSERT_TRUE(waitFor([&] { return !events.empty(); }));
    EXPECT_EQ(events, std::vector<std::string>{"clip pc-1 7"});
    EXPECT_TRUE(remote.empty());
    EXPECT_FALSE(logged("fast pc-1 3 -2"));
}

TEST_F(HubLogin, SecondControlLoginReplacesTheFirstWithoutLoss) {
    make(keysWith("pc-1", secretFor("a")));
    auto first = loggedIn("pc-1", secretFor("a"));
    ASSERT_TRUE(waitFor([&] { return events.size() == 1; }));
    auto second = loggedIn("pc-1", secretFor("a"));
    EXPECT_TRUE(first->waitClosed(1000));
    EXPECT_TRUE(waitFor([&] { return events.size() == 2; }));
    settle(100);
    EXPECT_EQ(events, (std::vector<std::string>{"change", "change"}));
    EXPECT_TRUE(hub->send("c 1", "pc-1"));
    EXPECT_EQ(second->readSealedPastPings(), "c 1");
}

TEST_F(HubLogin, DispatchOrderAndTheFastPointerRoad) {
    make(keysWith("pc-1", secretFor("a")));
    auto a = loggedIn("pc-1", secretFor("a"));
    a->sendSealed("L m 3 -2"); // taken by the hook
    a->sendSealed("L m 3");    // three tokens: main-thread road, hook not asked
    a->sendSealed("L m x 2");  // not a number: main-thread road
    a->sendSealed("L k 30 1"); // other input
    a->sendSealed("e X");      // not an edge line
    a->sendSealed("cap off");
    ASSERT_TRUE(waitFor([&] { return remote.size() == 3 && events.size() == 2; }));
    EXPECT_EQ(remote, (std::vector<std::string>{"pc-1: m 3", "pc-1: m x 2", "pc-1: k 30 1"}));
    fastAnswer = false; // a declined move takes the main-thread road
    a->sendSealed("L m 5 6");
    ASSERT_TRUE(waitFor([&] { return remote.size() == 4; }));
    EXPECT_EQ(remote.back(), "pc-1: m 5 6");
    EXPECT_EQ(loggedCount("fast pc-1 3 -2"), 1);
    EXPECT_EQ(loggedCount("fast pc-1 5 6"), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"change", "capoff pc-1"}));
}

TEST_F(HubLogin, TamperedLineClosesTheLink) {
    make(keysWith("pc-1", secretFor("a")));
    auto a = loggedIn("pc-1", secretFor("a"));
    a->sendLine(a->out.seal("a") + "x");
    EXPECT_TRUE(a->waitClosed(1000));
    EXPECT_TRUE(logged("pc-1: a message failed the encryption check, closing"));
}

} // namespace
} // namespace helm::test
