#include "framework/memory/memory_backend.h"

#include "framework/dialog.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace fw {

Backend& backend() {
    return mem::memoryBackend();
}

} // namespace fw

namespace fw::mem {

namespace {

// How long pumpUntil sleeps at most before it looks at its condition
// again, for conditions that change without a post.
constexpr std::chrono::milliseconds kPollSlice(10);

std::string dialogText(int templateId) {
    return "dialog " + std::to_string(templateId);
}

// Keeps the list of shown windows in step with the stack of modal runs.
class ShownWindow {
public:
    ShownWindow(std::vector<MemoryWindow*>& windows, MemoryWindow& window) : windows_(windows) {
        windows_.push_back(&window);
    }
    ~ShownWindow() { windows_.pop_back(); }
    ShownWindow(const ShownWindow&) = delete;
    ShownWindow& operator=(const ShownWindow&) = delete;

private:
    std::vector<MemoryWindow*>& windows_;
};

} // namespace

MemoryBackend& memoryBackend() {
    static MemoryBackend instance;
    return instance;
}

int MemoryBackend::runModal(Dialog& dialog) {
    const int id = dialog.templateId();
    const ResourceFile& resources = brennickResources();
    const DialogTemplate* tpl = resources.dialog(id);
    if (tpl == nullptr) {
        throw std::logic_error("the resources have no template for " + dialogText(id));
    }
    MemoryWindow window(*tpl, resources.dialogInit(id), dialog, *this);
    const ShownWindow shown(windows_, window);
    dialog.attachWindow(&window);
    // As with a real window, the destroy step runs however the run ended;
    // the first error is the one that leaves.
    std::exception_ptr error;
    try {
        if (dialog.handleInit()) {
            window.focusFirstTabStop();
        }
        if (!window.hasEnded()) {
            takeScript(id)(window);
            if (!window.hasEnded()) {
                throw std::logic_error(dialogText(id) + " still open after its script");
            }
        }
    } catch (...) {
        error = std::current_exception();
    }
    window.callQueue()->close();
    try {
        dialog.handleDestroy();
    } catch (...) {
        if (!error) {
            error = std::current_exception();
        }
    }
    dialog.attachWindow(nullptr);
    if (error) {
        std::rethrow_exception(error);
    }
    return window.result();
}

MemoryBackend::Script MemoryBackend::takeScript(int templateId) {
    const auto it = scripts_.find(templateId);
    if (it == scripts_.end() || it->second.empty()) {
        throw std::logic_error(dialogText(templateId) + " shown with no script queued for it");
    }
    Script script = std::move(it->second.front());
    it->second.pop_front();
    return script;
}

void MemoryBackend::onShow(int templateId, Script script) {
    scripts_[templateId].push_back(std::move(script));
}

void MemoryBackend::messageBox(Dialog* owner, const std::string& text, MessageIcon icon) {
    messages_.push_back(ShownMessageBox{programName_, text, icon, owner != nullptr ? owner->templateId() : 0});
    // The box's modal loop runs the calls posted so far before the user
    // answers it.
    pump();
}

void MemoryBackend::reportFailure(Dialog* owner, const std::string& text) {
    messageBox(owner, text, MessageIcon::Warning);
    failures_.push_back(text);
}

std::vector<std::string> MemoryBackend::takeFailures() {
    std::vector<std::string> taken;
    taken.swap(failures_);
    return taken;
}

std::vector<ShownMessageBox> MemoryBackend::takeMessages() {
    std::vector<ShownMessageBox> taken;
    taken.swap(messages_);
    return taken;
}

std::optional<FileChoice> MemoryBackend::fileDialog(Dialog* /*owner*/, const FileRequest& request) {
    fileRequests_.push_back(request);
    if (fileAnswers_.empty()) {
        throw std::logic_error("file dialog (filter \"" + request.filter + "\") shown with no answer queued");
    }
    std::optional<FileChoice> answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    return answer;
}

void MemoryBackend::answerFileDialog(std::optional<FileChoice> answer) {
    fileAnswers_.push_back(std::move(answer));
}

std::string MemoryBackend::loadString(int id) {
    return brennickResources().string(id).value_or(std::string());
}

void MemoryBackend::reset() {
    scripts_.clear();
    fileAnswers_.clear();
    messages_.clear();
    failures_.clear();
    fileRequests_.clear();
    programName_ = kDefaultProgramName;
}

std::vector<std::string> MemoryBackend::unused() const {
    std::vector<std::string> left;
    for (const auto& [templateId, queued] : scripts_) {
        if (!queued.empty()) {
            left.push_back(std::to_string(queued.size()) + (queued.size() == 1 ? " script" : " scripts") + " for " +
                           dialogText(templateId));
        }
    }
    if (!fileAnswers_.empty()) {
        left.push_back(std::to_string(fileAnswers_.size()) +
                       (fileAnswers_.size() == 1 ? " file dialog answer" : " file dialog answers"));
    }
    for (const std::string& failure : failures_) {
        left.push_back("command failure: " + failure);
    }
    return left;
}

// --- Calls from other threads ---

std::shared_ptr<CallQueue> MemoryBackend::makeCallQueue() {
    return std::make_shared<CallQueue>([this] {
        wake();
        return true;
    });
}

MemoryBackend::~MemoryBackend() {
    std::lock_guard<std::mutex> lock(wakeMutex_);
}

void MemoryBackend::wake() {
    // Signalled under the lock, so that the signal is complete once the lock
    // is free again (see the destructor).
    std::lock_guard<std::mutex> lock(wakeMutex_);
    woken_ = true;
    wakeSignal_.notify_all();
}

void MemoryBackend::pump() {
    {
        std::lock_guard<std::mutex> lock(wakeMutex_);
        woken_ = false;
    }
    // A call may show a dialog of its own; the windows below it stay.
    const std::vector<MemoryWindow*> shown = windows_;
    for (MemoryWindow* window : shown) {
        window->callQueue()->drain();
    }
}

bool MemoryBackend::pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        pump();
        if (done()) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        std::unique_lock<std::mutex> lock(wakeMutex_);
        wakeSignal_.wait_until(lock, std::min(deadline, now + kPollSlice), [this] { return woken_; });
    }
}

} // namespace fw::mem
