// The main window on real Win32 controls: what the system shows of it (the
// system menu, its icons, the dialogs it owns), real common file dialogs and
// files beside the program, and the loader run through CreateProcessA into
// the output pane.
#include "run/loader_run.h"
#include "text/cp936.h"
#include "wine/main_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

namespace winetest {
namespace {

using testenv::ScopedEnv;

// The system menu and the icons the window gives itself, and the dialogs it
// opens over itself: the About box for system commands 16 to 31 only, and
// the advanced dialog with the focus in its first box.
TEST_F(MainWindow, SystemMenuIconsAndTheDialogsTheWindowOwns) {
    show([](HWND dialog, CMainDialog&, User& user) {
        HMENU menu = GetSystemMenu(dialog, FALSE);
        ASSERT_NE(menu, nullptr);
        const int count = GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        MENUITEMINFOA separator = {};
        separator.cbSize = sizeof separator;
        separator.fMask = MIIM_FTYPE;
        ASSERT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(count - 2), TRUE, &separator));
        EXPECT_NE(separator.fType & MFT_SEPARATOR, 0u);
        EXPECT_EQ(GetMenuItemID(menu, count - 1), 16u);
        char caption[64] = {};
        GetMenuStringA(menu, static_cast<UINT>(count - 1), caption, sizeof caption, MF_BYPOSITION);
        EXPECT_EQ(std::string(caption), "关于 Brennick(&A)...");

        HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN));
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0)), icon);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0)), icon);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dialog, WM_QUERYDRAGICON, 0, 0)), icon);

        for (unsigned command : {16u, 31u, 32u}) {
            std::string aboutCaption;
            HWND owner = nullptr;
            fw::setAfterInitHook([&](HWND about) {
                aboutCaption = fw::windowText(about);
                owner = GetWindow(about, GW_OWNER);
                SendMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
            });
            user.systemCommand(command);
            fw::setAfterInitHook(nullptr);
            EXPECT_EQ(aboutCaption, command == 32u ? "" : "关于 Brennick") << "command " << command;
            EXPECT_EQ(owner, command == 32u ? nullptr : dialog) << "command " << command;
        }
        EXPECT_TRUE(IsWindowEnabled(dialog)) << "the main window takes input again";

        HWND advancedOwner = nullptr;
        bool logFocused = false;
        fw::setAfterInitHook([&](HWND advanced) {
            advancedOwner = GetWindow(advanced, GW_OWNER);
            logFocused = GetFocus() == GetDlgItem(advanced, IDC_LOG);
            SendMessageA(GetDlgItem(advanced, IDCANCEL), BM_CLICK, 0, 0);
        });
        user.click(IDC_ADVANCED);
        EXPECT_EQ(advancedOwner, dialog);
        EXPECT_TRUE(logFocused);
    });
    EXPECT_TRUE(messages_.empty());
}

