// Running the loader: its command line, and the worker that streams its
// output into the window's output pane.
#pragma once

#include "framework/call_queue.h"

#include <atomic>
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
// Text handed over by workers is appended on the window's thread. While an
// append is still waiting or under way, further text is gathered and handed
// over as one append: every append costs time that grows with the text the
// pane holds, so a fast loader gets few, growing appends, while a slow one
// still sees every read at once.
class OutputFeed : public std::enable_shared_from_this<OutputFeed> {
public:
    // `append` and `report` run on the window's thread, through `queue`.
    OutputFeed(std::shared_ptr<fw::CallQueue> queue, std::function<void(const std::string&)> append,
               std::function<void(const std::string&)> report);

    // Whether the pane is collapsed; output read meanwhile is discarded.
    void setCollapsed(bool collapsed) { collapsed_.store(collapsed); }
    bool collapsed() const { return collapsed_.load(); }

    // Any thread: appends `text` to the pane, in order of arrival.
    void show(const std::string& text);
    // Any thread: tells the user in a message box with the warning icon.
    void report(const std::string& message);

    // How many appends were made (for measurements).
    int appendCount() const { return appendCount_.load(); }

private:
    void flush();

    std::shared_ptr<fw::CallQueue> queue_;
    std::function<void(const std::string&)> append_;
    std::function<void(const std::string&)> report_;
    std::atomic<bool> collapsed_{false};
    std::atomic<int> appendCount_{0};
    std::mutex mutex_;
    std::string pending_;
    bool flushQueued_ = false;
};

// The worker's body: starts the loader with `commandLine`, streams its output
// into `feed` and closes with the completion line. Returns 0 after a completed
// run, 1 when the pipe or the process could not be created.
int runLoader(const std::string& commandLine, const std::shared_ptr<OutputFeed>& feed);

// Runs runLoader on a thread of its own and returns at once.
void startLoader(const std::string& commandLine, const std::shared_ptr<OutputFeed>& feed);

} // namespace run
