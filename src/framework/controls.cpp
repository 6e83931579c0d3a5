#include "framework/controls.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace fw {

namespace {

std::string controlName(HWND control) {
    return "control " + std::to_string(GetDlgCtrlID(control));
}

std::string itemText(const Control& control, LRESULT length, UINT textMessage, int index) {
    if (length < 0) {
        throw std::out_of_range("no entry " + std::to_string(index) + " in " + controlName(control.handle()));
    }
    // The length may be more than the text needs, never less.
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(control.handle(), textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied < 0 ? 0 : static_cast<std::size_t>(copied));
    return text;
}

// The index for a select message. Past the end the control reports an
// error and keeps the selection (Wine) or clears it (Windows); -1 clears it
// on both.
WPARAM selectIndex(int index, int count) {
    if (index < -1) {
        throw std::out_of_range("no entry " + std::to_string(index) + " to select");
    }
    return static_cast<WPARAM>(index < count ? index : -1);
}

int filedAt(LRESULT index, HWND control) {
    if (index < 0) {
        throw std::runtime_error(controlName(control) + " could not take another entry");
    }
    return static_cast<int>(index);
}

// `text` as an ANSI edit converts what it is sent: up to the first zero
// byte, from the ANSI code page, a lone lead byte at the end included.
std::wstring wideText(const std::string& text) {
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    if (!wide.empty()) {
        wide.pop_back(); // the terminating zero
    }
    return wide;
}

// A Unicode edit in the place of `edit` (same id, styles, place, font, text,
// place in the tab order and focus), which it destroys; `edit` itself when
// the new one cannot be made.
HWND unicodeEdit(HWND edit) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    HWND parent = GetParent(edit);
    RECT r = {};
    GetWindowRect(edit, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    HWND unicode =
        CreateWindowExW(static_cast<DWORD>(GetWindowLongW(edit, GWL_EXSTYLE)), L"EDIT", text.c_str(),
                        static_cast<DWORD>(GetWindowLongW(edit, GWL_STYLE)), r.left, r.top, r.right - r.left,
                        r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(edit))),
                        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(edit, GWLP_HINSTANCE)), nullptr);
    if (unicode == nullptr) {
        return edit;
    }
    SendMessageW(unicode, WM_SETFONT, static_cast<WPARAM>(SendMessageW(edit, WM_GETFONT, 0, 0)), FALSE);
    SetWindowPos(unicode, edit, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (GetFocus() == edit) {
        SetFocus(unicode);
    }
    DestroyWindow(edit);
    return unicode;
}

} // namespace

Kind kindOfWindow(HWND control) {
    static const struct {
        const char* className;
        Kind kind;
    } kinds[] = {
        {"Edit", Kind::Edit}, {"ComboBox", Kind::ComboBox}, {"ListBox", Kind::ListBox}, {"Button", Kind::Button}};
    char name[64] = {};
    GetClassNameA(control, name, sizeof name);
    for (const auto& k : kinds) {
        if (lstrcmpiA(name, k.className) == 0) {
            return k.kind;
        }
    }
    return Kind::Other;
}

std::string windowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, &text[0], length + 1)));
    return text;
}

void Control::attach(HWND dialog, int id) {
    HWND h = GetDlgItem(dialog, id);
    if (h == nullptr) {
        throw std::logic_error("the dialog has no control " + std::to_string(id));
    }
    if (kindOfWindow(h) != kind_) {
        throw std::logic_error("control " + std::to_string(id) + " is not of the attached object's kind");
    }
    handle_ = h;
}

HWND Control::handle() const {
    if (handle_ == nullptr) {
        throw std::logic_error("control object used while it has no window");
    }
    return handle_;
}

void Control::setText(const std::string& text) const {
    sendText(WM_SETTEXT, 0, text);
}

LRESULT Control::send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(handle(), message, wParam, lParam);
}

LRESULT Control::sendText(UINT message, WPARAM wParam, const std::string& text) const {
    return send(message, wParam, reinterpret_cast<LPARAM>(text.c_str()));
}

