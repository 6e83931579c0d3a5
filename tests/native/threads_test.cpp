// The window's call queue, driven from one thread and from several, and
// the output feed under real threads: workers hand over text and calls
// while the window thread drains, as runs started one after another do.
// Built under ThreadSanitizer too (build/tsan), where any data race fails
// the test.
#include "framework/call_queue.h"
#include "run/loader_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// The window thread played by the test itself; wake-ups are counted, and
// fail while `wakeFails`.
TEST(CallQueue, RunsCallsInOrderAndWakesOncePerDrainAgainForLaterCallsAndAfterAFailedWakeUp) {
    int wakes = 0;
    bool wakeFails = false;
    const auto queue = std::make_shared<fw::CallQueue>([&] {
        ++wakes;
        return !wakeFails;
    });
    std::string order;
    queue->post([&] {
        order += "A";
        // A message box's loop drains the queue while it is open: a call
        // posted meanwhile does not overtake the ones already waiting.
        queue->post([&] { order += "C"; });
        queue->drain();
    });
    queue->post([&] { order += "B"; });
    EXPECT_EQ(wakes, 1) << "one wake-up while one is pending";
    queue->drain();
    EXPECT_EQ(order, "ABC");
    EXPECT_EQ(wakes, 2) << "a call posted during the drain gets a wake-up of its own";

    queue->post([&] {
        order += "D";
        queue->post([&] { order += "E"; });
    });
    queue->drain();
    EXPECT_EQ(order, "ABCD") << "a call posted during the drain waits for the next one";
    queue->drain();
    EXPECT_EQ(order, "ABCDE");

    wakeFails = true;
    queue->post([&] { order += "F"; });
    EXPECT_EQ(wakes, 5);
    wakeFails = false;
    queue->post([&] { order += "G"; });
    EXPECT_EQ(wakes, 6) << "the queue is not stuck waiting for a wake-up that never came";
    queue->drain();
    EXPECT_EQ(order, "ABCDEFG");

    queue->post([&] { order += "H"; });
    queue->close();
    EXPECT_FALSE(queue->post([&] { order += "I"; }));
    queue->drain();
    EXPECT_EQ(order, "ABCDEFG") << "a closed queue drops queued and later calls";
    EXPECT_FALSE(queue->pending());
}

// The window's thread, played by the test's own thread: it sleeps until a
// wake-up arrives and then drains the queue, as a message loop does.
class WindowThread {
public:
    std::shared_ptr<fw::CallQueue> queue = std::make_shared<fw::CallQueue>([this] {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            woken_ = true;
        }
        wake_.notify_one();
        return true;
    });

    // Drains on every wake-up until `done` holds (at most a minute). False
    // when it never did, or when no wake-up came for a second while calls
    // were waiting: a lost wake-up would leave a real window idle with work
    // queued.
    template <typename Done> bool serveUntil(Done done) {
        const auto end = std::chrono::steady_clock::now() + 60s;
        while (!done()) {
            std::unique_lock<std::mutex> lock(mutex_);
            if (std::chrono::steady_clock::now() > end ||
                (!wake_.wait_for(lock, 1s, [this] { return woken_; }) && queue->pending())) {
                return false;
            }
            woken_ = false;
            lock.unlock();
            queue->drain();
        }
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool woken_ = false;
};

// A worker's numbered piece: its letter and five digits, "b00042".
std::string piece(int worker, int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%c%05d", 'a' + worker, number);
    return text;
}

