// Runs and windows that end in any order: the window closed while a loader
// streams, the advanced dialog confirmed during a run (two runs at once are
// in the main window's tests). The sanitizer build runs these too, and would
// see any use of a window or dialog that is gone.
#include "native/main_window_fixture.h"

#include <thread>

namespace {

using namespace mainwindow;

class ClosingOrder : public MainWindow {
protected:
    // Waits (without a window) until the stand-in loader has written its
    // last byte.
    bool loaderDone(const std::string& done) {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (!exists(done) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(10ms);
        }
        return exists(done);
    }
};

TEST_F(ClosingOrder, TheWindowClosedWhileTheLoaderStreamsAndTheLoaderRunsToItsEnd) {
    const std::string done = scratch_ + "/done";
    testenv::ScopedEnv bytes("STANDIN_BYTES", "3000000");
    testenv::ScopedEnv pause("STANDIN_PAUSE_MS", "1");
    testenv::ScopedEnv doneFile("STANDIN_DONE_FILE", done);
    show([&](MemoryWindow& w, CMainDialog&) {
        w.click(IDC_IMPORT);
        ASSERT_TRUE(w.pumpUntil([&] { return w.text(IDC_OUTPUT).find("line 000010") != std::string::npos; }, 60s));
        w.pressEscape(0);
    });
    // The worker reads on into a window that is gone; the loader is not
    // stopped and writes everything.
    EXPECT_TRUE(loaderDone(done));
}

TEST_F(ClosingOrder, TheAdvancedDialogConfirmedWhileARunGoesOn) {
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
