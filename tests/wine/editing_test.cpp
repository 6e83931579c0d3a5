// Editing a load in the main window on its real controls, the keys that do
// or do not end it, and what the framework does with failing commands and a
// window object shown twice.
#include "wine/main_window.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>

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

// Controls as the user sees them, "|" between them: each one's text, "#"
// and the selected entry of a box or line of a list, " off" while disabled.
std::string seen(HWND dialog, std::initializer_list<int> ids) {
    std::string all;
    for (int id : ids) {
        HWND h = GetDlgItem(dialog, id);
        const fw::Kind kind = fw::kindOfWindow(h);
        const UINT selected = kind == fw::Kind::ComboBox ? CB_GETCURSEL : kind == fw::Kind::ListBox ? LB_GETCURSEL : 0;
        all += (all.empty() ? "" : "|") + fw::windowText(h) +
               (selected != 0 ? "#" + std::to_string(SendMessageA(h, selected, 0, 0)) : "") +
               (IsWindowEnabled(h) ? "" : " off");
    }
    return all;
}

// The entries of a box or the lines of a list, "," between them.
std::string joined(HWND dialog, int id = IDC_FIELD_LIST) {
    std::string all;
    for (const std::string& line : listLines(dialog, id)) {
        all += (all.empty() ? "" : ",") + line;
    }
    return all;
}

// Empties a box (as a program would: no notification the window acts on)
// and types `chars` into it.
void retype(HWND dialog, User& user, int id, const std::string& chars) {
    SetDlgItemTextA(dialog, id, "");
    user.type(id, chars);
}

void addLines(HWND dialog, std::initializer_list<const char*> lines) {
    for (const char* line : lines) {
        SendDlgItemMessageA(dialog, IDC_FIELD_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
}

TEST_F(MainWindow, StartsWithItsDefaultsAndTheFocusInTheDatabaseBox) {
    show([](HWND dialog, CMainDialog& d, User&) {
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_DATABASE));
        ASSERT_TRUE(d.readWindowValues());
        EXPECT_EQ(std::to_string(d.loadMode) + std::to_string(d.recordType) + std::to_string(d.detailsCollapsed) + "|" +
                      d.databaseName + "|" + d.userName + "|" + d.password + "|" + d.fieldName + d.selectedField +
                      d.dataFile + d.tableName,
                  "000|dbname|user|kemp|");
        EXPECT_EQ(seen(dialog, {IDC_POSITION, IDC_FIELD_NAME, IDC_FIELD_TYPE, IDC_DATE_MASK, IDC_DELIMITER,
                                IDC_QUALIFIER, IDC_FIELD_LIST, IDC_OUTPUT}),
                  "01:12|#-1|CHAR#0|YYYY-MM-DD#0 off|{TAB}#0|{none}#0|#-1|");
        EXPECT_EQ(joined(dialog, IDC_FIELD_TYPE) + "|" + joined(dialog, IDC_DATE_MASK) + "|" +
                      joined(dialog, IDC_DELIMITER) + "|" + joined(dialog, IDC_QUALIFIER) + "|" +
                      joined(dialog, IDC_FIELD_NAME) + "|" + joined(dialog),
                  "CHAR,NUMBER,DATE,|YYYY-MM-DD,YYYY/MM/DD,YYYYMMDD|{TAB},{,},{;},{Space}|{none},\"||");
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_OUTPUT, EM_GETLIMITTEXT, 0, 0), 32000000);
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
        ASSERT_EQ(joined(dialog), thirty + " CHAR");
        ASSERT_TRUE(messages_.empty());

        user.type(IDC_FIELD_NAME, "x");
        retype(dialog, user, IDC_FIELD_TYPE, "NUMBER(10)");
        retype(dialog, user, IDC_POSITION, "3:4");
        user.type(IDC_TABLE, "EMP");
        SetDlgItemTextA(dialog, IDC_OUTPUT, "earlier output");
        FileDialogAnswerer answerer(saved);
        for (int id : {IDC_ADD, IDC_BROWSE, IDC_LOAD_CTL, IDC_CHOOSE_TABLE, IDC_IMPORT}) {
            SetFocus(GetDlgItem(dialog, IDC_TABLE));
            user.click(id);
            EXPECT_EQ(answerer.answered, 0) << "command " << id << " went on to its file dialog";
            // The focus comes back once the message box's window has gone,
            // which the system may finish after the command.
            EXPECT_TRUE(waitUntil(dialog, [dialog] { return IsChild(GetDlgItem(dialog, IDC_FIELD_NAME), GetFocus()); }))
                << "command " << id;
        }
        user.click(IDC_SAVE_CTL); // asks for the name first
        EXPECT_EQ(answerer.answered, 1);
        addLines(dialog, {"SAL NUMBER"});
        user.choose(IDC_FIELD_LIST, 1); // the line is not split
        user.click(IDC_FIXED);
        EXPECT_EQ(seen(dialog, {IDC_POSITION, IDC_DELIMITER, IDC_QUALIFIER}), "3:4|{TAB}#0 off|{none}#0 off");
        EXPECT_EQ(d.position + "|" + std::to_string(d.recordType) + "|" + d.tableName, "3:4|1|")
            << "members before the name are read, those after it keep their values";
        pump(dialog, 200ms);
        EXPECT_EQ(seen(dialog, {IDC_FIELD_NAME, IDC_FIELD_TYPE, IDC_TABLE, IDC_OUTPUT}),
                  thirty + "x#-1|NUMBER(10)#-1|EMP|"); // the pane emptied, and no loader ran
        EXPECT_EQ(joined(dialog), thirty + " CHAR,SAL NUMBER");
    });
    EXPECT_EQ(messages_.size(), 8u);
    for (const ShownMessage& m : messages_) {
        EXPECT_EQ(m.text, "请输入不超过 30 个字符。");
        EXPECT_TRUE(m.warningIcon);
    }
    EXPECT_FALSE(fileExists(controlFile()));
    EXPECT_FALSE(fileExists(saved + ".ctl"));
}

