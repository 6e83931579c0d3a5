// The main window on real Win32 controls: what the system shows of it (the
// system menu, its icons, the About box), the control file it writes on
// Windows, and the loader run through CreateProcessA into the output pane.
#include "contract/harness.h"
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
            dialog, [dialog] { return endsWith(paneText(dialog), run::kCompletion); }, 60s))
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
        EXPECT_EQ(
            readFile(d.programFolder + "\\load.ctl"),
            loaddef::controlFileText({dataFile, "EMP", loaddef::kReplace, loaddef::kVariableLength, 2, 1, fields}));
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

} // namespace
