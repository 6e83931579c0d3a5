// The main window on real Win32 controls: what the system shows of it (the
// system menu, its icons, the About box), the control file it writes on
// Windows, and the loader run through CreateProcessA into the output pane.
#include "contract/harness.h"
#include "contract/win32_user.h"
#include "env.h"
#include "framework/win32/win32_testing.h"
#include "framework/win32/win32_window.h"
#include "loaddef/control_file.h"
#include "loaddef/load_definition.h"
#include "res/resource.h"
#include "run/loader_run.h"
#include "text/cp936.h"
#include "ui/main_dialog.h"
#include "wine/pump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

namespace {

using namespace std::chrono_literals;
using testenv::getEnv;
using testenv::ScopedEnv;

// "关于 Brennick(&A)..." and "关于 Brennick" in code page 936.
const char kAboutItem[] = "\xB9\xD8\xD3\xDA Brennick(&A)...";
const char kAboutCaption[] = "\xB9\xD8\xD3\xDA Brennick";

std::string readFile(const std::string& path) {
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
            bytes.append(buffer, n);
        }
        std::fclose(f);
    }
    return bytes;
}

std::string windowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

std::string paneText(HWND dialog) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(GetDlgItem(dialog, IDC_OUTPUT))) + 1, '\0');
    text.resize(GetDlgItemTextA(dialog, IDC_OUTPUT, &text[0], static_cast<int>(text.size())));
    return text;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The folder of this executable as the system names it.
std::string executableFolder() {
    char path[MAX_PATH * 4] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return loaddef::folderOf(std::string(path, n), '\\');
}

// Every About box this thread shows while it lives is noted and closed with
// its OK button, from a thread timer: its callback runs inside the About
// box's own modal loop.
class AboutBoxCloser {
public:
    struct Seen {
        std::string caption;
        HWND owner;
        bool visible;
    };

    explicit AboutBoxCloser(HWND mainWindow) : mainWindow_(mainWindow) {
        current = this;
        timer_ = SetTimer(nullptr, 0, 10, onTimer);
    }
    ~AboutBoxCloser() {
        KillTimer(nullptr, timer_);
        current = nullptr;
    }
    AboutBoxCloser(const AboutBoxCloser&) = delete;
    AboutBoxCloser& operator=(const AboutBoxCloser&) = delete;

    std::vector<Seen> seen;

private:
    static constexpr const char* kClosedProperty = "test.closed";
    // A box not shown after this many ticks is closed all the same, noted
    // as not visible.
    static constexpr int kTicksToShow = 200;

    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(GetCurrentThreadId(), closeIfAboutBox, 0);
    }

    static BOOL CALLBACK closeIfAboutBox(HWND window, LPARAM) {
        AboutBoxCloser* self = current;
        if (self == nullptr || window == self->mainWindow_ || !fw::win32::isBackendDialog(window) ||
            GetPropA(window, kClosedProperty) != nullptr) {
            return TRUE;
        }
        const bool visible = IsWindowVisible(window) != FALSE;
        if (!visible && ++self->ticksWaited_ < kTicksToShow) {
            return TRUE;
        }
        self->ticksWaited_ = 0;
        SetPropA(window, kClosedProperty, window);
        self->seen.push_back({windowText(window), GetWindow(window, GW_OWNER), visible});
        SendMessageA(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
        return TRUE;
    }

    static AboutBoxCloser* current;
    HWND mainWindow_;
    UINT_PTR timer_ = 0;
    int ticksWaited_ = 0;
};

AboutBoxCloser* AboutBoxCloser::current = nullptr;

class MainWindowWin32 : public testing::Test {
protected:
    void TearDown() override { DeleteFileA(controlFile().c_str()); }

    static std::string controlFile() { return executableFolder() + "\\load.ctl"; }

    // Shows the main window, runs `script` on it and closes it with Escape
    // when the script has left it open.
    void show(const std::function<void(HWND, CMainDialog&, contract::User&)>& script) {
        CMainDialog dialog;
        contract::runDialog(
            dialog,
            [&](fw::Window& window, contract::User& user) {
                auto& win32 = dynamic_cast<fw::win32::Win32Window&>(window);
                script(win32.handle(), dialog, user);
                if (!win32.hasEnded()) {
                    user.pressEscape(IDC_USER);
                }
            },
            &messages_);
    }