// Only a chosen DATE enables the mask box, which keeps its choice. Typed
// with the list closed, a type clears the mask; with the list open, a typed
// DATE offers the second mask. Fixed-length records take a position,
// variable-length ones a delimiter and qualifier, whichever button was set
// before. A click writes the values back: a typed type becomes the first
// entry it begins (ignoring case), or stays as typed with no entry selected;
// the radio groups give the number of their first set button, -1 for none.
TEST_F(MainWindow, TheDateMaskAndTheRecordTypeRulesAndTheValuesWrittenBack) {
    show([](HWND dialog, CMainDialog& d, User& user) {
        user.choose(IDC_FIELD_TYPE, 2);
        user.choose(IDC_DATE_MASK, 2);
        for (int type : {0, 2, 1, 2, 3}) {
            user.choose(IDC_FIELD_TYPE, type);
            EXPECT_EQ(seen(dialog, {IDC_DATE_MASK}), type == 2 ? "YYYYMMDD#2" : "YYYYMMDD#2 off") << "type " << type;
        }
        retype(dialog, user, IDC_FIELD_TYPE, "DATE");
        EXPECT_EQ(seen(dialog, {IDC_DATE_MASK}), "#-1 off") << "typed with the list closed";
        SetDlgItemTextA(dialog, IDC_FIELD_TYPE, "");
        user.dropDown(IDC_FIELD_TYPE, true);
        for (const auto& [typed, mask] : {std::pair{"d", "YYYY/MM/DD#1"}, {"x", "#-1 off"}}) {
            user.type(IDC_FIELD_TYPE, typed);
            EXPECT_EQ(seen(dialog, {IDC_DATE_MASK}), mask) << "typed " << typed << " with the list open";
        }
        user.dropDown(IDC_FIELD_TYPE, false);

        const std::pair<int, const char*> clicks[] = {{IDC_FIXED, "01:12|{TAB}#0 off|{none}#0 off"},
                                                      {IDC_VARIABLE, "01:12 off|{TAB}#0|{none}#0"},
                                                      {IDC_VARIABLE, "01:12 off|{TAB}#0|{none}#0"}};
        for (const auto& [button, boxes] : clicks) {
            EnableWindow(GetDlgItem(dialog, IDC_POSITION), TRUE);
            user.click(button);
            EXPECT_EQ(seen(dialog, {IDC_POSITION, IDC_DELIMITER, IDC_QUALIFIER}), boxes) << "button " << button;
        }
        // A written entry is no choice of the user's: the mask stays off.
        const std::pair<const char*, const char*> types[] = {{"da", "DATE#2|#-1 off"},
                                                             {"n", "NUMBER#1|#-1 off"},
                                                             {"cH", "CHAR#0|#-1 off"},
                                                             {"CHAR(20)", "CHAR(20)#-1|#-1 off"}};
        for (const auto& [typed, boxes] : types) {
            retype(dialog, user, IDC_FIELD_TYPE, typed);
            user.click(IDC_FIXED);
            EXPECT_EQ(seen(dialog, {IDC_FIELD_TYPE, IDC_DATE_MASK}), boxes) << "typed \"" << typed << "\"";
        }
        for (const auto& [append, replace] : {std::pair<UINT, UINT>{1, 1}, {0, 1}, {0, 0}}) {
            CheckDlgButton(dialog, IDC_APPEND, append);
            CheckDlgButton(dialog, IDC_REPLACE, replace);
            ASSERT_TRUE(d.readWindowValues());
            EXPECT_EQ(d.loadMode, append != 0 ? 0 : replace != 0 ? 1 : -1) << append << replace;
        }
        user.click(IDC_REPLACE);
        ASSERT_TRUE(d.readWindowValues());
        EXPECT_EQ(std::to_string(d.loadMode) + std::to_string(d.recordType), "11");
    });
    EXPECT_TRUE(messages_.empty());
}

