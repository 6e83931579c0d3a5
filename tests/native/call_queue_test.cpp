// The queue of calls that other threads hand to a window's thread, driven
// from one thread; threads_test.cpp drives it from several.
#include "framework/call_queue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A window thread played by the test: wake-ups are counted, and may fail.
struct Window {
    int wakes = 0;
    bool wakeFails = false;
    std::shared_ptr<fw::CallQueue> queue = std::make_shared<fw::CallQueue>([this] {
        ++wakes;
        return !wakeFails;
    });
};

TEST(CallQueue, ACallThatOpensAModalLoopIsNotOvertakenByLaterCalls) {
    Window w;
    std::string order;
    w.queue->post([&] {
        order += "A";
        // A message box's loop drains the queue while it is open.
        w.queue->post([&] { order += "C"; });
        w.queue->drain();
    });
    w.queue->post([&] { order += "B"; });
    w.queue->drain();
    EXPECT_EQ(order, "ABC");
    EXPECT_FALSE(w.queue->pending());
}

TEST(CallQueue, WakesOncePerDrainAgainForCallsPostedWhileItRunsAndAfterAFailedWakeUp) {
    Window w;
    int runs = 0;
    w.queue->post([&] { ++runs; });
    w.queue->post([&] { ++runs; });
    EXPECT_EQ(w.wakes, 1) << "one wake-up while one is pending";
    w.queue->post([&] {
        ++runs;
        w.queue->post([&] { ++runs; });
    });
    w.queue->drain();
    EXPECT_EQ(runs, 3) << "a call posted during the drain waits for the next one";
    EXPECT_EQ(w.wakes, 2);
    w.queue->drain();
    EXPECT_EQ(runs, 4);

    w.wakeFails = true;
    w.queue->post([&] { ++runs; });
    EXPECT_EQ(w.wakes, 3);
    w.wakeFails = false;
    w.queue->post([&] { ++runs; });
    EXPECT_EQ(w.wakes, 4) << "the queue is not stuck waiting for a wake-up that never came";
    w.queue->drain();
    EXPECT_EQ(runs, 6);
}

TEST(CallQueue, ClosedQueueDropsQueuedAndLaterCalls) {
    Window w;
    int runs = 0;
    w.queue->post([&] { ++runs; });
    w.queue->close();
    EXPECT_FALSE(w.queue->post([&] { ++runs; }));
    w.queue->drain();
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(w.queue->pending());
}

} // namespace