    // Keeps the window going until the run's closing line is in the pane.
    static void waitForCompletion(HWND dialog) {
        ASSERT_TRUE(winetest::pumpUntil(
            dialog, [dialog] { return endsWith(paneText(dialog), "\r\nMission complete!\r\n"); }, 60s))
            << paneText(dialog);
    }

    std::vector<contract::ShownMessage> messages_;
    const std::string pathWithoutLoader_ = getEnv("PATH");
    ScopedEnv path_{"PATH", testenv::standInFolder() + pathWithoutLoader_};
};

TEST_F(MainWindowWin32, SystemMenuEndsWithTheAboutItemAndTheWindowHasItsIcons) {
    show([](HWND dialog, CMainDialog&, contract::User&) {
        HMENU menu = GetSystemMenu(dialog, FALSE);
        ASSERT_NE(menu, nullptr);
        const int count = GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        MENUITEMINFOA separator = {};
        separator.cbSize = sizeof separator;
        separator.fMask = MIIM_FTYPE;
        ASSERT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(count - 2), TRUE, &separator));
        EXPECT_NE(separator.fType & MFT_SEPARATOR, 0u);
        EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUT));
        char caption[64] = {};
        GetMenuStringA(menu, static_cast<UINT>(count - 1), caption, sizeof caption, MF_BYPOSITION);
        EXPECT_EQ(std::string(caption), kAboutItem);

        HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN));
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0)), icon);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0)), icon);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dialog, WM_QUERYDRAGICON, 0, 0)), icon);
    });
}

