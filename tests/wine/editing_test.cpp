// Editing a load in the main window on its real controls: the start-up
// values, the value exchange with its length check, the rules that enable
// boxes, the field list's commands, long texts, the keys that do or do not
// end the window, and what the framework does with failing commands and a
// window object shown twice.
#include "wine/main_window.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

namespace winetest {
namespace {

const std::string kZhong = "\xD6\xD0"; // a double-byte character

std::string repeat(const std::string& s, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) {
        all += s;
    }
    return all;
}

// A control as the user sees it: its text, "#" and the selected entry of a
// box or line of a list, and " off" while it is disabled.
std::string seen(HWND dialog, int id) {
    HWND h = GetDlgItem(dialog, id);
    std::string state = fw::windowText(h);
    if (fw::kindOfWindow(h) == fw::Kind::ComboBox) {
        state += "#" + std::to_string(SendMessageA(h, CB_GETCURSEL, 0, 0));
    } else if (fw::kindOfWindow(h) == fw::Kind::ListBox) {
        state += "#" + std::to_string(SendMessageA(h, LB_GETCURSEL, 0, 0));
    }
    return state + (IsWindowEnabled(h) ? "" : " off");
}

// Checks each control's state; `where` names the step.
void expectSeen(HWND dialog, const std::vector<std::pair<int, std::string>>& expected, const std::string& where = "") {
    for (const auto& [id, state] : expected) {
        EXPECT_EQ(seen(dialog, id), state) << "control " << id << " " << where;
    }
}

// The text a paste would leave in a box (or none): setting it sends no
// notification the window acts on.
void setText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextA(dialog, id, text.c_str());
}

void addLines(HWND dialog, std::initializer_list<const char*> lines) {
    for (const char* line : lines) {
        SendDlgItemMessageA(dialog, IDC_FIELD_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
}

std::string joinedLines(HWND dialog) {
    std::string all;
    for (const std::string& line : listLines(dialog, IDC_FIELD_LIST)) {
        all += (all.empty() ? "" : ",") + line;
    }
    return all;
}

bool focusIn(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return GetFocus() == control || IsChild(control, GetFocus());
}

TEST_F(MainWindow, StartsWithItsDefaultsAndTheFocusInTheDatabaseBox) {
    show([](HWND dialog, CMainDialog& d, User&) {
        EXPECT_TRUE(focusIn(dialog, IDC_DATABASE));
        ASSERT_TRUE(d.readWindowValues());
        EXPECT_EQ(d.loadMode, 0);
        EXPECT_EQ(d.recordType, 0);
        EXPECT_EQ(d.detailsCollapsed, 0);
        EXPECT_EQ(d.databaseName + "|" + d.userName + "|" + d.password + "|" + d.fieldName + d.selectedField +
                      d.dataFile + d.tableName,
                  "dbname|user|kemp|");
        expectSeen(dialog, {{IDC_POSITION, "01:12"},
                            {IDC_FIELD_NAME, "#-1"},
                            {IDC_FIELD_TYPE, "CHAR#0"},
                            {IDC_DATE_MASK, "YYYY-MM-DD#0 off"},
                            {IDC_DELIMITER, "{TAB}#0"},
                            {IDC_QUALIFIER, "{none}#0"},
                            {IDC_FIELD_LIST, "#-1"},
                            {IDC_OUTPUT, ""}});
        const std::pair<int, std::vector<std::string>> entries[] = {
            {IDC_FIELD_TYPE, {"CHAR", "NUMBER", "DATE", ""}},
            {IDC_DATE_MASK, {"YYYY-MM-DD", "YYYY/MM/DD", "YYYYMMDD"}},
            {IDC_DELIMITER, {"{TAB}", "{,}", "{;}", "{Space}"}},
            {IDC_QUALIFIER, {"{none}", "\""}},
            {IDC_FIELD_NAME, {}},
            {IDC_FIELD_LIST, {}}};
        for (const auto& [id, expected] : entries) {
            EXPECT_EQ(listLines(dialog, id), expected) << "control " << id;
        }
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_OUTPUT, EM_GETLIMITTEXT, 0, 0), 32000000);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_DETAILS), BST_UNCHECKED);
    });
    EXPECT_TRUE(messages_.empty());
}

