// A button in memory: push button, check box or radio button. (Group boxes
// are buttons to Win32 but controls of kind Other here.)
//
// - Clicking an automatic check box (push-like ones included) flips it;
//   clicking an automatic radio button sets it; then Clicked goes to the
//   dialog.
// - Setting an automatic radio button, by a click or by setCheck, clears
//   the other enabled radio buttons of its group: from the nearest WS_GROUP
//   control at or before it up to the next one, in template order
//   (disabled ones are passed over, as GetNextDlgGroupItem skips them).
// - A radio button holds WS_TABSTOP exactly while it is set.
#pragma once

#include "framework/memory/control.h"

namespace fw::mem {

class MemoryButton : public MemoryControl {
public:
    MemoryButton(const ItemTemplate& item, Notifier notifier);

    // Whether a button of `style` is a group box (a control of kind Other).
    static bool isGroupBox(std::uint32_t style);

    bool isPushButton() const;
    bool isDefaultPushButton() const;
    bool isRadio() const;
    bool hasCheckState() const;
    bool isChecked() const { return checked_; }

    // BM_SETCHECK. `window` holds every control of the window, this one
    // among them.
    void setCheck(bool on, const Controls& window);
    // A click of the mouse (or BM_CLICK, or Enter on a push button).
    void click(const Controls& window);

private:
    std::uint32_t buttonType() const;
    void clearGroup(const Controls& window);

    bool checked_ = false;
};

} // namespace fw::mem
