// The loader's run in the main window as a person sees it, and what a run
// depends on: the loader found, the parameter file, a saved load reloaded.
#include "run/loader_run.h"
#include "wine/main_window.h"

namespace winetest {
namespace {

using testenv::ScopedEnv;

const std::string kClosing = "\r\nMission complete!\r\n";
const std::string kEnded = "\r\n" + run::outcomeLine(0) + kClosing;

std::string currentFolder() {
    char folder[MAX_PATH * 4] = {};
    return std::string(folder, GetCurrentDirectoryA(sizeof folder, folder));
}

// After the loader's output (a zero byte shown as a blank, what follows it
// kept) comes how the loader ended, by its exit code, then the closing line;
// with the pane collapsed before Import the output is left out, but not the
// outcome and closing lines.
TEST_F(MainWindow, TheRunEndsWithHowTheLoaderEndedAlsoWhileThePaneIsCollapsed) {
    ScopedEnv quiet("STANDIN_QUIET", "1");
    ScopedEnv text("STANDIN_TEXT", "Rows loaded: 100\\n\\0ERROR: 5000 rows rejected\\n");
    const std::pair<std::string, std::string> outcomes[] = {{"0", "全部记录装载成功。"},
                                                            {"2", "有记录被拒绝或丢弃，或装载被中断，详见日志文件。"},
                                                            {"7", "装载失败，详见上面的输出和日志文件。"},
                                                            {"3221225477", "装载失败，详见上面的输出和日志文件。"}};
    show([&](HWND dialog, CMainDialog&, User& user) {
        for (const bool collapsed : {false, true}) {
            for (const auto& [exitCode, meaning] : outcomes) {
                ScopedEnv exit("STANDIN_EXIT", exitCode);
                user.click(IDC_IMPORT);
                waitForCompletion(dialog);
                EXPECT_EQ(paneText(dialog),
                          std::string(collapsed ? "" : "Rows loaded: 100\r\n ERROR: 5000 rows rejected\r\n") +
                              "\r\nsqlldr 已结束，返回码 " + exitCode + "：" + meaning + kClosing)
                    << "exit code " << exitCode << (collapsed ? ", collapsed" : "");
            }
            user.click(IDC_DETAILS);
        }
    });
    EXPECT_TRUE(messages_.empty());
}

// A sqlldr.exe in the current folder the program started in, or in a folder
// the user browsed to (the file dialog leaves the current folder as it was),
// never runs: the loader that runs, naming itself first, is the stand-in.
TEST_F(MainWindow, ASqlldrInTheCurrentOrABrowsedFolderNeverRuns) {
    const std::string standIn = testenv::windowsPath(STANDIN_DIR) + "\\sqlldr.exe";
    const std::string planted = executableFolder() + "\\planted";
    CreateDirectoryA(planted.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(standIn.c_str(), (planted + "\\sqlldr.exe").c_str(), FALSE));
    ScopedEnv quiet("STANDIN_QUIET", "1");
    ScopedEnv self("STANDIN_SELF", "1");
    const std::string started = currentFolder();
    ASSERT_TRUE(SetCurrentDirectoryA(planted.c_str()));
    show([&](HWND dialog, CMainDialog&, User& user) {
        const auto importRunsTheStandIn = [&](const char* where) {
            user.click(IDC_IMPORT);
            waitForCompletion(dialog);
            EXPECT_EQ(paneText(dialog), "self=" + standIn + "\r\n" + kEnded) << where;
        };
        importRunsTheStandIn("with a sqlldr.exe in the current folder");
        SetCurrentDirectoryA(started.c_str());
        FileDialogAnswerer answerer({planted, "data.txt"}, 1);
        user.click(IDC_BROWSE);
        EXPECT_EQ(itemText(dialog, IDC_DATA_FILE), planted + "\\data.txt");
        EXPECT_EQ(currentFolder(), started);
        importRunsTheStandIn("with a sqlldr.exe in the folder browsed to");
    });
    SetCurrentDirectoryA(started.c_str());
    DeleteFileA((planted + "\\sqlldr.exe").c_str());
    RemoveDirectoryA(planted.c_str());
    EXPECT_TRUE(messages_.empty());
}

// A load's layout as the user sees it: the record type, the delimiter and
// qualifier entries, which of position, delimiter, qualifier are enabled.
struct Layout {
    int type, delimiter, qualifier; // type: IDC_VARIABLE or IDC_FIXED
};

std::string expectedLayout(const Layout& l) {
    const bool fixed = l.type == IDC_FIXED;
    return std::string(fixed ? "fixed" : "variable") + " #" + std::to_string(l.delimiter) + " #" +
           std::to_string(l.qualifier) + (fixed ? " on off off" : " off on on");
}

std::string seenLayout(HWND dialog) {
    std::string seen = std::string(IsDlgButtonChecked(dialog, IDC_VARIABLE) ? "variable" : "") +
                       (IsDlgButtonChecked(dialog, IDC_FIXED) ? "fixed" : "");
    for (int id : {IDC_DELIMITER, IDC_QUALIFIER}) {
        seen += " #" + std::to_string(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
    }
    for (int id : {IDC_POSITION, IDC_DELIMITER, IDC_QUALIFIER}) {
        seen += IsWindowEnabled(GetDlgItem(dialog, id)) ? " on" : " off";
    }
    return seen;
}

// Save, then Load after the window has changed, brings back the record
// type, delimiter and qualifier with the boxes enabled for that record type,
// and saving again gives the same bytes, for every entry; a fixed-length
// file keeps the window's delimiter and qualifier. A file in another layout
// (no delimiter line, no "(" after the table line) keeps all three as the
// window had them.
TEST_F(MainWindow, ALoadSavedAndLoadedAgainComesBackWithItsLayout) {
    const std::string saved = scratch("saved.ctl");
    const std::string again = scratch("again.ctl");
    // Every record type, delimiter entry and qualifier entry.
    const Layout layouts[] = {
        {IDC_FIXED, 2, 1}, {IDC_VARIABLE, 0, 0}, {IDC_VARIABLE, 1, 1}, {IDC_VARIABLE, 2, 0}, {IDC_VARIABLE, 3, 1}};
    show([&](HWND dialog, CMainDialog&, User& user) {
        const auto set = [&](const Layout& l) {
            user.click(IDC_VARIABLE);
            user.choose(IDC_DELIMITER, l.delimiter);
            user.choose(IDC_QUALIFIER, l.qualifier);
            user.click(l.type);
        };
        const auto answered = [&](int command, const std::string& path) {
            FileDialogAnswerer answerer(path);
            user.click(command);
        };
        user.type(IDC_DATA_FILE, "emp.txt");
        user.type(IDC_TABLE, "EMP");
        for (const char* field : {"EMPNO CHAR", "HIREDATE DATE 'YYYY-MM-DD'"}) {
            SendDlgItemMessageA(dialog, IDC_FIELD_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(field));
        }
        for (const Layout& l : layouts) {
            SCOPED_TRACE(expectedLayout(l));
            DeleteFileA(saved.c_str());
            DeleteFileA(again.c_str());
            set(l);
            answered(IDC_SAVE_CTL, saved);
            const bool fixed = l.type == IDC_FIXED;
            set({fixed ? IDC_VARIABLE : IDC_FIXED, fixed ? l.delimiter : 3 - l.delimiter,
                 fixed ? l.qualifier : 1 - l.qualifier});
            answered(IDC_LOAD_CTL, saved);
            EXPECT_EQ(seenLayout(dialog), expectedLayout(l));
            answered(IDC_SAVE_CTL, again);
            EXPECT_EQ(readBytes(again), readBytes(saved));
        }
        writeBytes(saved,
                   "load data\r\ninfile 'other.txt'\r\nappend into table OTHER\r\ntrailing nullcols\r\n(\r\nA\r\n)");
        for (const Layout& l : {Layout{IDC_FIXED, 3, 1}, Layout{IDC_VARIABLE, 1, 1}}) {
            set(l);
            answered(IDC_LOAD_CTL, saved);
            EXPECT_EQ(itemText(dialog, IDC_TABLE) + " " + seenLayout(dialog), "OTHER " + expectedLayout(l));
        }
    });
    EXPECT_TRUE(messages_.empty());
}

// The first Import writes the parameter file the advanced dialog's OK
// writes for the default options, and the loader runs to its end; Import
// never touches an existing one; one that cannot be written (its folder is
// gone) is reported with the warning icon and runs nothing.
TEST_F(MainWindow, ImportWritesTheDefaultParameterFileOnlyWhereThereIsNone) {
    const std::string parfile = scratch("parfile.cfg");
    const std::string missing = executableFolder() + "\\missing";
    ScopedEnv quiet("STANDIN_QUIET", "1");
    show([&](HWND dialog, CMainDialog& d, User& user) {
        const auto import = [&](const std::string& shown) {
            user.click(IDC_IMPORT);
            EXPECT_TRUE(waitUntil(dialog, [&] { return paneText(dialog) == shown; })) << paneText(dialog);
        };
        import(kEnded);
        const std::string written = readBytes(parfile);
        DeleteFileA(parfile.c_str());
        onNextDialog([](User& advanced) { advanced.click(IDOK); });
        user.click(IDC_ADVANCED);
        EXPECT_EQ(written, readBytes(parfile));

        writeBytes(parfile, "errors=7\n");
        import(kEnded);
        EXPECT_EQ(readBytes(parfile), "errors=7\n");

        d.programFolder = missing;
        user.click(IDC_IMPORT);
        pump(dialog, 300ms);
        EXPECT_EQ(paneText(dialog), "") << "no loader ran";
    });
    expectMessages({{"参数文件无法写入: " + missing + "\\parfile.cfg", true}});
}

// Output beyond the pane's room of 32,000,000 characters (in long lines,
// which fill it fastest): the pane keeps the start of the output, a marker
// line where output was left out, the last part in whole lines up to the
// loader's last line, and how the run ended.
TEST_F(MainWindow, OutputBeyondThePanesRoomLeavesOutTheMiddleAndKeepsTheEnd) {
    ScopedEnv quiet("STANDIN_QUIET", "1");
    ScopedEnv bytes("STANDIN_BYTES", "32100000");
    ScopedEnv line("STANDIN_LINE", "1000");
    ScopedEnv last("STANDIN_LAST_LINE", "the last line\\n");
    show([&](HWND dialog, CMainDialog&, User& user) {
        user.click(IDC_IMPORT);
        waitForCompletion(dialog);
        const std::string pane = paneText(dialog);
        const std::string marker = "\r\n……（输出过长，其间的部分未显示）\r\nline ";
        EXPECT_LE(pane.size(), 32000000u);
        EXPECT_EQ(pane.substr(0, 12), "line 000001 ");
        EXPECT_NE(pane.find(marker), std::string::npos) << "the marker line, then a whole line";
        EXPECT_TRUE(endsWith(pane, "the last line\r\n" + kEnded));
    });
    EXPECT_TRUE(messages_.empty());
}

} // namespace
} // namespace winetest
