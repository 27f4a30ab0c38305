#include "platform/SerialQueue.h"
#include "platform/OnMain.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

using namespace helm;

namespace {

// Event loops need the application object, in the program and here.
struct WithApp : ::testing::Test {
    int argc = 1;
    char name[5] = "test";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
};

} // namespace

TEST_F(WithApp, SerialQueueRunsPostedWorkInOrderOnItsOwnThread) {
    std::vector<int> order;
    std::atomic<bool> allOnQueue = true;
    {
        SerialQueue queue("test.queue");
        EXPECT_FALSE(queue.isCurrent());
        for (int i = 0; i < 500; ++i) {
            queue.post([&, i] {
                allOnQueue = allOnQueue && queue.isCurrent();
                order.push_back(i); // only the queue touches order
            });
        }
    } // the destructor finishes the posted work first
    ASSERT_EQ(500u, order.size());
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(i, order[static_cast<std::size_t>(i)]);
    }
    EXPECT_TRUE(allOnQueue);
}

TEST_F(WithApp, SerialQueueSyncWaitsAndMayBeCalledFromTheQueueItself) {
    SerialQueue queue("test.queue");
    int value = 0;
    queue.post([&] { value = 1; });
    queue.sync([&] { value *= 10; }); // runs after the posted work
    EXPECT_EQ(10, value);

    bool inner = false;
    queue.sync([&] { queue.sync([&] { inner = queue.isCurrent(); }); });
    EXPECT_TRUE(inner);
}

TEST_F(WithApp, OnMainBringsWorkFromAnyThreadToTheMainLoop) {
    EXPECT_TRUE(isMainThread());

    SerialQueue queue("test.queue");
    std::atomic<int> ranOnMain = 0;
    std::atomic<bool> queueIsNotMain = false;
    for (int i = 0; i < 10; ++i) {
        queue.post([&] {
            queueIsNotMain = !isMainThread();
            onMain([&] {
                if (isMainThread()) {
                    ++ranOnMain;
                }
            });
        });
    }
    QElapsedTimer clock;
    clock.start();
    while (ranOnMain < 10 && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ(10, ranOnMain);
    EXPECT_TRUE(queueIsNotMain);
}
