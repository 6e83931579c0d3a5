#include "framework/dialog.h"

#include "framework/resources.h"
#include "framework/testing.h"
#include "platform/platform.h"
#include "text/cp936.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <exception>
#include <stdexcept>

namespace fw {

namespace {

// Posted to a dialog when its call queue has calls to run.
constexpr UINT kDrainCallsMessage = WM_APP + 0x100;
// Posted to a dialog at the end of its initialisation when a test hook waits.
constexpr UINT kAfterInitMessage = WM_APP + 0x101;

// The window property that leads from a dialog's window to its run.
const char kRunProperty[] = "Brennick.ModalRun";

thread_local std::function<void(HWND)> nextAfterInitHook;

// The executable's file name without its extension; empty if it cannot be
// had, which leaves a message box with the system's default caption.
std::string programName() {
    const std::string path = platform::executablePath();
    const std::size_t slash = text::lastSeparator(path, '\\');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.substr(0, text::lastSeparator(name, '.'));
}

// The window a dialog shows on, or else the active window of this thread.
HWND ownerWindow(const Dialog* dialog) {
    return dialog != nullptr && dialog->isShown() ? dialog->handle() : GetActiveWindow();
}

// A message box captioned with the program's name; the button pressed.
int showMessage(const Dialog* owner, const std::string& text, UINT type) {
    return MessageBoxA(ownerWindow(owner), text.c_str(), programName().c_str(), type);
}

// The notification a control's WM_COMMAND stands for. Notification codes
// mean different things for different classes (LBN_KILLFOCUS is
// CBN_EDITCHANGE's number), so the sender's class decides. A command
// without a sender is a menu's or the dialog manager's, such as IDOK for
// Enter when the dialog has no such button.
std::optional<Notify> notification(HWND sender, UINT code) {
    switch (sender == nullptr ? Kind::Button : kindOfWindow(sender)) {
    case Kind::Button:
        if (code == BN_CLICKED) {
            return Notify::Clicked;
        }
        break;
    case Kind::ComboBox:
        if (code == CBN_SELCHANGE) {
            return Notify::SelChange;
        }
        if (code == CBN_EDITCHANGE) {
            return Notify::EditChange;
        }
        break;
    case Kind::ListBox:
        if (code == LBN_SELCHANGE) {
            return Notify::SelChange;
        }
        break;
    case Kind::Edit:
    case Kind::Other:
        break;
    }
    return std::nullopt;
}

// "name|pattern|...||" with every '|' that is a character of its own (not
// the second byte of a double-byte character) turned into the zero that
// separates the parts of an OPENFILENAME filter.
std::string fileDialogFilter(const std::string& filter) {
    std::string parts = filter;
    for (std::size_t i = 0; i < parts.size(); i += text::charLength(parts, i)) {
        if (parts[i] == '|') {
            parts[i] = '\0';
        }
    }
    return parts;
}

// Wine's file dialog builds the chosen path in a MAX_PATH buffer on the stack
// (comdlg32: FILEDLG95_OnOpen, COMDLG32_GetCanonicalPath): a path typed
// longer than that overruns it and crashes the program, whatever the flags.
// Under Wine this hook keeps the file name box short enough: the folder
// shown, a backslash and the typed name, or a typed full path, stay within
// MAX_PATH - 1 characters.
UINT_PTR CALLBACK wineFileDialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
        if (code == CDN_INITDONE || code == CDN_FOLDERCHANGE) {
            const HWND dialog = GetParent(hook);
            const LRESULT folder = SendMessageW(dialog, CDM_GETFOLDERPATH, 0, 0); // its length + 1
            const HWND edit = reinterpret_cast<HWND>(SendDlgItemMessageW(dialog, cmb13, CBEM_GETEDITCONTROL, 0, 0));
            SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(MAX_PATH - 1 - (folder > 0 ? folder : 0)), 0);
        }
    }
    return 0;
}

// What the user is told when a command could not be carried out: "The
// operation could not be completed: ...".
std::string commandFailedMessage(const std::string& what) {
    return "操作未能完成：" + what;
}

// The text of the error being handled.
std::string currentError() {
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "未知错误"; // unknown error
    }
}

// A timer's end: runs the dialog's queued calls.
void CALLBACK drainQueuedCalls(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    SendMessageA(dialog, kDrainCallsMessage, 0, 0);
}

int centredIconOffset(int clientSize, int iconSize) {
    return (clientSize - iconSize + 1) / 2;
}

} // namespace

// One modal run of a dialog: the bridge from the dialog procedure to the
// dialog object, and the error that ended the run.
class ModalRun {
public:
    explicit ModalRun(Dialog& dialog) : dialog_(dialog) {}

