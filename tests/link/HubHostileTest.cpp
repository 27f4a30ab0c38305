// What a hostile or careless PC can do to the hub: hold descriptors, send endless lines, run
// the machine out of files, keep the hub's queue busy while the main thread needs it.
#include "link/HubFixture.h"

#include <sys/resource.h>
#include <unistd.h>

#include <future>

namespace helm::test {
namespace {

using fake::FakeAgent;
using namespace std::chrono_literals;

class HubHostile : public HubFixture {};

TEST_F(HubHostile, AnsweredPairingConnectionsCountUntilTheyCloseSoonAfter) {
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        {std::nullopt, "no closed"},
        {"654321", "no wrong"},
    };
    for (const auto& [code, answer] : cases) {
        auto o = fastOptions();
        o.helloWait = 3000ms; // far longer than the wait for the peer to close
        o.linger = 300ms;
        make(PCKeys(), o);
        hub->setPairCode(code);
        FakeAgent a("pc-a"), b("pc-b");
        ASSERT_TRUE(a.connect(port));
        ASSERT_TRUE(b.connect(port));
        EXPECT_EQ(a.pairStart("123456"), answer);
        EXPECT_EQ(b.pairStart("123456"), answer);
        EXPECT_EQ(hub->pendingNow(), 2) << answer; // still holding descriptors
        EXPECT_TRUE(a.waitClosed(1000)) << answer;
        EXPECT_TRUE(b.waitClosed(1000)) << answer;
        EXPECT_TRUE(waitFor([&] { return hub->pendingNow() == 0; }, 1000)) << answer;
        hub.reset();
    }
}

TEST_F(HubHostile, AnOverlongLineDropsThePcAtOnceWithThatReason) {
    auto o = fastOptions();
    o.silence = 3000ms; // the heartbeat must not be what drops it
    o.maxLine = 65'536;
    make(keysWith("pc-1", secretFor("a")), o);
    auto a = loggedIn("pc-1", secretFor("a"));
    a->sendRaw(std::string(70'000, 'x'));
    EXPECT_TRUE(waitFor([&] { return logged("agent pc-1 lost: line too long"); }, 1000));
    EXPECT_TRUE(a->waitClosed(1000));
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#elif defined(__has_feature)
constexpr bool sanitized = __has_feature(address_sanitizer);
#else
constexpr bool sanitized = false;
#endif

TEST_F(HubHostile, AcceptingResumesAfterRunningOutOfDescriptors) {
    if (sanitized)
        GTEST_SKIP() << "the sanitizers need descriptors of their own to check memory";
    auto o = fastOptions();
    o.acceptPause = 200ms;
    make(PCKeys(), o);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = std::min<rlim_t>(saved.rlim_cur, 1024); // keeps the filling short
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> filler;
    for (int fd = dup(0); fd >= 0; fd = dup(0))
        filler.push_back(fd);
    ASSERT_FALSE(filler.empty());
    close(filler.back()); // one left: the client's own socket
    filler.pop_back();
    FakeAgent a("pc-1");
    bool connected = a.connectOnly(port);
    bool refused = waitFor(
        [&] { return !logLines().empty() && logLines().back().rfind("can't accept", 0) == 0; },
        1000);
    for (int fd : filler)
        close(fd);
    setrlimit(RLIMIT_NOFILE, &saved);
    ASSERT_TRUE(connected);
    EXPECT_TRUE(refused);
    auto greeting = a.readLine(2000); // accepted once the pause is over
    ASSERT_TRUE(greeting);
    EXPECT_EQ(greeting->rfind("n ", 0), 0u);
}

TEST_F(HubHostile, TheMainThreadNeverWaitsForABusyHub) {
    std::promise<void> go;
    std::shared_future<void> released = go.get_future().share();
    std::atomic<bool> inside{false}, timedOut{false};
    std::vector<std::set<std::string>> linkedAtChange;
    hub = std::make_unique<Hub>(keysWith("pc-1", secretFor("a")), "Mac", "0123456789abcdef",
                                fastOptions());
    hub->fastMove = [&](const std::string&, std::int64_t, std::int64_t) {
        inside = true; // the hub's queue is stuck here until the test lets go
        timedOut = released.wait_for(3s) == std::future_status::timeout;
        return true;
    };
    hub->onChange = [&] { linkedAtChange.push_back(hub->linked()); };
    hub->start();
    port = hub->listeningPort();
    auto a = loggedIn("pc-1", secretFor("a"));
    ASSERT_TRUE(waitFor([&] { return linkedAtChange.size() == 1; }));
    EXPECT_EQ(linkedAtChange[0], std::set<std::string>{"pc-1"});
    a->sendSealed("L m 1 2");
    ASSERT_TRUE(waitFor([&] { return inside.load(); }));
    EXPECT_TRUE(hub->send("p", "pc-1"));
    EXPECT_FALSE(hub->send("p", "pc-2"));
    go.set_value();
    EXPECT_FALSE(timedOut); // send came back while the queue was still stuck
    a->close();
    ASSERT_TRUE(waitFor([&] { return linkedAtChange.size() == 2; }));
    EXPECT_TRUE(linkedAtChange[1].empty());
    hub.reset(); // before what its hooks refer to
}

} // namespace
} // namespace helm::test
