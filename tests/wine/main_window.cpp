#include "wine/main_window.h"

#include "loaddef/load_definition.h"

#include <algorithm>

namespace winetest {

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string executableFolder() {
    char path[MAX_PATH * 4] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return loaddef::folderOf(std::string(path, n), '\\');
}

std::string paneText(HWND dialog) {
    return itemText(dialog, IDC_OUTPUT);
}

bool unixShell(const std::string& command) {
    // Wine gives no handle to wait on: the shell leaves its status in a file.
    const std::string status = "/tmp/brennick-status-" + std::to_string(GetCurrentProcessId());
    DeleteFileA(testenv::windowsPath(status).c_str());
    std::string line = "Z:\\bin\\sh -c \"" + command + "; echo $? >" + status + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const bool started =
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    for (int i = 0; started && i < 3000 && readBytes(testenv::windowsPath(status)).empty(); ++i) {
        Sleep(10);
    }
    const bool succeeded = readBytes(testenv::windowsPath(status)) == "0\n";
    DeleteFileA(testenv::windowsPath(status).c_str());
    return succeeded;
}

std::vector<std::string> listLines(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    const bool combo = fw::kindOfWindow(control) == fw::Kind::ComboBox;
    std::vector<std::string> lines;
    const int count = static_cast<int>(SendMessageA(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::string line(static_cast<std::size_t>(SendMessageA(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN,
                                                               static_cast<WPARAM>(i), 0)) +
                             1,
                         '\0');
        line.resize(static_cast<std::size_t>(SendMessageA(control, combo ? CB_GETLBTEXT : LB_GETTEXT,
                                                          static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&line[0]))));
        lines.push_back(line);
    }
    return lines;
}

FileDialogAnswerer* FileDialogAnswerer::current = nullptr;

FileDialogAnswerer::FileDialogAnswerer(std::vector<std::string> paths, int filterIndex)
    : paths_(std::move(paths)), filterIndex_(filterIndex) {
    current = this;
    timer_ = SetTimer(nullptr, 0, 20, onTimer);
}

FileDialogAnswerer::~FileDialogAnswerer() {
    KillTimer(nullptr, timer_);
    current = nullptr;
}

void CALLBACK FileDialogAnswerer::onTimer(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), answer, 0);
}

BOOL CALLBACK FileDialogAnswerer::answer(HWND window, LPARAM) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    FileDialogAnswerer* self = current;
    if (self == nullptr || lstrcmpA(name, "#32770") != 0 || fw::isFrameworkDialog(window) || !IsWindowVisible(window)) {
        return TRUE;
    }
    // The file name box: cmb13 in newer dialogs, edt1 in older ones; the
    // filter box, cmb1, takes the filter as a user's choice does.
    for (int id : {0x47c, 0x480}) {
        if (HWND box = GetDlgItem(window, id)) {
            HWND filters = GetDlgItem(window, 0x470);
            SendMessageA(filters, CB_SETCURSEL, static_cast<WPARAM>(self->filterIndex_ - 1), 0);
            for (WORD code : {CBN_SELENDOK, CBN_SELCHANGE}) {
                SendMessageA(window, WM_COMMAND, MAKEWPARAM(0x470, code), reinterpret_cast<LPARAM>(filters));
            }
            const std::string& path = self->paths_[std::min<std::size_t>(self->answered, self->paths_.size() - 1)];
            SetWindowTextA(box, path.c_str());
            ++self->answered;
            const int button = path.empty() ? IDCANCEL : IDOK;
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
            return FALSE;
        }
    }
    return TRUE;
}

void onNextDialog(const std::function<void(User&)>& script) {
    fw::setAfterInitHook([script](HWND dialog) {
        User user(dialog);
        script(user);
    });
}

namespace {

// Removes a file, read-only or not.
void removeFile(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

} // namespace

// A run cut short may have left load.ctl behind, read-only even: every test
// starts without it.
void MainWindow::SetUp() {
    removeFile(controlFile());
}

void MainWindow::TearDown() {
    fw::setAfterInitHook(nullptr);
    removeFile(controlFile());
    for (const std::string& path : scratch_) {
        removeFile(path);
    }
}

std::string MainWindow::scratch(const std::string& name) {
    scratch_.push_back(executableFolder() + "\\" + name);
    removeFile(scratch_.back());
    return scratch_.back();
}

int MainWindow::show(const std::function<void(HWND, CMainDialog&, User&)>& script, schema::Factory& database) {
    CMainDialog dialog(nullptr, database);
    return show(dialog, script);
}

int MainWindow::show(CMainDialog& dialog, const std::function<void(HWND, CMainDialog&, User&)>& script) {
    return runDialog(
        dialog,
        [&](User& user) {
            script(user.dialog(), dialog, user);
            user.pressEscape(IDC_USER);
        },
        &messages_);
}

void MainWindow::expectMessages(const std::vector<std::pair<std::string, bool>>& expected) const {
    EXPECT_EQ(messages_.size(), expected.size());
    for (std::size_t i = 0; i < std::min(messages_.size(), expected.size()); ++i) {
        EXPECT_EQ(messages_[i].text, expected[i].first) << "message " << i;
        EXPECT_EQ(messages_[i].warningIcon, expected[i].second) << "message " << i << ": " << expected[i].first;
    }
}

void MainWindow::waitForCompletion(HWND dialog) {
    ASSERT_TRUE(pumpUntil(
        dialog, [dialog] { return endsWith(paneText(dialog), "\r\nMission complete!\r\n"); }, 60s))
        << paneText(dialog);
}

void MainWindow::pump(HWND dialog, std::chrono::milliseconds time) {
    pumpUntil(
        dialog, [] { return false; }, time);
}

} // namespace winetest
