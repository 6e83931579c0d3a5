// The queue of calls that other threads hand to a window's thread.
#include "framework/call_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

// A window thread played by the test: wake-ups are counted, and may fail.
// Two posting threads may wake at the same time.
struct Window {
    std::atomic<int> wakes{0};
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

TEST(CallQueue, WakesOncePerDrainAndAgainForCallsPostedWhileItRuns) {
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
}

TEST(CallQueue, AFailedWakeUpIsTriedAgainByTheNextPost) {
    Window w;
    int runs = 0;
    w.wakeFails = true;
    w.queue->post([&] { ++runs; });
    EXPECT_EQ(w.wakes, 1);
    w.wakeFails = false;
    w.queue->post([&] { ++runs; });
    EXPECT_EQ(w.wakes, 2) << "the queue is not stuck waiting for a wake-up that never came";
    w.queue->drain();
    EXPECT_EQ(runs, 2);
}

TEST(CallQueue, ClosedQueueDropsQueuedAndLaterCalls) {
    Window w;
    int runs = 0;
    w.queue->post([&] { ++runs; });
    w.queue->close();
    EXPECT_FALSE(w.queue->post([&] { ++runs; }));
    w.queue->drain();
    EXPECT_EQ(runs, 0);
}

TEST(CallQueue, CallsFromManyThreadsEachRunOnceInTheirThreadsOrder) {
    Window w;
    constexpr int kThreads = 4;
    constexpr int kCalls = 2000;
    std::vector<std::vector<int>> seen(kThreads);
    std::vector<std::thread> producers;
    for (int t = 0; t < kThreads; ++t) {
        producers.emplace_back([&, t] {
            for (int i = 0; i < kCalls; ++i) {
                w.queue->post([&seen, t, i] { seen[t].push_back(i); });
            }
        });
    }
    // The window thread drains while the producers post.
    std::size_t total = 0;
    while (total < std::size_t(kThreads * kCalls)) {
        w.queue->drain();
        total = 0;
        for (const std::vector<int>& s : seen) {
            total += s.size();
        }
    }
    for (std::thread& p : producers) {
        p.join();
    }
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(seen[t].size(), std::size_t(kCalls));
        for (int i = 0; i < kCalls; ++i) {
            ASSERT_EQ(seen[t][i], i) << "thread " << t;
        }
    }
}

} // namespace
