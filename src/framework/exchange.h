// Value exchange between a dialog's controls and its members.
//
// One exchange function per dialog lists every value once; the direction
// decides whether controls are read (Read) or written (Write). A failed
// check stops the rest of a read: later calls do nothing.
#pragma once

#include "framework/controls.h"

#include <string>

namespace fw {

class Dialog;

class Exchange {
public:
    enum class Direction { Read, Write };

    Exchange(Dialog& dialog, Direction direction) : dialog_(dialog), direction_(direction) {}

    bool reading() const { return direction_ == Direction::Read; }
    bool failed() const { return failed_; }

    // Attaches a control object to its control, until the window goes.
    void control(int id, Control& c);

    // The control's whole text (a combo box's edit field). Written only when
    // it differs.
    void text(int id, std::string& value);
    // The number of the set button of the radio group that starts at
    // firstId, -1 when none is set. The group runs in template order up to
    // the next control that starts a group.
    void radio(int firstId, int& value);
    // A combo box's edit text. Writing selects the first entry that begins
    // with the value ignoring case; otherwise (and always for an empty value)
    // the edit field shows the value and no entry is selected.
    void boxText(int id, std::string& value);
    // The selected line's text, empty without a selection. Writing selects
    // the first line that begins with the value ignoring case; otherwise the
    // selection is left as it is.
    void listSelectionText(int id, std::string& value);
    // 1 while a check box is set, 0 otherwise.
    void toggle(int id, int& value);
    // Reading only: fails when value is longer than maxBytes bytes, after the
    // standard message and with the focus moved to the control.
    void maxBytes(int id, const std::string& value, std::size_t maxBytes);

private:
    HWND item(int id) const;
    template <class C> C attached(int id) const {
        C c;
        c.attach(dialogHandle(), id);
        return c;
    }
    HWND dialogHandle() const;

    Dialog& dialog_;
    Direction direction_;
    bool failed_ = false;
};

// The standard message of the length check.
std::string tooLongMessage(std::size_t maxBytes);

} // namespace fw