// The exchange reads position, load mode, record type and field name, then
// checks the name: 30 bytes pass, 31 stop the read there. Every command that
// reads the window then says so and ends before its work, with the focus
// back on the name and nothing the user typed overwritten; the record-type
// buttons still switch the boxes they govern.
TEST_F(MainWindow, AFieldNameOverThirtyBytesStopsTheReadAndEveryCommandThatReadsTheWindow) {
    const std::string thirty = repeat(kZhong, 15);
    const std::string saved = executableFolder() + "\\emp";
    show([&](HWND dialog, CMainDialog& d, User& user) {
        user.type(IDC_FIELD_NAME, thirty);
        user.click(IDC_ADD);
        ASSERT_EQ(joinedLines(dialog), thirty + " CHAR");
        ASSERT_TRUE(messages_.empty());

        user.type(IDC_FIELD_NAME, "x");
        setText(dialog, IDC_FIELD_TYPE, "");
        user.type(IDC_FIELD_TYPE, "NUMBER(10)");
        user.type(IDC_TABLE, "EMP");
        setText(dialog, IDC_OUTPUT, "earlier output");
        setText(dialog, IDC_POSITION, "");
        user.type(IDC_POSITION, "3:4");
        FileDialogAnswerer answerer(saved);
        for (int id : {IDC_ADD, IDC_BROWSE, IDC_LOAD_CTL, IDC_CHOOSE_TABLE, IDC_IMPORT}) {
            SetFocus(GetDlgItem(dialog, IDC_TABLE));
            user.click(id);
            EXPECT_EQ(answerer.answered, 0) << "command " << id << " went on to its file dialog";
            EXPECT_TRUE(focusIn(dialog, IDC_FIELD_NAME)) << "command " << id;
        }
        user.click(IDC_SAVE_CTL); // asks for the name first
        EXPECT_EQ(answerer.answered, 1);
        addLines(dialog, {"SAL NUMBER"});
        user.choose(IDC_FIELD_LIST, 1); // the line is not split
        user.click(IDC_FIXED);
        expectSeen(dialog, {{IDC_POSITION, "3:4"}, {IDC_DELIMITER, "{TAB}#0 off"}, {IDC_QUALIFIER, "{none}#0 off"}});
        EXPECT_EQ(d.position + "|" + std::to_string(d.recordType) + "|" + d.tableName, "3:4|1|")
            << "members before the name are read, those after it keep their values";
        pump(dialog, 200ms);
        expectSeen(dialog, {{IDC_FIELD_NAME, thirty + "x#-1"},
                            {IDC_FIELD_TYPE, "NUMBER(10)#-1"},
                            {IDC_TABLE, "EMP"},
                            {IDC_OUTPUT, ""}}); // emptied, and no loader ran
        EXPECT_EQ(joinedLines(dialog), thirty + " CHAR,SAL NUMBER");
    });
    EXPECT_EQ(messages_.size(), 8u);
    for (const ShownMessage& m : messages_) {
        EXPECT_EQ(m.text, "请输入不超过 30 个字符。");
        EXPECT_TRUE(m.warningIcon);
    }
    EXPECT_FALSE(fileExists(controlFile()));
    EXPECT_FALSE(fileExists(saved + ".ctl"));
}