TEST_F(MainWindowWin32, SystemCommandsSixteenAndThirtyOneOpenTheAboutBoxAndThirtyTwoDoesNot) {
    show([](HWND dialog, CMainDialog&, contract::User& user) {
        AboutBoxCloser closer(dialog);
        for (unsigned command : {16u, 31u, 32u}) {
            const std::size_t before = closer.seen.size();
            user.systemCommand(command);
            if (command == 32u) {
                EXPECT_EQ(closer.seen.size(), before) << "command " << command;
                continue;
            }
            ASSERT_EQ(closer.seen.size(), before + 1) << "command " << command;
            const AboutBoxCloser::Seen& about = closer.seen.back();
            EXPECT_EQ(about.caption, kAboutCaption) << "command " << command;
            EXPECT_EQ(about.owner, dialog) << "command " << command;
            EXPECT_TRUE(about.visible) << "command " << command;
        }
        EXPECT_TRUE(IsWindowEnabled(dialog)) << "the main window takes input again";
    });
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowWin32, ControlFileIsWrittenInTheExecutablesFolderWithCrLfAndDoubleByteText) {
    // "\xB1\x5C" is a double-byte character whose second byte is '\\'.
    const std::string dataFile = "C:\\\xCA\xFD\xBE\xDD\\emp\xB1\x5C.txt";
    const std::vector<std::string> fields = {"EMPNO CHAR", "\xD0\xD5\xC3\xFB CHAR", "HIREDATE DATE ''YYYY-MM-DD''"};
    show([&](HWND dialog, CMainDialog& d, contract::User& user) {
        ASSERT_EQ(GetACP(), 936u) << "the test needs code page 936 (LANG=zh_CN.UTF-8)";
        user.type(IDC_DATA_FILE, dataFile);
        user.type(IDC_TABLE, "EMP");
        user.click(IDC_REPLACE);
        user.choose(IDC_DELIMITER, 2);
        user.choose(IDC_QUALIFIER, 1);
        for (const std::string& field : fields) {
            SendDlgItemMessageA(dialog, IDC_FIELD_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(field.c_str()));
        }
        ASSERT_TRUE(d.readWindowValues());
        EXPECT_TRUE(text::equalsNoCase(d.programFolder, executableFolder()))
            << d.programFolder << " | " << executableFolder();
        EXPECT_EQ(d.programFolder.find('/'), std::string::npos) << d.programFolder;
        EXPECT_NE(d.programFolder.find('\\'), std::string::npos) << d.programFolder;
        ASSERT_TRUE(d.writeControlFile());
        EXPECT_EQ(readFile(d.programFolder + "\\load.ctl"), "load data\r\n"
                                                            "infile 'C:\\\xCA\xFD\xBE\xDD\\emp\xB1\x5C.txt'\r\n"
                                                            "replace into table EMP\r\n"
                                                            "fields terminated by ';' \r\n"
                                                            "optionally enclosed by '\"'\r\n"
                                                            "(\r\n"
                                                            "EMPNO CHAR,\r\n"
                                                            "\xD0\xD5\xC3\xFB CHAR,\r\n"
                                                            "HIREDATE DATE YYYY-MM-DD\r\n"
                                                            ")");
    });
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowWin32, ImportShowsTheLoaderOutputWithCrLfAndRunsTheLoaderHidden) {
    ScopedEnv startupInfo("STANDIN_SHOW", "1");
    ScopedEnv text("STANDIN_TEXT", "a\nb\n\xD6\xD0\xCE\xC4");
    show([](HWND dialog, CMainDialog& d, contract::User& user) {
        user.click(IDC_IMPORT);
        waitForCompletion(dialog);
        const std::string folder = d.programFolder;
        EXPECT_EQ(paneText(dialog), "arg[1]=user/kemp@dbname\r\n"
                                    "arg[2]=control='" +
                                        folder +
                                        "\\load.ctl'\r\n"
                                        "arg[3]=parfile='" +
                                        folder +
                                        "\\parfile.cfg'\r\n"
                                        "show=0 flags=0x101\r\n"
                                        "a\r\nb\r\n\xD6\xD0\xCE\xC4\r\nMission complete!\r\n");
    });
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowWin32, ADoubleByteCharacterSplitBetweenTwoReadsIsShownWholeInThePane) {
    // "啊" (B0 A1, U+554A); the loader stops between its two bytes until
    // the test opens the gate.
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string gate = std::string(folder) + "brennick_split_gate";
    std::remove(gate.c_str());
    ScopedEnv quiet("STANDIN_QUIET", "1");
    ScopedEnv text("STANDIN_TEXT", "ab\\xB0");
    ScopedEnv wait("STANDIN_WAIT_FILE", gate);
    ScopedEnv text2("STANDIN_TEXT2", "\\xA1"
                                     "cd\\n");
    show([&](HWND dialog, CMainDialog&, contract::User& user) {
        user.click(IDC_IMPORT);
        ASSERT_TRUE(winetest::pumpUntil(
            dialog, [dialog] { return paneText(dialog) == "ab"; }, 60s))
            << paneText(dialog);
        if (std::FILE* f = std::fopen(gate.c_str(), "wb")) {
            std::fclose(f);
        }
        waitForCompletion(dialog);
        EXPECT_EQ(paneText(dialog), "ab\xB0\xA1"
                                    "cd\r\n\r\nMission complete!\r\n");
        wchar_t wide[64] = {};
        GetDlgItemTextW(dialog, IDC_OUTPUT, wide, 64);
        EXPECT_EQ(std::wstring(wide).substr(0, 6), L"ab\x554A"
                                                   L"cd\r");
    });
    std::remove(gate.c_str());
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowWin32, ALoaderMissingFromThePathIsReportedWithTheWarningIconAndAnEmptyPane) {
    ScopedEnv path("PATH", pathWithoutLoader_);
    show([this](HWND dialog, CMainDialog&, contract::User& user) {
        SetDlgItemTextA(dialog, IDC_OUTPUT, "old output");
        user.click(IDC_IMPORT);
        ASSERT_TRUE(winetest::pumpUntil(
            dialog, [this] { return !messages_.empty(); }, 60s));
        winetest::pumpUntil(
            dialog, [] { return false; }, 200ms);
        EXPECT_EQ(paneText(dialog), "");
    });
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "Error  on  CreateProcess()");
    EXPECT_TRUE(messages_[0].warningIcon);
}

