#include "wine/user.h"

#include "framework/testing.h"
#include "text/cp936.h"

#include <stdexcept>

namespace winetest {

namespace {

using fw::Kind;
using fw::kindOfWindow;

constexpr const char* kAnsweredProperty = "winetest.answered";

// A dialog of the system's that holds only labels and buttons: the common
// file dialogs, with their boxes and lists, are left alone.
bool isMessageBox(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") != 0 || fw::isFrameworkDialog(window)) {
        return false;
    }
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, "Static") != 0 && lstrcmpiA(name, "Button") != 0) {
            return false;
        }
    }
    return true;
}

// A message box shows its text in a label and its icon, if it has one, in
// an icon label; the ids of the two differ between Windows and Wine.
ShownMessage readMessageBox(HWND box) {
    ShownMessage shown;
    shown.caption = fw::windowText(box);
    HICON warning = LoadIconA(nullptr, IDI_EXCLAMATION);
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if (lstrcmpiA(name, "Button") == 0 && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            shown.defaultButton = GetDlgCtrlID(child);
        }
        if (lstrcmpiA(name, "Static") != 0) {
            continue;
        }
        if ((style & SS_TYPEMASK) == SS_ICON) {
            shown.warningIcon =
                (style & WS_VISIBLE) != 0 && reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0)) == warning;
        } else if (GetWindowTextLengthA(child) > 0) {
            shown.text = fw::windowText(child);
        }
    }
    return shown;
}

// The window that takes the characters typed into a control.
HWND editField(HWND target) {
    if (kindOfWindow(target) == Kind::Edit) {
        return target;
    }
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    if (kindOfWindow(target) == Kind::ComboBox && GetComboBoxInfo(target, &info) && info.hwndItem != nullptr) {
        return info.hwndItem;
    }
    throw std::logic_error("control " + std::to_string(GetDlgCtrlID(target)) + " has no edit field");
}

void checkEntry(HWND target, UINT countMessage, int index) {
    if (index < 0 || index >= SendMessageA(target, countMessage, 0, 0)) {
        throw std::logic_error("control " + std::to_string(GetDlgCtrlID(target)) + " has no entry " +
                               std::to_string(index));
    }
}

// The left button pressed and released at the middle of line `index` of a
// list. A line out of sight is scrolled into view first.
void clickLine(HWND list, int index) {
    RECT line = {};
    RECT client = {};
    GetClientRect(list, &client);
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&line));
    if (line.top < client.top || line.bottom > client.bottom) {
        SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&line));
    }
    const LPARAM at = MAKELPARAM((line.left + line.right) / 2, (line.top + line.bottom) / 2);
    SendMessageA(list, WM_MOUSEMOVE, 0, at);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
}

} // namespace

thread_local MessageBoxAnswerer* MessageBoxAnswerer::current = nullptr;

MessageBoxAnswerer::MessageBoxAnswerer(std::vector<ShownMessage>* record, int answer)
    : record_(record), answer_(answer), outer_(current) {
    if (outer_ == nullptr) {
        hook_ = SetWindowsHookExA(WH_CBT, onCbt, nullptr, GetCurrentThreadId());
        if (hook_ == nullptr) {
            throw std::runtime_error("the message box hook could not be set");
        }
    }
    current = this;
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    current = outer_;
    if (hook_ != nullptr) {
        UnhookWindowsHookEx(hook_);
    }
}