// Fixed-length records take a position, variable-length ones a delimiter
// and qualifier, whichever button was set before. A click writes the values
// back: a typed type becomes the first entry it begins (ignoring case), or
// stays as typed with no entry selected; the radio groups give the number
// of their first set button, -1 when none is set.
TEST_F(MainWindow, RecordTypeClicksSwitchTheirBoxesAndWriteTheValuesBack) {
    show([](HWND dialog, CMainDialog& d, User& user) {
        user.click(IDC_FIXED);
        expectSeen(dialog, {{IDC_POSITION, "01:12"}, {IDC_DELIMITER, "{TAB}#0 off"}, {IDC_QUALIFIER, "{none}#0 off"}});
        user.click(IDC_VARIABLE);
        expectSeen(dialog, {{IDC_POSITION, "01:12 off"}, {IDC_DELIMITER, "{TAB}#0"}, {IDC_QUALIFIER, "{none}#0"}});
        EnableWindow(GetDlgItem(dialog, IDC_POSITION), TRUE);
        user.click(IDC_VARIABLE);
        EXPECT_EQ(seen(dialog, IDC_POSITION), "01:12 off") << "the rule follows the button, also one already set";

        const struct {
            const char* typed;
            int button;
            const char* shown;
        } types[] = {{"da", IDC_FIXED, "DATE#2"},
                     {"n", IDC_VARIABLE, "NUMBER#1"},
                     {"cH", IDC_FIXED, "CHAR#0"},
                     {"CHAR(20)", IDC_FIXED, "CHAR(20)#-1"}};
        for (const auto& c : types) {
            setText(dialog, IDC_FIELD_TYPE, "");
            user.type(IDC_FIELD_TYPE, c.typed);
            user.click(c.button);
            EXPECT_EQ(seen(dialog, IDC_FIELD_TYPE), c.shown) << "typed \"" << c.typed << "\"";
            EXPECT_EQ(seen(dialog, IDC_DATE_MASK), "#-1 off") << "a written entry is no choice of the user's";
        }

        const struct {
            UINT append, replace;
            int mode;
        } groups[] = {
            {BST_CHECKED, BST_CHECKED, 0}, {BST_UNCHECKED, BST_CHECKED, 1}, {BST_UNCHECKED, BST_UNCHECKED, -1}};
        for (const auto& g : groups) {
            CheckDlgButton(dialog, IDC_APPEND, g.append);
            CheckDlgButton(dialog, IDC_REPLACE, g.replace);
            ASSERT_TRUE(d.readWindowValues());
            EXPECT_EQ(d.loadMode, g.mode) << g.append << g.replace;
        }
        user.click(IDC_REPLACE);
        ASSERT_TRUE(d.readWindowValues());
        EXPECT_EQ(d.loadMode, 1);
        EXPECT_EQ(d.recordType, 1);
    });
    EXPECT_TRUE(messages_.empty());
}

// Only a chosen DATE enables the mask box, which keeps its choice. Typed
// with the list closed, a type clears the mask; with the list open, a typed
// DATE offers the second mask.
TEST_F(MainWindow, TheDateMaskBoxFollowsTheChosenOrTypedType) {
    show([](HWND dialog, CMainDialog&, User& user) {
        user.choose(IDC_FIELD_TYPE, 2);
        user.choose(IDC_DATE_MASK, 2);
        const std::pair<int, const char*> chosen[] = {
            {0, "YYYYMMDD#2 off"}, {2, "YYYYMMDD#2"}, {1, "YYYYMMDD#2 off"}, {2, "YYYYMMDD#2"}, {3, "YYYYMMDD#2 off"}};
        for (const auto& [type, mask] : chosen) {
            user.choose(IDC_FIELD_TYPE, type);
            EXPECT_EQ(seen(dialog, IDC_DATE_MASK), mask) << "type " << type;
        }
        setText(dialog, IDC_FIELD_TYPE, "");
        user.type(IDC_FIELD_TYPE, "DATE");
        EXPECT_EQ(seen(dialog, IDC_DATE_MASK), "#-1 off") << "typed with the list closed";
        setText(dialog, IDC_FIELD_TYPE, "");
        user.dropDown(IDC_FIELD_TYPE, true);
        for (const auto& [typed, mask] : {std::pair{"d", "YYYY/MM/DD#1"}, std::pair{"x", "#-1 off"}}) {
            user.type(IDC_FIELD_TYPE, typed);
            EXPECT_EQ(seen(dialog, IDC_DATE_MASK), mask) << "typed " << typed << " with the list open";
        }
        user.dropDown(IDC_FIELD_TYPE, false);
    });
    EXPECT_TRUE(messages_.empty());
}

