// The output feed and the window's call queue under real threads: several
// workers hand over text and calls while the window thread drains, as runs
// started one after another do. Built under ThreadSanitizer too
// (build/tsan), where any data race fails the test.
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
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            std::unique_lock<std::mutex> lock(mutex_);
            if (!wake_.wait_for(lock, 1s, [this] { return woken_; })) {
                if (queue->pending()) {
                    return false;
                }
                continue;
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

// Waits until `done` holds, at most a minute; false when it never did.
template <typename Done> bool waitFor(Done done) {
    const auto end = std::chrono::steady_clock::now() + 60s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

// A producer's numbered piece: its letter and five digits, "b00042".
std::string piece(int producer, int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%c%05d", 'a' + producer, number);
    return text;
}

// Checks that the pane holds each producer's pieces once each and in the
// order they were shown.
::testing::AssertionResult eachPieceOnceInOrder(const std::string& pane, int producers, int pieces) {
    if (pane.size() != std::size_t(6 * producers * pieces)) {
        return ::testing::AssertionFailure() << pane.size() << " bytes";
    }
    std::vector<int> next(static_cast<std::size_t>(producers), 0);
    for (std::size_t at = 0; at < pane.size(); at += 6) {
        const int producer = pane[at] - 'a';
        if (producer < 0 || producer >= producers ||
            pane.compare(at, 6, piece(producer, next[static_cast<std::size_t>(producer)]++)) != 0) {
            return ::testing::AssertionFailure() << "byte " << at << ": " << pane.substr(at, 6);
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(OutputFeedThreads, PiecesFromSeveralWorkersArriveOnceEachAndInEachWorkersOrder) {
    constexpr int kProducers = 4;
    constexpr int kPieces = 3000;
    WindowThread window;
    std::string pane;
    std::vector<std::string> reports;
    const std::thread::id windowId = std::this_thread::get_id();
    std::atomic<int> offThread{0};
    auto feed = std::make_shared<run::OutputFeed>(
        window.queue,
        [&](const std::string& text) {
            offThread += std::this_thread::get_id() != windowId;
            pane += text;
        },
        [&](const std::string& message) {
            offThread += std::this_thread::get_id() != windowId;
            reports.push_back(message);
        });

    const std::size_t expectedBytes = 6 * kProducers * kPieces;
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([feed, p] {
            for (int i = 0; i < kPieces; ++i) {
                feed->show(piece(p, i));
                if (i % 500 == 0) {
                    std::this_thread::yield();
                }
            }
            feed->startFailed("done " + std::to_string(p));
        });
    }
    const bool served =
        window.serveUntil([&] { return pane.size() >= expectedBytes && reports.size() == std::size_t(kProducers); });
    for (std::thread& t : producers) {
        t.join();
    }
    ASSERT_TRUE(served) << "the window thread was left waiting; " << pane.size() << " of " << expectedBytes << " bytes";
    window.queue->drain();
    EXPECT_EQ(offThread.load(), 0) << "appends and reports run on the window thread only";
    EXPECT_TRUE(eachPieceOnceInOrder(pane, kProducers, kPieces));
    EXPECT_EQ(reports.size(), std::size_t(kProducers));
    EXPECT_LT(feed->appendCount(), kProducers * kPieces) << "pieces that waited together went in one append";
}

TEST(OutputFeedThreads, AWorkerThatOutlivesItsWindowReachesNeitherThePaneNorTheWindow) {
    WindowThread window;
    auto pane = std::make_unique<std::string>();
    std::atomic<bool> windowGone{false};
    std::atomic<int> lateCalls{0};
    auto feed = std::make_shared<run::OutputFeed>(
        window.queue,
        [&, target = pane.get()](const std::string& text) {
            if (windowGone) {
                ++lateCalls;
                return;
            }
            *target += text;
        },
        [&](const std::string&) { lateCalls += windowGone ? 1 : 0; });
    std::atomic<bool> stop{false};
    std::atomic<int> shownAfterClose{0};
    std::thread worker([feed, &stop, &shownAfterClose, &window] {
        for (int i = 0; !stop; ++i) {
            feed->show(piece(0, i));
            if (window.queue->isClosed()) {
                ++shownAfterClose;
                feed->startFailed("late");
            }
        }
    });
    EXPECT_TRUE(window.serveUntil([&] { return pane->size() > 1000; }));
    // The window goes: its queue is closed first, then the pane is freed.
    window.queue->close();
    windowGone = true;
    pane.reset();
    EXPECT_TRUE(waitFor([&] { return shownAfterClose >= 200; }));
    window.queue->drain();
    stop = true;
    worker.join();
    EXPECT_EQ(lateCalls.load(), 0);
    EXPECT_FALSE(window.queue->pending()) << "nothing waits in a closed queue";
}

TEST(CallQueueThreads, ProducersAndAWakeDrivenWindowLoseNoCallAndNoWakeUp) {
    constexpr int kProducers = 4;
    constexpr int kCalls = 5000;
    WindowThread window;
    std::vector<std::vector<int>> seen(kProducers);
    int total = 0;
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            for (int i = 0; i < kCalls; ++i) {
                EXPECT_TRUE(window.queue->post([&seen, &total, p, i] {
                    seen[static_cast<std::size_t>(p)].push_back(i);
                    ++total;
                }));
            }
        });
    }
    const bool served = window.serveUntil([&] { return total == kProducers * kCalls; });
    for (std::thread& t : producers) {
        t.join();
    }
    ASSERT_TRUE(served) << total << " of " << kProducers * kCalls << " calls ran";
    for (int p = 0; p < kProducers; ++p) {
        const std::vector<int>& s = seen[static_cast<std::size_t>(p)];
        ASSERT_EQ(s.size(), std::size_t(kCalls));
        for (int i = 0; i < kCalls; ++i) {
            ASSERT_EQ(s[static_cast<std::size_t>(i)], i) << "producer " << p;
        }
    }
}

} // namespace
