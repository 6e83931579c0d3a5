#include "framework/exchange.h"

#include "framework/dialog.h"

#include <stdexcept>

namespace fw {

std::string tooLongMessage(std::size_t maxBytes) {
    // "Please enter no more than N characters."
    return "\xC7\xEB\xCA\xE4\xC8\xEB\xB2\xBB\xB3\xAC\xB9\xFD " + std::to_string(maxBytes) +
           " \xB8\xF6\xD7\xD6\xB7\xFB\xA1\xA3";
}

void Exchange::control(int id, Control& c) {
    if (!c.isBound()) {
        c.bind(dialog_.window(), id);
    }
}

void Exchange::text(int id, std::string& value) {
    if (skip()) {
        return;
    }
    Window& w = dialog_.window();
    if (reading()) {
        value = w.text(id);
    } else if (w.text(id) != value) {
        w.setText(id, value);
    }
}

void Exchange::radio(int firstId, int& value) {
    if (skip()) {
        return;
    }
    Window& w = dialog_.window();
    if (!w.isRadio(firstId) || !w.startsGroup(firstId)) {
        throw std::logic_error("radio group must start at a radio button that starts a group");
    }
    int number = 0;
    int found = -1;
    for (int id = firstId; id != 0 && (id == firstId || !w.startsGroup(id)); id = w.nextInTemplate(id)) {
        if (!w.isRadio(id)) {
            continue;
        }
        if (reading()) {
            if (found < 0 && w.isChecked(id)) {
                found = number;
            }
        } else {
            w.setChecked(id, number == value);
        }
        ++number;
    }
    if (reading()) {
        value = found;
    }
}

void Exchange::boxText(int id, std::string& value) {
    if (skip()) {
        return;
    }
    Window& w = dialog_.window();
    if (reading()) {
        value = w.text(id);
        return;
    }
    if ((value.empty() || w.comboSelectPrefix(id, value) < 0) && w.text(id) != value) {
        w.comboSetEditText(id, value);
    }
}

void Exchange::listSelectionText(int id, std::string& value) {
    if (skip()) {
        return;
    }
    Window& w = dialog_.window();
    if (reading()) {
        const int index = w.listSelected(id);
        value = index < 0 ? std::string() : w.listLine(id, index);
    } else if (!value.empty()) {
        w.listSelectPrefix(id, value);
    }
}

void Exchange::toggle(int id, int& value) {
    if (skip()) {
        return;
    }
    Window& w = dialog_.window();
    if (reading()) {
        value = w.isChecked(id) ? 1 : 0;
    } else {
        w.setChecked(id, value != 0);
    }
}

void Exchange::maxBytes(int id, const std::string& value, std::size_t max) {
    if (skip() || !reading() || value.size() <= max) {
        return;
    }
    dialog_.messageBox(tooLongMessage(max), MessageIcon::Warning);
    dialog_.window().setFocus(id);
    failed_ = true;
}

} // namespace fw
