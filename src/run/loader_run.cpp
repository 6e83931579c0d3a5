#include "run/loader_run.h"

#include "loaddef/load_definition.h"
#include "platform/platform.h"
#include "text/cp936.h"

#include <algorithm>
#include <optional>

namespace run {

const char* const kLoaderProgram = "sqlldr.exe";
const char* const kPipeFailed = "Error  On  CreatePipe()";
const char* const kProcessFailed = "Error  on  CreateProcess()";
const char* const kCompletion = "\r\nMission complete!\r\n";
const char* const kLeftOut = "……（输出过长，其间的部分未显示）";

std::string outcomeLine(std::uint32_t exitCode) {
    const char* const meaning = exitCode == 0 ? "全部记录装载成功。"
                                : exitCode == 2 ? "有记录被拒绝或丢弃，或装载被中断，详见日志文件。"
                                                : "装载失败，详见上面的输出和日志文件。";
    return "sqlldr 已结束，返回码 " + std::to_string(exitCode) + "：" + meaning;
}

std::string loaderCommandLine(const std::string& userName, const std::string& password, const std::string& databaseName,
                              const std::string& programFolder, char separator) {
    return "sqlldr " + userName + "/" + password + "@" + databaseName + " control='" +
           loaddef::fileIn(programFolder, loaddef::kControlFileName, separator) + "' parfile='" +
           loaddef::fileIn(programFolder, loaddef::kParameterFileName, separator) + "'";
}

OutputFeed::OutputFeed(std::shared_ptr<fw::CallQueue> queue, std::function<void(const std::string&)> append,
                       std::function<void(const std::string&)> report, std::size_t paneCapacity,
                       std::function<Clock::time_point()> now)
    : queue_(std::move(queue)), append_(std::move(append)), report_(std::move(report)), now_(std::move(now)),
      capacity_(paneCapacity) {}

void OutputFeed::paneEmptied() {
    paneBytes_ = 0;
    std::lock_guard<std::mutex> lock(mutex_);
    accepted_ = pending_.size() - taken_; // what waits still goes into the emptied pane
}

void OutputFeed::show(const std::string& text) {
    take({text, {}}, false);
}

bool OutputFeed::take(const Text& text, bool withinRoom, bool runEnds) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (withinRoom && accepted_ + text.bytes.size() + kRunEndRoom * runs_ > capacity_) {
            return false;
        }
        runs_ -= runEnds ? 1 : 0;
        // Nothing to show, or the window is gone: nothing waits for it.
        if (text.bytes.empty() || queue_->isClosed()) {
            return true;
        }
        for (const std::size_t stop : text.stops) {
            stops_.push_back(pending_.size() + stop);
        }
        pending_ += text.bytes;
        accepted_ += text.bytes.size();
        if (runEnds) {
            runEnds_.push_back(pending_.size());
        }
    }
    queueFlush();
    return true;
}

void OutputFeed::queueFlush() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (flushQueued_) {
            return;
        }
        flushQueued_ = true;
    }
    auto self = shared_from_this();
    queue_->post([self] { self->flush(); });
}

std::size_t OutputFeed::nextPiece() const {
    const std::size_t end = taken_ + std::min(pending_.size() - taken_, wanted_);
    if (!stops_.empty() && stops_.front() < end) {
        return stops_.front() - taken_;
    }
    if (end == pending_.size()) {
        return end - taken_;
    }
    // Cut after the last line end in the piece; lacking one, after its last
    // whole character (the waiting text starts at a character boundary).
    for (std::size_t at = end; at > taken_; --at) {
        if (pending_[at - 1] == '\n') {
            return at - taken_;
        }
    }
    std::size_t at = taken_;
    while (at < end) {
        const std::size_t next = at + text::charLength(pending_, at);
        if (next > end) {
            break;
        }
        at = next;
    }
    return at > taken_ ? at - taken_ : text::charLength(pending_, taken_);
}

