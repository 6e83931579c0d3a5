// Composing the field list in the main window: Add, the split of a selected
// line back into the editing boxes, and the lines reaching load.ctl.
#include "native/main_window_fixture.h"

#include <vector>

namespace {

using namespace mainwindow;

void addField(MemoryWindow& w, const std::string& name, int typeEntry, const std::string& mask = "") {
    w.setText(IDC_FIELD_NAME, name);
    w.choose(IDC_FIELD_TYPE, typeEntry);
    if (typeEntry == 2) {
        w.setText(IDC_DATE_MASK, mask);
    }
    w.click(IDC_ADD);
}

TEST_F(MainWindow, AddBuildsBothFormsAndTheSplitGivesTheBoxesBack) {
    show([](MemoryWindow& w, CMainDialog&) {
        addField(w, "EMPNO", 0);
        addField(w, "  HIREDATE\t", 2, "YYYY-MM-DD");
        EXPECT_EQ(w.text(IDC_FIELD_NAME), "HIREDATE") << "the box shows the trimmed name";
        w.click(IDC_FIXED);
        w.setText(IDC_POSITION, "13:22");
        addField(w, "HIREDATE", 2, "YYYYMMDD");
        addField(w, "BONUS", 2, "");
        ASSERT_EQ(w.listCount(IDC_FIELD_LIST), 4);
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 0), "EMPNO CHAR");
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 1), "HIREDATE DATE  'YYYY-MM-DD'");
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 2), "HIREDATE position(13:22) DATE'YYYYMMDD'");
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 3), "BONUS position(13:22) DATE''");

        w.setText(IDC_POSITION, "99:99");
        w.choose(IDC_FIELD_LIST, 2);
        EXPECT_EQ(w.text(IDC_FIELD_NAME), "HIREDATE");
        EXPECT_EQ(w.text(IDC_POSITION), "13:22");
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), 2);
        EXPECT_EQ(w.text(IDC_DATE_MASK), "YYYYMMDD");
        EXPECT_TRUE(w.isEnabled(IDC_DATE_MASK));
        w.click(IDC_ADD);
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 4), "HIREDATE position(13:22) DATE'YYYYMMDD'")
            << "adding a split line again gives the same line";

        w.click(IDC_VARIABLE);
        w.choose(IDC_FIELD_LIST, 0);
        EXPECT_EQ(w.text(IDC_FIELD_NAME), "EMPNO");
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "CHAR");
        EXPECT_EQ(w.text(IDC_DATE_MASK), "");
        EXPECT_FALSE(w.isEnabled(IDC_DATE_MASK));
        EXPECT_EQ(w.text(IDC_POSITION), "13:22") << "variable-length lines leave the position alone";
    });
    EXPECT_TRUE(mem().messages().empty());
}

TEST_F(MainWindow, SplittingALineOfTheOtherFormGivesWhatTheCutsYield) {
    show([](MemoryWindow& w, CMainDialog&) {
        w.listAdd(IDC_FIELD_LIST, "EMPNO CHAR");
        w.listAdd(IDC_FIELD_LIST, "EMPNO");
        w.listAdd(IDC_FIELD_LIST, "'");
        w.click(IDC_FIXED);
        w.choose(IDC_FIELD_LIST, 0);
        EXPECT_EQ(w.text(IDC_FIELD_NAME), "EMPNO");
        EXPECT_EQ(w.text(IDC_POSITION), "");
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "EMPNO CHAR");
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), -1);

        w.click(IDC_VARIABLE);
        w.choose(IDC_FIELD_LIST, 1);
        EXPECT_EQ(w.text(IDC_FIELD_NAME), "");
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "EMPNO");
        w.choose(IDC_FIELD_LIST, 2);
        EXPECT_EQ(w.text(IDC_DATE_MASK), "");
        EXPECT_FALSE(w.isEnabled(IDC_DATE_MASK));
    });
}

TEST_F(MainWindow, AddIgnoresABlankNameAndAsksForARecordTypeWhenNoneIsSet) {
    show([](MemoryWindow& w, CMainDialog& d) {
        w.setText(IDC_FIELD_NAME, " \t ");
        w.click(IDC_ADD);
        EXPECT_EQ(w.listCount(IDC_FIELD_LIST), 0);

        d.recordType = -1;
        d.readWindowValues();
        w.setChecked(IDC_VARIABLE, false);
        w.setText(IDC_FIELD_NAME, "EMPNO");
        w.click(IDC_ADD);
        EXPECT_EQ(w.listCount(IDC_FIELD_LIST), 0);
        w.listAdd(IDC_FIELD_LIST, "SAL NUMBER");
        w.choose(IDC_FIELD_LIST, 0);
        EXPECT_EQ(w.text(IDC_FIELD_NAME), "EMPNO") << "the boxes keep their values";
    });
    const auto messages = mem().takeMessages();
    ASSERT_EQ(messages.size(), 2u);
    for (const auto& m : messages) {
        EXPECT_EQ(m.text, "请先选择记录类型!!");
        EXPECT_EQ(m.icon, fw::MessageIcon::None);
    }
}

TEST_F(MainWindow, ALongFieldNameIsRefusedByAddAndNothingTypedIsLost) {
    show([](MemoryWindow& w, CMainDialog&) {
        addField(w, repeat(kZhong, 15), 0);
        ASSERT_EQ(w.listCount(IDC_FIELD_LIST), 1);
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 0), repeat(kZhong, 15) + " CHAR");

        w.setText(IDC_FIELD_NAME, repeat(kZhong, 15) + "x");
        w.setText(IDC_FIELD_TYPE, "NUMBER(10)");
        w.setText(IDC_TABLE, "typed");
        w.click(IDC_ADD);
        EXPECT_EQ(w.listCount(IDC_FIELD_LIST), 1);
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "NUMBER(10)");
        EXPECT_EQ(w.text(IDC_TABLE), "typed");

        w.choose(IDC_FIELD_LIST, 0);
        EXPECT_EQ(w.text(IDC_FIELD_NAME), repeat(kZhong, 15) + "x") << "the split did not run either";
    });
    const auto messages = mem().takeMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "请输入不超过 30 个字符。");
}

TEST_F(MainWindow, ImportWritesTheAddedFieldsIntoTheControlFile) {
    show([](MemoryWindow& w, CMainDialog&) {
        w.setText(IDC_TABLE, "EMP");
        addField(w, "EMPNO", 0);
        addField(w, "HIREDATE", 2, "YYYY-MM-DD");
        addField(w, "COMM", 2, "");
        w.click(IDC_IMPORT);
        waitForCompletion(w);
    });
    EXPECT_EQ(readFile(controlFile()), "load data\r\n"
                                       "infile ''\r\n"
                                       "append into table EMP\r\n"
                                       "fields terminated by '\t' \r\n"
                                       "\r\n"
                                       "(\r\n"
                                       "EMPNO CHAR,\r\n"
                                       "HIREDATE DATE  'YYYY-MM-DD',\r\n"
                                       "COMM DATE  \r\n"
                                       ")");
}

} // namespace
