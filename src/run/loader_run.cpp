#include "run/loader_run.h"

#include "loaddef/load_definition.h"
#include "platform/platform.h"
#include "text/cp936.h"

#include <algorithm>

namespace run {

const char* const kPipeFailed = "Error  On  CreatePipe()";
const char* const kProcessFailed = "Error  on  CreateProcess()";
const char* const kCompletion = "\r\nMission complete!\r\n";

std::string loaderCommandLine(const std::string& userName, const std::string& password, const std::string& databaseName,
                              const std::string& programFolder, char separator) {
    return "sqlldr " + userName + "/" + password + "@" + databaseName + " control='" +
           loaddef::fileIn(programFolder, loaddef::kControlFileName, separator) + "' parfile='" +
           loaddef::fileIn(programFolder, loaddef::kParameterFileName, separator) + "'";
}

OutputFeed::OutputFeed(std::shared_ptr<fw::CallQueue> queue, std::function<void(const std::string&)> append,
                       std::function<void(const std::string&)> report, std::function<Clock::time_point()> now)
    : queue_(std::move(queue)), append_(std::move(append)), report_(std::move(report)), now_(std::move(now)) {}

void OutputFeed::paneEmptied() {
    paneBytes_ = 0;
}

void OutputFeed::show(const std::string& text) {
    if (text.empty() || queue_->isClosed()) {
        return; // nothing to show, or the window is gone
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_ += text;
    }
    queueFlush();
}

void OutputFeed::showLoneByte(char byte) {
    if (queue_->isClosed()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_ += byte;
        stops_.push_back(pending_.size());
    }
    queueFlush();
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
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::size_t length = nextPiece();
        piece.assign(pending_, taken_, length);
        taken_ += length;
        while (!stops_.empty() && stops_.front() <= taken_) {
            stops_.pop_front();
        }
        if (taken_ == pending_.size()) {
            pending_.clear();
            taken_ = 0;
        } else if (taken_ > pending_.size() / 2) {
            pending_.erase(0, taken_);
            for (std::size_t& stop : stops_) {
                stop -= taken_;
            }
            taken_ = 0;
        }
    }
    const Clock::time_point start = now_();
    ++appendCount_;
    append_(piece);
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

void OutputFeed::report(const std::string& message) {
    auto self = shared_from_this();
    queue_->post([self, message] { self->report_(message); });
}

namespace {

// What one read of the loader's output adds to the pane. Character
// boundaries are followed from the start of the output, through reads that
// are discarded and bytes after a zero as well, so that a double-byte
// character split between two reads is shown whole, or not at all when
// either half is not shown.
class ReadJoiner {
public:
    struct Shown {
        char loneByte = 0; // shown alone before the text (0: none)
        std::string text;  // up to the read's first zero byte, LF made CR LF
    };

    // What to show for a read of `got` bytes; `shown`: the pane is not
    // collapsed.
    Shown take(const char* bytes, std::size_t got, bool shown) {
        Shown result;
        const std::size_t textEnd = std::find(bytes, bytes + got, '\0') - bytes;
        std::size_t from = 0;
        std::string text;
        if (held_ != 0) {
            // The first byte completes the held character; a zero byte
            // there leaves the held byte on its own.
            if (shown && textEnd > 0) {
                text.assign({held_, bytes[0]});
            } else if (shown) {
                result.loneByte = held_;
            }
            from = textEnd > 0 ? 1 : 0;
            held_ = 0;
        } else if (partnerHidden_) {
            from = 1; // the rest of a character that was not shown
            partnerHidden_ = false;
        }
        std::size_t at = from;
        while (at < got && !(isLead(bytes[at]) && at + 1 == got)) {
            at += isLead(bytes[at]) && bytes[at + 1] != '\0' ? 2 : 1;
        }
        if (at < got) { // a lead byte ends the read: its partner comes next
            if (shown && at < textEnd) {
                held_ = bytes[at];
            } else {
                partnerHidden_ = true;
            }
        }
        if (shown && from < textEnd) {
            text.append(bytes + from, std::min(textEnd, at) - from);
        }
        result.text = text::lfToCrLf(text);
        return result;
    }

    // A lead byte still waiting for its partner (0 when none).
    char held() const { return held_; }

private:
    static bool isLead(char c) { return text::isLeadByte(static_cast<unsigned char>(c)); }

    char held_ = 0;
    bool partnerHidden_ = false;
};

} // namespace

int runLoader(const std::string& commandLine, const std::shared_ptr<OutputFeed>& feed) {
    platform::ChildProcess::Failure failure = platform::ChildProcess::Failure::None;
    const std::unique_ptr<platform::ChildProcess> child = platform::ChildProcess::start(commandLine, failure);
    if (!child) {
        feed->report(failure == platform::ChildProcess::Failure::Pipe ? kPipeFailed : kProcessFailed);
        return 1;
    }
    char buffer[kMaxRead + 1];
    ReadJoiner joiner;
    for (;;) {
        const std::size_t got = child->read(buffer, kMaxRead);
        if (got == 0) {
            break;
        }
        const bool shown = !feed->collapsed();
        const ReadJoiner::Shown part = joiner.take(buffer, got, shown);
        if (part.loneByte != 0) {
            feed->showLoneByte(part.loneByte);
        }
        feed->show(part.text);
    }
    if (joiner.held() != 0) {
        feed->showLoneByte(joiner.held());
    }
    feed->show(kCompletion);
    return 0;
}

} // namespace run
