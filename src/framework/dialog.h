// The modal dialog base class. A window class is written once against it
// and runs on whichever backend the program or test is linked with.
#pragma once

#include "framework/exchange.h"
#include "framework/types.h"
#include "framework/window.h"

#include <cstddef>
#include <optional>
#include <string>

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

    // Entry points for the backends.
    void attachWindow(Window* window) { window_ = window; }
    bool handleInit() { return onInitDialog(); }
    void handleCommand(int id, Notify notify);
    bool handleSysCommand(unsigned command) { return onSysCommand(command); }
    void handleDestroy();

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
    // The command table: true when an entry handled the command.
    virtual bool onCommand(int /*id*/, Notify /*notify*/) { return false; }
    // True when the system command was handled; false for default handling.
    virtual bool onSysCommand(unsigned /*command*/) { return false; }

private:
    int templateId_;
    Dialog* parent_;
    Window* window_ = nullptr;
};

// A command table entry of dialog class D.
template <class D> struct Command {
    int id;
    Notify notify;
    void (D::*handler)();
};

// Runs the first entry of `table` that matches id and notify.
template <class D, std::size_t N> bool dispatchCommand(D& dialog, const Command<D> (&table)[N], int id, Notify notify) {
    for (const Command<D>& entry : table) {
        if (entry.id == id && entry.notify == notify) {
            (dialog.*entry.handler)();
            return true;
        }
    }
    return false;
}

} // namespace fw
