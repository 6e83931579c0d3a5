// The advanced options dialog over the parameter file in the program folder,
// opened from the main window on the memory backend.
#include "native/main_window_fixture.h"

namespace {

using namespace mainwindow;

// The parameter file, and any temporary a failed write left beside it, are
// removed before and after each test.
class AdvancedDialog : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        std::system(("rm -rf '" + parameterFile() + "' '" + parameterFile() + "'.*.tmp").c_str());
    }
    void TearDown() override {
        std::system(("rm -rf '" + parameterFile() + "' '" + parameterFile() + "'.*.tmp").c_str());
        MainWindow::TearDown();
    }

    std::string parameterFile() const { return programFolder_ + "/parfile.cfg"; }

    void writeParameterFile(const std::string& bytes) const {
        std::ofstream(parameterFile(), std::ios::binary) << bytes;
    }

    // Opens the dialog from the main window and runs `script` on it.
    void open(const std::function<void(MemoryWindow&)>& script) {
        mem().onShow(IDD_ADVANCED, script);
        show([](MemoryWindow& w, CMainDialog&) { w.click(IDC_ADVANCED); });
    }
};

TEST_F(AdvancedDialog, OpensWithTheDefaultsOkWritesTheSixDefaultLinesAndClearedBoxesNone) {
    open([](MemoryWindow& a) {
        EXPECT_EQ(a.focusedId(), IDC_LOG);
        EXPECT_EQ(a.text(IDC_BINDSIZE), "65536");
        EXPECT_EQ(a.text(IDC_ERRORS), "50");
        for (int id : {IDC_DIRECT, IDC_SKIP_UNUSABLE_INDEXES, IDC_SKIP_INDEX_MAINTENANCE, IDC_COMMIT_DISCONTINUED}) {
            EXPECT_EQ(a.text(id), "false") << id;
        }
        for (int id :
             {IDC_LOG, IDC_BAD, IDC_DISCARD, IDC_DISCARDMAX, IDC_SKIP, IDC_LOAD, IDC_ROWS, IDC_SILENT, IDC_PARALLEL}) {
            EXPECT_EQ(a.text(id), "") << id;
        }
        a.pressEnter(IDC_LOG);
        EXPECT_TRUE(a.hasEnded());
    });
    EXPECT_EQ(readFile(parameterFile()), "bindsize=65536\r\n"
                                         "commit_discontinued=false\r\n"
                                         "direct=false\r\n"
                                         "errors=50\r\n"
                                         "skip_index_maintenance=false\r\n"
                                         "skip_unusable_indexes=false\r\n");

    open([](MemoryWindow& a) {
        for (int id : {IDC_BINDSIZE, IDC_ERRORS, IDC_DIRECT, IDC_SKIP_UNUSABLE_INDEXES, IDC_SKIP_INDEX_MAINTENANCE,
                       IDC_COMMIT_DISCONTINUED}) {
            a.setText(id, "");
        }
        a.click(fw::kIdOk);
    });
    EXPECT_TRUE(exists(parameterFile()));
    EXPECT_EQ(readFile(parameterFile()), "") << "every box empty gives an empty file";
    open([](MemoryWindow& a) {
        EXPECT_EQ(a.text(IDC_ERRORS), "50") << "the default comes back";
        a.click(fw::kIdCancel);
    });
}

TEST_F(AdvancedDialog, CancelNeverTouchesTheFile) {
    open([](MemoryWindow& a) {
        a.type(IDC_LOG, "load.log");
        a.pressEscape(IDC_LOG);
    });
    EXPECT_FALSE(exists(parameterFile()));

    const std::string handWritten = "errors=7\nunknown=1\r\nlog=x";
    writeParameterFile(handWritten);
    open([](MemoryWindow& a) {
        a.setText(IDC_ERRORS, "8");
        a.closeBox();
    });
    EXPECT_EQ(readFile(parameterFile()), handWritten);
}

// Which keys a line sets is pinned by the parameter text tests; here, which
// box shows each value and which key each box writes back.
TEST_F(AdvancedDialog, AHandWrittenFileIsShownAndWrittenBackWholeInFileOrder) {
    writeParameterFile("log=a=b\n"
                       "errors=10\n"
                       "skip=5\n"
                       "bindsize=\n"
                       "rows= 64\n"
                       "errors=20\n"
                       "silent=ALL");
    open([](MemoryWindow& a) {
        EXPECT_EQ(a.text(IDC_LOG), "a=b");
        EXPECT_EQ(a.text(IDC_ERRORS), "20");
        EXPECT_EQ(a.text(IDC_SKIP), "5");
        EXPECT_EQ(a.text(IDC_SKIP_INDEX_MAINTENANCE), "false");
        EXPECT_EQ(a.text(IDC_BINDSIZE), "");
        EXPECT_EQ(a.text(IDC_ROWS), " 64");
        EXPECT_EQ(a.text(IDC_SILENT), "all");
        EXPECT_EQ(a.comboSelected(IDC_SILENT), 4);
        a.click(fw::kIdOk);
    });
    EXPECT_EQ(readFile(parameterFile()), "silent=all\r\n"
                                         "commit_discontinued=false\r\n"
                                         "direct=false\r\n"
                                         "errors=20\r\n"
                                         "log=a=b\r\n"
                                         "rows= 64\r\n"
                                         "skip_index_maintenance=false\r\n"
                                         "skip=5\r\n"
                                         "skip_unusable_indexes=false\r\n");
}

TEST_F(AdvancedDialog, SilentShowsTheEntryAValueBeginsOrTheValueAsTyped) {
    const std::pair<std::string, std::string> cases[] = {
        {"e", "errors"}, {"header,feedback", "header,feedback"}, {"", ""}};
    for (const auto& [stored, shown] : cases) {
        writeParameterFile("silent=" + stored + "\r\n");
        open([&, shown = shown](MemoryWindow& a) {
            EXPECT_EQ(a.text(IDC_SILENT), shown);
            a.click(fw::kIdOk);
        });
        EXPECT_EQ(readFile(parameterFile()).rfind("silent=" + shown + "\r\n", 0) == 0, !shown.empty()) << stored;
    }
}

TEST_F(AdvancedDialog, AFileThatCannotBeReplacedIsReportedAndTheDialogStaysOpen) {
    // A folder in the file's place cannot be replaced by a file.
    std::system(("mkdir -p '" + parameterFile() + "/kept'").c_str());
    open([](MemoryWindow& a) {
        a.setText(IDC_ERRORS, "9");
        a.click(fw::kIdOk);
        EXPECT_FALSE(a.hasEnded());
        EXPECT_EQ(a.text(IDC_ERRORS), "9") << "what the user typed stays";
        a.click(fw::kIdCancel);
    });
    const auto messages = mem().takeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "参数文件无法写入: " + parameterFile());
    EXPECT_EQ(messages[0].icon, fw::MessageIcon::Warning);
    EXPECT_TRUE(exists(parameterFile() + "/kept"));
}

} // namespace
