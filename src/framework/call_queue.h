// Calls handed from other threads to a window's thread.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace fw {

// A worker keeps the queue (a shared_ptr) rather than the window, so it may
// outlive the window safely: once the window is gone, post() drops the call
// and returns false.
//
// Calls run one at a time in the order they were posted, also when a call
// opens a modal loop (a message box) that drains the queue again: the inner
// drain takes the next calls from the same queue, so none overtakes another.
class CallQueue {
public:
    // `wake` is called (on the posting thread, outside the lock) when calls
    // are waiting and no wake-up is pending; it makes the window thread call
    // drain() and returns false when it could not (the next post, or the
    // end of a drain, tries again).
    explicit CallQueue(std::function<bool()> wake) : wake_(std::move(wake)) {}

    bool post(std::function<void()> call) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (closed_) {
                return false;
            }
            calls_.push_back(std::move(call));
        }
        wakeIfWaiting();
        return true;
    }

    // Window thread: runs the calls that were queued when it began. Calls
    // posted meanwhile get a wake-up of their own, so the window gets to its
    // other messages in between.
    void drain() {
        std::size_t count = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            wakePending_ = false;
            count = calls_.size();
        }
        for (; count > 0; --count) {
            std::function<void()> call;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (closed_ || calls_.empty()) {
                    return; // an inner drain ran the rest
                }
                call = std::move(calls_.front());
                calls_.pop_front();
            }
            call();
        }
        wakeIfWaiting();
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
    void wakeIfWaiting() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (closed_ || calls_.empty() || wakePending_) {
                return;
            }
            wakePending_ = true;
        }
        if (!wake_()) {
            std::lock_guard<std::mutex> lock(mutex_);
            wakePending_ = false;
        }
    }

    std::function<bool()> wake_;
    std::mutex mutex_;
    std::deque<std::function<void()>> calls_;
    bool closed_ = false;
    bool wakePending_ = false;
};

} // namespace fw
