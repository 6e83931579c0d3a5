// The memory backend: Brennick's windows run in memory, on templates read
// from the compiled resource script, driven by test scripts.
//
// A test queues, before it shows a dialog, what happens once the dialog is
// up, and the answers to the file dialogs it will meet:
//
//     fw::mem::MemoryBackend& mem = fw::mem::memoryBackend();
//     mem.reset();                                  // in SetUp
//     mem.answerFileDialog(fw::FileChoice{"/tmp/a.ctl", 1});
//     mem.onShow(IDD_MAIN, [](fw::mem::MemoryWindow& w) {
//         w.type(IDC_FIELD_NAME, "ID");
//         w.click(IDC_SAVE_CTL);                    // uses the answer above
//         w.closeBox();                             // the script ends the dialog
//     });
//     dialog.doModal();
//     EXPECT_TRUE(mem.unused().empty());            // every script and answer was used
//     EXPECT_EQ(mem.messages().size(), 0u);
//
// Showing a dialog (runModal) on template T:
//  1. builds a MemoryWindow from template T (see memory_window.h), applies
//     T's initialisation data and attaches the window to the dialog;
//  2. runs the dialog's init; when it returns true, the focus goes to the
//     first enabled tab stop in template order;
//  3. unless the init has already ended the dialog, takes the next script
//     queued for T (std::logic_error when there is none) and runs it; the
//     script must end the dialog, directly or through the user actions,
//     or std::logic_error("dialog T still open after its script") follows;
//  4. closes the window's call queue (later posts are dropped), runs the
//     dialog's destroy step and returns the result.
// A dialog shown from inside a script (a button that opens another dialog)
// takes its own script in the same way, nested. When the init, a script or
// the destroy step throws, the call queue is still closed, the destroy step
// still runs and the window is detached; then the first exception leaves
// runModal.
//
// A message box is recorded, runs the calls posted so far to the shown
// windows (as the modal loop of a real one dispatches them while it is
// open) and is then answered with OK; file dialogs take
// the next queued answer (std::logic_error when there is none) and are
// recorded too. All of this is for the window's thread (the test's thread);
// only posting to a window's call queue may come from other threads.
#pragma once

#include "framework/backend.h"
#include "framework/memory/memory_window.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace fw::mem {

// A message box as it was shown.
struct ShownMessageBox {
    std::string caption; // the program's name
    std::string text;
    MessageIcon icon = MessageIcon::None;
    int ownerTemplate = 0; // the template of the owning dialog, 0 without one
};

class MemoryBackend : public Backend {
public:
    using Script = std::function<void(MemoryWindow&)>;

    // Waits for a wake-up under way on a worker's thread: a worker may still
    // be signalling when the program ends.
    ~MemoryBackend() override;

    // --- fw::Backend ---
    int runModal(Dialog& dialog) override;
    void messageBox(Dialog* owner, const std::string& text, MessageIcon icon) override;
    // Shown as a message box and also kept as a failure, which unused()
    // reports until a test takes it with takeFailures().
    void reportFailure(Dialog* owner, const std::string& text) override;
    std::optional<FileChoice> fileDialog(Dialog* owner, const FileRequest& request) override;
    // From the compiled string table; empty when it has no string `id`.
    std::string loadString(int id) override;

    // --- Scripts ---
    // Queues `script` for the next time a dialog on `templateId` is shown;
    // scripts for one template run in the order they were queued.
    void onShow(int templateId, Script script);

    // --- Message boxes ---
    const std::vector<ShownMessageBox>& messages() const { return messages_; }
    // The messages shown so far; the record starts empty again.
    std::vector<ShownMessageBox> takeMessages();
    // The caption of every message box: the executable's name without its
    // extension on Windows, "Brennick" by default here.
    void setProgramName(const std::string& name) { programName_ = name; }
    const std::string& programName() const { return programName_; }

    // The command failures reported so far; the record starts empty again.
    std::vector<std::string> takeFailures();

    // --- File dialogs ---
    // Queues the user's answer to the next file dialog: the chosen file, or
    // std::nullopt for Cancel.
    void answerFileDialog(std::optional<FileChoice> answer);
    // Every file dialog asked for so far, in order.
    const std::vector<FileRequest>& fileRequests() const { return fileRequests_; }

    // --- Bookkeeping of a test ---
    // Drops every queued script and answer and every record; the program
    // name goes back to its default.
    void reset();
    // What was queued and not used, one description per template or kind
    // ("2 scripts for dialog 130", "1 file dialog answer"), and every
    // command failure not taken; empty when everything was used and no
    // command failed.
    std::vector<std::string> unused() const;

    // The window of the innermost dialog shown, nullptr when none is.
    MemoryWindow* activeWindow() const { return windows_.empty() ? nullptr : windows_.back(); }

    // --- For MemoryWindow ---
    // A call queue whose posts wake pumpUntil.
    std::shared_ptr<CallQueue> makeCallQueue();
    void pump();
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

private:
    Script takeScript(int templateId);
    void wake();

    std::map<int, std::deque<Script>> scripts_;
    std::deque<std::optional<FileChoice>> fileAnswers_;
    std::vector<ShownMessageBox> messages_;
    std::vector<std::string> failures_;
    std::vector<FileRequest> fileRequests_;
    std::string programName_ = kDefaultProgramName;
    std::vector<MemoryWindow*> windows_; // shown, outermost first

    std::mutex wakeMutex_;
    std::condition_variable wakeSignal_;
    bool woken_ = false;

    static constexpr const char* kDefaultProgramName = "Brennick";
};

// The memory backend, the same object that fw::backend() returns in a
// program linked with it.
MemoryBackend& memoryBackend();

} // namespace fw::mem