// Add builds a line from the boxes (a blank name adds nothing); choosing a
// line splits it back into them in the form of the record type set. With no
// record type, both ask for one.
TEST_F(MainWindow, AddBuildsLinesFromTheBoxesAndChoosingALineSplitsItBack) {
    show([this](HWND dialog, CMainDialog&, User& user) {
        const auto add = [&](const std::string& name, int type, int mask) {
            setText(dialog, IDC_FIELD_NAME, "");
            user.type(IDC_FIELD_NAME, name);
            user.choose(IDC_FIELD_TYPE, type);
            if (mask >= 0) {
                user.choose(IDC_DATE_MASK, mask);
            }
            user.click(IDC_ADD);
        };
        add("EMPNO", 0, -1);
        add("  HIREDATE ", 2, 0);
        EXPECT_EQ(itemText(dialog, IDC_FIELD_NAME), "HIREDATE");
        user.click(IDC_FIXED);
        setText(dialog, IDC_POSITION, "");
        user.type(IDC_POSITION, "13:22");
        add("HIREDATE", 2, 2);
        add("   ", 0, -1);
        const std::string fixedLine = "HIREDATE position(13:22) DATE'YYYYMMDD'";
        ASSERT_EQ(joinedLines(dialog), "EMPNO CHAR,HIREDATE DATE  'YYYY-MM-DD'," + fixedLine);
        addLines(dialog, {"SAL "});

        setText(dialog, IDC_POSITION, "99:99");
        const struct {
            int button, line;
            std::vector<std::pair<int, std::string>> boxes;
        } splits[] = {
            {IDC_FIXED,
             2,
             {{IDC_FIELD_NAME, "HIREDATE#-1"},
              {IDC_POSITION, "13:22"},
              {IDC_FIELD_TYPE, "DATE#2"},
              {IDC_DATE_MASK, "YYYYMMDD#2"}}},
            // A line of the other form: whatever the cuts give.
            {IDC_FIXED, 0, {{IDC_POSITION, ""}, {IDC_FIELD_TYPE, "EMPNO CHAR#-1"}}},
            {IDC_VARIABLE,
             1,
             {{IDC_FIELD_NAME, "HIREDATE#-1"},
              {IDC_POSITION, "2:3 off"},
              {IDC_FIELD_TYPE, "DATE#2"},
              {IDC_DATE_MASK, "YYYY-MM-DD#0"}}},
            {IDC_VARIABLE, 0, {{IDC_FIELD_NAME, "EMPNO#-1"}, {IDC_FIELD_TYPE, "CHAR#0"}, {IDC_DATE_MASK, "#-1 off"}}},
            {IDC_VARIABLE, 3, {{IDC_FIELD_NAME, "SAL#-1"}, {IDC_FIELD_TYPE, "#-1"}}}, // no entry is left selected
        };
        for (const auto& s : splits) {
            user.click(s.button);
            setText(dialog, IDC_POSITION, s.button == IDC_VARIABLE ? "2:3" : "99:99");
            user.choose(IDC_FIELD_LIST, s.line);
            EXPECT_EQ(seen(dialog, IDC_FIELD_LIST), "#" + std::to_string(s.line));
            expectSeen(dialog, s.boxes, "line " + std::to_string(s.line));
            if (s.line == 2) {
                user.click(IDC_ADD);
                EXPECT_EQ(listLines(dialog, IDC_FIELD_LIST).back(), fixedLine) << "a split line adds as it was";
            }
        }
        ASSERT_TRUE(messages_.empty());

        CheckDlgButton(dialog, IDC_VARIABLE, BST_UNCHECKED);
        setText(dialog, IDC_FIELD_NAME, "");
        user.type(IDC_FIELD_NAME, "SAL");
        user.click(IDC_ADD);
        user.choose(IDC_FIELD_LIST, 0);
        EXPECT_EQ(listLines(dialog, IDC_FIELD_LIST).size(), 5u);
        EXPECT_EQ(itemText(dialog, IDC_FIELD_NAME), "SAL") << "the boxes keep their values";
    });
    ASSERT_EQ(messages_.size(), 2u);
    for (const ShownMessage& m : messages_) {
        EXPECT_EQ(m.text, "请先选择记录类型!!");
        EXPECT_FALSE(m.warningIcon);
    }
}