// load.ctl goes beside the program, with a data file whose path holds a
// trail byte 0x5C kept whole; the loader runs hidden, named through the
// search path, and its output arrives with CrLf line ends. Save moves the
// file to the name chosen in the real file dialog, and Load brings it back
// into a cleared window.
TEST_F(MainWindow, ImportRunsTheLoaderHiddenAndSaveAndLoadCarryTheControlFile) {
    const std::string saved = executableFolder() + "\\roundtrip.ctl";
    DeleteFileA(saved.c_str());
    ScopedEnv startupInfo("STANDIN_SHOW", "1");
    ScopedEnv text("STANDIN_TEXT", "a\nb\n\xD6\xD0\xCE\xC4");
    // "\xB1\x5C" is a double-byte character whose second byte is '\\'.
    const std::string dataFile = "C:\\\xCA\xFD\xBE\xDD\\emp\xB1\x5C.txt";
    const std::string field = "\xD0\xD5\xC3\xFB CHAR";
    const std::string written = "load data\r\n"
                                "infile 'C:\\\xCA\xFD\xBE\xDD\\emp\xB1\x5C.txt'\r\n"
                                "replace into table EMP\r\n"
                                "fields terminated by '\t' \r\n"
                                "\r\n"
                                "(\r\n"
                                "\xD0\xD5\xC3\xFB CHAR\r\n"
                                ")";
    show([&](HWND dialog, CMainDialog& d, User& user) {
        ASSERT_EQ(GetACP(), 936u) << "the test needs code page 936 (LANG=zh_CN.UTF-8)";
        user.type(IDC_DATA_FILE, dataFile);
        user.type(IDC_TABLE, "EMP");
        user.click(IDC_REPLACE);
        SendDlgItemMessageA(dialog, IDC_FIELD_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(field.c_str()));
        user.click(IDC_IMPORT);
        waitForCompletion(dialog);
        const std::string folder = d.programFolder;
        EXPECT_TRUE(text::equalsNoCase(folder, executableFolder())) << folder << " | " << executableFolder();
        EXPECT_EQ(paneText(dialog), "arg[1]=user/kemp@dbname\r\n"
                                    "arg[2]=control='" +
                                        folder +
                                        "\\load.ctl'\r\n"
                                        "arg[3]=parfile='" +
                                        folder +
                                        "\\parfile.cfg'\r\n"
                                        "show=0 flags=0x101\r\n"
                                        "a\r\nb\r\n\xD6\xD0\xCE\xC4\r\n" +
                                        run::outcomeLine(0) + "\r\nMission complete!\r\n");
        EXPECT_EQ(readFile(controlFile()), written);

        {
            FileDialogAnswerer answerer(saved);
            user.click(IDC_SAVE_CTL);
            ASSERT_EQ(answerer.answered, 1);
        }
        EXPECT_EQ(readFile(saved), written);
        EXPECT_EQ(GetFileAttributesA(controlFile().c_str()), INVALID_FILE_ATTRIBUTES) << "load.ctl has moved";
        SetDlgItemTextA(dialog, IDC_DATA_FILE, "");
        SetDlgItemTextA(dialog, IDC_TABLE, "");
        user.click(IDC_APPEND);
        SendDlgItemMessageA(dialog, IDC_FIELD_LIST, LB_RESETCONTENT, 0, 0);
        {
            FileDialogAnswerer answerer(saved);
            user.click(IDC_LOAD_CTL);
            ASSERT_EQ(answerer.answered, 1);
        }
        EXPECT_EQ(itemText(dialog, IDC_DATA_FILE), dataFile);
        EXPECT_EQ(itemText(dialog, IDC_TABLE), "EMP");
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_REPLACE, BM_GETCHECK, 0, 0), BST_CHECKED);
        HWND list = GetDlgItem(dialog, IDC_FIELD_LIST);
        ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 1);
        char line[64] = {};
        SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
        EXPECT_EQ(line, field);
    });
    DeleteFileA(saved.c_str());
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindow, ADoubleByteCharacterSplitBetweenTwoReadsIsShownWholeInThePane) {
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
    show([&](HWND dialog, CMainDialog&, User& user) {
        user.click(IDC_IMPORT);
        ASSERT_TRUE(winetest::pumpUntil(
            dialog, [dialog] { return paneText(dialog) == "ab"; }, 60s))
            << paneText(dialog);
        if (std::FILE* f = std::fopen(gate.c_str(), "wb")) {
            std::fclose(f);
        }
        waitForCompletion(dialog);
        EXPECT_EQ(paneText(dialog), "ab\xB0\xA1"
                                    "cd\r\n\r\n" +
                                        run::outcomeLine(0) + "\r\nMission complete!\r\n");
        wchar_t wide[64] = {};
        GetDlgItemTextW(dialog, IDC_OUTPUT, wide, 64);
        EXPECT_EQ(std::wstring(wide).substr(0, 6), L"ab\x554A"
                                                   L"cd\r");
    });
    std::remove(gate.c_str());
    EXPECT_TRUE(messages_.empty());
}