// CreateProcess takes at most 32767 characters with the terminating zero:
// a line of 32766 runs whole, one character more is refused before anything
// starts, never run cut short.
TEST_F(MainWindowWin32, ACommandLineLongerThanWindowsTakesIsRefusedAndNothingRuns) {
    const std::string args = executableFolder() + "\\args.txt";
    ScopedEnv quiet("STANDIN_QUIET", "1");
    ScopedEnv argsFile("STANDIN_ARGS_FILE", args);
    show([&](HWND dialog, CMainDialog& d, contract::User& user) {
        const std::string folder = d.programFolder;
        const std::size_t rest =
            std::string("sqlldr user/@dbname control='\\load.ctl' parfile='\\parfile.cfg'").size() + 2 * folder.size();
        // Double-byte characters count one each.
        const std::string fits = std::string(32766 - rest - 1000, 'p') + std::string(2000, '\xD6');
        SetDlgItemTextA(dialog, IDC_PASSWORD, fits.c_str());
        user.click(IDC_IMPORT);
        waitForCompletion(dialog);
        std::string got = readFile(args);
        EXPECT_EQ(got.substr(0, got.find('\n')), "user/" + fits + "@dbname");

        DeleteFileA(args.c_str());
        SetDlgItemTextA(dialog, IDC_PASSWORD, (fits + "p").c_str());
        user.click(IDC_IMPORT);
        ASSERT_TRUE(winetest::pumpUntil(
            dialog, [this] { return !messages_.empty(); }, 60s));
        winetest::pumpUntil(
            dialog, [] { return false; }, 300ms);
        EXPECT_EQ(paneText(dialog), "");
    });
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "Error  on  CreateProcess()");
    EXPECT_EQ(GetFileAttributesA(args.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing ran";
}

TEST_F(MainWindowWin32, TheWindowClosedWhileTheLoaderStreamsAndTheLoaderRunsToItsEnd) {
    const std::string done = executableFolder() + "\\done.txt";
    DeleteFileA(done.c_str());
    ScopedEnv bytes("STANDIN_BYTES", "3000000");
    ScopedEnv pause("STANDIN_PAUSE_MS", "1");
    ScopedEnv doneFile("STANDIN_DONE_FILE", done);
    show([](HWND dialog, CMainDialog&, contract::User& user) {
        user.click(IDC_IMPORT);
        ASSERT_TRUE(winetest::pumpUntil(
            dialog, [dialog] { return paneText(dialog).find("line 000010 ") != std::string::npos; }, 60s));
        user.pressEscape(IDC_USER);
    });
    // The worker reads on with the window gone; the loader is not stopped.
    for (int i = 0; i < 6000 && GetFileAttributesA(done.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
        Sleep(10);
    }
    EXPECT_NE(GetFileAttributesA(done.c_str()), INVALID_FILE_ATTRIBUTES);
    Sleep(300); // the worker's last reads and its closing line meet no window
    DeleteFileA(done.c_str());
    EXPECT_TRUE(messages_.empty());
}

} // namespace

namespace {

// The text of a control of a dialog.
std::string itemText(HWND dialog, int id) {
    return windowText(GetDlgItem(dialog, id));
}

int comboSelected(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

TEST_F(MainWindowWin32, TypingIntoTheTypeBoxSwitchesTheDateMaskByWhetherItsListIsOpen) {
    show([](HWND dialog, CMainDialog&, contract::User& user) {
        SetDlgItemTextA(dialog, IDC_FIELD_TYPE, "");
        user.type(IDC_FIELD_TYPE, "DATE");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_DATE_MASK)));
        EXPECT_EQ(itemText(dialog, IDC_DATE_MASK), "");

        SetDlgItemTextA(dialog, IDC_FIELD_TYPE, "");
        user.dropDown(IDC_FIELD_TYPE, true);
        user.type(IDC_FIELD_TYPE, "d");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_DATE_MASK)));
        EXPECT_EQ(itemText(dialog, IDC_DATE_MASK), "YYYY/MM/DD");
        user.dropDown(IDC_FIELD_TYPE, false);

        // A radio click writes the typed "da" back as the entry it begins;
        // the write reports no selection change, so the mask stays.
        SetDlgItemTextA(dialog, IDC_FIELD_TYPE, "");
        user.type(IDC_FIELD_TYPE, "da");
        user.click(IDC_FIXED);
        EXPECT_EQ(itemText(dialog, IDC_FIELD_TYPE), "DATE");
        EXPECT_EQ(comboSelected(dialog, IDC_FIELD_TYPE), 2);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_DATE_MASK)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_POSITION)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_DELIMITER)));
    });
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowWin32, AddedFieldsAreReorderedDeletedAndWrittenByImport) {
    show([](HWND dialog, CMainDialog& d, contract::User& user) {
        user.type(IDC_TABLE, "EMP");
        for (const char* name : {"EMPNO", "HIREDATE", "SAL"}) {
            SetDlgItemTextA(dialog, IDC_FIELD_NAME, "");
            user.type(IDC_FIELD_NAME, name);
            user.choose(IDC_FIELD_TYPE, std::string(name) == "HIREDATE" ? 2 : 0);
            user.click(IDC_ADD);
        }
        HWND list = GetDlgItem(dialog, IDC_FIELD_LIST);
        ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
        user.choose(IDC_FIELD_LIST, 1);
        EXPECT_EQ(itemText(dialog, IDC_FIELD_NAME), "HIREDATE");
        EXPECT_EQ(itemText(dialog, IDC_DATE_MASK), "YYYY-MM-DD");
        user.click(IDC_UP);
        user.choose(IDC_FIELD_LIST, 2);
        user.click(IDC_DELETE);
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR) << "deleting the last line leaves none selected";
        user.click(IDC_IMPORT);
        waitForCompletion(dialog);
        EXPECT_EQ(readFile(d.programFolder + "\\load.ctl"), "load data\r\n"
                                                            "infile ''\r\n"
                                                            "append into table EMP\r\n"
                                                            "fields terminated by '\t' \r\n"
                                                            "\r\n"
                                                            "(\r\n"
                                                            "HIREDATE DATE  'YYYY-MM-DD',\r\n"
                                                            "EMPNO CHAR\r\n"
                                                            ")");
    });
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowWin32, TheAdvancedDialogOpensWithTheDefaultsAndOkWritesParfileBesideTheProgram) {
    const std::string parfile = executableFolder() + "\\parfile.cfg";
    DeleteFileA(parfile.c_str());
    std::string log;
    std::string errors;
    bool logFocused = false;
    HWND owner = nullptr;
    show([&](HWND dialog, CMainDialog&, contract::User& user) {
        fw::win32::setAfterInitHook([&](HWND advanced) {
            owner = GetWindow(advanced, GW_OWNER);
            logFocused = GetFocus() == GetDlgItem(advanced, IDC_LOG);
            log = itemText(advanced, IDC_LOG);
            errors = itemText(advanced, IDC_ERRORS);
            SendMessageA(GetDlgItem(advanced, IDOK), BM_CLICK, 0, 0);
        });
        user.click(IDC_ADVANCED);
        EXPECT_EQ(owner, dialog);
    });
    EXPECT_TRUE(logFocused);
    EXPECT_EQ(log, "");
    EXPECT_EQ(errors, "50");
    EXPECT_EQ(readFile(parfile), "bindsize=65536\r\n"
                                 "commit_discontinued=false\r\n"
                                 "direct=false\r\n"
                                 "errors=50\r\n"
                                 "skip_index_maintenance=false\r\n"
                                 "skip_unusable_indexes=false\r\n");
    DeleteFileA(parfile.c_str());
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowWin32, ChoosingATableWithoutADatabaseShowsAMessageAndChangesNothing) {
    show([](HWND dialog, CMainDialog& d, contract::User& user) {
        user.type(IDC_DATABASE, "nowhere");
        user.type(IDC_TABLE, "EMP");
        user.click(IDC_CHOOSE_TABLE);
        EXPECT_EQ(itemText(dialog, IDC_TABLE), "EMP");
        EXPECT_TRUE(IsWindowEnabled(dialog));
        EXPECT_TRUE(d.connection != nullptr) << "the object stays until the window goes";
    });
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].warningIcon);
    EXPECT_FALSE(messages_[0].text.empty());
}

} // namespace

