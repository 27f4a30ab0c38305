#include "link/HubFixture.h"

#include <algorithm>

namespace helm::test {
namespace {

using fake::FakeAgent;

class HubPairing : public HubFixture {};

bool isLowerHex48(const std::string& s) {
    return s.size() == 48 && std::all_of(s.begin(), s.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

TEST_F(HubPairing, EndToEndThenLoginWithTheNewSecret) {
    openPairing("123456");
    FakeAgent a("pc-new");
    ASSERT_TRUE(a.connect(port));
    EXPECT_EQ(a.pairStart("123456"), "confirm");
    ASSERT_TRUE(waitFor([&] { return confirms.size() == 1; }));
    EXPECT_EQ(confirms[0].first, "pc-new");
    EXPECT_EQ(confirms[0].second, a.checkCodeShown()); // both sides show the same code
    EXPECT_TRUE(logged("pair from pc-new: waiting for the check code " + a.checkCodeShown()));

    // The code worked once: a second PC is told pairing is closed.
    FakeAgent b("pc-other");
    ASSERT_TRUE(b.connect(port));
    EXPECT_EQ(b.pairStart("123456"), "no closed");
    EXPECT_TRUE(b.waitClosed());

    hub->confirmPairing(true);
    std::string error;
    auto paired = a.pairFinish("123456", &error);
    ASSERT_TRUE(paired) << error;
    EXPECT_TRUE(isLowerHex48(paired->secret));
    EXPECT_EQ(paired->hubId, "0123456789abcdef");
    EXPECT_TRUE(a.waitClosed());
    ASSERT_TRUE(waitFor([&] { return events.size() >= 4; }));
    EXPECT_EQ(events, (std::vector<std::string>{"confirm pc-new " + a.checkCodeShown(),
                                                "confirm pc-new -", "keys", "paired pc-new"}));
    EXPECT_EQ(keyUpdates.back().secret("pc-new")->key, paired->secret);
    EXPECT_TRUE(logged("paired pc-new"));

    FakeAgent c("pc-new");
    ASSERT_TRUE(c.connect(port));
    EXPECT_TRUE(c.login(paired->secret));
    EXPECT_EQ(c.readSealed(), "D");
}

TEST_F(HubPairing, WrongCodesCountUntilFive) {
    openPairing("111111");
    auto attempt = [&](const std::string& code) {
        FakeAgent a("pc-x");
        EXPECT_TRUE(a.connect(port));
        auto reply = a.pairStart(code);
        return reply.value_or("(none)");
    };
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(attempt("222222"), "no wrong");
    EXPECT_EQ(attempt("111111"), "confirm"); // the fifth try is the right one
    EXPECT_TRUE(problems.empty());
    hub->confirmPairing(false);

    // A new code, then three wrong, then the same code set again resets the count.
    hub->setPairCode("333333");
    hub->names(); // the code is in place before the next probe or hello
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(attempt("000000"), "no wrong");
    hub->setPairCode("333333");
    hub->names(); // the code is in place before the next probe or hello
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(attempt("000000"), "no wrong");
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(attempt("000000"), "no wrong"); // the fifth
    EXPECT_TRUE(logged("pairing closed after 5 wrong codes"));
    EXPECT_TRUE(logged("pair from pc-x: wrong code (5)"));
    EXPECT_EQ(attempt("333333"), "no closed");
    ASSERT_TRUE(waitFor([&] { return problems.size() == 1; }));
    EXPECT_EQ(problems[0], "Pairing stopped after 5 wrong codes. Press New code to try again.");
}

TEST_F(HubPairing, ACodeOfferedAgainOpensNothingOnceAPCUsedItOrItWasGuessedAt) {
    // A PC that proves the code spends it, however its pairing ends after that.
    for (const char* tried : {"123456", "000000"}) {
        SCOPED_TRACE(tried);
        openPairing("123456");
        for (int i = 0; i < (tried == std::string("123456") ? 1 : 5); ++i) {
            FakeAgent a("pc-a");
            ASSERT_TRUE(a.connect(port));
            EXPECT_NE(a.pairStart(tried), "no closed");
        }
        hub->confirmPairing(false);
        hub->setPairCode("123456"); // a page that still shows the code offers it again
        hub->names();
        FakeAgent b("pc-b");
        ASSERT_TRUE(b.connect(port));
        EXPECT_EQ(b.pairStart("123456"), "no closed");
        EXPECT_TRUE(logged("pairing code already used: pairing stays closed"));
        hub.reset();
    }
}

TEST_F(HubPairing, UnansweredCheckCodeIsRejectedAfterTheWait) {
    openPairing("123456");
    FakeAgent a("pc-new");
    ASSERT_TRUE(a.connect(port));
    EXPECT_EQ(a.pairStart("123456"), "confirm");
    EXPECT_EQ(a.readLine(2000), "no rejected"); // the wait is 600 ms in these tests
    EXPECT_TRUE(a.waitClosed());
    ASSERT_TRUE(waitFor([&] { return confirms.size() == 2; }));
    EXPECT_EQ(confirms[1].second, std::nullopt);
    EXPECT_TRUE(logged("pair from pc-new: check code not confirmed"));
    EXPECT_TRUE(keyUpdates.empty());
}

TEST_F(HubPairing, ANewerPairingReplacesTheWaitingOne) {
    openPairing("123456");
    FakeAgent a("pc-a"), b("pc-b");
    ASSERT_TRUE(a.connect(port));
    EXPECT_EQ(a.pairStart("123456"), "confirm");
    hub->setPairCode("654321");
    hub->names(); // the code is in place before the next probe or hello
    ASSERT_TRUE(b.connect(port));
    EXPECT_EQ(b.pairStart("654321"), "confirm");
    EXPECT_EQ(a.readLine(), "no rejected");
    hub->confirmPairing(true);
    EXPECT_TRUE(b.pairFinish("654321"));
}

TEST_F(HubPairing, PairingAgainDropsTheOldControlLink) {
    make(keysWith("pc-1", secretFor("a")));
    auto old = loggedIn("pc-1", secretFor("a"));
    hub->setPairCode("123456");
    hub->names(); // the code is in place before the next probe or hello
    FakeAgent a("pc-1");
    ASSERT_TRUE(a.connect(port));
    EXPECT_EQ(a.pairStart("123456"), "confirm");
    hub->confirmPairing(true);
    EXPECT_TRUE(a.pairFinish("123456"));
    EXPECT_TRUE(old->waitClosed());
    EXPECT_TRUE(waitFor([&] { return logged("agent pc-1 lost: paired again"); }));
}

TEST_F(HubPairing, APCIsPairedOnlyOnceItsKeyIsStored) {
    for (bool stored : {true, false}) {
        SCOPED_TRACE(stored ? "stored" : "not stored");
        events.clear();
        openPairing("123456");
        std::vector<PCKeys> kept;
        hub->keepKeys = [&](const PCKeys& k, std::function<void(bool)> done) {
            kept.push_back(k);
            if (done)
                done(stored);
        };
        FakeAgent a("pc-new");
        ASSERT_TRUE(a.connect(port));
        ASSERT_EQ(a.pairStart("123456"), "confirm");
        hub->confirmPairing(true);
        std::string error;
        auto paired = a.pairFinish("123456", &error);
        ASSERT_EQ(1u, kept.size());
        ASSERT_TRUE(kept[0].secret("pc-new"));
        waitFor([&] { return stored ? events.back() == "paired pc-new" : !problems.empty(); });
        if (stored) { // the PC was told what had been stored
            ASSERT_TRUE(paired) << error;
            EXPECT_EQ(kept[0].secret("pc-new")->key, paired->secret);
        } else {
            EXPECT_EQ("reply: no rejected", error);
            EXPECT_EQ(events.end(), std::find(events.begin(), events.end(), "paired pc-new"));
            EXPECT_FALSE(hub->keysNow().secret("pc-new"));
            EXPECT_EQ(1u, problems.size());
        }
    }
}

} // namespace
} // namespace helm::test