    int run() {
        const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialog_.templateId()),
                                               ownerWindow(dialog_.parent_), procedure, reinterpret_cast<LPARAM>(this));
        if (error_) {
            std::rethrow_exception(error_);
        }
        if (!created_) {
            throw std::runtime_error("dialog " + std::to_string(dialog_.templateId()) + " could not be created");
        }
        return static_cast<int>(result);
    }

    static INT_PTR CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            SetPropA(hwnd, kRunProperty, reinterpret_cast<HANDLE>(lParam));
        }
        auto* run = static_cast<ModalRun*>(GetPropA(hwnd, kRunProperty));
        if (run == nullptr) {
            return FALSE;
        }
        if (message == WM_NCDESTROY) {
            RemovePropA(hwnd, kRunProperty);
        }
        // No exception may unwind through the system's code. Commands and
        // calls report their own; one that still gets here (from the
        // initialisation or the destroy step) ends the dialog and is thrown
        // again by run().
        try {
            return run->handle(hwnd, message, wParam, lParam);
        } catch (...) {
            run->fail(hwnd);
            return FALSE;
        }
    }

private:
    INT_PTR handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_INITDIALOG:
            return initialise(hwnd) ? TRUE : FALSE;
        case WM_COMMAND:
            if (const std::optional<Notify> notify = notification(reinterpret_cast<HWND>(lParam), HIWORD(wParam))) {
                dialog_.handleCommand(LOWORD(wParam), *notify);
            }
            return TRUE;
        case WM_SYSCOMMAND:
            return dialog_.handleSysCommand(static_cast<unsigned>(wParam)) ? TRUE : FALSE;
        case WM_PAINT:
            return paintMinimised(hwnd) ? TRUE : FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(dialog_.icon_);
        case WM_DESTROY:
            dialog_.detachWindow();
            return FALSE;
        case kDrainCallsMessage:
            dialog_.guarded([this] { dialog_.queue_->drain(); });
            return TRUE;
        case kAfterInitMessage:
            runAfterInitHook(hwnd);
            return TRUE;
        default:
            return FALSE;
        }
    }

    bool initialise(HWND hwnd) {
        created_ = true;
        dialog_.attachWindow(hwnd);
        afterInitHook_ = std::move(nextAfterInitHook);
        nextAfterInitHook = nullptr;
        applyDialogInit(hwnd, dialog_.templateId());
        placeOwnedDialog(hwnd, dialog_.templateId());
        const bool focusFirstTabStop = dialog_.onInitDialog();
        if (afterInitHook_) {
            PostMessageA(hwnd, kAfterInitMessage, 0, 0);
        }
        return focusFirstTabStop;
    }

    bool paintMinimised(HWND hwnd) {
        HICON icon = dialog_.icon_;
        if (icon == nullptr || !IsIconic(hwnd)) {
            return false;
        }
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        SendMessageA(hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT client = {};
        GetClientRect(hwnd, &client);
        DrawIcon(dc, centredIconOffset(client.right - client.left, GetSystemMetrics(SM_CXICON)),
                 centredIconOffset(client.bottom - client.top, GetSystemMetrics(SM_CYICON)), icon);
        EndPaint(hwnd, &paint);
        return true;
    }

    void runAfterInitHook(HWND hwnd) {
        const std::function<void(HWND)> hook = std::move(afterInitHook_);
        afterInitHook_ = nullptr;
        if (!IsWindowVisible(hwnd)) {
            ShowWindow(hwnd, SW_SHOWNORMAL);
        }
        hook(hwnd);
        if (!dialog_.ended_) {
            throw std::logic_error("dialog " + std::to_string(dialog_.templateId()) +
                                   " was still running when its test hook returned");
        }
    }

    void fail(HWND hwnd) {
        if (!error_) {
            error_ = std::current_exception();
        }
        if (dialog_.isShown()) {
            dialog_.endDialog(-1);
        } else {
            EndDialog(hwnd, -1);
        }
    }

    Dialog& dialog_;
    bool created_ = false;
    std::function<void(HWND)> afterInitHook_;
    std::exception_ptr error_;
};

void setAfterInitHook(std::function<void(HWND dialog)> hook) {
    nextAfterInitHook = std::move(hook);
}

bool isFrameworkDialog(HWND window) {
    return GetPropA(window, kRunProperty) != nullptr;
}

int Dialog::doModal() {
    return ModalRun(*this).run();
}

HWND Dialog::handle() const {
    if (handle_ == nullptr) {
        throw std::logic_error("dialog " + std::to_string(templateId_) + " has no window");
    }
    return handle_;
}

void Dialog::attachWindow(HWND window) {
    handle_ = window;
    ended_ = false;
    icon_ = nullptr;
    queue_ = std::make_shared<CallQueue>([window] {
        // Calls queued by the window's own thread run after the input and
        // painting waiting by then: a posted message would come before
        // them, and a window that keeps queueing work would stop answering.
        constexpr UINT_PTR kDrainTimer = 1;
        if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
            return SetTimer(window, kDrainTimer, USER_TIMER_MINIMUM, drainQueuedCalls) != 0;
        }
        return PostMessageA(window, kDrainCallsMessage, 0, 0) != FALSE;
    });
}

void Dialog::detachWindow() {
    queue_->close();
    // The destroy step's error is the run's; the window is released either
    // way, so nothing is left pointing at it.
    struct Release {
        Dialog& d;
        ~Release() {
            for (Control* c : d.attached_) {
                c->release();
            }
            d.attached_.clear();
            d.handle_ = nullptr;
        }
    } release{*this};
    onDestroy();
}