LRESULT CALLBACK MessageBoxAnswerer::onCbt(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && current != nullptr && isMessageBox(window) &&
        GetPropA(window, kAnsweredProperty) == nullptr) {
        // The box activates while it is still being set up (Wine sets its
        // default button after that): it is read and answered from a timer
        // of its own, in its modal loop.
        SetPropA(window, kAnsweredProperty, window);
        SetTimer(window, 1, USER_TIMER_MINIMUM, onTimer);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK MessageBoxAnswerer::onTimer(HWND box, UINT, UINT_PTR timer, DWORD) {
    KillTimer(box, timer);
    if (current != nullptr) {
        current->answer(box);
    }
}

void MessageBoxAnswerer::answer(HWND box) {
    if (record_ != nullptr) {
        record_->push_back(readMessageBox(box));
    }
    // A box without the asked-for button (an OK box asked Yes) takes OK.
    const int button = GetDlgItem(box, answer_) != nullptr ? answer_ : IDOK;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

HWND User::control(int id) const {
    HWND h = GetDlgItem(dialog_, id);
    if (h == nullptr) {
        throw std::logic_error("the dialog has no control " + std::to_string(id));
    }
    return h;
}

void User::click(int id) {
    HWND button = control(id);
    if (IsWindowEnabled(button)) {
        SendMessageA(button, BM_CLICK, 0, 0);
    }
    settle();
}

void User::type(int id, const std::string& chars) {
    HWND target = control(id);
    HWND field = editField(target);
    if (!IsWindowEnabled(target)) {
        return;
    }
    focus(target);
    const int end = GetWindowTextLengthA(field);
    SendMessageA(field, EM_SETSEL, static_cast<WPARAM>(end), end);
    for (std::size_t i = 0; i < chars.size(); i += text::charLength(chars, i)) {
        // Windows hands an ANSI window a double-byte character as two
        // WM_CHAR, lead byte first, and its edit control joins them; Wine's
        // takes every WM_CHAR byte as a character of its own. Both take the
        // character whole from the Unicode side, converted as the keyboard's
        // input method would.
        WCHAR wide[2] = {};
        const int n = MultiByteToWideChar(CP_ACP, 0, &chars[i], static_cast<int>(text::charLength(chars, i)), wide, 2);
        for (int k = 0; k < n; ++k) {
            SendMessageW(field, WM_CHAR, wide[k], 1);
        }
    }
    settle();
}

void User::dropDown(int id, bool open) {
    HWND box = control(id);
    if (!IsWindowEnabled(box)) {
        return;
    }
    if (open) {
        focus(box);
    }
    SendMessageA(box, CB_SHOWDROPDOWN, open ? TRUE : FALSE, 0);
    settle();
}

// The mouse on the line: a list box's own, or that of a combo box's list,
// which drops down first as a click on its arrow does. The controls send
// their notifications themselves.
void User::choose(int id, int index) {
    HWND target = control(id);
    const bool combo = kindOfWindow(target) == Kind::ComboBox;
    if (!combo && kindOfWindow(target) != Kind::ListBox) {
        throw std::logic_error("control " + std::to_string(id) + " has no entries to choose from");
    }
    checkEntry(target, combo ? CB_GETCOUNT : LB_GETCOUNT, index);
    if (!IsWindowEnabled(target)) {
        return;
    }
    HWND list = target;
    if (combo) {
        focus(target);
        SendMessageA(target, CB_SHOWDROPDOWN, TRUE, 0);
        COMBOBOXINFO info = {};
        info.cbSize = sizeof info;
        if (!GetComboBoxInfo(target, &info) || info.hwndList == nullptr) {
            throw std::logic_error("combo box " + std::to_string(id) + " has no list");
        }
        list = info.hwndList;
    }
    clickLine(list, index);
    settle();
}

void User::systemCommand(unsigned command) {
    SendMessageA(dialog_, WM_SYSCOMMAND, command, 0);
    settle();
}

// Moves the focus to a control that does not have it yet. Moving it again
// would take it from a combo box's edit field to the combo box for a
// moment, which closes the box's list.
void User::focus(HWND target) {
    HWND current = GetFocus();
    if (current != target && !IsChild(target, current)) {
        SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
    }
}

// The key goes through the dialog manager, which either acts on it (Enter,
// Escape) or hands it to the focused control. A control that takes the key
// itself also gets its character; that is sent here rather than left to the
// translation of a key message that did not come from the keyboard.
void User::pressKey(int focusId, WPARAM key) {
    focus(control(focusId));
    HWND target = GetFocus();
    MSG msg = {};
    msg.hwnd = target;
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    msg.lParam = 1 | static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC) << 16);
    const LRESULT wants = SendMessageA(target, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg));
    IsDialogMessageA(dialog_, &msg);
    MSG translated;
    while (PeekMessageA(&translated, target, WM_CHAR, WM_CHAR, PM_REMOVE)) {
    }
    if ((wants & DLGC_WANTMESSAGE) != 0 && IsWindow(target)) {
        SendMessageA(target, WM_CHAR, key, msg.lParam);
    }
    settle();
}

void User::settle() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!IsWindow(dialog_) || !IsDialogMessageA(dialog_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

int runDialog(fw::Dialog& dialog, const std::function<void(User&)>& script, std::vector<ShownMessage>* messages) {
    MessageBoxAnswerer answerer(messages);
    fw::setAfterInitHook([&script](HWND window) {
        User user(window);
        script(user);
    });
    struct ClearHook {
        ~ClearHook() { fw::setAfterInitHook(nullptr); }
    } clear;
    return dialog.doModal();
}

std::string itemText(HWND dialog, int id) {
    return fw::windowText(GetDlgItem(dialog, id));
}

} // namespace winetest
