// Running the loader: its command line, and the worker that streams its
// output into the window's output pane.
#pragma once

#include "framework/call_queue.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace run {

// "sqlldr user/password@database control='<folder>\load.ctl'
// parfile='<folder>\parfile.cfg'", at any length; nothing is quoted.
std::string loaderCommandLine(const std::string& userName, const std::string& password, const std::string& databaseName,
                              const std::string& programFolder, char separator);

constexpr std::size_t kMaxRead = 4095;
extern const char* const kPipeFailed;    // "Error  On  CreatePipe()"
extern const char* const kProcessFailed; // "Error  on  CreateProcess()"
extern const char* const kCompletion;    // "\r\nMission complete!\r\n"

// The output pane as the run workers see it, shared by the window and every
// worker it started, so a worker that outlives the window stays safe.
//
// Text handed over by workers waits here and is appended on the window's
// thread, in order of arrival, in pieces bounded by the time they take: the
// window answers nothing while an append runs, and an append costs a part
// that grows with the text the pane already holds plus a part per line. The
// size of the next piece comes from the measured cost per byte of earlier
// pieces, and a piece ends at a line end where it can (always at a character
// boundary). After each piece the window gets to its own messages before
// the next one. A slow loader's reads each go out as soon as they arrive.
class OutputFeed : public std::enable_shared_from_this<OutputFeed> {
public:
    using Clock = std::chrono::steady_clock;

    // `append` and `report` run on the window's thread, through `queue`.
    // `now` times the appends (a test may play the clock).
    OutputFeed(std::shared_ptr<fw::CallQueue> queue, std::function<void(const std::string&)> append,
               std::function<void(const std::string&)> report, std::function<Clock::time_point()> now = Clock::now);

    // Whether the pane is collapsed; output read meanwhile is discarded.
    void setCollapsed(bool collapsed) { collapsed_.store(collapsed); }
    bool collapsed() const { return collapsed_.load(); }

    // Window thread: the pane was emptied, so appends are cheap again.
    void paneEmptied();

    // Any thread: appends `text`, whole characters, to the pane.
    void show(const std::string& text);
    // Any thread: appends one byte that is not followed by the rest of its
    // character (a lead byte at the end of a loader's output), as the last
    // byte of an append so that it pairs with nothing after it.
    void showLoneByte(char byte);
    // Any thread: tells the user in a message box with the warning icon.
    void report(const std::string& message);

    // How many appends were made (for measurements).
    int appendCount() const { return appendCount_.load(); }

    // How long one append may take: short while the pane holds little, so
    // that the window answers quickly, longer once every append is dear.
    static constexpr std::chrono::milliseconds kSmallPaneBudget{120};
    static constexpr std::chrono::milliseconds kLargePaneBudget{400};
    static constexpr std::size_t kSmallPaneBytes = 4 << 20;
    // The smallest piece of a fast loader's output, and the first one.
    static constexpr std::size_t kFirstPiece = 16 << 10;
    // The largest piece, whatever the measures say: they are noisy.
    static constexpr std::size_t kLargestPiece = 2 << 20;

private:
    void queueFlush();
    void flush();
    // The length of the next piece of the waiting text; mutex_ held.
    std::size_t nextPiece() const;
    // Learns from an append of `bytes` that took `ms` what the next may take.
    void plan(std::size_t bytes, double ms);

    std::shared_ptr<fw::CallQueue> queue_;
    std::function<void(const std::string&)> append_;
    std::function<void(const std::string&)> report_;
    std::function<Clock::time_point()> now_;
    std::atomic<bool> collapsed_{false};
    std::atomic<int> appendCount_{0};

    std::mutex mutex_;
    // The waiting text is pending_ from taken_ on; an append never goes past
    // a lone byte's end (stops_, ascending positions in pending_).
    std::string pending_;
    std::size_t taken_ = 0;
    std::deque<std::size_t> stops_;
    bool flushQueued_ = false;
    // Window thread only: bytes appended since the pane was emptied; the
    // wanted length of the next piece; the last measured piece and its time;
    // the cost of a byte appended as two pieces' difference tells it, and
    // the cheapest whole cost per byte seen lately (ms, 0 until known).
    std::size_t paneBytes_ = 0;
    std::size_t wanted_ = kFirstPiece;
    std::size_t lastBytes_ = 0;
    double lastMs_ = 0;
    double msPerByte_ = 0;
    double cheapest_ = 0;
};

// The worker's body: starts the loader with `commandLine`, streams its output
// into `feed` and closes with the completion line. Returns 0 after a completed
// run, 1 when the pipe or the process could not be created.
int runLoader(const std::string& commandLine, const std::shared_ptr<OutputFeed>& feed);

} // namespace run
