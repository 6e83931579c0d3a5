// The contract suite's harness for the Win32 backend: the dialogs are real
// windows from the program's templates, and the user acts on them with the
// messages that a person's keys and clicks produce.
#include "contract/harness.h"
#include "contract/win32_user.h"
#include "framework/win32/win32_testing.h"
#include "framework/win32/win32_window.h"
#include "text/cp936.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace contract {

namespace {

using fw::Kind;
using fw::win32::kindOfWindow;

// Answers with OK every message box this thread shows while it lives, and
// records what each one said.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(std::vector<ShownMessage>* record) : record_(record), outer_(current) {
        if (outer_ == nullptr) {
            hook_ = SetWindowsHookExA(WH_CBT, onCbt, nullptr, GetCurrentThreadId());
            if (hook_ == nullptr) {
                throw std::runtime_error("the message box hook could not be set");
            }
        }
        current = this;
    }
    ~MessageBoxAnswerer() {
        current = outer_;
        if (hook_ != nullptr) {
            UnhookWindowsHookEx(hook_);
        }
    }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

private:
    static constexpr const char* kAnsweredProperty = "contract.answered";

    static LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE && current != nullptr && isMessageBox(window) &&
            GetPropA(window, kAnsweredProperty) == nullptr) {
            SetPropA(window, kAnsweredProperty, window);
            current->answer(window);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    // A dialog of the system's that holds only labels and buttons: the
    // common file dialogs, with their boxes and lists, are left alone.
    static bool isMessageBox(HWND window) {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (lstrcmpA(name, "#32770") != 0 || fw::win32::isBackendDialog(window)) {
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

    void answer(HWND box) {
        if (record_ != nullptr) {
            record_->push_back(read(box));
        }
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    }

    // A message box shows its text in a label and its icon, if it has one,
    // in an icon label; the ids of the two differ between Windows and Wine.
    static ShownMessage read(HWND box) {
        ShownMessage shown;
        HICON warning = LoadIconA(nullptr, IDI_EXCLAMATION);
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            char name[16] = {};
            GetClassNameA(child, name, sizeof name);
            if (lstrcmpiA(name, "Static") != 0) {
                continue;
            }
            const LONG style = GetWindowLongA(child, GWL_STYLE);
            if ((style & SS_TYPEMASK) == SS_ICON) {
                shown.warningIcon = (style & WS_VISIBLE) != 0 &&
                                    reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0)) == warning;
            } else if (GetWindowTextLengthA(child) > 0) {
                std::string text(static_cast<std::size_t>(GetWindowTextLengthA(child)) + 1, '\0');
                text.resize(static_cast<std::size_t>(GetWindowTextA(child, &text[0], static_cast<int>(text.size()))));
                shown.text = text;
            }
        }
        return shown;
    }

    static thread_local MessageBoxAnswerer* current;
    std::vector<ShownMessage>* record_;
    MessageBoxAnswerer* outer_;
    HHOOK hook_ = nullptr;
};

thread_local MessageBoxAnswerer* MessageBoxAnswerer::current = nullptr;

// A user of one shown dialog. Each action ends when the messages it caused
// have been handled, the posted ones included (the dialog manager posts the
// Cancel command of the close box, for one).
class Win32User final : public User {
public:
    explicit Win32User(HWND dialog) : dialog_(dialog) {}

    void click(int id) override {
        HWND button = control(id, Kind::Button);
        if (IsWindowEnabled(button)) {
            SendMessageA(button, BM_CLICK, 0, 0);
        }
        settle();
    }

    void type(int id, const std::string& chars) override {
        HWND target = control(id);
        HWND field = editField(target, id);
        if (!IsWindowEnabled(target)) {
            return;
        }
        focus(target);
        const int end = GetWindowTextLengthA(field);
        SendMessageA(field, EM_SETSEL, static_cast<WPARAM>(end), end);
        for (std::size_t i = 0; i < chars.size(); i += text::charLength(chars, i)) {
            // Windows hands an ANSI window a double-byte character as two
            // WM_CHAR, lead byte first, and its edit control joins them;
            // Wine's takes every WM_CHAR byte as a character of its own.
            // Both take the character whole from the Unicode side, converted
            // as the keyboard's input method would.
            WCHAR wide[2] = {};
            const int n =
                MultiByteToWideChar(CP_ACP, 0, &chars[i], static_cast<int>(text::charLength(chars, i)), wide, 2);
            for (int k = 0; k < n; ++k) {
                SendMessageW(field, WM_CHAR, wide[k], 1);
            }
        }
        settle();
    }

    void dropDown(int id, bool open) override {
        HWND box = control(id, Kind::ComboBox);
        if (!IsWindowEnabled(box)) {
            return;
        }
        if (open) {
            focus(box);
        }
        SendMessageA(box, CB_SHOWDROPDOWN, open ? TRUE : FALSE, 0);
        settle();
    }

