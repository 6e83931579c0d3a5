// The main window's editing commands on the memory backend: the record-type
// and date-mask rules, Add and the split of a selected line back into the
// editing boxes, browsing for the data file, and the list commands.
#include "native/main_window_fixture.h"

namespace {

using namespace mainwindow;

void fill(MemoryWindow& w, std::initializer_list<const char*> list) {
    for (const char* line : list) {
        w.listAdd(IDC_FIELD_LIST, line);
    }
}

void addField(MemoryWindow& w, const std::string& name, int typeEntry, const std::string& mask = "") {
    w.setText(IDC_FIELD_NAME, name);
    w.choose(IDC_FIELD_TYPE, typeEntry);
    if (typeEntry == 2) {
        w.setText(IDC_DATE_MASK, mask);
    }
    w.click(IDC_ADD);
}

TEST_F(MainWindow, RecordTypeButtonsSwitchThePositionBoxAgainstDelimiterAndQualifier) {
    show([](MemoryWindow& w, CMainDialog& d) {
        w.click(IDC_FIXED);
        EXPECT_TRUE(w.isEnabled(IDC_POSITION));
        EXPECT_FALSE(w.isEnabled(IDC_DELIMITER));
        EXPECT_FALSE(w.isEnabled(IDC_QUALIFIER));
        EXPECT_EQ(w.text(IDC_DELIMITER), "{TAB}") << "a disabled box keeps its text";
        EXPECT_EQ(w.comboSelected(IDC_QUALIFIER), 0);
        EXPECT_EQ(d.recordType, 1);

        w.click(IDC_VARIABLE);
        EXPECT_FALSE(w.isEnabled(IDC_POSITION));
        EXPECT_EQ(w.text(IDC_POSITION), "01:12");
        EXPECT_TRUE(w.isEnabled(IDC_DELIMITER));
        EXPECT_TRUE(w.isEnabled(IDC_QUALIFIER));

        // The rule follows the button clicked, also the one already set.
        w.enable(IDC_POSITION, true);
        w.click(IDC_VARIABLE);
        EXPECT_FALSE(w.isEnabled(IDC_POSITION));
    });
}

TEST_F(MainWindow, ARadioClickWritesATypedTypeBackAsTheEntryItBegins) {
    show([](MemoryWindow& w, CMainDialog&) {
        w.setText(IDC_FIELD_TYPE, "");
        w.type(IDC_FIELD_TYPE, "da");
        EXPECT_FALSE(w.isEnabled(IDC_DATE_MASK));
        EXPECT_EQ(w.text(IDC_DATE_MASK), "") << "typing with the list closed clears the mask";
        w.click(IDC_FIXED);
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "DATE");
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), 2);
        EXPECT_FALSE(w.isEnabled(IDC_DATE_MASK)) << "a write reports no selection change";
    });
}

// The lines' texts are pinned by the field description tests; here, which
// boxes Add takes them from and the split gives them back to.
TEST_F(MainWindow, AddBuildsALineFromTheBoxesAndTheSplitGivesTheBoxesBack) {
    show([](MemoryWindow& w, CMainDialog&) {
        addField(w, "EMPNO", 0); // the mask box, disabled, is not taken
        addField(w, "  HIREDATE\t", 2, "YYYY-MM-DD");
        EXPECT_EQ(w.text(IDC_FIELD_NAME), "HIREDATE") << "the box shows the trimmed name";
        w.click(IDC_FIXED);
        w.setText(IDC_POSITION, "13:22");
        addField(w, "HIREDATE", 2, "YYYYMMDD");
        EXPECT_EQ(lines(w), (std::vector<std::string>{"EMPNO CHAR", "HIREDATE DATE  'YYYY-MM-DD'",
                                                      "HIREDATE position(13:22) DATE'YYYYMMDD'"}));

        w.setText(IDC_POSITION, "99:99");
        w.choose(IDC_FIELD_LIST, 2);
        EXPECT_EQ(w.text(IDC_FIELD_NAME), "HIREDATE");
        EXPECT_EQ(w.text(IDC_POSITION), "13:22");
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), 2);
        EXPECT_EQ(w.text(IDC_DATE_MASK), "YYYYMMDD");
        EXPECT_TRUE(w.isEnabled(IDC_DATE_MASK));
        w.click(IDC_ADD);
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 3), "HIREDATE position(13:22) DATE'YYYYMMDD'")
            << "adding a split line again gives the same line";

        // A line of the other form: the position box is emptied and the
        // type, no entry of the list, is shown as typed.
        w.choose(IDC_FIELD_LIST, 0);
        EXPECT_EQ(w.text(IDC_POSITION), "");
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "EMPNO CHAR");
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), -1);

        w.setText(IDC_POSITION, "13:22");
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