// Add builds a line from the boxes (a blank name adds nothing); choosing a
// line splits it back into them in the form of the record type set. With no
// record type, both ask for one.
TEST_F(MainWindow, AddBuildsLinesFromTheBoxesAndChoosingALineSplitsItBack) {
    show([this](HWND dialog, CMainDialog&, User& user) {
        const auto add = [&](const std::string& name, int type, int mask) {
            retype(dialog, user, IDC_FIELD_NAME, name);
            user.choose(IDC_FIELD_TYPE, type);
            user.choose(IDC_DATE_MASK, mask); // not while it is disabled
            user.click(IDC_ADD);
        };
        add("EMPNO", 0, 0);
        add("  HIREDATE ", 2, 0);
        EXPECT_EQ(itemText(dialog, IDC_FIELD_NAME), "HIREDATE");
        user.click(IDC_FIXED);
        retype(dialog, user, IDC_POSITION, "13:22");
        add("HIREDATE", 2, 2);
        add("   ", 0, 0);
        const std::string fixedLine = "HIREDATE position(13:22) DATE'YYYYMMDD'";
        ASSERT_EQ(joined(dialog), "EMPNO CHAR,HIREDATE DATE  'YYYY-MM-DD'," + fixedLine);
        addLines(dialog, {"SAL "});

        // Name, position, type, mask and list; a line of the other form gives
        // whatever the cuts give, and a type of none leaves no entry selected.
        const struct {
            int button, line;
            const char* boxes;
        } splits[] = {{IDC_FIXED, 2, "HIREDATE#-1|13:22|DATE#2|YYYYMMDD#2|#2"},
                      {IDC_FIXED, 0, "EMPNO#-1||EMPNO CHAR#-1|#-1 off|#0"},
                      {IDC_VARIABLE, 1, "HIREDATE#-1|2:3 off|DATE#2|YYYY-MM-DD#0|#1"},
                      {IDC_VARIABLE, 0, "EMPNO#-1|2:3 off|CHAR#0|#-1 off|#0"},
                      {IDC_VARIABLE, 3, "SAL#-1|2:3 off|#-1|#-1 off|#3"}};
        for (const auto& s : splits) {
            user.click(s.button);
            SetDlgItemTextA(dialog, IDC_POSITION, s.button == IDC_VARIABLE ? "2:3" : "99:99");
            user.choose(IDC_FIELD_LIST, s.line);
            EXPECT_EQ(seen(dialog, {IDC_FIELD_NAME, IDC_POSITION, IDC_FIELD_TYPE, IDC_DATE_MASK, IDC_FIELD_LIST}),
                      s.boxes);
            if (s.line == 2) {
                user.click(IDC_ADD);
                EXPECT_EQ(listLines(dialog, IDC_FIELD_LIST).back(), fixedLine) << "a split line adds as it was";
            }
        }
        CheckDlgButton(dialog, IDC_VARIABLE, BST_UNCHECKED);
        retype(dialog, user, IDC_FIELD_NAME, "SAL");
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
        addLines(dialog, {"A", "B", "C", "D"});
        for (int id : {IDC_DELETE, IDC_UP, IDC_DOWN}) {
            user.click(id);
        }
        EXPECT_EQ(joined(dialog) + seen(dialog, {IDC_FIELD_LIST}), "A,B,C,D#-1") << "with no line selected";
        user.choose(IDC_FIELD_LIST, 1);
        retype(dialog, user, IDC_FIELD_NAME, "typed");
        const std::pair<int, const char*> moves[] = {
            {IDC_DOWN, "A,C,B,D#2"}, {IDC_DOWN, "A,C,D,B#3"}, {IDC_DOWN, "A,C,D,B#3"}, {IDC_UP, "A,C,B,D#2"},
            {IDC_UP, "A,B,C,D#1"},   {IDC_UP, "B,A,C,D#0"},   {IDC_UP, "B,A,C,D#0"},   {IDC_DELETE, "A,C,D#0"},
            {IDC_DOWN, "C,A,D#1"},   {IDC_DELETE, "C,D#1"},   {IDC_DELETE, "C#-1"},    {IDC_DELETE, "C#-1"}};
        for (const auto& [command, lines] : moves) {
            user.click(command);
            EXPECT_EQ(joined(dialog) + seen(dialog, {IDC_FIELD_LIST}), lines) << "after " << command;
        }
        EXPECT_EQ(itemText(dialog, IDC_FIELD_NAME), "typed");

        user.type(IDC_TABLE, "EMP");
        user.type(IDC_DATA_FILE, "typed.txt");
        const std::string chosen = executableFolder() + "\\emp.txt";
        for (const std::string& answer : {std::string(), chosen}) {
            FileDialogAnswerer answerer(answer);
            user.click(IDC_BROWSE);
            ASSERT_EQ(answerer.answered, 1);
            EXPECT_EQ(seen(dialog, {IDC_DATA_FILE, IDC_TABLE, IDC_FIELD_NAME}),
                      (answer.empty() ? "typed.txt" : chosen) + "|EMP|typed#-1");
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
        SetDlgItemTextA(dialog, IDC_DATA_FILE, path.c_str());
        user.type(IDC_FIELD_NAME, "HIREDATE");
        user.choose(IDC_FIELD_TYPE, 2);
        SetDlgItemTextA(dialog, IDC_DATE_MASK, mask.c_str());
        user.click(IDC_ADD);
        EXPECT_TRUE(joined(dialog) == "HIREDATE DATE  '" + mask + "'");
        SetDlgItemTextA(dialog, IDC_DATE_MASK, "");
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
        EXPECT_EQ(joined(dialog), "B,A");
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
        EXPECT_EQ(joined(dialog), "B,A");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_DETAILS), BST_UNCHECKED) << "a check box, pressed with the space bar";
    });
    for (const bool escape : {true, false}) {
        EXPECT_EQ(show([escape](HWND dialog, CMainDialog&, User& user) {
                      escape ? user.pressEscape(IDC_TABLE) : user.systemCommand(SC_CLOSE);
                      EXPECT_FALSE(IsWindowVisible(dialog)) << (escape ? "Escape" : "the close box");
                  }),
                  IDCANCEL);
    }
    EXPECT_TRUE(messages_.empty());
}