void OutputFeed::flush() {
    std::string piece;
    int runsEnded = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::size_t length = nextPiece();
        piece.assign(pending_, taken_, length);
        taken_ += length;
        while (!stops_.empty() && stops_.front() <= taken_) {
            stops_.pop_front();
        }
        for (; !runEnds_.empty() && runEnds_.front() <= taken_; ++runsEnded) {
            runEnds_.pop_front();
        }
        if (taken_ == pending_.size()) {
            pending_.clear();
            taken_ = 0;
        } else if (taken_ > pending_.size() / 2) {
            pending_.erase(0, taken_);
            for (std::size_t& stop : stops_) {
                stop -= taken_;
            }
            for (std::size_t& end : runEnds_) {
                end -= taken_;
            }
            taken_ = 0;
        }
    }
    const Clock::time_point start = now_();
    ++appendCount_;
    append_(piece);
    activeRuns_ -= runsEnded;
    plan(piece.size(), std::chrono::duration<double, std::milli>(now_() - start).count());
    bool more = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        more = taken_ < pending_.size();
        flushQueued_ = more;
    }
    if (more) {
        auto self = shared_from_this();
        queue_->post([self] { self->flush(); });
    }
}

void OutputFeed::plan(std::size_t bytes, double ms) {
    paneBytes_ += bytes;
    // An append costs a part that grows with the text the pane holds and a
    // part per byte appended. Only pieces of some size tell them apart
    // (pieces end at line ends, so a full one may fall a line short).
    if (bytes < kFirstPiece / 2) {
        return;
    }
    // A piece larger than the one before gives the cost of a byte (the
    // part that grows with the pane grew meanwhile, so that errs on the
    // high side). The part per byte is never more than the whole cost per
    // byte, and the cheapest one seen lately (let go of slowly, as the
    // machine's load changes) bounds a difference that the load made too
    // large.
    const double perByte = ms / static_cast<double>(bytes);
    cheapest_ = cheapest_ > 0 ? std::min(perByte, cheapest_ * 1.05) : perByte;
    const std::size_t previous = lastBytes_;
    if (previous > 0 && bytes > previous + previous / 4) {
        const double slope = (ms - lastMs_) / (static_cast<double>(bytes) - static_cast<double>(previous));
        if (slope > 0) {
            msPerByte_ = slope;
        }
    }
    lastBytes_ = bytes;
    lastMs_ = ms;
    if (msPerByte_ <= 0) {
        wanted_ = 2 * bytes; // a second size, to tell the parts apart
        return;
    }
    msPerByte_ = std::min(msPerByte_, cheapest_);
    const double fixedMs = ms - msPerByte_ * static_cast<double>(bytes);
    const double budgetMs =
        static_cast<double>((paneBytes_ < kSmallPaneBytes ? kSmallPaneBudget : kLargePaneBudget).count());
    // Fill the budget; when the part that grows with the pane takes half of
    // it or more, take as much again in bytes (each append then does at
    // least as much work as it wastes), beyond the budget if need be.
    const double wantedMs = fixedMs <= budgetMs / 2 ? budgetMs - fixedMs : fixedMs;
    wanted_ =
        std::clamp(static_cast<std::size_t>(wantedMs / msPerByte_), kFirstPiece, std::min(2 * bytes, kLargestPiece));
}

void OutputFeed::startFailed(const std::string& message) {
    auto self = shared_from_this();
    queue_->post([self, message] {
        --self->activeRuns_;
        self->report_(message);
    });
}