// Delete and the moves go by the selected line, stop at both ends and leave
// the boxes alone; Browse reads the window first and writes it back with the
// chosen file, or with the typed one when the dialog is cancelled.
TEST_F(MainWindow, ListCommandsGoByTheSelectedLineAndBrowseKeepsWhatWasTyped) {
    show([](HWND dialog, CMainDialog&, User& user) {
        const int commands[] = {IDC_DELETE, IDC_UP, IDC_DOWN};
        for (int id : commands) {
            user.click(id);
        }
        addLines(dialog, {"A", "B", "C", "D"});
        for (int id : commands) {
            user.click(id);
        }
        EXPECT_EQ(seen(dialog, IDC_FIELD_LIST), "#-1");
        user.choose(IDC_FIELD_LIST, 1);
        setText(dialog, IDC_FIELD_NAME, "");
        user.type(IDC_FIELD_NAME, "typed");
        const struct {
            int command;
            const char* lines;
            int selected;
        } steps[] = {{IDC_DOWN, "A,C,B,D", 2}, {IDC_DOWN, "A,C,D,B", 3}, {IDC_DOWN, "A,C,D,B", 3},
                     {IDC_UP, "A,C,B,D", 2},   {IDC_UP, "A,B,C,D", 1},   {IDC_UP, "B,A,C,D", 0},
                     {IDC_UP, "B,A,C,D", 0},   {IDC_DELETE, "A,C,D", 0}, {IDC_DOWN, "C,A,D", 1},
                     {IDC_DELETE, "C,D", 1},   {IDC_DELETE, "C", -1},    {IDC_DELETE, "C", -1}};
        for (const auto& s : steps) {
            user.click(s.command);
            EXPECT_EQ(joinedLines(dialog), s.lines) << "after " << s.command;
            EXPECT_EQ(seen(dialog, IDC_FIELD_LIST), "#" + std::to_string(s.selected)) << "after " << s.command;
        }
        EXPECT_EQ(itemText(dialog, IDC_FIELD_NAME), "typed");

        user.type(IDC_TABLE, "EMP");
        user.type(IDC_DATA_FILE, "typed.txt");
        const std::string chosen = executableFolder() + "\\emp.txt";
        for (const std::string& answer : {std::string(), chosen}) {
            FileDialogAnswerer answerer(answer);
            user.click(IDC_BROWSE);
            ASSERT_EQ(answerer.answered, 1);
            EXPECT_EQ(itemText(dialog, IDC_DATA_FILE), answer.empty() ? "typed.txt" : chosen);
            EXPECT_EQ(itemText(dialog, IDC_TABLE), "EMP");
            EXPECT_EQ(itemText(dialog, IDC_FIELD_NAME), "typed");
        }
    });
    EXPECT_TRUE(messages_.empty());
}

// A field description of a megabyte of double-byte text passes whole from
// the boxes to the list and back, and so does a path of 32 KB through a
// cancelled Browse.
TEST_F(MainWindow, AMegabyteFieldAndALongPathPassWholeThroughTheControls) {
    const std::string mask = repeat("YYYY-MM-DD" + kZhong, 87382);
    const std::string path = "C:\\" + repeat(kZhong + "\\data", 32768 / 7) + ".txt";
    show([&](HWND dialog, CMainDialog&, User& user) {
        setText(dialog, IDC_DATA_FILE, path);
        user.type(IDC_FIELD_NAME, "HIREDATE");
        user.choose(IDC_FIELD_TYPE, 2);
        setText(dialog, IDC_DATE_MASK, mask);
        user.click(IDC_ADD);
        EXPECT_TRUE(listLines(dialog, IDC_FIELD_LIST) == std::vector<std::string>{"HIREDATE DATE  '" + mask + "'"});
        setText(dialog, IDC_DATE_MASK, "");
        user.choose(IDC_FIELD_LIST, 0);
        FileDialogAnswerer cancel("");
        user.click(IDC_BROWSE);
        EXPECT_TRUE(itemText(dialog, IDC_DATE_MASK) == mask);
        EXPECT_TRUE(itemText(dialog, IDC_DATA_FILE) == path);
    });
    EXPECT_TRUE(messages_.empty());
}

// Enter, pressed after typing, leaves the window open with what was typed:
// in a box it does nothing, on a push button it presses it, in the output
// pane it starts a new line. Escape and the close box end the window.
TEST_F(MainWindow, EnterNeverClosesTheWindowButEscapeAndTheCloseBoxDo) {
    show([](HWND dialog, CMainDialog&, User& user) {
        addLines(dialog, {"A", "B"});
        user.choose(IDC_FIELD_LIST, 0);
        for (int button : {IDC_DOWN, IDC_UP, IDC_DOWN}) {
            user.pressEnter(button);
        }
        EXPECT_EQ(joinedLines(dialog), "B,A");
        user.choose(IDC_FIELD_TYPE, 2);
        const std::pair<int, const char*> typed[] = {
            {IDC_DATABASE, "db"},    {IDC_USER, "u"},       {IDC_PASSWORD, "pw"},   {IDC_DATA_FILE, "d.txt"},
            {IDC_TABLE, "EMP"},      {IDC_POSITION, "1:2"}, {IDC_FIELD_NAME, "NO"}, {IDC_DATE_MASK, "Y"},
            {IDC_FIELD_TYPE, "(9)"}, {IDC_DELIMITER, "|"},  {IDC_QUALIFIER, "'"},   {IDC_FIELD_LIST, ""},
            {IDC_APPEND, ""},        {IDC_REPLACE, ""},     {IDC_VARIABLE, ""},     {IDC_FIXED, ""},
            {IDC_DETAILS, ""},       {IDC_OUTPUT, "x"}};
        for (const auto& [id, chars] : typed) {
            const std::string before = itemText(dialog, id);
            if (*chars != '\0') {
                user.type(id, chars);
            }
            user.pressEnter(id);
            ASSERT_TRUE(IsWindowVisible(dialog)) << "Enter in control " << id << " ended the window";
            EXPECT_EQ(itemText(dialog, id), before + chars + (id == IDC_OUTPUT ? "\r\n" : "")) << "control " << id;
        }
        EXPECT_EQ(joinedLines(dialog), "B,A");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_DETAILS), BST_UNCHECKED) << "a check box, pressed with the space bar";
    });
    for (const bool escape : {true, false}) {
        const int result = show([escape](HWND dialog, CMainDialog&, User& user) {
            escape ? user.pressEscape(IDC_TABLE) : user.systemCommand(SC_CLOSE);
            EXPECT_FALSE(IsWindowVisible(dialog)) << (escape ? "Escape" : "the close box");
        });
        EXPECT_EQ(result, IDCANCEL);
    }
    EXPECT_TRUE(messages_.empty());
}

