// A dialog window simulated in memory: the memory backend's fw::Window.
//
// The window is built from a dialog template of the compiled resources and
// its controls behave as the Win32 controls do, no more leniently: an id the
// template does not have, or an operation that does not fit the control
// (comboAdd on an edit, a check state of a push button) throws
// std::logic_error; an index outside a list throws std::out_of_range, except
// that selecting past the end leaves no entry selected.
//
// Besides fw::Window it offers what a user does (click, type, choose an
// entry, double-click a line, Enter, Escape, the close box, the system
// menu), for test scripts, and observers for what a user sees. All of it is
// for the window's thread, the thread that runs the dialog; only the call
// queue takes posts from other threads.
//
// The window routes each operation by control id to the simulated control
// (edit.h, combo_box.h, list_box.h with list_items.h and sort_order.h,
// button.h), and the keys and the focus to dialog_keys.h; their headers
// say what each does, as on Win32 (Wine's user32 where the documentation
// is silent). Across all of them:
// - Programmatic changes send no notification; user actions send the ones
//   a user causes (Clicked, SelChange of a list box with LBS_NOTIFY and of
//   every combo box, EditChange of a combo box, DoubleClick of a list box
//   with LBS_NOTIFY).
// - Texts are kept as a window keeps them (control.h: windowText).
// - end(result): the first call gives the result.
// - Labels share the id -1; an id stands for its first control, except
//   that after nextInTemplate the control it moved to stands for its id.
// - Disabled controls keep their text, check state and selection and are
//   read and written as usual; user actions on them do nothing, and they
//   cannot take the focus. Disabling the focused control leaves no control
//   focused.
#pragma once

#include "framework/memory/control.h"
#include "framework/memory/dialog_keys.h"
#include "framework/memory/resources.h"
#include "framework/window.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fw {
class Dialog;
}

namespace fw::mem {

class MemoryBackend;
class MemoryButton;

struct SystemMenuItem {
    int commandId = 0;
    std::string caption;
};

class MemoryWindow : public Window {
public:
    // The system command of the close box and the system menu's Close item.
    static constexpr unsigned kScClose = fw::mem::kScClose;

    // Creates the controls of `tpl` in template order (captions as their
    // texts, disabled with WS_DISABLED) and applies the initialisation data.
    MemoryWindow(const DialogTemplate& tpl, const std::vector<InitRecord>& init, Dialog& dialog,
                 MemoryBackend& backend);
    ~MemoryWindow() override;
    MemoryWindow(const MemoryWindow&) = delete;
    MemoryWindow& operator=(const MemoryWindow&) = delete;

    // --- fw::Window ---
    Kind kindOf(int id) override;
    std::string text(int id) override;
    void setText(int id, const std::string& text) override;
    bool isEnabled(int id) override;
    void enable(int id, bool on) override;
    void setFocus(int id) override;
    int focusedId() override;
    bool isChecked(int id) override;
    void setChecked(int id, bool on) override;
    bool isRadio(int id) override;
    bool startsGroup(int id) override;
    int nextInTemplate(int id) override;
    int comboAdd(int id, const std::string& entry) override;
    int comboCount(int id) override;
    std::string comboEntry(int id, int index) override;
    int comboSelected(int id) override;
    void comboSelect(int id, int index) override;
    int comboSelectPrefix(int id, const std::string& prefix) override;
    void comboSetEditText(int id, const std::string& text) override;
    int listAdd(int id, const std::string& line) override;
    int listInsert(int id, int index, const std::string& line) override;
    void listDelete(int id, int index) override;
    void listClear(int id) override;
    int listCount(int id) override;
    std::string listLine(int id, int index) override;
    int listSelected(int id) override;
    void listSelect(int id, int index) override;
    int listSelectPrefix(int id, const std::string& prefix) override;
    void editLimit(int id, int maxChars) override;
    void editReserve(int id, int maxChars) override;
    void editAppend(int id, const std::string& text) override;
    int editLength(int id) override;
    Rect outerRect() override;
    void move(const Rect& r) override;
    void setIcon(int iconResourceId) override; // throws when the resources have no such icon
    bool appendSystemMenuItem(int commandId, const std::string& caption) override;
    void end(int result) override;
    std::shared_ptr<CallQueue> callQueue() override;