    // The mouse on the line: a list box's own, or that of a combo box's
    // list, which drops down first as a click on its arrow does. The
    // controls send their notifications themselves.
    void choose(int id, int index) override {
        HWND target = control(id);
        const Kind kind = kindOfWindow(target);
        if (kind != Kind::ComboBox && kind != Kind::ListBox) {
            throw std::logic_error("control " + std::to_string(id) + " has no entries to choose from");
        }
        const bool combo = kind == Kind::ComboBox;
        checkEntry(target, combo ? CB_GETCOUNT : LB_GETCOUNT, id, index);
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
        clickLine(list, index, false);
        settle();
    }

    void doubleClick(int id, int index) override {
        HWND list = control(id, Kind::ListBox);
        checkEntry(list, LB_GETCOUNT, id, index);
        if (IsWindowEnabled(list)) {
            clickLine(list, index, true);
        }
        settle();
    }

    void pressEnter(int focusId) override { pressKey(focusId, VK_RETURN); }
    void pressEscape(int focusId) override { pressKey(focusId, VK_ESCAPE); }

    void closeBox() override { systemCommand(SC_CLOSE); }

    void systemCommand(unsigned command) override {
        SendMessageA(dialog_, WM_SYSCOMMAND, command, 0);
        settle();
    }

private:
    HWND control(int id) const {
        HWND h = GetDlgItem(dialog_, id);
        if (h == nullptr) {
            throw std::logic_error("the dialog has no control " + std::to_string(id));
        }
        return h;
    }

    HWND control(int id, Kind kind) const {
        HWND h = control(id);
        if (kindOfWindow(h) != kind) {
            throw std::logic_error("control " + std::to_string(id) + " is of another kind");
        }
        return h;
    }

    // The window that takes the characters typed into a control.
    static HWND editField(HWND target, int id) {
        switch (kindOfWindow(target)) {
        case Kind::Edit:
            return target;
        case Kind::ComboBox: {
            COMBOBOXINFO info = {};
            info.cbSize = sizeof info;
            if (GetComboBoxInfo(target, &info) && info.hwndItem != nullptr) {
                return info.hwndItem;
            }
            break;
        }
        default:
            break;
        }
        throw std::logic_error("control " + std::to_string(id) + " has no edit field");
    }

    // Moves the focus to a control that does not have it yet. Moving it
    // again would take it from a combo box's edit field to the combo box
    // for a moment, which closes the box's list.
    void focus(HWND control) {
        HWND current = GetFocus();
        if (current != control && !IsChild(control, current)) {
            SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        }
    }

    static void checkEntry(HWND target, UINT countMessage, int id, int index) {
        if (index < 0 || index >= SendMessageA(target, countMessage, 0, 0)) {
            throw std::logic_error("control " + std::to_string(id) + " has no entry " + std::to_string(index));
        }
    }

    // The left button pressed and released at the middle of line `index`
    // of a list, twice for a double click (the second press comes as
    // WM_LBUTTONDBLCLK). A line out of sight is scrolled into view first.
    static void clickLine(HWND list, int index, bool twice) {
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
        if (twice && IsWindow(list)) {
            SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
            SendMessageA(list, WM_LBUTTONUP, 0, at);
        }
    }

    // The key goes through the dialog manager, which either acts on it
    // (Enter, Escape) or hands it to the focused control. A control that
    // takes the key itself also gets its character; that is sent here
    // rather than left to the translation of a key message that did not
    // come from the keyboard.
    void pressKey(int focusId, WPARAM key) {
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

    // Handles the messages posted so far, as the modal loop would.
    void settle() {
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

    HWND dialog_;
};

// Clears the hook if the dialog never came to call it.
class AfterInitHook {
public:
    explicit AfterInitHook(std::function<void(HWND)> hook) { fw::win32::setAfterInitHook(std::move(hook)); }
    ~AfterInitHook() { fw::win32::setAfterInitHook(nullptr); }
    AfterInitHook(const AfterInitHook&) = delete;
    AfterInitHook& operator=(const AfterInitHook&) = delete;
};

} // namespace

int runDialog(fw::Dialog& dialog, const std::function<void(fw::Window&, User&)>& script,
              std::vector<ShownMessage>* messages) {
    MessageBoxAnswerer answerer(messages);
    AfterInitHook hook([&dialog, &script](HWND window) {
        Win32User user(window);
        script(dialog.window(), user);
    });
    return dialog.doModal();
}

void answeringMessageBoxes(const std::function<void()>& work, std::vector<ShownMessage>& messages) {
    MessageBoxAnswerer answerer(&messages);
    work();
}

void actOn(HWND dialog, const std::function<void(User&)>& script) {
    Win32User user(dialog);
    script(user);
}

} // namespace contract