// Starts `workers` threads that each hand over `pieces` numbered pieces
// through `give`, serves the window until `pane` holds them all, and checks
// that it holds each worker's pieces once each and in the order given.
template <typename Give>
void expectEachPieceOnceInOrder(WindowThread& window, const std::string& pane, Give give, int workers = 4,
                                int pieces = 3000) {
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w) {
        threads.emplace_back([give, w, pieces] {
            for (int i = 0; i < pieces; ++i)
                give(w, piece(w, i));
        });
    }
    const std::size_t bytes = std::size_t(6 * workers * pieces);
    const bool served = window.serveUntil([&] { return pane.size() >= bytes; });
    for (std::thread& t : threads)
        t.join();
    ASSERT_TRUE(served) << "the window thread was left waiting; " << pane.size() << " of " << bytes << " bytes";
    ASSERT_EQ(pane.size(), bytes);
    std::vector<int> next(std::size_t(workers), 0);
    for (std::size_t at = 0; at < pane.size(); at += 6) {
        const int w = pane[at] - 'a';
        ASSERT_TRUE(w >= 0 && w < workers && pane.compare(at, 6, piece(w, next[std::size_t(w)]++)) == 0)
            << "byte " << at << ": " << pane.substr(at, 6);
    }
}

// An output pane on the window thread: what the feed appends and reports,
// with the calls that came off the window thread or after it closed.
struct ThreadPane {
    int misplaced() const { return closed || std::this_thread::get_id() != windowId ? 1 : 0; }

    WindowThread window;
    std::string text;
    std::vector<std::string> reports;
    std::atomic<bool> closed{false};
    std::atomic<int> wrongCalls{0};
    const std::thread::id windowId = std::this_thread::get_id();
    std::shared_ptr<run::OutputFeed> feed = std::make_shared<run::OutputFeed>(
        window.queue,
        [this](const std::string& t) {
            wrongCalls += misplaced();
            text += t;
        },
        [this](const std::string& message) {
            wrongCalls += misplaced();
            reports.push_back(message);
        });
};

TEST(CallQueueThreads, WorkersAndAWakeDrivenWindowLoseNoCallAndNoWakeUp) {
    WindowThread window;
    std::string pane;
    expectEachPieceOnceInOrder(
        window, pane, [&](int, const std::string& p) { EXPECT_TRUE(window.queue->post([&pane, p] { pane += p; })); });
}

TEST(OutputFeedThreads, PiecesFromSeveralWorkersArriveOnceEachInOrderOnTheWindowThread) {
    ThreadPane pane;
    expectEachPieceOnceInOrder(pane.window, pane.text, [&](int w, const std::string& p) {
        pane.feed->show(p);
        if (p == piece(w, 1500))
            pane.feed->startFailed("half way");
    });
    EXPECT_TRUE(pane.window.serveUntil([&] { return pane.reports.size() == 4; }));
    EXPECT_EQ(pane.wrongCalls.load(), 0) << "appends and reports run on the window thread only";
    EXPECT_LT(pane.feed->appendCount(), 4 * 3000) << "pieces that waited together went in one append";
}

TEST(OutputFeedThreads, AWorkerThatOutlivesItsWindowReachesNeitherThePaneNorTheWindow) {
    ThreadPane pane;
    std::atomic<bool> stop{false};
    std::atomic<int> shownAfterClose{0};
    std::thread worker([&] {
        for (int i = 0; !stop; ++i) {
            pane.feed->show(piece(0, i));
            if (pane.window.queue->isClosed()) {
                ++shownAfterClose;
                pane.feed->startFailed("late");
            }
        }
    });
    EXPECT_TRUE(pane.window.serveUntil([&] { return pane.text.size() > 1000; }));
    // The window goes: its queue is closed first.
    pane.window.queue->close();
    pane.closed = true;
    for (const auto end = std::chrono::steady_clock::now() + 60s;
         shownAfterClose < 200 && std::chrono::steady_clock::now() < end;)
        std::this_thread::yield();
    pane.window.queue->drain();
    stop = true;
    worker.join();
    EXPECT_GE(shownAfterClose.load(), 200);
    EXPECT_EQ(pane.wrongCalls.load(), 0);
    EXPECT_FALSE(pane.window.queue->pending()) << "nothing waits in a closed queue";
}

} // namespace
