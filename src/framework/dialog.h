// The modal dialog base class: a dialog template run modally, its value
// exchange, its command table, and the services every window uses.
#pragma once

#include "framework/call_queue.h"
#include "framework/exchange.h"

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fw {

// Dialog results and the ids of the standard buttons.
constexpr int kIdOk = IDOK;
constexpr int kIdCancel = IDCANCEL;

// Notifications a command table can be keyed on.
enum class Notify {
    Clicked,     // a push button, radio button or check box was clicked
    SelChange,   // the user changed a list's or a combo box's selection
    EditChange,  // the user changed the text of a combo box's edit field
};

enum class MessageIcon { None, Warning };

// A file dialog as the program asks for it. `filter` is in the form
// "name|pattern|name|pattern||".
struct FileRequest {
    bool save = false;
    std::string filter;
};

// What the user chose: the full path and the 1-based index of the filter
// that was selected when the dialog closed.
struct FileChoice {
    std::string path;
    int filterIndex = 1;
};

class Dialog {
public:
    explicit Dialog(int templateId, Dialog* parent = nullptr) : templateId_(templateId), parent_(parent) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Shows the dialog and returns when it has ended and its window is gone:
    // kIdOk, kIdCancel or what endDialog was given. An error of the
    // initialisation or the destroy step ends the dialog and is thrown here.
    int doModal();

    int templateId() const { return templateId_; }
    bool isShown() const { return handle_ != nullptr; }
    HWND handle() const; // throws std::logic_error while not shown

    // Runs the value exchange; false when a check failed.
    bool updateData(Exchange::Direction direction);
    // Ends the modal run; a later call does not change the result.
    void endDialog(int result);
    void setFocus(int id);

    // A message box with an OK button over this dialog, captioned with the
    // program's name.
    void messageBox(const std::string& text, MessageIcon icon = MessageIcon::None);
    // A Yes/No question with the warning icon and No as the default; true
    // for Yes.
    bool askYesNo(const std::string& text);
    // The common open or save dialog. The current folder stays as it is.
    std::optional<FileChoice> fileDialog(const FileRequest& request);

    // The window's queue of calls from other threads (see CallQueue);
    // closed once the window is gone.
    std::shared_ptr<CallQueue> callQueue() const { return queue_; }
    // Large, small and minimised image, from the program's icon resource.
    void setIcon(int iconResourceId);
    // Appends a separator and an item to the system menu.
    void appendSystemMenuItem(int commandId, const std::string& caption);
    // Makes the window taller (or shorter, for a negative step).
    void growBy(int pixels);

    // Called by the value exchange: `control` is released when the window
    // is destroyed.
    void releaseOnDestroy(Control& control);
    // Runs `work` for the window; an error it raises is reported to the
    // user, and the dialog stays open.
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
    friend class ModalRun;
    struct Entry {
        int id;
        Notify notify;
        std::function<void()> run;
    };

    void handleCommand(int id, Notify notify);
    bool handleSysCommand(unsigned command);
    void attachWindow(HWND window);
    void detachWindow();

    int templateId_;
    Dialog* parent_;
    HWND handle_ = nullptr;
    HICON icon_ = nullptr;
    bool ended_ = false;
    std::shared_ptr<CallQueue> queue_;
    std::vector<Entry> commands_;
    std::vector<Control*> attached_;
};

// A string of the program's string table; empty when there is none.
std::string loadString(int id);

// Runs a program's main window: `show` constructs it and runs it modally.
// Returns the program's exit code: 0, or 1 when the window failed to start
// or ended with an error, after telling the user what failed.
int runMainWindow(const std::function<void()>& show);

} // namespace fw
