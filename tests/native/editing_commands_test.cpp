// The main window's editing commands on the memory backend: the record-type
// and date-mask rules, browsing for the data file, and the list commands.
#include "native/main_window_fixture.h"

namespace {

using namespace mainwindow;

void fill(MemoryWindow& w, std::initializer_list<const char*> list) {
    for (const char* line : list) {
        w.listAdd(IDC_FIELD_LIST, line);
    }
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

TEST_F(MainWindow, ARadioClickWithATooLongFieldNameEnablesButOverwritesNothing) {
    show([](MemoryWindow& w, CMainDialog& d) {
        w.setText(IDC_FIELD_NAME, std::string(31, 'N'));
        w.setText(IDC_TABLE, "typed after the last read");
        w.click(IDC_FIXED);
        EXPECT_TRUE(w.isEnabled(IDC_POSITION));
        EXPECT_FALSE(w.isEnabled(IDC_DELIMITER));
        EXPECT_EQ(w.text(IDC_TABLE), "typed after the last read");
        EXPECT_EQ(w.text(IDC_FIELD_NAME), std::string(31, 'N'));
        EXPECT_EQ(d.recordType, 1);
    });
    ASSERT_EQ(mem().takeMessages().size(), 1u);
}

TEST_F(MainWindow, ChoosingATypeSwitchesTheDateMaskBoxKeepingItsSelection) {
    show([](MemoryWindow& w, CMainDialog&) {
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
    });
}

TEST_F(MainWindow, TypingATypeClearsTheMaskWithTheListClosedAndOffersOneWithItOpen) {
    show([](MemoryWindow& w, CMainDialog&) {
        w.setText(IDC_FIELD_TYPE, "");
        w.type(IDC_FIELD_TYPE, "DATE");
        EXPECT_FALSE(w.isEnabled(IDC_DATE_MASK));
        EXPECT_EQ(w.comboSelected(IDC_DATE_MASK), -1);
        EXPECT_EQ(w.text(IDC_DATE_MASK), "");

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

TEST_F(MainWindow, DeleteSelectsTheNextLineOrNoneAfterTheLast) {
    show([](MemoryWindow& w, CMainDialog&) {
        w.click(IDC_DELETE); // empty list
        fill(w, {"a", "b", "c"});
        w.click(IDC_DELETE); // nothing selected
        EXPECT_EQ(lines(w), (std::vector<std::string>{"a", "b", "c"}));

        w.choose(IDC_FIELD_LIST, 1);
        w.click(IDC_DELETE);
        EXPECT_EQ(lines(w), (std::vector<std::string>{"a", "c"}));
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 1);
        w.click(IDC_DELETE);
        EXPECT_EQ(lines(w), (std::vector<std::string>{"a"}));
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), -1);
    });
}

TEST_F(MainWindow, MovesGoByIndexStopAtBothEndsAndLeaveTheEditorsAlone) {
    show([](MemoryWindow& w, CMainDialog&) {
        w.click(IDC_UP);
        w.click(IDC_DOWN);
        fill(w, {"a", "a", "b"});
        w.click(IDC_UP);
        w.click(IDC_DOWN);
        EXPECT_EQ(lines(w), (std::vector<std::string>{"a", "a", "b"})) << "nothing selected";

        // Chosen by the user, the line would be split and the write-back
        // would select the first equal line; the moves go by index.
        w.listSelect(IDC_FIELD_LIST, 1);
        w.setText(IDC_FIELD_NAME, "typed");
        w.click(IDC_DOWN);
        EXPECT_EQ(lines(w), (std::vector<std::string>{"a", "b", "a"}));
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 2);
        w.click(IDC_DOWN);
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 2) << "the last line stays last";

        w.click(IDC_UP);
        w.click(IDC_UP);
        EXPECT_EQ(lines(w), (std::vector<std::string>{"a", "a", "b"}));
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 0);
        w.click(IDC_UP);
        EXPECT_EQ(lines(w), (std::vector<std::string>{"a", "a", "b"}));
        w.click(IDC_DELETE);
        EXPECT_EQ(w.text(IDC_FIELD_NAME), "typed") << "list commands neither read nor write the editors";
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
