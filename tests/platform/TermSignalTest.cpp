#include "platform/TermSignal.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <csignal>

using namespace helm;

TEST(TermSignal, EachEndingSignalBecomesACallOnTheEventLoop) {
    ASSERT_TRUE(TermSignal::install());
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    for (int signal : {SIGINT, SIGHUP, SIGTERM}) {
        std::vector<int> calls;
        TermSignal term([&](int s) {
            calls.push_back(s);
            QCoreApplication::quit();
        });
        ASSERT_TRUE(term.ok());
        // Two signals before the loop runs still end it in order; the process survives both.
        raise(signal);
        raise(signal);
        EXPECT_TRUE(calls.empty()); // nothing runs inside the signal handler
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        EXPECT_EQ(0, QCoreApplication::exec()) << TermSignal::name(signal);
        EXPECT_EQ(std::vector<int>{signal}, calls) << TermSignal::name(signal);
    }
}
