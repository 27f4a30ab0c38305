#include "platform/TermSignal.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <csignal>

using namespace helm;

TEST(TermSignal, SigtermBecomesACallOnTheEventLoop) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    int calls = 0;
    TermSignal term([&] {
        ++calls;
        QCoreApplication::quit();
    });
    ASSERT_TRUE(term.ok());
    // Two signals before the loop runs still end it in order; the process survives both.
    raise(SIGTERM);
    raise(SIGTERM);
    EXPECT_EQ(0, calls); // nothing runs inside the signal handler
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(0, QCoreApplication::exec());
    EXPECT_GE(calls, 1);
}
