#include "framework/win32/win32_window.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace fw::win32 {

namespace {

const char* kindName(Kind kind) {
    switch (kind) {
    case Kind::Edit:
        return "an edit";
    case Kind::ComboBox:
        return "a combo box";
    case Kind::ListBox:
        return "a list box";
    case Kind::Button:
        return "a button";
    case Kind::Other:
        break;
    }
    return "a control of another kind";
}

std::string controlName(int id) {
    return "control " + std::to_string(id);
}

LPARAM textParam(const std::string& text) {
    return reinterpret_cast<LPARAM>(text.c_str());
}

std::string windowText(HWND control) {
    const int length = GetWindowTextLengthA(control);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(control, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::string itemText(HWND control, UINT lengthMessage, UINT textMessage, int index) {
    const LRESULT length = SendMessageA(control, lengthMessage, static_cast<WPARAM>(index), 0);
    if (length < 0) {
        throw std::out_of_range("no entry " + std::to_string(index));
    }
    // The length may be more than the text needs, never less.
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(control, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
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

// A timer's end: runs the dialog's queued calls.
void CALLBACK drainQueuedCalls(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    SendMessageA(dialog, kDrainCallsMessage, 0, 0);
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

Win32Window::Win32Window(HWND dialog)
    : dialog_(dialog), queue_(std::make_shared<CallQueue>([dialog] {
          // Calls queued by the window's own thread run after the input and
          // painting waiting by then: a posted message would come before
          // them, and a window that keeps queueing work would stop answering.
          constexpr UINT_PTR kDrainTimer = 1;
          if (GetWindowThreadProcessId(dialog, nullptr) == GetCurrentThreadId()) {
              return SetTimer(dialog, kDrainTimer, USER_TIMER_MINIMUM, drainQueuedCalls) != 0;
          }
          return PostMessageA(dialog, kDrainCallsMessage, 0, 0) != FALSE;
      })) {}

HWND Win32Window::control(int id) {
    if (cursor_ != nullptr && GetDlgCtrlID(cursor_) == id) {
        return cursor_;
    }
    HWND h = GetDlgItem(dialog_, id);
    if (h == nullptr) {
        throw std::logic_error("the dialog has no " + controlName(id));
    }
    return h;
}

HWND Win32Window::control(int id, Kind kind) {
    HWND h = control(id);
    if (kindOfWindow(h) != kind) {
        throw std::logic_error(controlName(id) + " is not " + kindName(kind));
    }
    return h;
}

Kind Win32Window::kindOf(int id) {
    return kindOfWindow(control(id));
}

std::string Win32Window::text(int id) {
    return windowText(control(id));
}

void Win32Window::setText(int id, const std::string& text) {
    SendMessageA(control(id), WM_SETTEXT, 0, textParam(text));
}

bool Win32Window::isEnabled(int id) {
    return IsWindowEnabled(control(id)) != FALSE;
}

void Win32Window::enable(int id, bool on) {
    EnableWindow(control(id), on ? TRUE : FALSE);
}

void Win32Window::setFocus(int id) {
    SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(id)), TRUE);
}

int Win32Window::focusedId() {
    HWND focus = GetFocus();
    if (focus == nullptr || !IsChild(dialog_, focus)) {
        return 0;
    }
    // A combo box's edit field has the focus for its combo box.
    while (GetAncestor(focus, GA_PARENT) != dialog_) {
        focus = GetAncestor(focus, GA_PARENT);
    }
    return GetDlgCtrlID(focus);
}

bool Win32Window::isChecked(int id) {
    return SendMessageA(control(id, Kind::Button), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Window::setChecked(int id, bool on) {
    SendMessageA(control(id, Kind::Button), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32Window::isRadio(int id) {
    HWND h = control(id);
    if (kindOfWindow(h) != Kind::Button) {
        return false;
    }
    const LONG type = GetWindowLongA(h, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool Win32Window::startsGroup(int id) {
    return (GetWindowLongA(control(id), GWL_STYLE) & WS_GROUP) != 0;
}

int Win32Window::nextInTemplate(int id) {
    // The dialog manager creates the controls in template order, each below
    // the one before.
    cursor_ = GetWindow(control(id), GW_HWNDNEXT);
    return cursor_ == nullptr ? 0 : GetDlgCtrlID(cursor_);
}

int Win32Window::comboAdd(int id, const std::string& entry) {
    const LRESULT index = SendMessageA(control(id, Kind::ComboBox), CB_ADDSTRING, 0, textParam(entry));
    if (index < 0) {
        throw std::runtime_error(controlName(id) + " could not take another entry");
    }
    return static_cast<int>(index);
}

int Win32Window::comboCount(int id) {
    return static_cast<int>(SendMessageA(control(id, Kind::ComboBox), CB_GETCOUNT, 0, 0));
}

std::string Win32Window::comboEntry(int id, int index) {
    return itemText(control(id, Kind::ComboBox), CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

int Win32Window::comboSelected(int id) {
    return static_cast<int>(SendMessageA(control(id, Kind::ComboBox), CB_GETCURSEL, 0, 0));
}

void Win32Window::comboSelect(int id, int index) {
    HWND h = control(id, Kind::ComboBox);
    SendMessageA(h, CB_SETCURSEL, selectIndex(index, static_cast<int>(SendMessageA(h, CB_GETCOUNT, 0, 0))), 0);
}

int Win32Window::comboSelectPrefix(int id, const std::string& prefix) {
    const LRESULT index =
        SendMessageA(control(id, Kind::ComboBox), CB_SELECTSTRING, static_cast<WPARAM>(-1), textParam(prefix));
    return index < 0 ? -1 : static_cast<int>(index);
}

void Win32Window::comboSetEditText(int id, const std::string& text) {
    HWND h = control(id, Kind::ComboBox);
    SendMessageA(h, WM_SETTEXT, 0, textParam(text));
    // Whether setting the text also changes the list's selection is the
    // control's own affair; the list box is told directly to have none, as
    // CB_SETCURSEL with -1 would empty the edit field again.
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(h, &info) || info.hwndList == nullptr) {
        throw std::logic_error(controlName(id) + " has no list");
    }
    SendMessageA(info.hwndList, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int Win32Window::listAdd(int id, const std::string& line) {
    const LRESULT index = SendMessageA(control(id, Kind::ListBox), LB_ADDSTRING, 0, textParam(line));
    if (index < 0) {
        throw std::runtime_error(controlName(id) + " could not take another line");
    }
    return static_cast<int>(index);
}

int Win32Window::listInsert(int id, int index, const std::string& line) {
    const LRESULT filed =
        SendMessageA(control(id, Kind::ListBox), LB_INSERTSTRING, static_cast<WPARAM>(index), textParam(line));
    if (filed == LB_ERR) {
        throw std::out_of_range("no place " + std::to_string(index) + " in " + controlName(id));
    }
    if (filed < 0) {
        throw std::runtime_error(controlName(id) + " could not take another line");
    }
    return static_cast<int>(filed);
}

void Win32Window::listDelete(int id, int index) {
    if (SendMessageA(control(id, Kind::ListBox), LB_DELETESTRING, static_cast<WPARAM>(index), 0) == LB_ERR) {
        throw std::out_of_range("no line " + std::to_string(index) + " in " + controlName(id));
    }
}

void Win32Window::listClear(int id) {
    SendMessageA(control(id, Kind::ListBox), LB_RESETCONTENT, 0, 0);
}

int Win32Window::listCount(int id) {
    return static_cast<int>(SendMessageA(control(id, Kind::ListBox), LB_GETCOUNT, 0, 0));
}

std::string Win32Window::listLine(int id, int index) {
    return itemText(control(id, Kind::ListBox), LB_GETTEXTLEN, LB_GETTEXT, index);
}

int Win32Window::listSelected(int id) {
    return static_cast<int>(SendMessageA(control(id, Kind::ListBox), LB_GETCURSEL, 0, 0));
}

void Win32Window::listSelect(int id, int index) {
    HWND h = control(id, Kind::ListBox);
    SendMessageA(h, LB_SETCURSEL, selectIndex(index, static_cast<int>(SendMessageA(h, LB_GETCOUNT, 0, 0))), 0);
}

int Win32Window::listSelectPrefix(int id, const std::string& prefix) {
    const LRESULT index =
        SendMessageA(control(id, Kind::ListBox), LB_SELECTSTRING, static_cast<WPARAM>(-1), textParam(prefix));
    return index < 0 ? -1 : static_cast<int>(index);
}

void Win32Window::editLimit(int id, int maxChars) {
    SendMessageA(control(id, Kind::Edit), EM_SETLIMITTEXT, static_cast<WPARAM>(maxChars), 0);
}

void Win32Window::editReserve(int id, int maxChars) {
    HWND h = control(id, Kind::Edit);
    const bool multiLine = (GetWindowLongW(h, GWL_STYLE) & ES_MULTILINE) != 0;
    // An edit that needs more room for an append grows its buffer to just
    // the length needed, copying all its text, so that appends to a long text
    // grow dearer with it. Only a multi-line Unicode edit takes a buffer made
    // for it; the template makes ANSI ones, so this one is made anew.
    if (multiLine && maxChars > 0 && !IsWindowUnicode(h)) {
        HWND unicode = unicodeEdit(h);
        if (cursor_ == h) {
            cursor_ = unicode;
        }
        h = unicode;
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

void Win32Window::editAppend(int id, const std::string& text) {
    HWND h = control(id, Kind::Edit);
    // A position past the end puts the caret at the end: asking for the
    // length would cost a pass over the whole text. Replacing the selection
    // scrolls the caret into view.
    constexpr WPARAM kPastTheEnd = 0x7FFFFFFF;
    SendMessageA(h, EM_SETSEL, kPastTheEnd, static_cast<LPARAM>(kPastTheEnd));
    if (IsWindowUnicode(h)) {
        const std::wstring wide = wideText(text);
        SendMessageW(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
    } else {
        SendMessageA(h, EM_REPLACESEL, FALSE, textParam(text));
    }
}

int Win32Window::editLength(int id) {
    return GetWindowTextLengthA(control(id, Kind::Edit));
}

Rect Win32Window::outerRect() {
    RECT r = {};
    GetWindowRect(dialog_, &r);
    return Rect{r.left, r.top, r.right, r.bottom};
}

void Win32Window::move(const Rect& r) {
    MoveWindow(dialog_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void Win32Window::setIcon(int iconResourceId) {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconResourceId));
    if (icon == nullptr) {
        throw std::runtime_error("the program has no icon " + std::to_string(iconResourceId));
    }
    SendMessageA(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    icon_ = icon;
}

bool Win32Window::appendSystemMenuItem(int commandId, const std::string& caption) {
    HMENU menu = GetSystemMenu(dialog_, FALSE);
    if (menu == nullptr) {
        return false;
    }
    if (!AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) ||
        !AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(commandId), caption.c_str())) {
        throw std::runtime_error("the system menu could not take another item");
    }
    return true;
}

void Win32Window::end(int result) {
    // The window stays until the modal loop has seen the end, and a later
    // end must not change the result the first one gave.
    if (ended_) {
        return;
    }
    ended_ = true;
    EndDialog(dialog_, result);
}

} // namespace fw::win32
