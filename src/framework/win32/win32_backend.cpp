// The Win32 backend: modal dialogs from the program's templates, message
// boxes and the common file dialogs.
#include "framework/backend.h"
#include "framework/dialog.h"
#include "framework/win32/dialog_resources.h"
#include "framework/win32/win32_testing.h"
#include "framework/win32/win32_window.h"
#include "platform/platform.h"
#include "text/cp936.h"

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace fw::win32 {

namespace {

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
HWND ownerWindow(Dialog* dialog) {
    if (dialog != nullptr && dialog->isShown()) {
        if (auto* window = dynamic_cast<Win32Window*>(&dialog->window())) {
            return window->handle();
        }
    }
    return GetActiveWindow();
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
        if (code == LBN_DBLCLK) {
            return Notify::DoubleClick;
        }
        break;
    case Kind::Edit:
    case Kind::Other:
        break;
    }
    return std::nullopt;
}

// One modal run of a dialog: its window object and the error that ended it.
class ModalRun {
public:
    explicit ModalRun(Dialog& dialog) : dialog_(dialog) {}

    int run() {
        const INT_PTR result =
            DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialog_.templateId()),
                            ownerWindow(dialog_.parent()), procedure, reinterpret_cast<LPARAM>(this));
        dialog_.attachWindow(nullptr);
        if (error_) {
            std::rethrow_exception(error_);
        }
        if (window_ == nullptr) {
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
            command(wParam, reinterpret_cast<HWND>(lParam));
            return TRUE;
        case WM_SYSCOMMAND:
            return dialog_.handleSysCommand(static_cast<unsigned>(wParam)) ? TRUE : FALSE;
        case WM_PAINT:
            return paintMinimised(hwnd) ? TRUE : FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(window_->icon());
        case WM_DESTROY:
            window_->callQueue()->close();
            dialog_.handleDestroy();
            return FALSE;
        case kDrainCallsMessage:
            dialog_.guarded([this] { window_->callQueue()->drain(); });
            return TRUE;
        case kAfterInitMessage:
            runAfterInitHook(hwnd);
            return TRUE;
        default:
            return FALSE;
        }
    }

    bool initialise(HWND hwnd) {
        window_ = std::make_unique<Win32Window>(hwnd);
        dialog_.attachWindow(window_.get());
        afterInitHook_ = std::move(nextAfterInitHook);
        nextAfterInitHook = nullptr;
        applyDialogInit(*window_, dialog_.templateId());
        placeOwnedDialog(hwnd, dialog_.templateId());
        const bool focusFirstTabStop = dialog_.handleInit();
        if (afterInitHook_) {
            PostMessageA(hwnd, kAfterInitMessage, 0, 0);
        }
        return focusFirstTabStop;
    }

    void command(WPARAM wParam, HWND sender) {
        if (const std::optional<Notify> notify = notification(sender, HIWORD(wParam))) {
            dialog_.handleCommand(LOWORD(wParam), *notify);
        }
    }

    bool paintMinimised(HWND hwnd) {
        HICON icon = window_->icon();
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
        if (!window_->hasEnded()) {
            throw std::logic_error("dialog " + std::to_string(dialog_.templateId()) +
                                   " was still running when its test hook returned");
        }
    }

    void fail(HWND hwnd) {
        if (!error_) {
            error_ = std::current_exception();
        }
        if (window_ != nullptr) {
            window_->end(-1);
        } else {
            EndDialog(hwnd, -1);
        }
    }

    Dialog& dialog_;
    std::unique_ptr<Win32Window> window_;
    std::function<void(HWND)> afterInitHook_;
    std::exception_ptr error_;
};

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

// --- Wine's file dialog and long paths (see fileDialog)
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
// --- end of Wine's file dialog and long paths

class Win32Backend final : public Backend {
public:
    int runModal(Dialog& dialog) override { return ModalRun(dialog).run(); }

    void messageBox(Dialog* owner, const std::string& text, MessageIcon icon) override {
        MessageBoxA(ownerWindow(owner), text.c_str(), programName().c_str(),
                    MB_OK | (icon == MessageIcon::Warning ? MB_ICONEXCLAMATION : 0));
    }

    std::optional<FileChoice> fileDialog(Dialog* owner, const FileRequest& request) override {
        const std::string filter = fileDialogFilter(request.filter);
        // Room for the longest path the system takes.
        std::string file(32768, '\0');
        OPENFILENAMEA dialog = {};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = ownerWindow(owner);
        dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = &file[0];
        dialog.nMaxFile = static_cast<DWORD>(file.size());
        dialog.Flags = OFN_HIDEREADONLY;
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

    std::string loadString(int id) override {
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
};

} // namespace

void setAfterInitHook(std::function<void(HWND dialog)> hook) {
    nextAfterInitHook = std::move(hook);
}

bool isBackendDialog(HWND window) {
    return GetPropA(window, kRunProperty) != nullptr;
}

} // namespace fw::win32

namespace fw {

Backend& backend() {
    static win32::Win32Backend instance;
    return instance;
}

} // namespace fw
