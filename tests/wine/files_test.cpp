// The files of the main window's commands, through the real common dialogs:
// load.ctl written by Import, Save and Load of a control file, the advanced
// dialog over parfile.cfg, and what the user is told when a file cannot be
// read, replaced or written.
#include "run/loader_run.h"
#include "wine/main_window.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include <windows.h>

namespace winetest {
namespace {

using testenv::ScopedEnv;

// load.ctl goes beside the program, with a data file whose path holds a
// trail byte 0x5C kept whole; the loader runs hidden, named through the
// search path, its output with CrLf line ends. Save moves load.ctl to the
// name chosen (".ctl" added for the first filter only, never over an
// existing file); Load brings a control file back, its field list in place
// of the window's, and changes nothing on Cancel, on another kind of file
// or on a file that cannot be opened.
TEST_F(MainWindow, ImportWritesTheControlFileSaveMovesItAndLoadBringsItBack) {
    ScopedEnv startupInfo("STANDIN_SHOW", "1");
    ScopedEnv text("STANDIN_TEXT", "a\nb\n\xD6\xD0\xCE\xC4");
    // "\xB1\x5C" is a double-byte character whose second byte is '\\'.
    const std::string dataFile = "C:\\\xCA\xFD\xBE\xDD\\emp\xB1\x5C.txt";
    const std::string field = "\xD0\xD5\xC3\xFB CHAR";
    const std::string written = "load data\r\ninfile '" + dataFile +
                                "'\r\nreplace into table EMP\r\nfields terminated by '\t' \r\n\r\n(\r\n" + field +
                                "\r\n)";
    const std::string a = scratch("a.ctl");
    const std::tuple<std::string, int, std::string> saves[] = {
        {"a", 1, a}, {"b.CTL", 1, scratch("b.CTL")}, {"c", 2, scratch("c")}};
    const std::string foreign = scratch("notes.txt");
    const std::string missing = scratch("missing.ctl");
    writeBytes(foreign, "loaded data\r\ninfile 'x'\r\n");
    show([&](HWND dialog, CMainDialog& d, User& user) {
        ASSERT_EQ(GetACP(), 936u) << "the test needs code page 936 (LANG=zh_CN.UTF-8)";
        user.type(IDC_DATA_FILE, dataFile);
        user.type(IDC_TABLE, "EMP");
        user.click(IDC_REPLACE);
        SendDlgItemMessageA(dialog, IDC_FIELD_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(field.c_str()));
        user.click(IDC_IMPORT);
        waitForCompletion(dialog);
        const std::string folder = d.programFolder;
        EXPECT_EQ(paneText(dialog), "arg[1]=user/kemp@dbname\r\narg[2]=control='" + folder +
                                        "\\load.ctl'\r\narg[3]=parfile='" + folder +
                                        "\\parfile.cfg'\r\nshow=0 flags=0x101\r\na\r\nb\r\n\xD6\xD0\xCE\xC4\r\n" +
                                        run::outcomeLine(0) + "\r\nMission complete!\r\n");
        EXPECT_EQ(readBytes(controlFile()), written);

        for (const auto& [chosen, filter, saved] : saves) {
            FileDialogAnswerer answerer(executableFolder() + "\\" + chosen, filter);
            user.click(IDC_SAVE_CTL);
            EXPECT_EQ(readBytes(saved), written) << chosen << " with filter " << filter;
            EXPECT_FALSE(fileExists(controlFile())) << "load.ctl has moved";
        }
        writeBytes(a, "kept");
        {
            FileDialogAnswerer answerer(a);
            user.click(IDC_SAVE_CTL);
        }
        EXPECT_EQ(readBytes(a), "kept");

        SetDlgItemTextA(dialog, IDC_DATA_FILE, "");
        SetDlgItemTextA(dialog, IDC_TABLE, "");
        user.click(IDC_APPEND);
        SendDlgItemMessageA(dialog, IDC_FIELD_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("left over"));
        for (const std::string& chosen : {std::get<2>(saves[2]), std::string(), foreign, missing}) {
            FileDialogAnswerer answerer(chosen);
            user.click(IDC_LOAD_CTL);
            ASSERT_EQ(answerer.answered, 1);
            EXPECT_EQ(itemText(dialog, IDC_DATA_FILE), dataFile) << chosen;
            EXPECT_EQ(itemText(dialog, IDC_TABLE), "EMP") << chosen;
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_REPLACE, BM_GETCHECK, 0, 0), BST_CHECKED) << chosen;
            EXPECT_EQ(listLines(dialog, IDC_FIELD_LIST), std::vector<std::string>{field}) << chosen;
        }
    });
    expectMessages({{"控制文件无法保存为 " + a + " (该文件可能已存在)", false},
                    {"您所选择的文件不是Oracle控制文件", true},
                    {"无法打开控制文件: " + missing, true}});
}

