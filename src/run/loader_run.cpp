#include "run/loader_run.h"

#include "loaddef/load_definition.h"
#include "platform/platform.h"
#include "text/cp936.h"

#include <thread>

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
                       std::function<void(const std::string&)> report)
    : queue_(std::move(queue)), append_(std::move(append)), report_(std::move(report)) {}

void OutputFeed::show(const std::string& text) {
    if (queue_->isClosed()) {
        return; // the window is gone: nothing will take the text any more
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_ += text;
        if (flushQueued_) {
            return;
        }
        flushQueued_ = true;
    }
    auto self = shared_from_this();
    queue_->post([self] { self->flush(); });
}

void OutputFeed::flush() {
    std::string text;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        text.swap(pending_);
        flushQueued_ = false;
    }
    ++appendCount_;
    append_(text);
}

void OutputFeed::report(const std::string& message) {
    auto self = shared_from_this();
    queue_->post([self, message] { self->report_(message); });
}

int runLoader(const std::string& commandLine, const std::shared_ptr<OutputFeed>& feed) {
    platform::ChildProcess::Failure failure = platform::ChildProcess::Failure::None;
    const std::unique_ptr<platform::ChildProcess> child = platform::ChildProcess::start(commandLine, failure);
    if (!child) {
        feed->report(failure == platform::ChildProcess::Failure::Pipe ? kPipeFailed : kProcessFailed);
        return 1;
    }
    char buffer[kMaxRead + 1];
    for (;;) {
        const std::size_t got = child->read(buffer, kMaxRead);
        if (got == 0) {
            break;
        }
        if (feed->collapsed()) {
            continue;
        }
        // A chunk is shown as a zero-terminated text: nothing after a zero byte.
        buffer[got] = '\0';
        feed->show(text::lfToCrLf(std::string(buffer)));
    }
    feed->show(kCompletion);
    return 0;
}

void startLoader(const std::string& commandLine, const std::shared_ptr<OutputFeed>& feed) {
    std::thread([commandLine, feed] { runLoader(commandLine, feed); }).detach();
}

} // namespace run
