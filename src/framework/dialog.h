// The modal dialog base class. A window class is written once against it
// and runs on whichever backend the program or test is linked with.
#pragma once

#include "framework/exchange.h"
#include "framework/types.h"
#include "framework/window.h"

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace fw {

class Dialog {
public:
    explicit Dialog(int templateId, Dialog* parent = nullptr) : templateId_(templateId), parent_(parent) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Shows the dialog and returns when it has ended and its window is gone:
    // kIdOk, kIdCancel or what endDialog was given.
    int doModal();

    int templateId() const { return templateId_; }
    Dialog* parent() const { return parent_; }
    bool isShown() const { return window_ != nullptr; }
    Window& window(); // throws std::logic_error while not shown

    // Runs the value exchange; false when a check failed.
    bool updateData(Exchange::Direction direction);
    void endDialog(int result);

    // A message box with an OK button over this dialog, captioned with the
    // program's name.
    void messageBox(const std::string& text, MessageIcon icon = MessageIcon::None);
    std::optional<FileChoice> fileDialog(const FileRequest& request);

    // Entry points for the backends. Init and destroy let errors through
    // (the modal run ends with them); a command, a system command or a call
    // that fails is reported to the user and the dialog stays open.
    void attachWindow(Window* window) { window_ = window; }
    bool handleInit() { return onInitDialog(); }
    void handleCommand(int id, Notify notify);
    bool handleSysCommand(unsigned command);
    void handleDestroy();
    // Runs `work` for the window; an error it raises is reported as a
    // command's would be.
    void guarded(const std::function<void()>& work);

protected:
    // Default: writes the values into the controls and returns true, so the
    // focus goes to the first tab stop.
    virtual bool onInitDialog();
    virtual void doDataExchange(Exchange&) {}
    // Default: reads the values and ends with kIdOk unless a check failed.
    virtual void onOK();
    // Default: ends with kIdCancel.
    virtual void onCancel();
    // Runs while the window still exists, after the modal run has ended.
    virtual void onDestroy() {}
    // The command table: true when an entry handled the command. By default
    // the entries given to commands() are looked up.
    virtual bool onCommand(int id, Notify notify);
    // True when the system command was handled; false for default handling.
    virtual bool onSysCommand(unsigned /*command*/) { return false; }

    // A command table entry of dialog class D; its handler may be private.
    template <class D> struct Command {
        int id;
        Notify notify;
        void (D::*handler)();
    };

    // Sets the dialog's command table, from the constructor of dialog class
    // D: the first entry that matches a control's id and notification runs.
    template <class D> void commands(std::initializer_list<Command<D>> table) {
        D* self = static_cast<D*>(this);
        commands_.clear();
        for (const Command<D>& entry : table) {
            commands_.push_back({entry.id, entry.notify, [self, handler = entry.handler] { (self->*handler)(); }});
        }
    }

private:
    struct Entry {
        int id;
        Notify notify;
        std::function<void()> run;
    };

    int templateId_;
    Dialog* parent_;
    Window* window_ = nullptr;
    std::vector<Entry> commands_;
};

// Runs a program's main window: `show` constructs it and runs it modally.
// Returns the program's exit code: 0, or 1 when the window failed to start
// or ended with an error, after telling the user what failed.
int runMainWindow(const std::function<void()>& show);

} // namespace fw