class OutputFeed::Run {
public:
    explicit Run(std::shared_ptr<OutputFeed> feed) : feed_(std::move(feed)) {
        std::lock_guard<std::mutex> lock(feed_->mutex_);
        ++feed_->runs_;
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    void show(Text text) {
        if (text.bytes.empty() || (!full_ && feed_->take(text, true))) {
            return;
        }
        // The pane is full for this run: its output is kept from here on,
        // read by read (so the part kept starts at a character), and the
        // oldest reads are let go while the rest holds twice kKeptTail.
        full_ = true;
        kept_ += text.bytes.size();
        tail_.push_back(std::move(text));
        while (kept_ - tail_.front().bytes.size() >= 2 * kKeptTail) {
            kept_ -= tail_.front().bytes.size();
            tail_.pop_front();
            leftOut_ = true;
        }
    }

    // Shows what was kept (after the marker line when some output was left
    // out), then `outcome` and the closing line, whatever the room.
    void end(const std::string& outcome) {
        Text end;
        if (leftOut_) {
            end.bytes = std::string("\r\n") + kLeftOut + "\r\n";
        }
        const std::size_t keptAt = end.bytes.size();
        for (const Text& t : tail_) {
            for (const std::size_t stop : t.stops) {
                end.stops.push_back(end.bytes.size() + stop);
            }
            end.bytes += t.bytes;
        }
        if (leftOut_) {
            // From the start of the line that holds the kKeptTail-th byte
            // from the end (an LF is never a character's second byte).
            const std::size_t lineEnd = end.bytes.rfind('\n', end.bytes.size() - kKeptTail - 1);
            const std::size_t from = lineEnd == std::string::npos || lineEnd < keptAt ? keptAt : lineEnd + 1;
            end.bytes.erase(keptAt, from - keptAt);
            end.stops.erase(
                std::remove_if(end.stops.begin(), end.stops.end(), [&](std::size_t s) { return s <= from; }),
                end.stops.end());
            for (std::size_t& stop : end.stops) {
                stop -= from - keptAt;
            }
        }
        end.bytes += outcome + kCompletion;
        feed_->take(end, false, true);
    }

private:
    std::shared_ptr<OutputFeed> feed_;
    bool full_ = false;     // output goes to the tail
    bool leftOut_ = false;  // some of the tail was let go
    std::deque<Text> tail_; // kept_ bytes
    std::size_t kept_ = 0;
};

namespace {

// What each read of the loader's output adds to the pane. Character
// boundaries are followed from the start of the output, through reads that
// are discarded as well, so that a double-byte character split between two
// reads is shown whole, or not at all when either half is not shown. A zero
// byte is shown as a blank; it is never a character's second byte, so a
// lead byte before it is shown alone.
class ReadJoiner {
public:
    // What to show for a read of `got` bytes (nothing when not `shown`: the
    // pane is collapsed); LF becomes CR LF.
    OutputFeed::Text take(const char* bytes, std::size_t got, bool shown) {
        OutputFeed::Text text;
        std::string& out = text.bytes;
        const auto put = [&out](char c) {
            if (c == '\n') {
                out += '\r';
            }
            out += c == '\0' ? ' ' : c;
        };
        std::size_t at = 0;
        if (held_ != 0 || partnerHidden_) {
            // The first byte completes the character the last read began.
            const bool paired = bytes[0] != '\0';
            if (held_ != 0) {
                put(held_);
                if (paired) {
                    put(bytes[0]);
                } else {
                    text.stops.push_back(out.size());
                }
            }
            at = paired ? 1 : 0;
            held_ = 0;
            partnerHidden_ = false;
        }
        for (; at < got; ++at) {
            const char c = bytes[at];
            if (isLead(c) && at + 1 == got) { // its partner comes next
                held_ = shown ? c : 0;
                partnerHidden_ = !shown;
                break;
            }
            put(c);
            if (isLead(c) && bytes[at + 1] == '\0') {
                text.stops.push_back(out.size());
            } else if (isLead(c)) {
                put(bytes[++at]);
            }
        }
        return shown ? text : OutputFeed::Text{};
    }

    // A lead byte that ended the output, on its own.
    OutputFeed::Text rest() const {
        return held_ != 0 ? OutputFeed::Text{std::string(1, held_), {1}} : OutputFeed::Text{};
    }

private:
    static bool isLead(char c) { return text::isLeadByte(static_cast<unsigned char>(c)); }

    char held_ = 0;
    bool partnerHidden_ = false;
};

} // namespace

void runLoader(platform::ChildProcess& loader, const std::shared_ptr<OutputFeed>& feed) {
    OutputFeed::Run run(feed);
    ReadJoiner joiner;
    char buffer[kMaxRead];
    for (std::size_t got; (got = loader.read(buffer, kMaxRead)) > 0;) {
        run.show(joiner.take(buffer, got, !feed->collapsed()));
    }
    run.show(joiner.rest());
    const std::optional<std::uint32_t> exitCode = loader.waitForExit(kExitWait);
    run.end(exitCode ? "\r\n" + outcomeLine(*exitCode) : std::string());
}

} // namespace run