// A dialog on the main window's template whose Add fails and whose Delete
// counts its clicks; its start fails when asked to.
class Failing : public fw::Dialog {
public:
    explicit Failing(bool failAtStart = false) : fw::Dialog(IDD_MAIN), failAtStart_(failAtStart) {
        commands<Failing>(
            {{IDC_ADD, fw::Notify::Clicked, &Failing::fail}, {IDC_DELETE, fw::Notify::Clicked, &Failing::count}});
    }
    int clicks = 0;

protected:
    bool onInitDialog() override {
        if (failAtStart_) {
            throw std::runtime_error("no templates today");
        }
        return fw::Dialog::onInitDialog();
    }

private:
    void fail() { throw std::runtime_error("disk on fire"); }
    void count() { ++clicks; }
    bool failAtStart_;
};

TEST_F(MainWindow, AFailedCommandIsReportedWithTheWindowLeftOpenAndAFailedStartEndsTheProgram) {
    Failing dialog;
    const int result = runDialog(
        dialog,
        [&](User& user) {
            user.type(IDC_TABLE, "typed");
            user.click(IDC_ADD);
            EXPECT_TRUE(IsWindowVisible(user.dialog()));
            user.click(IDC_DELETE);
            EXPECT_EQ(dialog.clicks, 1);
            EXPECT_EQ(itemText(user.dialog(), IDC_TABLE), "typed");
            user.pressEscape(IDC_TABLE);
        },
        &messages_);
    EXPECT_EQ(result, IDCANCEL);
    MessageBoxAnswerer answerer(&messages_);
    EXPECT_EQ(fw::runMainWindow([] { Failing(true).doModal(); }), 1);
    EXPECT_EQ(fw::runMainWindow([] {}), 0);
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0].text, "操作未能完成：disk on fire");
    EXPECT_EQ(messages_[1].text, "程序运行失败：no templates today");
    EXPECT_TRUE(messages_[0].warningIcon && messages_[1].warningIcon);
}

// One window object shown twice: its control objects are let go with the
// first window and taken up again by the second one's exchange.
TEST_F(MainWindow, AWindowObjectShownTwiceWorksOnItsSecondWindow) {
    CMainDialog main;
    for (int showing = 1; showing <= 2; ++showing) {
        show(main, [&](HWND dialog, CMainDialog& d, User& user) {
            EXPECT_EQ(d.fieldListBox.handle(), GetDlgItem(dialog, IDC_FIELD_LIST));
            EXPECT_EQ(listLines(dialog, IDC_FIELD_TYPE).size(), 4u);
            setText(dialog, IDC_FIELD_NAME, "");
            user.type(IDC_FIELD_NAME, "EMPNO");
            user.click(IDC_ADD);
            user.click(IDC_FIXED);
            user.choose(IDC_FIELD_LIST, 0);
            expectSeen(dialog, {{IDC_FIELD_LIST, "#0"}, {IDC_POSITION, ""}, {IDC_DELIMITER, "{TAB}#0 off"}},
                       "showing " + std::to_string(showing));
            EXPECT_EQ(joinedLines(dialog), "EMPNO CHAR");
        });
        EXPECT_THROW(main.fieldListBox.count(), std::logic_error) << "the control object outlived its window";
    }
    EXPECT_TRUE(messages_.empty());
}

} // namespace
} // namespace winetest