namespace {

// Answers the next common file dialog this thread shows with `path` (its OK
// button), from a thread timer whose callback runs inside the dialog's own
// modal loop.
class FileDialogAnswerer {
public:
    explicit FileDialogAnswerer(std::string path) : path_(std::move(path)) {
        current = this;
        timer_ = SetTimer(nullptr, 0, 20, onTimer);
    }
    ~FileDialogAnswerer() {
        KillTimer(nullptr, timer_);
        current = nullptr;
    }
    FileDialogAnswerer(const FileDialogAnswerer&) = delete;
    FileDialogAnswerer& operator=(const FileDialogAnswerer&) = delete;

    int answered = 0;

private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), answer, 0); }

    static BOOL CALLBACK answer(HWND window, LPARAM) {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        FileDialogAnswerer* self = current;
        if (self == nullptr || lstrcmpA(name, "#32770") != 0 || fw::win32::isBackendDialog(window) ||
            !IsWindowVisible(window)) {
            return TRUE;
        }
        // The file name box: cmb13 in newer dialogs, edt1 in older ones.
        for (int id : {0x47c, 0x480}) {
            if (HWND box = GetDlgItem(window, id)) {
                SetWindowTextA(box, self->path_.c_str());
                ++self->answered;
                PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
                return FALSE;
            }
        }
        return TRUE;
    }

    static FileDialogAnswerer* current;
    std::string path_;
    UINT_PTR timer_ = 0;
};