// A dialog on the main window's template whose Add fails; its start too if asked.
class Failing : public fw::Dialog {
public:
    explicit Failing(bool failAtStart = false) : fw::Dialog(IDD_MAIN), failAtStart_(failAtStart) {
        commands<Failing>({{IDC_ADD, fw::Notify::Clicked, &Failing::fail}});
    }

protected:
    bool onInitDialog() override {
        return failAtStart_ ? throw std::runtime_error("no templates today") : fw::Dialog::onInitDialog();
    }

private:
    void fail() { throw std::runtime_error("disk on fire"); }
    bool failAtStart_;
};

TEST_F(MainWindow, AFailedCommandIsReportedWithTheWindowLeftOpenAndAFailedStartEndsTheProgram) {
    Failing dialog;
    const int result = runDialog(
        dialog,
        [](User& user) {
            for (const char* typed : {"ty", "ped"}) {
                user.type(IDC_TABLE, typed);
                user.click(IDC_ADD);
                EXPECT_TRUE(IsWindowVisible(user.dialog()));
            }
            EXPECT_EQ(itemText(user.dialog(), IDC_TABLE), "typed");
            user.pressEscape(IDC_TABLE);
        },
        &messages_);
    EXPECT_EQ(result, IDCANCEL);
    MessageBoxAnswerer answerer(&messages_);
    EXPECT_EQ(fw::runMainWindow([] { Failing(true).doModal(); }), 1);
    EXPECT_EQ(fw::runMainWindow([] {}), 0);
    ASSERT_EQ(messages_.size(), 3u);
    for (const ShownMessage& m : messages_) {
        EXPECT_EQ(m.text, &m == &messages_[2] ? "程序运行失败：no templates today" : "操作未能完成：disk on fire");
        EXPECT_TRUE(m.warningIcon);
    }
}

// One window object shown twice: its control objects are let go with the
// first window and taken up again by the second one's exchange.
TEST_F(MainWindow, AWindowObjectShownTwiceWorksOnItsSecondWindow) {
    CMainDialog main;
    for (int showing = 1; showing <= 2; ++showing) {
        show(main, [&](HWND dialog, CMainDialog& d, User& user) {
            EXPECT_EQ(d.fieldListBox.handle(), GetDlgItem(dialog, IDC_FIELD_LIST));
            EXPECT_EQ(listLines(dialog, IDC_FIELD_TYPE).size(), 4u);
            retype(dialog, user, IDC_FIELD_NAME, "EMPNO");
            user.click(IDC_ADD);
            user.click(IDC_FIXED);
            user.choose(IDC_FIELD_LIST, 0);
            EXPECT_EQ(seen(dialog, {IDC_FIELD_LIST, IDC_POSITION, IDC_DELIMITER}), "#0||{TAB}#0 off") << showing;
            EXPECT_EQ(joined(dialog), "EMPNO CHAR") << showing;
        });
        EXPECT_THROW(main.fieldListBox.count(), std::logic_error) << "the control object outlived its window";
    }
    EXPECT_TRUE(messages_.empty());
}

} // namespace
} // namespace winetest