TEST_F(MainWindow, TheDateMaskBoxFollowsAChosenOrTypedType) {
    show([](MemoryWindow& w, CMainDialog&) {
        // Chosen from the list: only DATE enables the box, which keeps its
        // selection.
        w.comboSelect(IDC_DATE_MASK, 2);
        w.choose(IDC_FIELD_TYPE, 2);
        EXPECT_TRUE(w.isEnabled(IDC_DATE_MASK));
        EXPECT_EQ(w.comboSelected(IDC_DATE_MASK), 2);
        w.choose(IDC_FIELD_TYPE, 0);
        EXPECT_FALSE(w.isEnabled(IDC_DATE_MASK));
        w.choose(IDC_FIELD_TYPE, 2);
        w.choose(IDC_FIELD_TYPE, 3);
        EXPECT_FALSE(w.isEnabled(IDC_DATE_MASK)) << "the empty entry carries no mask";
        EXPECT_EQ(w.text(IDC_DATE_MASK), "YYYYMMDD");

        // Typed with the list closed: the mask is cleared.
        w.setText(IDC_FIELD_TYPE, "");
        w.type(IDC_FIELD_TYPE, "DATE");
        EXPECT_FALSE(w.isEnabled(IDC_DATE_MASK));
        EXPECT_EQ(w.comboSelected(IDC_DATE_MASK), -1);
        EXPECT_EQ(w.text(IDC_DATE_MASK), "");

        // Typed with the list open: DATE offers the first mask.
        w.setText(IDC_FIELD_TYPE, "");
        w.dropDown(IDC_FIELD_TYPE, true);
        w.type(IDC_FIELD_TYPE, "d");
        EXPECT_TRUE(w.isEnabled(IDC_DATE_MASK));
        EXPECT_EQ(w.text(IDC_DATE_MASK), "YYYY/MM/DD");
        w.type(IDC_FIELD_TYPE, "x");
        EXPECT_FALSE(w.isEnabled(IDC_DATE_MASK));
        EXPECT_EQ(w.text(IDC_DATE_MASK), "");
    });
}

// Delete and the moves go by the selected index, stop at both ends and
// neither read nor write the editing boxes.
TEST_F(MainWindow, ListCommandsGoByTheSelectedIndexAndLeaveTheEditorsAlone) {
    show([](MemoryWindow& w, CMainDialog&) {
        for (int id : {IDC_DELETE, IDC_UP, IDC_DOWN}) {
            w.click(id); // on an empty list
        }
        fill(w, {"a", "a", "b", "c"});
        for (int id : {IDC_DELETE, IDC_UP, IDC_DOWN}) {
            w.click(id); // with nothing selected
        }
        EXPECT_EQ(lines(w), (std::vector<std::string>{"a", "a", "b", "c"}));

        // Chosen by the user, the line would be split and the write-back
        // would select the first equal line.
        w.listSelect(IDC_FIELD_LIST, 1);
        w.setText(IDC_FIELD_NAME, "typed");
        w.click(IDC_DOWN);
        w.click(IDC_DOWN);
        EXPECT_EQ(lines(w), (std::vector<std::string>{"a", "b", "c", "a"}));
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 3);
        w.click(IDC_DOWN);
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 3) << "the last line stays last";
        for (int i = 0; i < 4; ++i) {
            w.click(IDC_UP);
        }
        EXPECT_EQ(lines(w), (std::vector<std::string>{"a", "a", "b", "c"}));
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 0) << "the first line stays first";

        // Delete selects the line after, or none after the last.
        w.listSelect(IDC_FIELD_LIST, 2);
        w.click(IDC_DELETE);
        EXPECT_EQ(lines(w), (std::vector<std::string>{"a", "a", "c"}));
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 2);
        w.click(IDC_DELETE);
        EXPECT_EQ(lines(w), (std::vector<std::string>{"a", "a"}));
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), -1);
        EXPECT_EQ(w.text(IDC_FIELD_NAME), "typed");
    });
}

TEST_F(MainWindow, BrowseTakesTheChosenPathAndKeepsATypedOneOnCancel) {
    mem().answerFileDialog(std::nullopt);
    mem().answerFileDialog(fw::FileChoice{"/data/emp.txt", 1});
    show([](MemoryWindow& w, CMainDialog&) {
        w.type(IDC_DATA_FILE, "/typed/path.txt");
        w.type(IDC_TABLE, "EMP");
        w.click(IDC_BROWSE);
        EXPECT_EQ(w.text(IDC_DATA_FILE), "/typed/path.txt");
        w.click(IDC_BROWSE);
        EXPECT_EQ(w.text(IDC_DATA_FILE), "/data/emp.txt");
        EXPECT_EQ(w.text(IDC_TABLE), "EMP");
    });
    ASSERT_EQ(mem().fileRequests().size(), 2u);
    EXPECT_FALSE(mem().fileRequests()[0].save);
    EXPECT_EQ(mem().fileRequests()[0].filter, "文本文件(*.txt)|*.txt||");
}

} // namespace