FileDialogAnswerer* FileDialogAnswerer::current = nullptr;

TEST_F(MainWindowWin32, AControlFileSavedBySaveComesBackThroughLoad) {
    const std::string saved = executableFolder() + "\\roundtrip.ctl";
    DeleteFileA(saved.c_str());
    show([&](HWND dialog, CMainDialog&, contract::User& user) {
        user.type(IDC_DATA_FILE, "C:\\data\\emp.txt");
        user.type(IDC_TABLE, "EMP");
        user.click(IDC_REPLACE);
        for (const char* field : {"EMPNO CHAR", "HIREDATE DATE  'YYYY-MM-DD'"}) {
            SendDlgItemMessageA(dialog, IDC_FIELD_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(field));
        }
        {
            FileDialogAnswerer answerer(saved);
            user.click(IDC_SAVE_CTL);
            ASSERT_EQ(answerer.answered, 1);
        }
        SetDlgItemTextA(dialog, IDC_DATA_FILE, "");
        SetDlgItemTextA(dialog, IDC_TABLE, "");
        user.click(IDC_APPEND);
        SendDlgItemMessageA(dialog, IDC_FIELD_LIST, LB_RESETCONTENT, 0, 0);
        {
            FileDialogAnswerer answerer(saved);
            user.click(IDC_LOAD_CTL);
            ASSERT_EQ(answerer.answered, 1);
        }
        EXPECT_EQ(itemText(dialog, IDC_DATA_FILE), "C:\\data\\emp.txt");
        EXPECT_EQ(itemText(dialog, IDC_TABLE), "EMP");
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_REPLACE, BM_GETCHECK, 0, 0), BST_CHECKED);
        HWND list = GetDlgItem(dialog, IDC_FIELD_LIST);
        ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
        char line[64] = {};
        SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(line));
        EXPECT_EQ(std::string(line), "HIREDATE DATE  'YYYY-MM-DD'");
    });
    DeleteFileA(saved.c_str());
    EXPECT_TRUE(messages_.empty());
}