void Dialog::releaseOnDestroy(Control& control) {
    for (Control* c : attached_) {
        if (c == &control) {
            return;
        }
    }
    attached_.push_back(&control);
}

bool Dialog::updateData(Exchange::Direction direction) {
    Exchange exchange(*this, direction);
    doDataExchange(exchange);
    return !exchange.failed();
}

void Dialog::endDialog(int result) {
    // The window stays until the modal loop has seen the end, and a later
    // end must not change the result the first one gave.
    if (ended_) {
        return;
    }
    ended_ = true;
    EndDialog(handle(), result);
}

void Dialog::setFocus(int id) {
    HWND control = GetDlgItem(handle(), id);
    if (control == nullptr) {
        throw std::logic_error("the dialog has no control " + std::to_string(id));
    }
    SendMessageA(handle_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void Dialog::messageBox(const std::string& text, MessageIcon icon) {
    showMessage(this, text, MB_OK | (icon == MessageIcon::Warning ? MB_ICONEXCLAMATION : 0));
}

bool Dialog::askYesNo(const std::string& text) {
    return showMessage(this, text, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

std::optional<FileChoice> Dialog::fileDialog(const FileRequest& request) {
    const std::string filter = fileDialogFilter(request.filter);
    // Room for the longest path the system takes.
    std::string file(32768, '\0');
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ownerWindow(this);
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = &file[0];
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    // The folder the user browsed to must not become the current folder,
    // where programs started by a bare name would be looked for first.
    dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    // Under Wine only (Windows keeps its own dialog, which a hook would
    // replace with the older one, and its longer paths): the hook above.
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr) {
        dialog.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
        dialog.FlagsEx = OFN_EX_NOPLACESBAR;
        dialog.lpfnHook = wineFileDialogHook;
    }
    if (!(request.save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog))) {
        const DWORD error = CommDlgExtendedError();
        if (error != 0) {
            throw std::runtime_error("the file dialog failed with error " + std::to_string(error));
        }
        return std::nullopt;
    }
    return FileChoice{file.c_str(), static_cast<int>(dialog.nFilterIndex)};
}

void Dialog::setIcon(int iconResourceId) {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconResourceId));
    if (icon == nullptr) {
        throw std::runtime_error("the program has no icon " + std::to_string(iconResourceId));
    }
    SendMessageA(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    icon_ = icon;
}

void Dialog::appendSystemMenuItem(int commandId, const std::string& caption) {
    HMENU menu = GetSystemMenu(handle(), FALSE);
    if (menu == nullptr) {
        return;
    }
    if (!AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) ||
        !AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(commandId), caption.c_str())) {
        throw std::runtime_error("the system menu could not take another item");
    }
}

void Dialog::growBy(int pixels) {
    RECT r = {};
    GetWindowRect(handle(), &r);
    MoveWindow(handle_, r.left, r.top, r.right - r.left, r.bottom - r.top + pixels, TRUE);
}

void Dialog::guarded(const std::function<void()>& work) {
    try {
        work();
    } catch (...) {
        showMessage(this, commandFailedMessage(currentError()), MB_OK | MB_ICONEXCLAMATION);
    }
}

void Dialog::handleCommand(int id, Notify notify) {
    guarded([&] {
        if (onCommand(id, notify)) {
            return;
        }
        if (notify == Notify::Clicked && id == kIdOk) {
            onOK();
        } else if (notify == Notify::Clicked && id == kIdCancel) {
            onCancel();
        }
    });
}

bool Dialog::handleSysCommand(unsigned command) {
    bool handled = false;
    guarded([&] { handled = onSysCommand(command); });
    return handled;
}

bool Dialog::onCommand(int id, Notify notify) {
    for (const Entry& entry : commands_) {
        if (entry.id == id && entry.notify == notify) {
            entry.run();
            return true;
        }
    }
    return false;
}

bool Dialog::onInitDialog() {
    updateData(Exchange::Direction::Write);
    return true;
}

void Dialog::onOK() {
    if (updateData(Exchange::Direction::Read)) {
        endDialog(kIdOk);
    }
}

void Dialog::onCancel() {
    endDialog(kIdCancel);
}

std::string loadString(int id) {
    // With no buffer, LoadStringW points into the resource itself and
    // gives the whole length, which LoadStringA cannot.
    const wchar_t* resource = nullptr;
    const int length =
        LoadStringW(GetModuleHandleA(nullptr), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || resource == nullptr) {
        return std::string();
    }
    const int bytes = WideCharToMultiByte(CP_ACP, 0, resource, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, resource, length, &text[0], bytes, nullptr, nullptr);
    return text;
}

int runMainWindow(const std::function<void()>& show) {
    try {
        show();
        return 0;
    } catch (...) {
        // "The program failed: ..."
        showMessage(nullptr, "程序运行失败：" + currentError(), MB_OK | MB_ICONEXCLAMATION);
        return 1;
    }
}

} // namespace fw