// The advanced dialog reads parfile.cfg beside the program each time it is
// shown, its Silent list filled from the template; OK writes the file whole,
// Cancel never touches it.
TEST_F(MainWindow, TheAdvancedDialogShowsTheParameterFileAndOnlyOkWritesIt) {
    const std::string parfile = scratch("parfile.cfg");
    const std::string handWritten = "log=a=b\nerrors=10\nskip=5\nbindsize=\nrows= 64\nerrors=20\nsilent=Err";
    writeBytes(parfile, handWritten);
    show([&](HWND, CMainDialog&, User& user) {
        const auto advanced = [&](const std::function<void(User&)>& script) {
            onNextDialog(script);
            user.click(IDC_ADVANCED);
        };
        advanced([](User& a) {
            EXPECT_EQ(listLines(a.dialog(), IDC_SILENT),
                      (std::vector<std::string>{"header", "feedback", "errors", "discards", "all"}));
            EXPECT_EQ(SendDlgItemMessageA(a.dialog(), IDC_SILENT, CB_GETCURSEL, 0, 0), 2);
            const std::vector<std::pair<int, std::string>> shown = {
                {IDC_LOG, "a=b"},  {IDC_ERRORS, "20"},     {IDC_SKIP, "5"},       {IDC_BINDSIZE, ""},
                {IDC_ROWS, " 64"}, {IDC_SILENT, "errors"}, {IDC_DIRECT, "false"}, {IDC_BAD, ""}};
            for (const auto& [id, value] : shown) {
                EXPECT_EQ(itemText(a.dialog(), id), value) << "control " << id;
            }
            a.type(IDC_LOG, "x");
            a.pressEscape(IDC_LOG);
        });
        EXPECT_EQ(readBytes(parfile), handWritten);
        advanced([](User& a) {
            a.type(IDC_LOG, "x");
            a.pressEnter(IDC_LOG);
        });
        EXPECT_EQ(readBytes(parfile), "silent=errors\r\ncommit_discontinued=false\r\ndirect=false\r\nerrors=20\r\n"
                                      "log=a=bx\r\nrows= 64\r\nskip_index_maintenance=false\r\nskip=5\r\n"
                                      "skip_unusable_indexes=false\r\n");
        DeleteFileA(parfile.c_str());
        advanced([](User& a) { a.click(IDCANCEL); });
        EXPECT_FALSE(fileExists(parfile));
        advanced([](User& a) { a.click(IDOK); });
        EXPECT_EQ(readBytes(parfile), "bindsize=65536\r\ncommit_discontinued=false\r\ndirect=false\r\nerrors=50\r\n"
                                      "skip_index_maintenance=false\r\nskip_unusable_indexes=false\r\n");
    });
    EXPECT_TRUE(messages_.empty());
}

// A program folder whose files cannot be replaced (read-only: Windows
// refuses, and so does the program under Wine) or whose disk is full (a
// small tmpfs, where this machine lets the test mount one): Import, Save
// and the advanced dialog's OK each say so and run nothing; load.ctl and
// parfile.cfg stay as they were, with no temporary beside them, and the
// advanced dialog stays open with what the user typed.
TEST_F(MainWindow, FilesThatCannotBeReplacedOrWrittenAreReportedAndKeptAsTheyWere) {
    const std::string oldControl = "load data\r\ninfile 'old.txt'\r\nappend into table OLD\r\n(\r\n)";
    const std::string oldParameters = "errors=7\r\n";
    const std::string saved = scratch("saved.ctl");
    const std::string mountPoint = "/tmp/brennick-full-" + std::to_string(GetCurrentProcessId());
    const bool mounted = unixShell("mkdir -p " + mountPoint + " && mount -t tmpfs -o size=64k tmpfs " + mountPoint);
    for (const bool full : {false, true}) {
        if (full && !mounted) {
            GTEST_SKIP() << "a full disk needs a tmpfs mount, which this machine does not allow";
        }
        const std::string folder = full ? testenv::windowsPath(mountPoint) : executableFolder();
        const std::string control = folder + "\\load.ctl";
        const std::string parameters = full ? folder + "\\parfile.cfg" : scratch("parfile.cfg");
        writeBytes(control, oldControl);
        writeBytes(parameters, oldParameters);
        for (const std::string& path : {control, parameters}) {
            EXPECT_TRUE(full || SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        if (full) {
            writeBytes(folder + "\\fill", std::string(1 << 20, 'x'));
        }
        messages_.clear();
        show([&](HWND dialog, CMainDialog& d, User& user) {
            d.programFolder = folder;
            onNextDialog([](User& a) {
                SetDlgItemTextA(a.dialog(), IDC_ERRORS, "9");
                a.click(IDOK);
                EXPECT_TRUE(IsWindowVisible(a.dialog())) << "the dialog stays open";
                EXPECT_EQ(itemText(a.dialog(), IDC_ERRORS), "9");
                a.click(IDCANCEL);
            });
            user.click(IDC_ADVANCED);
            user.click(IDC_IMPORT);
            FileDialogAnswerer answerer(saved);
            user.click(IDC_SAVE_CTL);
            pump(dialog, 300ms);
            EXPECT_EQ(paneText(dialog), "") << "no loader ran";
        });
        SCOPED_TRACE(full ? "a full disk" : "read-only files");
        for (const std::string& path : {control, parameters}) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            EXPECT_FALSE(fileExists(path + ".0.tmp")) << path;
        }
        EXPECT_EQ(readBytes(control), oldControl);
        EXPECT_EQ(readBytes(parameters), oldParameters);
        EXPECT_FALSE(fileExists(saved));
        const std::string failed =
            full ? "控制文件写入失败: " + control : "控制文件建立失败!!!检查当前目录下load.ctl文件时候已存在!";
        expectMessages({{"参数文件无法写入: " + parameters, true}, {failed, false}, {failed, false}});
    }
    if (mounted) {
        unixShell("umount " + mountPoint + " && rmdir " + mountPoint);
    }
}

} // namespace
} // namespace winetest