void Edit::reserve(int maxChars) {
    HWND h = handle();
    const bool multiLine = (GetWindowLongW(h, GWL_STYLE) & ES_MULTILINE) != 0;
    // An edit that needs more room for an append grows its buffer to just
    // the length needed, copying all its text, so that appends to a long text
    // grow dearer with it. Only a multi-line Unicode edit takes a buffer made
    // for it; the template makes ANSI ones, so this one is made anew.
    if (multiLine && maxChars > 0 && !IsWindowUnicode(h)) {
        h = unicodeEdit(h);
        attach(GetParent(h), GetDlgCtrlID(h));
    }
    SendMessageW(h, EM_SETLIMITTEXT, static_cast<WPARAM>(maxChars), 0);
    if (!multiLine || maxChars <= 0 || !IsWindowUnicode(h)) {
        return;
    }
    // The buffer is committed memory of which only the part the text
    // reaches is ever touched. Without it the edit keeps growing its own.
    // A text set past the limit is kept whole.
    const int held = GetWindowTextLengthW(h);
    const unsigned long long bytes = (static_cast<unsigned long long>(std::max(maxChars, held)) + 1) * sizeof(WCHAR);
    HLOCAL buffer =
        bytes <= std::numeric_limits<SIZE_T>::max() ? LocalAlloc(LMEM_MOVEABLE, static_cast<SIZE_T>(bytes)) : nullptr;
    if (buffer == nullptr) {
        return;
    }
    GetWindowTextW(h, static_cast<WCHAR*>(LocalLock(buffer)), held + 1);
    LocalUnlock(buffer);
    // The edit frees the buffer it is given; the one it had is the
    // program's to free.
    HLOCAL own = reinterpret_cast<HLOCAL>(SendMessageW(h, EM_GETHANDLE, 0, 0));
    SendMessageW(h, EM_SETHANDLE, reinterpret_cast<WPARAM>(buffer), 0);
    LocalFree(own);
}

void Edit::append(const std::string& text) const {
    // A position past the end puts the caret at the end: asking for the
    // length would cost a pass over the whole text. Replacing the selection
    // scrolls the caret into view.
    constexpr WPARAM kPastTheEnd = 0x7FFFFFFF;
    send(EM_SETSEL, kPastTheEnd, static_cast<LPARAM>(kPastTheEnd));
    if (IsWindowUnicode(handle())) {
        const std::wstring wide = wideText(text);
        SendMessageW(handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
    } else {
        sendText(EM_REPLACESEL, FALSE, text);
    }
}

int ComboBox::add(const std::string& entry) const {
    return filedAt(sendText(CB_ADDSTRING, 0, entry), handle());
}

std::string ComboBox::entry(int index) const {
    return itemText(*this, send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)), CB_GETLBTEXT, index);
}

void ComboBox::select(int index) const {
    send(CB_SETCURSEL, selectIndex(index, count()));
}

int ComboBox::selectPrefix(const std::string& prefix) const {
    const LRESULT index = sendText(CB_SELECTSTRING, static_cast<WPARAM>(-1), prefix);
    return index < 0 ? -1 : static_cast<int>(index);
}

void ComboBox::setEditText(const std::string& text) const {
    setText(text);
    // Whether setting the text also changes the list's selection is the
    // control's own affair; the list box is told directly to have none, as
    // CB_SETCURSEL with -1 would empty the edit field again.
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(handle(), &info) || info.hwndList == nullptr) {
        throw std::logic_error(controlName(handle()) + " has no list");
    }
    SendMessageA(info.hwndList, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int ListBox::add(const std::string& line) const {
    return filedAt(sendText(LB_ADDSTRING, 0, line), handle());
}

int ListBox::insert(int index, const std::string& line) const {
    const LRESULT filed = sendText(LB_INSERTSTRING, static_cast<WPARAM>(index), line);
    if (filed == LB_ERR) {
        throw std::out_of_range("no place " + std::to_string(index) + " in " + controlName(handle()));
    }
    return filedAt(filed, handle());
}

void ListBox::remove(int index) const {
    if (send(LB_DELETESTRING, static_cast<WPARAM>(index)) == LB_ERR) {
        throw std::out_of_range("no line " + std::to_string(index) + " in " + controlName(handle()));
    }
}

std::string ListBox::line(int index) const {
    return itemText(*this, send(LB_GETTEXTLEN, static_cast<WPARAM>(index)), LB_GETTEXT, index);
}

void ListBox::select(int index) const {
    send(LB_SETCURSEL, selectIndex(index, count()));
}

int ListBox::selectPrefix(const std::string& prefix) const {
    const LRESULT index = sendText(LB_SELECTSTRING, static_cast<WPARAM>(-1), prefix);
    return index < 0 ? -1 : static_cast<int>(index);
}

} // namespace fw
