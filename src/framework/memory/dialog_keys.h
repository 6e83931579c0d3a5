// The dialog manager's part of a window in memory: the focus, the Enter and
// Escape keys, the close box and the system menu.
//
// - Enter with the focus on a combo box whose list is open closes the list;
//   on a push button clicks it; on a multi-line edit with ES_WANTRETURN
//   types "\r\n". Otherwise the default push button is clicked (nothing
//   while it is disabled), or IDOK goes to the dialog without one.
// - Escape closes an open combo box list, or else sends IDCANCEL.
// - A system command goes to the dialog's onSysCommand first; SC_CLOSE that
//   the dialog does not take becomes IDCANCEL, unless control 2 exists and
//   is disabled.
// - The control that loses the focus is told (a combo box closes its list).
#pragma once

#include "framework/memory/control.h"

#include <vector>

namespace fw {
class Dialog;
}

namespace fw::mem {

// The system command of the close box and the system menu's Close item.
constexpr unsigned kScClose = 0xF060;

struct SystemCommandRecord {
    unsigned command = 0;
    bool handled = false; // the dialog's onSysCommand took it
};

class DialogKeys {
public:
    DialogKeys(const Controls& controls, Dialog& dialog) : controls_(controls), dialog_(dialog) {}

    // Controls are known by their index in template order; -1 is none.
    int focus() const { return focus_; }
    void moveFocus(int index);
    // The first enabled visible tab stop, as the dialog manager focuses it
    // after an init that did not set the focus itself.
    void focusFirstTabStop();

    // The key with the focus on control `focusIndex` (-1: none); throws
    // std::logic_error when that control is disabled.
    void pressEnter(int focusIndex);
    void pressEscape(int focusIndex);
    // Returns whether the dialog took the command.
    bool systemCommand(unsigned command);
    const std::vector<SystemCommandRecord>& systemCommands() const { return systemCommands_; }

private:
    bool focusForKey(int index);
    void clicked(int id);

    const Controls& controls_;
    Dialog& dialog_;
    int focus_ = -1;
    std::vector<SystemCommandRecord> systemCommands_;
};

} // namespace fw::mem
