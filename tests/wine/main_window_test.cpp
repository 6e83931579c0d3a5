// The main window on real Win32 controls: what the system shows of it (the
// system menu, its icons, the dialogs it owns), and the loader run through
// CreateProcessA into the output pane: its bytes, a loader that cannot
// start, a second Import while a run goes on, the window closed mid-run.
#include "run/loader_run.h"
#include "wine/main_window.h"

#include <memory>

namespace winetest {
namespace {

using testenv::ScopedEnv;

const std::string kClosing = "\r\nMission complete!\r\n";
// How a run of the stand-in ends in the pane.
const std::string kEnded = "\r\n" + run::outcomeLine(0) + kClosing;

// The system menu and the icons the window gives itself, and the dialogs it
// opens over itself: the About box for system commands 16 to 31 only, and
// the advanced dialog, centred over it, with the focus in its first box.
TEST_F(MainWindow, SystemMenuIconsAndTheDialogsTheWindowOwns) {
    show([](HWND dialog, CMainDialog&, User& user) {
        HMENU menu = GetSystemMenu(dialog, FALSE);
        const int count = GetMenuItemCount(menu);
        EXPECT_EQ(GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
        EXPECT_EQ(GetMenuItemID(menu, count - 1), 16u);
        char caption[64] = {};
        GetMenuStringA(menu, static_cast<UINT>(count - 1), caption, sizeof caption, MF_BYPOSITION);
        EXPECT_STREQ(caption, "关于 Brennick(&A)...");
        HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN));
        for (const LRESULT shown :
             {SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0),
              SendMessageA(dialog, WM_QUERYDRAGICON, 0, 0)}) {
            EXPECT_EQ(reinterpret_cast<HICON>(shown), icon);
        }
        for (unsigned command : {16u, 31u, 32u}) {
            std::string aboutCaption;
            HWND owner = nullptr;
            onNextDialog([&](User& about) {
                aboutCaption = fw::windowText(about.dialog());
                owner = GetWindow(about.dialog(), GW_OWNER);
                about.click(IDOK);
            });
            user.systemCommand(command);
            fw::setAfterInitHook(nullptr);
            EXPECT_EQ(aboutCaption, command == 32u ? "" : "关于 Brennick") << "command " << command;
            EXPECT_EQ(owner, command == 32u ? nullptr : dialog) << "command " << command;
        }
        EXPECT_TRUE(IsWindowEnabled(dialog)) << "the main window takes input again";
        onNextDialog([&](User& advanced) {
            EXPECT_EQ(GetWindow(advanced.dialog(), GW_OWNER), dialog);
            EXPECT_EQ(GetFocus(), GetDlgItem(advanced.dialog(), IDC_LOG));
            RECT owner = {};
            RECT shown = {};
            GetWindowRect(dialog, &owner);
            GetWindowRect(advanced.dialog(), &shown);
            EXPECT_NEAR(shown.left + shown.right, owner.left + owner.right, 1) << "centred over the main window";
            EXPECT_NEAR(shown.top + shown.bottom, owner.top + owner.bottom, 1) << "centred over the main window";
            advanced.click(IDCANCEL);
        });
        user.click(IDC_ADVANCED);
    });
    EXPECT_TRUE(messages_.empty());
}

// A loader missing from the search path, and a command line longer than
// CreateProcess takes (32767 characters with the terminating zero), are
// reported with the warning icon, empty the pane and run nothing; a line
// of 32766 runs whole, never cut short. A run that could not start does not
// hold up the next Import.
TEST_F(MainWindow, ALoaderThatCannotStartIsReportedAndTheLongestCommandLineRunsWhole) {
    const std::string args = scratch("args.txt");
    ScopedEnv quiet("STANDIN_QUIET", "1");
    ScopedEnv argsFile("STANDIN_ARGS_FILE", args);
    const auto importRefused = [this](HWND dialog, User& user, std::size_t messages) {
        user.click(IDC_IMPORT);
        ASSERT_TRUE(waitUntil(dialog, [&] { return messages_.size() == messages; }));
        pump(dialog, 300ms);
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
        const std::string got = readBytes(args);
        EXPECT_EQ(got.substr(0, got.find('\n')), "user/" + fits + "@dbname");

        DeleteFileA(args.c_str());
        SetDlgItemTextA(dialog, IDC_PASSWORD, (fits + "p").c_str());
        importRefused(dialog, user, 2);
    });
    expectMessages({{"Error  on  CreateProcess()", true}, {"Error  on  CreateProcess()", true}});
    EXPECT_FALSE(fileExists(args)) << "nothing ran";
}

