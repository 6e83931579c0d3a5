// Calls handed from other threads to a window's thread.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace fw {

// A worker keeps the queue (a shared_ptr) rather than the window, so it may
// outlive the window safely: once the window is gone, post() drops the call
// and returns false.
class CallQueue {
public:
    // `wake` is called (on the posting thread, outside the lock) when the
    // queue goes from empty to non-empty; the backend then makes its window
    // thread call drain().
    explicit CallQueue(std::function<void()> wake) : wake_(std::move(wake)) {}

    bool post(std::function<void()> call) {
        bool first = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (closed_) {
                return false;
            }
            first = calls_.empty();
            calls_.push_back(std::move(call));
        }
        if (first) {
            wake_();
        }
        return true;
    }

    // Window thread: runs the calls queued so far. Calls posted while they
    // run wake the window again instead of running here, so the window gets
    // to its other messages in between.
    void drain() {
        std::deque<std::function<void()>> calls;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (closed_) {
                return;
            }
            calls.swap(calls_);
        }
        for (auto& call : calls) {
            call();
        }
    }

    bool isClosed() {
        std::lock_guard<std::mutex> lock(mutex_);
        return closed_;
    }

    bool pending() {
        std::lock_guard<std::mutex> lock(mutex_);
        return !calls_.empty();
    }

    // Window thread, as the window goes: queued and later calls are dropped.
    void close() {
        std::deque<std::function<void()>> dropped;
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        dropped.swap(calls_);
    }

private:
    std::function<void()> wake_;
    std::mutex mutex_;
    std::deque<std::function<void()>> calls_;
    bool closed_ = false;
};

} // namespace fw