    // --- What a user does ---
    // Each action on a disabled control does nothing. Actions on a control
    // give it the focus first, as the mouse or keyboard would.

    // A push button, check box or radio button. Automatic check boxes
    // (push-like ones included) flip, automatic radio buttons set themselves
    // and clear their group; then Clicked goes to the dialog.
    void click(int id);
    // Types `chars` (code page 936) at the end of an edit or of a combo
    // box's edit field, one character at a time. An edit takes what fits its
    // limit and ignores typing while read-only. A combo box updates its
    // selection (see combo_box.h) and sends EditChange after each character.
    void type(int id, const std::string& chars);
    // Opens or closes a combo box's list.
    void dropDown(int id, bool open);
    // Picks entry `index` of a combo box (its list closes, the edit field
    // shows the entry, SelChange is sent) or line `index` of a list box
    // (SelChange when it has LBS_NOTIFY). Throws when there is no such entry.
    void choose(int id, int index);
    // Double-clicks line `index` of a list box: the line is chosen as
    // above, then DoubleClick is sent when the box has LBS_NOTIFY.
    void doubleClick(int id, int index);
    // The Enter key with the focus on `focusId` (0: no control). A combo box
    // with its list open closes it; a push button is clicked; a multi-line
    // edit with ES_WANTRETURN gets "\r\n" typed; otherwise the default push
    // button is clicked (nothing while it is disabled), or IDOK without one.
    void pressEnter(int focusId);
    // The Escape key: a combo box with its list open closes it; otherwise
    // IDCANCEL goes to the dialog.
    void pressEscape(int focusId);
    // The caption's close button: systemCommand(kScClose).
    void closeBox();
    // A system menu command. The dialog's onSysCommand comes first; when it
    // does not take the command, kScClose is handled by default as IDCANCEL
    // (unless control 2 exists and is disabled) and other commands do
    // nothing. Returns whether the dialog took it.
    bool systemCommand(unsigned command);

    // --- Calls posted from other threads ---
    // Runs the calls queued so far to every window that is shown (they all
    // belong to one thread, as on Win32).
    void pump();
    // Pumps until done() holds or `timeout` has passed, sleeping while
    // nothing is posted. Returns done().
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

    // --- What a user sees ---
    Dialog& dialog() const { return dialog_; }
    int templateId() const { return template_.id; }
    const DialogTemplate& dialogTemplate() const { return template_; }
    std::string caption() const { return template_.caption; }
    bool hasEnded() const { return ended_; }
    int result() const { return result_; }
    // The ids of the controls in template order (-1 for each label).
    std::vector<int> controlIds() const;
    // The style bits as the control has them now (radio buttons gain and
    // lose WS_TABSTOP with their check state).
    std::uint32_t styleOf(int id);
    std::size_t editLimitOf(int id); // in characters
    bool isDroppedDown(int id);
    int icon() const { return icon_; } // 0 until setIcon
    const std::vector<SystemMenuItem>& systemMenuItems() const { return systemMenu_; }
    const std::vector<SystemCommandRecord>& systemCommands() const { return keys_.systemCommands(); }

    // Backend: the focus after initialisation, as the dialog manager sets it
    // when the dialog's init reports it did not set the focus itself.
    void focusFirstTabStop();

private:
    int indexOf(int id) const;
    MemoryControl& find(int id);
    template <class T> T& find(int id, const char* operation);
    MemoryButton& checkable(int id, const char* operation);
    // Gives the control the focus for a user's action; false (and nothing
    // changes) when it is disabled.
    bool takeUserFocus(int index);

    const DialogTemplate& template_;
    Dialog& dialog_;
    MemoryBackend& backend_;
    Controls controls_;
    DialogKeys keys_;
    int cursor_ = -1; // the control nextInTemplate last moved to
    bool ended_ = false;
    int result_ = 0;
    Rect rect_;
    int icon_ = 0;
    std::vector<SystemMenuItem> systemMenu_;
    std::shared_ptr<CallQueue> queue_;
};

} // namespace fw::mem
