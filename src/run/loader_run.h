// Running the loader: its command line, and the worker that streams its
// output into the window's output pane.
#pragma once

#include "framework/call_queue.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {
class ChildProcess;
}

namespace run {

// "sqlldr user/password@database control='<folder>\load.ctl'
// parfile='<folder>\parfile.cfg'", at any length; nothing is quoted.
std::string loaderCommandLine(const std::string& userName, const std::string& password, const std::string& databaseName,
                              const std::string& programFolder, char separator);

constexpr std::size_t kMaxRead = 4095;
extern const char* const kLoaderProgram; // "sqlldr.exe"
extern const char* const kPipeFailed;    // "Error  On  CreatePipe()"
extern const char* const kProcessFailed; // "Error  on  CreateProcess()"
extern const char* const kCompletion;    // "\r\nMission complete!\r\n"
extern const char* const kLeftOut;       // "……（输出过长，其间的部分未显示）"

// How the loader ended, by its exit code (as the unsigned 32-bit number
// Windows gives, so a crash's 0xC0000005 reads 3221225477): "sqlldr 已结束，
// 返回码 <code>：" and what the code means (0: every record loaded; 2: some
// rejected or discarded, or the load interrupted; others: it failed).
std::string outcomeLine(std::uint32_t exitCode);

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
//
// The pane holds at most `paneCapacity` characters; the feed counts bytes,
// which are never fewer. Each run going keeps room for its end: once a run's
// output no longer fits beside that, the run keeps only its most recent
// output, and its end shows a marker line where output was left out, the
// last part of the output in whole lines, how the loader ended and the
// closing line.
class OutputFeed : public std::enable_shared_from_this<OutputFeed> {
public:
    using Clock = std::chrono::steady_clock;

    // A text for the pane: whole characters, but for lone bytes (a lead
    // byte whose second byte never came) that end at `stops`, ascending
    // positions in `bytes`. An append never goes past a lone byte's end, so
    // that it pairs with nothing after it.
    struct Text {
        std::string bytes;
        std::vector<std::size_t> stops;
    };

    // One run's side of the feed, on the run's worker thread: while the
    // pane has room, its output goes there; after that only its most recent
    // output is kept, at least kKeptTail bytes, until the end.
    class Run;

    static constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();

    // `append` and `report` run on the window's thread, through `queue`.
    // `now` times the appends (a test may play the clock).
    OutputFeed(std::shared_ptr<fw::CallQueue> queue, std::function<void(const std::string&)> append,
               std::function<void(const std::string&)> report, std::size_t paneCapacity = kUnlimited,
               std::function<Clock::time_point()> now = Clock::now);

    // Whether the pane is collapsed; output read meanwhile is discarded.
    void setCollapsed(bool collapsed) { collapsed_.store(collapsed); }
    bool collapsed() const { return collapsed_.load(); }

    // Window thread: the pane was emptied, so appends are cheap again and
    // its room is counted afresh.
    void paneEmptied();

    // Any thread: appends `text`, whole characters, to the pane, whatever
    // the room.
    void show(const std::string& text);
    // Window thread: a run is starting; it is active until its closing
    // line has been appended, or until it reports that it could not start.
    void runStarting() { ++activeRuns_; }
    int activeRuns() const { return activeRuns_; }
    // Any thread: the run could not start; tells the user in a message box
    // with the warning icon.
    void startFailed(const std::string& message);

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

    // What a run keeps of its output once the pane is full: at least this
    // much, in whole lines.
    static constexpr std::size_t kKeptTail = 64 << 10;
    // The room each run going keeps for its end: the marker, the part kept
    // (less than twice kKeptTail and a read), the outcome and closing lines.
    static constexpr std::size_t kRunEndRoom = 2 * kKeptTail + (16 << 10);

private:
    // Takes `text` for the pane; when `withinRoom`, only if it fits beside
    // the room kept for the ends of the runs going (false: not taken). A
    // run's end comes with `runEnds`: its room is then no longer kept.
    bool take(const Text& text, bool withinRoom, bool runEnds = false);
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
    const std::size_t capacity_;
    std::atomic<bool> collapsed_{false};
    std::atomic<int> appendCount_{0};

    std::mutex mutex_;
    // The waiting text is pending_ from taken_ on; an append never goes past
    // a lone byte's end (stops_, ascending positions in pending_).
    std::string pending_;
    std::size_t taken_ = 0;
    std::deque<std::size_t> stops_;
    // Where the runs' closing lines end in pending_, ascending.
    std::deque<std::size_t> runEnds_;
    bool flushQueued_ = false;
    // Bytes taken for the pane since it was last emptied; runs going.
    std::size_t accepted_ = 0;
    std::size_t runs_ = 0;
    // Window thread only: the runs going (see runStarting); bytes appended
    // since the pane was emptied; the wanted length of the next piece; the
    // last measured piece and its time; the cost of a byte appended as two
    // pieces' difference tells it, and the cheapest whole cost per byte seen
    // lately (ms, 0 until known).
    int activeRuns_ = 0;
    std::size_t paneBytes_ = 0;
    std::size_t wanted_ = kFirstPiece;
    std::size_t lastBytes_ = 0;
    double lastMs_ = 0;
    double msPerByte_ = 0;
    double cheapest_ = 0;
};

// How long the worker waits for the loader to end once its output has ended.
constexpr std::chrono::seconds kExitWait{5};

// The worker's body for a started loader: streams its output into `feed`
// (every zero byte shown as a blank, LF as CR LF, output read while the pane
// is collapsed discarded), waits for the loader to end (kExitWait at most)
// and closes with its outcome line when it ended, and the completion line.
void runLoader(platform::ChildProcess& loader, const std::shared_ptr<OutputFeed>& feed);

// Windows only, on the window thread: on a thread of its own, starts the loader with `commandLine`
// (kLoaderProgram by its full path, found in the program's folder or along
// the search path, never in the current folder) and runs runLoader on it;
// reports kPipeFailed or kProcessFailed when it cannot. Returns at once.
void startLoader(const std::string& commandLine, const std::shared_ptr<OutputFeed>& feed);

} // namespace run
