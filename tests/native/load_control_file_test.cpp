// Loading a saved control file back into the main window, on the memory
// backend.
#include "native/main_window_fixture.h"

namespace {

using namespace mainwindow;

TEST_F(MainWindow, ASavedControlFileComesBackThroughLoad) {
    const std::string saved = scratch_ + "/emp.ctl";
    mem().answerFileDialog(fw::FileChoice{saved, 1});
    mem().answerFileDialog(fw::FileChoice{saved, 2});
    show([](MemoryWindow& w, CMainDialog&) {
        w.setText(IDC_DATA_FILE, "/data/" + kZhong + "\\emp,1.txt");
        w.setText(IDC_TABLE, "EMP");
        w.click(IDC_REPLACE);
        w.choose(IDC_QUALIFIER, 1); // a qualifier line before the fields
        w.listAdd(IDC_FIELD_LIST, "EMPNO CHAR");
        w.listAdd(IDC_FIELD_LIST, "HIREDATE DATE  'YYYY-MM-DD'");
        w.listAdd(IDC_FIELD_LIST, "NOTE CHAR(20) 'a,b'");
        w.click(IDC_SAVE_CTL);

        w.setText(IDC_DATA_FILE, "");
        w.setText(IDC_TABLE, "DEPT");
        w.click(IDC_APPEND);
        w.listAdd(IDC_FIELD_LIST, "left over");
        w.click(IDC_LOAD_CTL);
        EXPECT_EQ(w.text(IDC_DATA_FILE), "/data/" + kZhong + "\\emp,1.txt");
        EXPECT_EQ(w.text(IDC_TABLE), "EMP");
        EXPECT_TRUE(w.isChecked(IDC_REPLACE));
        EXPECT_EQ(lines(w),
                  (std::vector<std::string>{"EMPNO CHAR", "HIREDATE DATE  'YYYY-MM-DD'", "NOTE CHAR(20) 'ab'"}));
    });
    ASSERT_EQ(mem().fileRequests().size(), 2u);
    EXPECT_FALSE(mem().fileRequests()[1].save);
    EXPECT_EQ(mem().fileRequests()[1].filter, "Oracle Loader 控制文件(*.ctl)|*.ctl|所有文件(*.*)|*.*|");
    EXPECT_TRUE(mem().messages().empty());
}

TEST_F(MainWindow, LoadChangesNothingOnCancelOnAForeignFileOrOnAFileThatCannotBeOpened) {
    std::ofstream(scratch_ + "/notes.txt", std::ios::binary) << "loaded data\r\ninfile 'x'\r\n";
    mem().answerFileDialog(std::nullopt);
    mem().answerFileDialog(fw::FileChoice{scratch_ + "/notes.txt", 2});
    mem().answerFileDialog(fw::FileChoice{scratch_ + "/missing.ctl", 1});
    show([](MemoryWindow& w, CMainDialog&) {
        w.setText(IDC_DATA_FILE, "/data/emp.txt");
        w.listAdd(IDC_FIELD_LIST, "EMPNO CHAR");
        for (int i = 0; i < 3; ++i) {
            w.click(IDC_LOAD_CTL);
            EXPECT_EQ(w.text(IDC_DATA_FILE), "/data/emp.txt") << i;
            EXPECT_EQ(lines(w), std::vector<std::string>{"EMPNO CHAR"}) << i;
        }
    });
    const auto messages = mem().takeMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "您所选择的文件不是Oracle控制文件");
    EXPECT_EQ(messages[1].text, "无法打开控制文件: " + scratch_ + "/missing.ctl");
    for (const auto& m : messages) {
        EXPECT_EQ(m.icon, fw::MessageIcon::Warning);
    }
}

} // namespace
