#include "framework/memory/dialog_keys.h"

#include "framework/dialog.h"
#include "framework/memory/button.h"
#include "framework/memory/combo_box.h"
#include "framework/memory/edit.h"

#include <stdexcept>

namespace fw::mem {

void DialogKeys::moveFocus(int index) {
    if (index == focus_) {
        return;
    }
    if (focus_ >= 0) {
        controls_[static_cast<std::size_t>(focus_)]->loseFocus();
    }
    focus_ = index;
}

void DialogKeys::focusFirstTabStop() {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i]->isInitialFocus()) {
            moveFocus(static_cast<int>(i));
            return;
        }
    }
}

void DialogKeys::clicked(int id) {
    dialog_.handleCommand(id, Notify::Clicked);
}

// Moves the focus for a key press; true when the key only closed the list
// of the focused combo box.
bool DialogKeys::focusForKey(int index) {
    if (index < 0) {
        moveFocus(-1);
        return false;
    }
    MemoryControl& c = *controls_[static_cast<std::size_t>(index)];
    if (!c.isEnabled()) {
        throw std::logic_error("control " + std::to_string(c.id()) + " is disabled and cannot have the focus");
    }
    moveFocus(index);
    auto* combo = dynamic_cast<MemoryComboBox*>(&c);
    return combo != nullptr && combo->closeList();
}

void DialogKeys::pressEnter(int focusIndex) {
    if (focusForKey(focusIndex)) {
        return;
    }
    if (focus_ >= 0) {
        MemoryControl& c = *controls_[static_cast<std::size_t>(focus_)];
        if (auto* button = dynamic_cast<MemoryButton*>(&c); button != nullptr && button->isPushButton()) {
            button->click(controls_);
            return;
        }
        if (auto* edit = dynamic_cast<MemoryEdit*>(&c); edit != nullptr && edit->wantsReturn()) {
            edit->type("\r\n");
            return;
        }
    }
    for (const auto& c : controls_) {
        auto* button = dynamic_cast<MemoryButton*>(c.get());
        if (button != nullptr && button->isDefaultPushButton()) {
            if (button->isEnabled()) {
                button->click(controls_);
            }
            return;
        }
    }
    clicked(kIdOk);
}

void DialogKeys::pressEscape(int focusIndex) {
    if (!focusForKey(focusIndex)) {
        clicked(kIdCancel);
    }
}

bool DialogKeys::systemCommand(unsigned command) {
    const bool handled = dialog_.handleSysCommand(command);
    systemCommands_.push_back(SystemCommandRecord{command, handled});
    if (handled || (command & 0xFFF0) != kScClose) {
        return handled;
    }
    // WM_CLOSE of a dialog: IDCANCEL, unless a Cancel button is disabled.
    for (const auto& c : controls_) {
        if (c->id() == kIdCancel && !c->isEnabled()) {
            return handled;
        }
    }
    clicked(kIdCancel);
    return handled;
}

} // namespace fw::mem
