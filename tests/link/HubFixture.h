#pragma once
// A hub on ephemeral loopback ports with short timers, and a record of what it reported.
#include "link/Hub.h"
#include "support/FakeAgent.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <vector>

namespace helm::test {

// Timers a tenth of their real length.
Hub::Options fastOptions();

class HubFixture : public ::testing::Test {
protected:
    void TearDown() override;
    // A started hub with the given keys; its callbacks record into the fields below.
    void make(PCKeys keys, Hub::Options options = fastOptions());
    // A hub with no keys whose pairing is open with `code`, in place before the next hello.
    void openPairing(const std::string& code) {
        make(PCKeys());
        hub->setPairCode(code);
        hub->names();
    }
    // Runs the main thread's events until cond holds or ms pass.
    template <class F> bool waitFor(F cond, int ms = 3000) {
        QElapsedTimer clock;
        clock.start();
        while (!cond()) {
            if (clock.elapsed() > ms)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }
    void settle(int ms) {
        waitFor([] { return false; }, ms);
    }
    bool logged(const std::string& line);
    int loggedCount(const std::string& line);
    std::vector<std::string> logLines();
    // A logged-in control link for a PC with its own secret.
    std::unique_ptr<fake::FakeAgent> loggedIn(const std::string& name, const std::string& secret,
                                              const std::string& role = "ctl");

    std::unique_ptr<Hub> hub;
    std::uint16_t port = 0;
    std::vector<std::string> events; // main-thread callbacks, in order
    std::vector<std::pair<std::string, std::optional<std::string>>> confirms;
    std::vector<PCKeys> keyUpdates;
    std::vector<std::string> problems;
    std::vector<std::string> remote;
    std::atomic<bool> fastAnswer{true}; // what the fast-move hook answers; it logs "fast …"

private:
    std::mutex logMutex_;
    std::vector<std::string> log_;
};

// 48 lowercase hex characters.
std::string secretFor(const std::string& seed);
PCKeys keysWith(const std::string& name, const std::string& secret);

} // namespace helm::test