// A loader missing from the search path, and a command line longer than
// CreateProcess takes (32767 characters with the terminating zero), are
// reported with the warning icon, empty the pane and run nothing; a line
// of 32766 runs whole, never cut short.
TEST_F(MainWindow, ALoaderThatCannotStartIsReportedAndTheLongestCommandLineRunsWhole) {
    const std::string args = executableFolder() + "\\args.txt";
    ScopedEnv quiet("STANDIN_QUIET", "1");
    ScopedEnv argsFile("STANDIN_ARGS_FILE", args);
    const auto importRefused = [this](HWND dialog, User& user, std::size_t messages) {
        user.click(IDC_IMPORT);
        ASSERT_TRUE(winetest::pumpUntil(
            dialog, [&] { return messages_.size() == messages; }, 60s));
        winetest::pumpUntil(
            dialog, [] { return false; }, 300ms);
        EXPECT_EQ(paneText(dialog), "");
    };
    show([&](HWND dialog, CMainDialog& d, User& user) {
        {
            ScopedEnv path("PATH", pathWithoutLoader_);
            SetDlgItemTextA(dialog, IDC_OUTPUT, "old output");
            importRefused(dialog, user, 1);
        }
        const std::size_t rest =
            std::string("sqlldr user/@dbname control='\\load.ctl' parfile='\\parfile.cfg'").size() +
            2 * d.programFolder.size();
        // Double-byte characters count one each.
        const std::string fits = std::string(32766 - rest - 1000, 'p') + std::string(2000, '\xD6');
        SetDlgItemTextA(dialog, IDC_PASSWORD, fits.c_str());
        user.click(IDC_IMPORT);
        waitForCompletion(dialog);
        std::string got = readFile(args);
        EXPECT_EQ(got.substr(0, got.find('\n')), "user/" + fits + "@dbname");

        DeleteFileA(args.c_str());
        SetDlgItemTextA(dialog, IDC_PASSWORD, (fits + "p").c_str());
        importRefused(dialog, user, 2);
    });
    ASSERT_EQ(messages_.size(), 2u);
    for (const ShownMessage& message : messages_) {
        EXPECT_EQ(message.text, "Error  on  CreateProcess()");
        EXPECT_TRUE(message.warningIcon);
    }
    EXPECT_EQ(GetFileAttributesA(args.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing ran";
}

TEST_F(MainWindow, TheWindowClosedWhileTheLoaderStreamsAndTheLoaderRunsToItsEnd) {
    const std::string done = executableFolder() + "\\done.txt";
    DeleteFileA(done.c_str());
    ScopedEnv bytes("STANDIN_BYTES", "3000000");
    ScopedEnv pause("STANDIN_PAUSE_MS", "1");
    ScopedEnv doneFile("STANDIN_DONE_FILE", done);
    show([](HWND dialog, CMainDialog&, User& user) {
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

// The real combo box selects the entry a typed text begins only while its
// list is open, and only then does the date mask come.
TEST_F(MainWindow, TypingIntoTheTypeBoxSwitchesTheDateMaskByWhetherItsListIsOpen) {
    show([](HWND dialog, CMainDialog&, User& user) {
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
    });
    EXPECT_TRUE(messages_.empty());
}

// Read-only files in the program folder: Windows refuses to replace them,
// and so does the program under Wine. Import and the advanced dialog's OK
// each say so, keep the old files and leave no temporary file.
TEST_F(MainWindow, ReadOnlyFilesInTheProgramFolderAreReportedAndKeptAsTheyWere) {
    const std::string oldControl = "load data\r\ninfile 'old.txt'\r\nappend into table OLD\r\n(\r\n)";
    const std::string oldParameters = "errors=7\r\n";
    const std::string parfile = executableFolder() + "\\parfile.cfg";
    for (const auto& [path, bytes] : {std::pair{controlFile(), oldControl}, std::pair{parfile, oldParameters}}) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    show([&](HWND dialog, CMainDialog&, User& user) {
        user.click(IDC_IMPORT);
        winetest::pumpUntil(
            dialog, [] { return false; }, 300ms);
        EXPECT_EQ(paneText(dialog), "") << "no loader ran";
        fw::setAfterInitHook([&](HWND advanced) {
            SetDlgItemTextA(advanced, IDC_ERRORS, "9");
            SendMessageA(GetDlgItem(advanced, IDOK), BM_CLICK, 0, 0);
            SendMessageA(GetDlgItem(advanced, IDCANCEL), BM_CLICK, 0, 0);
        });
        user.click(IDC_ADVANCED);
    });
    for (const std::string& path : {controlFile(), parfile}) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(GetFileAttributesA((path + ".0.tmp").c_str()), INVALID_FILE_ATTRIBUTES) << path;
    }
    EXPECT_EQ(readFile(controlFile()), oldControl);
    EXPECT_EQ(readFile(parfile), oldParameters);
    DeleteFileA(parfile.c_str());
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0].text, "控制文件建立失败!!!检查当前目录下load.ctl文件时候已存在!");
    EXPECT_EQ(messages_[1].text, "参数文件无法写入: " + parfile);
}

// Against the test database that Wine's ADO reaches through ODBC. A data
// source it does not know is reported and changes nothing. Wine gives no
// rows, so the chooser opens empty; a line put into it is chosen with the
// mouse and the table's real columns come back.
TEST_F(MainWindow, AnUnknownDatabaseIsReportedAndAChosenTablesColumnsArrive) {
    HWND owner = nullptr;
    std::string caption;
    show([&](HWND dialog, CMainDialog&, User& user) {
        SetDlgItemTextA(dialog, IDC_DATABASE, "NO_SUCH_SOURCE");
        user.type(IDC_TABLE, "DEPT");
        user.click(IDC_CHOOSE_TABLE);
        EXPECT_EQ(itemText(dialog, IDC_TABLE), "DEPT");
        EXPECT_TRUE(IsWindowEnabled(dialog));
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(messages_[0].text, "数据库访问失败，没有得到错误说明。");
        EXPECT_TRUE(messages_[0].warningIcon);

        SetDlgItemTextA(dialog, IDC_DATABASE, "BRENNICK_DB");
        fw::setAfterInitHook([&](HWND chooser) {
            owner = GetWindow(chooser, GW_OWNER);
            caption = fw::windowText(chooser);
            SendDlgItemMessageA(chooser, IDC_TABLE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("EMP"));
            User chooserUser(chooser);
            chooserUser.choose(IDC_TABLE_LIST, 0);
            chooserUser.click(IDOK);
        });
        user.click(IDC_CHOOSE_TABLE);
        EXPECT_EQ(owner, dialog);
        EXPECT_EQ(itemText(dialog, IDC_TABLE), "EMP");
        EXPECT_EQ(itemText(dialog, IDC_FIELD_NAME), "SAL") << "the last column in the table's order";
        EXPECT_EQ(listLines(dialog, IDC_FIELD_NAME), (std::vector<std::string>{"EMPNO", "ENAME", "HIREDATE", "SAL"}));
    });
    EXPECT_EQ(caption, "选择表名");
    EXPECT_EQ(messages_.size(), 1u);
}

} // namespace
} // namespace winetest
