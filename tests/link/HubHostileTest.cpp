// What a hostile PC can do to the hub: hold descriptors, send endless lines, run the machine
// out of files, keep the hub's queue busy while the main thread needs it.
#include "link/HubFixture.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <future>
#include <thread>

namespace helm::test {
namespace {

using namespace std::chrono_literals;

class HubHostile : public HubFixture {};

TEST_F(HubHostile, AnsweredPairingConnectionsCountUntilClosed) {
    for (const char* code : {"", "654321"}) { // pairing closed, then a wrong code
        make(PCKeys());
        hub->setPairCode(*code ? std::optional<std::string>(code) : std::nullopt);
        fake::FakeAgent a("pc-a"), b("pc-b");
        ASSERT_TRUE(a.connect(port) && b.connect(port));
        a.sendLine(a.pairLine("123456"));
        b.sendLine(b.pairLine("123456"));
        // Both answered, and neither agent has run since to see the hub's close: this thread's
        // events are left alone until then, as running them would let the agents close.
        auto answered = [&](const std::string& name) {
            const auto lines = logLines();
            return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
                return l.rfind("pair from " + name + ": ", 0) == 0;
            });
        };
        for (int i = 0; i < 300 && !(answered("pc-a") && answered("pc-b")); ++i)
            std::this_thread::sleep_for(10ms);
        EXPECT_EQ(hub->pendingNow(), 2) << code;
        EXPECT_EQ(a.readLine(), *code ? "no wrong" : "no closed");
        EXPECT_TRUE(waitFor([&] { return hub->pendingNow() == 0; }, 2000)) << code;
        hub.reset();
    }
}

TEST_F(HubHostile, AnOverlongLineDropsThePcAtOnce) {
    auto o = fastOptions();
    o.silence = 3000ms; // the heartbeat must not be what drops it
    o.maxLine = 65'536;
    make(keysWith("pc-1", secretFor("a")), o);
    auto a = loggedIn("pc-1", secretFor("a"));
    a->sendRaw(std::string(70'000, 'x'));
    EXPECT_TRUE(waitFor([&] { return logged("agent pc-1 lost: line too long"); }, 1000));
}

TEST_F(HubHostile, APcThatNeverReadsIsDroppedOnceItsLinesPassTheBound) {
    auto o = fastOptions();
    o.silence = o.stall = 5000ms; // neither the heartbeat nor a stall may be what drops it
    o.maxQueued = 12'000'000;
    make(keysWith("pc-1", secretFor("a")), o);
    auto a = loggedIn("pc-1", secretFor("a"));
    fake::FakeAgent data("pc-1");
    ASSERT_TRUE(data.connect(port) && data.login(secretFor("a"), "data"));
    a->stopReading();
    data.stopReading();
    // Long lines: the sockets take some; the rest waits behind the one that is stuck. Once the
    // PC is gone a line has nowhere to go and is never reported, so posting stops there.
    const std::string clip(4'000'000, 'x');
    std::vector<int> done;
    std::size_t posted = 0;
    for (; posted < 20 && !hub->names().empty(); ++posted)
        hub->postData(clip, "pc-1", [&done](bool written) { done.push_back(written); });
    EXPECT_LT(posted, 20u);
    EXPECT_TRUE(waitFor([&] { return done.size() == posted; }, 3000)) << done.size();
    EXPECT_TRUE(logged("agent pc-1 data link dropped: more than 12 MB waiting to be sent"));
    EXPECT_TRUE(logged("agent pc-1 lost: more than 12 MB waiting to be sent"));
    ASSERT_FALSE(done.empty());
    EXPECT_FALSE(done.back());
}

TEST_F(HubHostile, AcceptingResumesAfterRunningOutOfDescriptors) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizers need descriptors of their own to check memory";
#endif
    auto o = fastOptions();
    o.acceptPause = 200ms;
    make(PCKeys(), o);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = std::min<rlim_t>(saved.rlim_cur, 1024); // keeps the filling short
    setrlimit(RLIMIT_NOFILE, &low);
    std::vector<int> filler;
    for (int fd = dup(0); fd >= 0; fd = dup(0))
        filler.push_back(fd);
    close(filler.back()); // one left: the client's own socket
    filler.pop_back();
    fake::FakeAgent a("pc-1");
    bool connected = a.connectOnly(port);
    settle(100); // the hub fails to accept it
    for (int fd : filler)
        close(fd);
    setrlimit(RLIMIT_NOFILE, &saved);
    ASSERT_TRUE(connected);
    auto greeting = a.readLine(2000); // accepted once the pause is over
    EXPECT_EQ(greeting.value_or("").rfind("n ", 0), 0u);
}

TEST_F(HubHostile, TheMainThreadNeverWaitsForABusyHub) {
    std::promise<void> go;
    std::shared_future<void> released = go.get_future().share();
    std::atomic<bool> inside{false}, timedOut{false};
    std::vector<std::set<std::string>> linkedAtChange;
    hub = std::make_unique<Hub>(keysWith("pc-1", secretFor("a")), "Mac", "id", fastOptions());
    hub->fastMove = [&](const std::string&, std::int64_t, std::int64_t) {
        inside = true; // the hub's queue is stuck here until the test lets go
        timedOut = released.wait_for(3s) == std::future_status::timeout;
        return true;
    };
    hub->onChange = [&] { linkedAtChange.push_back(hub->linked()); };
    hub->start();
    port = hub->listeningPort();
    auto a = loggedIn("pc-1", secretFor("a"));
    a->sendSealed("L m 1 2");
    ASSERT_TRUE(waitFor([&] { return inside && linkedAtChange.size() == 1; }));
    EXPECT_TRUE(hub->send("p", "pc-1"));
    go.set_value();
    EXPECT_FALSE(timedOut); // send came back while the queue was still stuck
    a->close();
    ASSERT_TRUE(waitFor([&] { return linkedAtChange.size() == 2; }));
    EXPECT_EQ(linkedAtChange, (std::vector<std::set<std::string>>{{"pc-1"}, {}}));
    hub.reset(); // before what its hooks refer to
}

} // namespace
} // namespace helm::test
