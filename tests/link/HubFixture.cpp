#include "link/HubFixture.h"

#include <algorithm>
#include <cstdio>

namespace helm::test {

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "link_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QCoreApplication(argc, argv);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QCoreApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

Hub::Options fastOptions() {
    using std::chrono::milliseconds;
    Hub::Options o;
    o.port = 0;
    o.discoveryPort = 0;
    o.heartbeat = milliseconds(200);
    o.silence = milliseconds(500);
    o.helloWait = milliseconds(500);
    o.pairWait = milliseconds(600);
    o.stall = milliseconds(500);
    return o;
}

std::string secretFor(const std::string& seed) {
    std::string s = fake::hexLower(fake::utf8(seed + "........................"));
    return s.substr(0, 48);
}

PCKeys keysWith(const std::string& name, const std::string& secret) {
    PCKeys k;
    k.set(name, secret);
    return k;
}

void HubFixture::make(PCKeys keys, Hub::Options options) {
    hub = std::make_unique<Hub>(std::move(keys), "Test Mac", "0123456789abcdef", options);
    hub->log = [this](const std::string& line) {
        std::lock_guard<std::mutex> lock(logMutex_);
        log_.push_back(line);
    };
    hub->onChange = [this] { events.push_back("change"); };
    hub->onLost = [this](const std::string& n) { events.push_back("lost " + n); };
    hub->onKeys = [this](const PCKeys& k) {
        events.push_back("keys");
        keyUpdates.push_back(k);
    };
    hub->onPaired = [this](const std::string& n) { events.push_back("paired " + n); };
    hub->onPairLeft = [this](const std::string& n) { events.push_back("left " + n); };
    hub->onConfirm = [this](const std::string& n, const std::optional<std::string>& code) {
        events.push_back("confirm " + n + " " + code.value_or("-"));
        confirms.emplace_back(n, code);
    };
    hub->onProblem = [this](const std::string& p) { problems.push_back(p); };
    hub->onActivity = [this](const std::string& n) { events.push_back("activity " + n); };
    hub->onCapOff = [this](const std::string& n) { events.push_back("capoff " + n); };
    hub->onEdge = [this](const std::string& n, bool right) {
        events.push_back("edge " + n + (right ? " R" : " L"));
    };
    hub->onClip = [this](const std::string& n, std::int64_t number, const std::optional<Clip>&) {
        events.push_back("clip " + n + " " + std::to_string(number));
    };
    hub->onRemoteInput = [this](const std::string& n, const std::string& line) {
        remote.push_back(n + ": " + line);
    };
    hub->fastMove = [this](const std::string& n, std::int64_t dx, std::int64_t dy) {
        char text[96];
        std::snprintf(text, sizeof text, "fast %s %lld %lld", n.c_str(), static_cast<long long>(dx),
                      static_cast<long long>(dy));
        std::lock_guard<std::mutex> lock(logMutex_);
        log_.push_back(text);
        return fastAnswer.load();
    };
    hub->start();
    port = hub->listeningPort();
    ASSERT_NE(port, 0);
}

void HubFixture::TearDown() {
    hub.reset();
}

bool HubFixture::logged(const std::string& line) {
    return loggedCount(line) > 0;
}

int HubFixture::loggedCount(const std::string& line) {
    std::lock_guard<std::mutex> lock(logMutex_);
    return static_cast<int>(std::count(log_.begin(), log_.end(), line));
}

std::vector<std::string> HubFixture::logLines() {
    std::lock_guard<std::mutex> lock(logMutex_);
    return log_;
}

std::unique_ptr<fake::FakeAgent>
HubFixture::loggedIn(const std::string& name, const std::string& secret, const std::string& role) {
    auto a = std::make_unique<fake::FakeAgent>(name);
    EXPECT_TRUE(a->connect(port));
    EXPECT_TRUE(a->login(secret, role));
    if (role == "ctl") {
        EXPECT_EQ(a->readSealed(), "D");
    }
    return a;
}

} // namespace helm::test
