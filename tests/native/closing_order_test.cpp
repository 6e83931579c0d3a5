// Runs and windows that end in any order: the window closed while a loader
// streams, the advanced dialog confirmed during a run (two runs at once are
// in the main window's tests). The sanitizer build runs these too, and would
// see any use of a window or dialog that is gone.
#include "native/main_window_fixture.h"

#include <thread>

namespace {

using namespace mainwindow;

// The window closed while the loader waits half way: its queue is closed at
// once; the worker still holds the feed, and through it the queue, and reads
// on without reaching the window (under the sanitizers, touching the freed
// dialog would be reported). The loader is not stopped and writes
// everything; then the worker ends and lets go of the queue.
TEST_F(MainWindow, TheWindowClosedWhileTheLoaderStreamsAndTheLoaderRunsToItsEnd) {
    const std::string gate = scratch_ + "/go";
    const std::string done = scratch_ + "/done";
    testenv::ScopedEnv bytes("STANDIN_BYTES", "3000000");
    testenv::ScopedEnv pause("STANDIN_PAUSE_MS", "1");
    testenv::ScopedEnv waitFile("STANDIN_WAIT_FILE", gate);
    testenv::ScopedEnv doneFile("STANDIN_DONE_FILE", done);
    std::shared_ptr<fw::CallQueue> queue;
    show([&](MemoryWindow& w, CMainDialog&) {
        queue = w.callQueue();
        w.click(IDC_IMPORT);
        ASSERT_TRUE(w.pumpUntil([&] { return w.text(IDC_OUTPUT).find("line 000010") != std::string::npos; }, 60s));
        w.pressEscape(0);
    });
    EXPECT_TRUE(queue->isClosed());
    EXPECT_GT(queue.use_count(), 1) << "the worker still runs";
    std::ofstream(gate) << "";
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while ((!exists(done) || queue.use_count() > 1) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(exists(done)) << "the loader was stopped";
    EXPECT_EQ(queue.use_count(), 1) << "the worker did not end";
    EXPECT_FALSE(queue->pending());
}

TEST_F(MainWindow, TheAdvancedDialogConfirmedWhileARunGoesOn) {
    const std::string gate = scratch_ + "/go";
    const std::string parameterFile = programFolder_ + "/parfile.cfg";
    std::remove(parameterFile.c_str());
    testenv::ScopedEnv text("STANDIN_TEXT", "first\n");
    testenv::ScopedEnv bytes("STANDIN_BYTES", "640");
    testenv::ScopedEnv waitFile("STANDIN_WAIT_FILE", gate);
    MemoryWindow* main = nullptr;
    mem().onShow(IDD_ADVANCED, [&](MemoryWindow& a) {
        a.setText(IDC_ERRORS, "9");
        std::ofstream(gate) << "";
        // The main window under the dialog keeps taking the run's output.
        EXPECT_TRUE(a.pumpUntil([&] { return endsWith(main->text(IDC_OUTPUT), run::kCompletion); }, 60s));
        a.click(fw::kIdOk);
    });
    show([&](MemoryWindow& w, CMainDialog&) {
        main = &w;
        w.click(IDC_IMPORT);
        ASSERT_TRUE(w.pumpUntil([&] { return w.text(IDC_OUTPUT).find("first") != std::string::npos; }, 60s));
        w.click(IDC_ADVANCED);
        waitForCompletion(w);
        EXPECT_NE(w.text(IDC_OUTPUT).find("line 000010 "), std::string::npos);
    });
    EXPECT_NE(readFile(parameterFile).find("errors=9\r\n"), std::string::npos);
    std::remove(parameterFile.c_str());
}

} // namespace