// Import while a run goes on asks first, with No as the default. No reads
// and writes nothing, and the run goes on into the same pane; Yes runs
// again beside it. Once every run has shown its closing line, Import asks
// nothing.
TEST_F(MainWindow, ImportWhileARunGoesOnAsksFirstAndNoLeavesTheRunAlone) {
    const std::string gate = scratch("gate");
    ScopedEnv quiet("STANDIN_QUIET", "1");
    ScopedEnv text("STANDIN_TEXT", "first\\n");
    ScopedEnv wait("STANDIN_WAIT_FILE", gate);
    show([&](HWND dialog, CMainDialog&, User& user) {
        MessageBoxAnswerer answerer(&messages_, IDNO);
        const auto importUntil = [&](const std::string& pane) {
            user.click(IDC_IMPORT);
            ASSERT_TRUE(waitUntil(dialog, [&] { return paneText(dialog) == pane; })) << paneText(dialog);
        };
        importUntil("first\r\n");
        const std::string written = readBytes(controlFile());
        SetDlgItemTextA(dialog, IDC_TABLE, "OTHER");
        SetDlgItemTextA(dialog, IDC_FIELD_NAME, std::string(31, 'x').c_str()); // a read would refuse it
        user.click(IDC_IMPORT);
        pump(dialog, 300ms);
        EXPECT_EQ(readBytes(controlFile()), written);
        EXPECT_EQ(paneText(dialog), "first\r\n");

        SetDlgItemTextA(dialog, IDC_FIELD_NAME, "");
        answerer.setAnswer(IDYES);
        importUntil("first\r\n");
        EXPECT_NE(readBytes(controlFile()).find("into table OTHER"), std::string::npos);
        writeBytes(gate, "");
        ASSERT_TRUE(waitUntil(dialog, [&] { return paneText(dialog) == "first\r\n" + kEnded + kEnded; }))
            << paneText(dialog) << "both loaders run to their end";
        importUntil("first\r\n" + kEnded);
    });
    ASSERT_EQ(messages_.size(), 2u) << "asked again after the runs had ended";
    for (const ShownMessage& question : messages_) {
        EXPECT_EQ(question.text, "上一次导入尚未结束，确定要再次导入吗？");
        EXPECT_TRUE(question.warningIcon);
        EXPECT_EQ(question.caption, "wine_tests");
        EXPECT_EQ(question.defaultButton, IDNO);
    }
}

// The window closed while the loader streams: its queue closes at once, the
// worker reads on without reaching the window, the loader is not stopped,
// and the worker ends and lets go of the queue.
TEST_F(MainWindow, TheWindowClosedWhileTheLoaderStreamsAndTheLoaderRunsToItsEnd) {
    const std::string done = scratch("done.txt");
    ScopedEnv bytes("STANDIN_BYTES", "3000000");
    ScopedEnv pause("STANDIN_PAUSE_MS", "1");
    ScopedEnv doneFile("STANDIN_DONE_FILE", done);
    std::shared_ptr<fw::CallQueue> queue;
    show([&](HWND dialog, CMainDialog& d, User& user) {
        queue = d.callQueue();
        user.click(IDC_IMPORT);
        ASSERT_TRUE(waitUntil(dialog, [dialog] { return paneText(dialog).find("line 000010 ") != std::string::npos; }));
        user.pressEscape(IDC_USER);
    });
    EXPECT_TRUE(queue->isClosed());
    EXPECT_GT(queue.use_count(), 1) << "the worker still runs";
    for (int i = 0; i < 6000 && (!fileExists(done) || queue.use_count() > 1); ++i) {
        Sleep(10);
    }
    EXPECT_TRUE(fileExists(done)) << "the loader was stopped";
    EXPECT_EQ(queue.use_count(), 1) << "the worker did not end";
    EXPECT_TRUE(messages_.empty());
}

} // namespace
} // namespace winetest