// Read-only files in the program folder: Windows refuses to replace them,
// and so does the program under Wine. Import, Save and the advanced dialog's
// OK each say so, keep the old files and what the window holds, and leave no
// temporary file.
TEST_F(MainWindowWin32, ReadOnlyFilesInTheProgramFolderAreReportedAndKeptAsTheyWere) {
    const std::string oldControl = "load data\r\ninfile 'old.txt'\r\nappend into table OLD\r\n(\r\n)";
    const std::string oldParameters = "errors=7\r\n";
    const std::string parfile = executableFolder() + "\\parfile.cfg";
    const std::string saved = executableFolder() + "\\saved.ctl";
    for (const auto& [path, bytes] : {std::pair{controlFile(), oldControl}, std::pair{parfile, oldParameters}}) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    bool stayedOpen = false;
    std::string typed;
    show([&](HWND dialog, CMainDialog&, contract::User& user) {
        SetDlgItemTextA(dialog, IDC_TABLE, "EMP");
        user.click(IDC_IMPORT);
        winetest::pumpUntil(
            dialog, [] { return false; }, 300ms);
        EXPECT_EQ(paneText(dialog), "") << "no loader ran";
        {
            FileDialogAnswerer answerer(saved);
            user.click(IDC_SAVE_CTL);
            ASSERT_EQ(answerer.answered, 1);
        }
        fw::win32::setAfterInitHook([&](HWND advanced) {
            SetDlgItemTextA(advanced, IDC_ERRORS, "9");
            SendMessageA(GetDlgItem(advanced, IDOK), BM_CLICK, 0, 0);
            stayedOpen = IsWindow(advanced) != FALSE;
            typed = itemText(advanced, IDC_ERRORS);
            SendMessageA(GetDlgItem(advanced, IDCANCEL), BM_CLICK, 0, 0);
        });
        user.click(IDC_ADVANCED);
        EXPECT_EQ(itemText(dialog, IDC_TABLE), "EMP");
    });
    for (const std::string& path : {controlFile(), parfile}) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(GetFileAttributesA((path + ".0.tmp").c_str()), INVALID_FILE_ATTRIBUTES) << path;
    }
    EXPECT_EQ(readFile(controlFile()), oldControl);
    EXPECT_EQ(readFile(parfile), oldParameters);
    DeleteFileA(parfile.c_str());
    EXPECT_EQ(GetFileAttributesA(saved.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(typed, "9");
    ASSERT_EQ(messages_.size(), 3u);
    EXPECT_EQ(messages_[0].text, "控制文件建立失败!!!检查当前目录下load.ctl文件时候已存在!");
    EXPECT_EQ(messages_[1].text, "控制文件建立失败!!!检查当前目录下load.ctl文件时候已存在!");
    EXPECT_EQ(messages_[2].text, "参数文件无法写入: " + parfile);
}

} // namespace

namespace {

std::vector<std::string> comboEntries(HWND dialog, int id) {
    std::vector<std::string> entries;
    const int count = static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char entry[64] = {};
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry));
        entries.emplace_back(entry);
    }
    return entries;
}

// Against the test database that Wine's ADO reaches through ODBC: Wine
// gives no rows, so the chooser opens empty; a line put into it is chosen
// with the mouse and the table's real columns come back.
TEST_F(MainWindowWin32, TheChooserOpensOverTheWindowAndTheChosenTablesColumnsArrive) {
    HWND owner = nullptr;
    std::string caption;
    show([&](HWND dialog, CMainDialog&, contract::User& user) {
        SetDlgItemTextA(dialog, IDC_DATABASE, "BRENNICK_DB");
        fw::win32::setAfterInitHook([&](HWND chooser) {
            owner = GetWindow(chooser, GW_OWNER);
            caption = windowText(chooser);
            SendDlgItemMessageA(chooser, IDC_TABLE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("EMP"));
            contract::actOn(chooser, [](contract::User& chooserUser) {
                chooserUser.choose(IDC_TABLE_LIST, 0);
                chooserUser.click(IDOK);
            });
        });
        user.click(IDC_CHOOSE_TABLE);
        EXPECT_EQ(owner, dialog);
        EXPECT_EQ(itemText(dialog, IDC_TABLE), "EMP");
        EXPECT_EQ(itemText(dialog, IDC_FIELD_NAME), "SAL") << "the last column in the table's order";
        EXPECT_EQ(comboEntries(dialog, IDC_FIELD_NAME),
                  (std::vector<std::string>{"EMPNO", "ENAME", "HIREDATE", "SAL"}));
    });
    EXPECT_EQ(caption, "\xD1\xA1\xD4\xF1\xB1\xED\xC3\xFB"); // 选择表名
    EXPECT_TRUE(messages_.empty());
}

} // namespace
