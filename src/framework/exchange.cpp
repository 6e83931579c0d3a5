#include "framework/exchange.h"

#include "framework/dialog.h"

#include <stdexcept>

namespace fw {

namespace {

bool isRadio(HWND h) {
    const LONG type = GetWindowLongA(h, GWL_STYLE) & BS_TYPEMASK;
    return kindOfWindow(h) == Kind::Button && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

bool startsGroup(HWND h) {
    return (GetWindowLongA(h, GWL_STYLE) & WS_GROUP) != 0;
}

} // namespace

std::string tooLongMessage(std::size_t maxBytes) {
    // "Please enter no more than N characters."
    return "请输入不超过 " + std::to_string(maxBytes) + " 个字符。";
}

HWND Exchange::dialogHandle() const {
    return dialog_.handle();
}

HWND Exchange::item(int id) const {
    HWND h = GetDlgItem(dialogHandle(), id);
    if (h == nullptr) {
        throw std::logic_error("the dialog has no control " + std::to_string(id));
    }
    return h;
}

void Exchange::control(int id, Control& c) {
    c.attach(dialogHandle(), id);
    dialog_.releaseOnDestroy(c);
}

void Exchange::text(int id, std::string& value) {
    if (failed_) {
        return;
    }
    HWND h = item(id);
    if (reading()) {
        value = windowText(h);
    } else if (windowText(h) != value) {
        SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
    }
}

void Exchange::radio(int firstId, int& value) {
    if (failed_) {
        return;
    }
    HWND first = item(firstId);
    if (!isRadio(first) || !startsGroup(first)) {
        throw std::logic_error("radio group must start at a radio button that starts a group");
    }
    // The dialog manager creates the controls in template order, each below
    // the one before.
    int number = 0;
    int found = -1;
    for (HWND h = first; h != nullptr && (h == first || !startsGroup(h)); h = GetWindow(h, GW_HWNDNEXT)) {
        if (!isRadio(h)) {
            continue;
        }
        if (reading()) {
            if (found < 0 && SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED) {
                found = number;
            }
        } else {
            SendMessageA(h, BM_SETCHECK, number == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++number;
    }
    if (reading()) {
        value = found;
    }
}

void Exchange::boxText(int id, std::string& value) {
    if (failed_) {
        return;
    }
    const ComboBox box = attached<ComboBox>(id);
    if (reading()) {
        value = box.text();
    } else if ((value.empty() || box.selectPrefix(value) < 0) && box.text() != value) {
        box.setEditText(value);
    }
}

void Exchange::listSelectionText(int id, std::string& value) {
    if (failed_) {
        return;
    }
    const ListBox list = attached<ListBox>(id);
    if (reading()) {
        const int index = list.selected();
        value = index < 0 ? std::string() : list.line(index);
    } else if (!value.empty()) {
        list.selectPrefix(value);
    }
}

void Exchange::toggle(int id, int& value) {
    if (failed_) {
        return;
    }
    const Button button = attached<Button>(id);
    if (reading()) {
        value = button.isChecked() ? 1 : 0;
    } else {
        button.setChecked(value != 0);
    }
}

void Exchange::maxBytes(int id, const std::string& value, std::size_t max) {
    if (failed_ || !reading() || value.size() <= max) {
        return;
    }
    dialog_.messageBox(tooLongMessage(max), MessageIcon::Warning);
    dialog_.setFocus(id);
    failed_ = true;
}

} // namespace fw
