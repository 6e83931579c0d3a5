// A dialog window simulated in memory: the memory backend's fw::Window.
//
// The window is built from a dialog template of the compiled resources and
// its controls behave as the Win32 controls do, no more leniently: an id the
// template does not have, or an operation that does not fit the control
// (comboAdd on an edit, a check state of a push button, an index past the
// end of a list where Win32 reports an error), throws std::logic_error.
//
// Besides fw::Window it offers what a user does (click, type, choose an
// entry, Enter, Escape, the close box, the system menu), for test scripts,
// and observers for what a user sees. All of it is for the window's thread,
// the thread that runs the dialog; only the call queue takes posts from
// other threads.
//
// Control behaviour, as on Win32 (Wine's user32 where the documentation is
// silent):
// - Programmatic changes send no notification; user actions send the ones
//   a user causes (Clicked, SelChange of a list box with LBS_NOTIFY and of
//   every combo box, EditChange of a combo box).
// - Radio buttons: clicking an automatic radio button, and setChecked(true)
//   on one, sets it and clears the other enabled radio buttons of its group
//   (from the nearest preceding WS_GROUP control up to the next one, in
//   template order). Setting a radio button gives it WS_TABSTOP and clearing
//   it takes WS_TABSTOP away.
// - Lists of combo boxes and list boxes: select(-1) clears the selection;
//   an index outside the list throws std::out_of_range (for selecting,
//   reading, inserting and deleting alike). Deleting the selected entry
//   leaves none selected; inserting or deleting before it moves the
//   selection with its entry.
// - Combo boxes (CBS_DROPDOWN): comboSelect shows the entry in the edit
//   field (-1 empties it); comboSetEditText leaves no entry selected;
//   setText changes the edit field only and keeps the selection. Typing
//   keeps the selection on the first entry that begins with the whole text
//   (ignoring case) while the list is dropped down, and leaves no entry
//   selected while it is closed. Dropping the list down (as CB_SHOWDROPDOWN
//   and the F4 key do) selects the first entry that begins with the edit
//   text and shows that entry whole, or leaves no entry selected.
// - Sorted boxes (CBS_SORT, LBS_SORT) file added entries in the order of the
//   locale's case-insensitive comparison: symbols before digits before
//   letters, letters without regard to case, double-byte characters after
//   them in code order.
// - Prefix searches (comboSelectPrefix, listSelectPrefix and the typing
//   rule) compare with text::startsWithNoCase; an empty prefix matches no
//   entry.
// - Edits: the text limit counts bytes (code page 936, a double-byte
//   character counting two) and starts at 32767 as documented for
//   EM_SETLIMITTEXT; editLimit(0) lifts it to the maximum. The limit cuts
//   what the user types and what editAppend adds (EM_REPLACESEL keeps to it,
//   never splitting a character), never what setText puts in (WM_SETTEXT).
// - end(result): the first call gives the result.
// - Labels share the id -1; an id stands for its first control, except
//   that after nextInTemplate the control it moved to stands for its id.
// - Disabled controls keep their text, check state and selection and are
//   read and written as usual; user actions on them do nothing, and they
//   cannot take the focus. Disabling the focused control leaves no control
//   focused.
// - Moving the focus away from a combo box closes its list.
#pragma once

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

struct SystemMenuItem {
    int commandId = 0;
    std::string caption;
};

struct SystemCommandRecord {
    unsigned command = 0;
    bool handled = false; // the dialog's onSysCommand took it
};

class MemoryWindow : public Window {
public:
    // The system command of the close box and the system menu's Close item.
    static constexpr unsigned kScClose = 0xF060;

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
    // selection (see above) and sends EditChange after each character.
    void type(int id, const std::string& chars);
    // Opens or closes a combo box's list.
    void dropDown(int id, bool open);
    // Picks entry `index` of a combo box (its list closes, the edit field
    // shows the entry, SelChange is sent) or line `index` of a list box
    // (SelChange when it has LBS_NOTIFY). Throws when there is no such entry.
    void choose(int id, int index);
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
    std::size_t editLimitOf(int id);
    bool isDroppedDown(int id);
    int icon() const { return icon_; } // 0 until setIcon
    const std::vector<SystemMenuItem>& systemMenuItems() const { return systemMenu_; }
    const std::vector<SystemCommandRecord>& systemCommands() const { return systemCommands_; }

    // Backend: the focus after initialisation, as the dialog manager sets it
    // when the dialog's init reports it did not set the focus itself.
    void focusFirstTabStop();

private:
    struct Control;

    Control& find(int id);
    Control& find(int id, Kind kind, const char* operation);
    Control& comboWithEdit(int id, const char* operation);
    Control& checkable(int id, const char* operation);
    int indexOf(int id) const;
    void setCheck(std::size_t index, bool on);
    void moveFocus(int index);
    bool focusForKey(int focusId);
    void typeInto(Control& c, const std::string& chars);
    void notify(int id, Notify what);

    const DialogTemplate& template_;
    Dialog& dialog_;
    MemoryBackend& backend_;
    std::vector<Control> controls_;
    int focus_ = -1;  // index into controls_
    int cursor_ = -1; // the control nextInTemplate last moved to
    bool ended_ = false;
    int result_ = 0;
    Rect rect_;
    int icon_ = 0;
    std::vector<SystemMenuItem> systemMenu_;
    std::vector<SystemCommandRecord> systemCommands_;
    std::shared_ptr<CallQueue> queue_;
};

} // namespace fw::mem
