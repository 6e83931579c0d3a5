// What the windows rely on from each control, run on both backends: natively
// on the memory backend and under Wine on real Win32 controls.
#include "contract/harness.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

namespace {

using fw::Exchange;
using fw::Notify;
using fw::Window;

// A bare dialog on a product template whose exchange a test can set, and
// which records every command that reaches it.
class Probe : public fw::Dialog {
public:
    explicit Probe(int templateId = IDD_MAIN) : fw::Dialog(templateId) {}

    std::function<void(Exchange&)> exchange;
    std::vector<std::pair<int, Notify>> commands;

    bool read() { return updateData(Exchange::Direction::Read); }
    void write() { updateData(Exchange::Direction::Write); }

protected:
    void doDataExchange(Exchange& x) override {
        if (exchange) {
            exchange(x);
        }
    }
    bool onCommand(int id, Notify notify) override {
        commands.emplace_back(id, notify);
        return id != fw::kIdOk && id != fw::kIdCancel;
    }
};

using Script = std::function<void(Window&, contract::User&, Probe&)>;

// Runs `script` on a shown probe and closes it afterwards.
int run(Probe& probe, const Script& script, std::vector<contract::ShownMessage>* messages = nullptr) {
    return contract::runDialog(
        probe,
        [&](Window& w, contract::User& user) {
            script(w, user, probe);
            if (probe.isShown()) {
                w.end(fw::kIdCancel);
            }
        },
        messages);
}

int run(const Script& script, std::vector<contract::ShownMessage>* messages = nullptr) {
    Probe probe;
    return run(probe, script, messages);
}

void fillTypes(Window& w) {
    for (const char* entry : {"CHAR", "NUMBER", "DATE", ""}) {
        w.comboAdd(IDC_FIELD_TYPE, entry);
    }
}

void fillList(Window& w, std::initializer_list<const char*> lines) {
    for (const char* line : lines) {
        w.listAdd(IDC_FIELD_LIST, line);
    }
}

std::vector<std::string> comboEntries(Window& w, int id) {
    std::vector<std::string> entries;
    for (int i = 0; i < w.comboCount(id); ++i) {
        entries.push_back(w.comboEntry(id, i));
    }
    return entries;
}

TEST(ComboBox, WritingBoxTextSelectsTheFirstEntryBeginningWithItIgnoringCaseOrNone) {
    run([](Window& w, contract::User&, Probe& p) {
        fillTypes(w);
        std::string value = "da";
        p.exchange = [&](Exchange& x) { x.boxText(IDC_FIELD_TYPE, value); };
        p.write();
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), 2);
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "DATE");

        value = "n";
        p.write();
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), 1);
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "NUMBER");
        p.read();
        EXPECT_EQ(value, "NUMBER");

        value = "ch";
        p.write();
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), 0) << "entry 0 is an entry like the others";
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "CHAR");

        value = "CHAR(20)";
        p.write();
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), -1);
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "CHAR(20)");

        w.comboSelect(IDC_FIELD_TYPE, 1);
        value = "";
        p.write();
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), -1);
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "");
    });
}

TEST(ComboBox, ProgramChangesAreNotNotifiedButChoosingAnEntryIs) {
    run([](Window& w, contract::User& user, Probe& p) {
        fillTypes(w);
        w.comboSelect(IDC_FIELD_TYPE, 1);
        EXPECT_EQ(w.comboSelectPrefix(IDC_FIELD_TYPE, "X"), -1);
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), 1) << "no match keeps the selection";
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "NUMBER");
        EXPECT_EQ(w.comboSelectPrefix(IDC_FIELD_TYPE, "c"), 0);
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "CHAR");

        w.comboSelect(IDC_FIELD_TYPE, -1);
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), -1);
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "");
        w.comboSetEditText(IDC_FIELD_TYPE, "DATE");
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), -1);
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "DATE");
        w.comboSelect(IDC_FIELD_TYPE, 1);
        w.comboSelect(IDC_FIELD_TYPE, 4);
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), -1) << "an index past the end selects nothing";
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "");
        EXPECT_TRUE(p.commands.empty());

        user.choose(IDC_FIELD_TYPE, 1);
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), 1);
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "NUMBER");
        EXPECT_EQ(p.commands, (std::vector<std::pair<int, Notify>>{{IDC_FIELD_TYPE, Notify::SelChange}}));
    });
}

TEST(ComboBox, TypingSelectsOnlyWhileTheListIsOpen) {
    run([](Window& w, contract::User& user, Probe& p) {
        fillTypes(w);
        w.comboSelect(IDC_FIELD_TYPE, 0);
        user.type(IDC_FIELD_TYPE, "X");
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "CHARX");
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), -1);

        w.comboSetEditText(IDC_FIELD_TYPE, "");
        user.type(IDC_FIELD_TYPE, "DATE");
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), -1) << "list closed: typing a whole entry selects nothing";

        w.comboSetEditText(IDC_FIELD_TYPE, "");
        user.dropDown(IDC_FIELD_TYPE, true);
        user.type(IDC_FIELD_TYPE, "da");
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), 2);
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "da");
        user.type(IDC_FIELD_TYPE, "x");
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), -1);
        user.dropDown(IDC_FIELD_TYPE, false);

        ASSERT_FALSE(p.commands.empty());
        EXPECT_EQ(p.commands.back(), std::make_pair(int(IDC_FIELD_TYPE), Notify::EditChange));
    });
}

TEST(ComboBox, SortedBoxFilesEntriesInTheLocalesOrderAndKeepsDuplicates) {
    const struct {
        std::vector<const char*> names;
        std::vector<std::string> sorted;
    } cases[] = {
        {{"ENAME", "EMPNO", "deptno", "SAL", "EMPNO"}, {"deptno", "EMPNO", "EMPNO", "ENAME", "SAL"}},
        // The order of Wine's zh_CN locale: '_' is a symbol and goes before
        // digits and letters, '-' is passed over, case is ignored, Chinese
        // characters come after Latin ones in pinyin order. Windows' word
        // sort in the zh-CN locale is expected to give the same order.
        {{"emp2", "中文", "A-C", "EMP10", "张三", "AB", "x中", "A_C", "亍", "_A", "A1", "中", "1A", "EMP$NO", "李四",
          "Z", "中国", "EMP#NO", "王五"},
         {"_A", "1A", "A_C", "A1", "AB", "A-C", "EMP#NO", "EMP$NO", "EMP10", "emp2", "x中", "Z", "亍", "李四", "王五",
          "张三", "中", "中国", "中文"}},
        // Hyphens and apostrophes only tell apart names that are equal
        // without them: the name without one first, then by the first that
        // differs, one further into the name first, an apostrophe before a
        // hyphen.
        {{"-AB", "A-B", "AC", "AB", "A'B", "AB-", "A--B", "A-B-"},
         {"AB", "AB-", "A'B", "A-B", "A-B-", "A--B", "-AB", "AC"}},
    };
    for (const auto& c : cases) {
        run([&](Window& w, contract::User&, Probe&) {
            for (const char* name : c.names) {
                w.comboAdd(IDC_FIELD_NAME, name);
            }
            EXPECT_EQ(comboEntries(w, IDC_FIELD_NAME), c.sorted);
        });
    }
    run([](Window& w, contract::User&, Probe&) {
        EXPECT_EQ(w.comboAdd(IDC_FIELD_NAME, "ENAME"), 0);
        EXPECT_EQ(w.comboAdd(IDC_FIELD_NAME, "EMPNO"), 0);
        EXPECT_EQ(w.comboAdd(IDC_FIELD_NAME, "SAL"), 2);
        EXPECT_EQ(w.comboAdd(IDC_FIELD_TYPE, "b"), 0);
        EXPECT_EQ(w.comboAdd(IDC_FIELD_TYPE, "a"), 1) << "an unsorted box appends";
    });
}

TEST(ListBox, TheSelectionTextIsWrittenAsTheFirstLineBeginningWithItAndReadWhole) {
    run([](Window& w, contract::User&, Probe& p) {
        fillList(w, {"EMPNO CHAR", "ENAME CHAR", "empno NUMBER"});
        std::string value = "ENAME";
        p.exchange = [&](Exchange& x) { x.listSelectionText(IDC_FIELD_LIST, value); };
        p.write();
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 1);

        value = "empno";
        p.write();
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 0) << "first line beginning with it, ignoring case";
        p.read();
        EXPECT_EQ(value, "EMPNO CHAR");

        w.listSelect(IDC_FIELD_LIST, 2);
        value = "SAL";
        p.write();
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 2);
        value = "";
        p.write();
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 2);

        p.read();
        EXPECT_EQ(value, "empno NUMBER");
        w.listSelect(IDC_FIELD_LIST, -1);
        p.read();
        EXPECT_EQ(value, "");
    });
}

// A line inserted at the selected line's index pushes it down: the
// selection moves with its line, also when lines before it are deleted.
// What a delete command meets after deleting the last line: selecting the
// same index again is past the end.
TEST(ListBox, LinesAreInsertedAndDeletedByIndexAndTheSelectionFollowsItsLine) {
    run([](Window& w, contract::User&, Probe&) {
        fillList(w, {"a", "b", "c"});
        EXPECT_EQ(w.listInsert(IDC_FIELD_LIST, 1, "x"), 1);
        w.listDelete(IDC_FIELD_LIST, 3);
        ASSERT_EQ(w.listCount(IDC_FIELD_LIST), 3);
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 1), "x");
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 2), "b");
        EXPECT_EQ(w.listAdd(IDC_FIELD_LIST, "0"), 3) << "the field list is not sorted";
        w.listSelect(IDC_FIELD_LIST, 1);
        w.listClear(IDC_FIELD_LIST);
        EXPECT_EQ(w.listCount(IDC_FIELD_LIST), 0);
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), -1);

        fillList(w, {"a", "b", "c"});
        w.listSelect(IDC_FIELD_LIST, 1);
        EXPECT_EQ(w.listInsert(IDC_FIELD_LIST, 1, "x"), 1);
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 2);
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 2), "b");
        w.listInsert(IDC_FIELD_LIST, 3, "y");
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 2);
        w.listInsert(IDC_FIELD_LIST, 0, "z");
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 3);
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 3), "b");
        w.listDelete(IDC_FIELD_LIST, 0);
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 2);
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 2), "b");

        w.listSelect(IDC_FIELD_LIST, 0);
        w.listDelete(IDC_FIELD_LIST, 1);
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 0) << "deleting after the selection leaves it";
        w.listDelete(IDC_FIELD_LIST, 0);
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), -1) << "the selected line is gone";

        // Left: b y c.
        w.listSelect(IDC_FIELD_LIST, 2);
        w.listDelete(IDC_FIELD_LIST, 2);
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), -1);
        w.listSelect(IDC_FIELD_LIST, 1);
        w.listSelect(IDC_FIELD_LIST, 2);
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), -1);
    });
}

TEST(ListBox, ChoosingALineNotifiesItsSelectionAndADoubleClickThenTheDoubleClick) {
    run([](Window& w, contract::User& user, Probe& p) {
        fillList(w, {"a", "b", "c"});
        w.listSelect(IDC_FIELD_LIST, 1);
        EXPECT_TRUE(p.commands.empty()) << "a program's selection is not notified";
        user.choose(IDC_FIELD_LIST, 2);
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 2);
        user.doubleClick(IDC_FIELD_LIST, 0);
        EXPECT_EQ(w.listSelected(IDC_FIELD_LIST), 0);
        EXPECT_EQ(w.focusedId(), IDC_FIELD_LIST);
        EXPECT_EQ(p.commands, (std::vector<std::pair<int, Notify>>{{IDC_FIELD_LIST, Notify::SelChange},
                                                                   {IDC_FIELD_LIST, Notify::SelChange},
                                                                   {IDC_FIELD_LIST, Notify::DoubleClick}}));
    });
}

// A dialog shows its members when it opens, before any script runs, in
// boxes that hold the entries of their templates.
TEST(Exchange, TheOpeningWriteShowsTheMembers) {
    Probe main;
    int mode = 1;
    int details = 1;
    std::string table = "EMP";
    main.exchange = [&](Exchange& x) {
        x.radio(IDC_APPEND, mode);
        x.text(IDC_TABLE, table);
        x.toggle(IDC_DETAILS, details);
    };
    run(main, [](Window& w, contract::User&, Probe&) {
        EXPECT_FALSE(w.isChecked(IDC_APPEND));
        EXPECT_TRUE(w.isChecked(IDC_REPLACE));
        EXPECT_EQ(w.text(IDC_TABLE), "EMP");
        EXPECT_TRUE(w.isChecked(IDC_DETAILS));
    });

    Probe advanced(IDD_ADVANCED);
    std::string silent = "fe";
    std::string log = "load.log";
    advanced.exchange = [&](Exchange& x) {
        x.text(IDC_LOG, log);
        x.boxText(IDC_SILENT, silent);
    };
    run(advanced, [](Window& w, contract::User&, Probe&) {
        EXPECT_EQ(w.text(IDC_LOG), "load.log");
        EXPECT_EQ(comboEntries(w, IDC_SILENT),
                  (std::vector<std::string>{"header", "feedback", "errors", "discards", "all"}))
            << "the template's list data";
        EXPECT_EQ(w.comboSelected(IDC_SILENT), 1);
        EXPECT_EQ(w.text(IDC_SILENT), "feedback");
        EXPECT_EQ(w.focusedId(), IDC_LOG) << "the focus starts on the first tab stop";
    });
}

TEST(Buttons, RadiosReadTheFirstSetInTemplateOrderOrMinusOneAndACheckBoxFlipsOnEachClick) {
    run([](Window& w, contract::User& user, Probe& p) {
        int mode = 7;
        int type = 7;
        p.exchange = [&](Exchange& x) {
            x.radio(IDC_APPEND, mode);
            x.radio(IDC_VARIABLE, type);
        };
        p.read();
        EXPECT_EQ(mode, -1);
        EXPECT_EQ(type, -1);

        mode = 1;
        type = 0;
        p.write();
        EXPECT_FALSE(w.isChecked(IDC_APPEND));
        EXPECT_TRUE(w.isChecked(IDC_REPLACE));
        EXPECT_TRUE(w.isChecked(IDC_VARIABLE));
        EXPECT_FALSE(w.isChecked(IDC_FIXED));

        user.click(IDC_APPEND);
        user.click(IDC_FIXED);
        p.read();
        EXPECT_EQ(mode, 0) << "clicking a radio button clears the others of its group";
        EXPECT_EQ(type, 1) << "groups are separate";

        mode = -1;
        p.write();
        p.read();
        EXPECT_EQ(mode, -1);
        EXPECT_EQ(type, 1);

        // A click clears the enabled buttons of its group only.
        mode = 1;
        p.write();
        w.enable(IDC_REPLACE, false);
        user.click(IDC_APPEND);
        EXPECT_TRUE(w.isChecked(IDC_APPEND));
        EXPECT_TRUE(w.isChecked(IDC_REPLACE));
        p.read();
        EXPECT_EQ(mode, 0) << "the first set button in template order";
        w.enable(IDC_REPLACE, true);
        user.click(IDC_REPLACE);
        EXPECT_FALSE(w.isChecked(IDC_APPEND));
        p.read();
        EXPECT_EQ(mode, 1);

        // A push-like check box flips on each click.
        int details = 5;
        p.exchange = [&](Exchange& x) { x.toggle(IDC_DETAILS, details); };
        p.read();
        EXPECT_EQ(details, 0);
        p.commands.clear();
        user.click(IDC_DETAILS);
        EXPECT_TRUE(w.isChecked(IDC_DETAILS));
        p.read();
        EXPECT_EQ(details, 1);
        user.click(IDC_DETAILS);
        p.read();
        EXPECT_EQ(details, 0);
        details = 1;
        p.write();
        EXPECT_TRUE(w.isChecked(IDC_DETAILS));
        EXPECT_EQ(p.commands, (std::vector<std::pair<int, Notify>>{{IDC_DETAILS, Notify::Clicked},
                                                                   {IDC_DETAILS, Notify::Clicked}}));
    });
}

TEST(Exchange, TextIsReadWholeAndDisabledControlsKeepTheirStateAndAreStillExchanged) {
    run([](Window& w, contract::User& user, Probe& p) {
        std::string path(3000, 'p');
        p.exchange = [&](Exchange& x) { x.text(IDC_DATA_FILE, path); };
        p.write();
        p.read();
        EXPECT_EQ(path.size(), 3000u);

        user.type(IDC_DATA_FILE, "q");
        EXPECT_EQ(w.text(IDC_DATA_FILE), std::string(3000, 'p') + "q");
        std::string name = "\xD6\xD0\xCE\xC4\\b"; // double-byte characters and a backslash
        w.setText(IDC_TABLE, name);
        EXPECT_EQ(w.text(IDC_TABLE), name);

        // Disabled controls keep their state and are still exchanged.
        fillTypes(w);
        w.comboSelect(IDC_FIELD_TYPE, 2);
        w.setText(IDC_POSITION, "01:12");
        w.enable(IDC_FIELD_TYPE, false);
        w.enable(IDC_POSITION, false);
        EXPECT_FALSE(w.isEnabled(IDC_FIELD_TYPE));
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), 2);
        EXPECT_EQ(w.text(IDC_POSITION), "01:12");

        std::string type;
        std::string position;
        p.exchange = [&](Exchange& x) {
            x.text(IDC_POSITION, position);
            x.boxText(IDC_FIELD_TYPE, type);
        };
        p.read();
        EXPECT_EQ(type, "DATE");
        EXPECT_EQ(position, "01:12");
        type = "NUMBER";
        position = "13:22";
        p.write();
        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), 1);
        EXPECT_EQ(w.text(IDC_POSITION), "13:22");

        p.commands.clear();
        user.click(IDC_ADD);
        user.click(IDC_VARIABLE);
        w.enable(IDC_ADD, false);
        w.enable(IDC_FIXED, false);
        user.click(IDC_ADD);
        user.click(IDC_FIXED);
        EXPECT_EQ(p.commands.size(), 2u) << "a disabled button ignores clicks";
        EXPECT_TRUE(w.isChecked(IDC_VARIABLE));
    });
}

TEST(Exchange, LengthCheckCountsBytesOnAReadOnlyStopsTheReadAndFocusesTheBox) {
    const std::string zhong = "\xD6\xD0"; // one double-byte character
    std::string fifteen;
    for (int i = 0; i < 15; ++i) {
        fifteen += zhong;
    }
    std::vector<contract::ShownMessage> messages;
    run(
        [&](Window& w, contract::User&, Probe& p) {
            std::string name;
            std::string after = "before";
            p.exchange = [&](Exchange& x) {
                x.text(IDC_FIELD_NAME, name);
                x.maxBytes(IDC_FIELD_NAME, name, 30);
                x.text(IDC_TABLE, after);
            };
            // The check belongs to reading: a long value is written whole.
            name = fifteen + zhong;
            w.setFocus(IDC_DATABASE);
            p.write();
            EXPECT_EQ(w.text(IDC_FIELD_NAME), fifteen + zhong);
            EXPECT_EQ(w.focusedId(), IDC_DATABASE);
            EXPECT_TRUE(messages.empty());

            w.setText(IDC_TABLE, "typed");
            w.setText(IDC_FIELD_NAME, fifteen);
            EXPECT_TRUE(p.read()) << "exactly the limit passes";
            EXPECT_EQ(after, "typed");
            EXPECT_TRUE(messages.empty());

            after = "before";
            w.setText(IDC_FIELD_NAME, fifteen + zhong);
            EXPECT_FALSE(p.read());
            EXPECT_EQ(name, fifteen + zhong);
            EXPECT_EQ(after, "before") << "the read stops at the failed check";
            EXPECT_EQ(w.focusedId(), IDC_FIELD_NAME);
        },
        &messages);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "请输入不超过 30 个字符。");
    EXPECT_TRUE(messages[0].warningIcon);
}

TEST(Keys, EnterClosesAsOkExceptOnPushButtonsAndInTheOutputPane) {
    EXPECT_EQ(run([](Window&, contract::User& user, Probe&) { user.pressEnter(IDC_USER); }), fw::kIdOk);
    run([](Window&, contract::User& user, Probe& p) {
        user.pressEnter(IDC_ADVANCED);
        EXPECT_TRUE(p.isShown());
        EXPECT_EQ(p.commands.back(), std::make_pair(int(IDC_ADVANCED), Notify::Clicked));
    });

    run([](Window& w, contract::User& user, Probe& p) {
        w.setText(IDC_OUTPUT, "x");
        user.pressEnter(IDC_OUTPUT);
        EXPECT_TRUE(p.isShown());
        EXPECT_NE(w.text(IDC_OUTPUT).find("\r\n"), std::string::npos);
    });

    EXPECT_EQ(run([](Window&, contract::User& user, Probe&) { user.pressEscape(IDC_USER); }), fw::kIdCancel);
    EXPECT_EQ(run([](Window&, contract::User& user, Probe&) { user.closeBox(); }), fw::kIdCancel);
}

// Each append (and each text set, typed or added to a list) is converted
// from code page 936 on its own, as Wine's controls keep their texts in
// Unicode: a lead byte that ends an append shows
// "?", and the next append's bytes pair up among themselves ("\xC4y" is one
// character, so no "y" shows). An ANSI edit on Windows keeps bytes and is
// expected to join the halves into "x中文y" instead; the program must not
// split characters between appends either way.
TEST(Controls, EachTextIsConvertedOnItsOwnSoASplitCharacterIsLostAndEndsAtAZeroByte) {
    run([](Window& w, contract::User& user, Probe&) {
        for (const bool reserved : {false, true}) {
            if (reserved) {
                w.editReserve(IDC_OUTPUT, 100);
            }
            w.setText(IDC_OUTPUT, "");
            w.editAppend(IDC_OUTPUT, "x\xD6");
            EXPECT_EQ(w.text(IDC_OUTPUT), "x?") << "reserved: " << reserved;
            w.editAppend(IDC_OUTPUT, "\xD0\xCE\xC4y");
            EXPECT_EQ(w.text(IDC_OUTPUT), "x?\xD0\xCE\xC4y") << "reserved: " << reserved;
            EXPECT_EQ(w.editLength(IDC_OUTPUT), 6) << "reserved: " << reserved;
            w.editAppend(IDC_OUTPUT, std::string("b\0c", 3));
            EXPECT_EQ(w.text(IDC_OUTPUT), "x?\xD0\xCE\xC4y"
                                          "b")
                << "a zero byte ends an append";
        }

        w.setText(IDC_TABLE, "q\xD6");
        EXPECT_EQ(w.text(IDC_TABLE), "q?");
        w.setText(IDC_TABLE, "\xD6\x31z"); // a lead byte before a byte that cannot follow it
        EXPECT_EQ(w.text(IDC_TABLE), "?z");
        user.type(IDC_TABLE, "\xD6\xD0");
        EXPECT_EQ(w.text(IDC_TABLE), "?z\xD6\xD0");
        w.listAdd(IDC_FIELD_LIST, "a\xD6");
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 0), "a?") << "list lines are converted too";

        // Texts cross the ANSI window functions as zero-terminated strings: a
        // zero byte in a line read from a file ends what a control shows.
        w.setText(IDC_TABLE, std::string("EMP\0DEPT", 8));
        EXPECT_EQ(w.text(IDC_TABLE), "EMP");
        w.listAdd(IDC_FIELD_LIST, std::string("\0x", 2));
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 1), "");
        const int at = w.comboAdd(IDC_FIELD_TYPE, std::string("RAW\0\x81", 5));
        EXPECT_EQ(w.comboEntry(IDC_FIELD_TYPE, at), "RAW");
    });
}

// A reserved edit (on Win32 a Unicode edit made anew in the template's
// place, given room for its whole limit) keeps what it held and behaves as
// the template's edit did. Wine's edit counts the limit in Unicode
// characters. An ANSI edit on Windows keeps bytes and may count them
// instead; the program checks byte lengths itself where they matter
// (maxBytes).
TEST(Edit, AReservedEditKeepsItsTextAndLimitsCountCharactersADoubleByteOneCountingOne) {
    run([](Window& w, contract::User& user, Probe&) {
        w.setText(IDC_OUTPUT, "first\r\n中");
        w.editReserve(IDC_OUTPUT, 32000000);
        EXPECT_EQ(w.kindOf(IDC_OUTPUT), fw::Kind::Edit);
        EXPECT_EQ(w.text(IDC_OUTPUT), "first\r\n中");
        w.setFocus(IDC_OUTPUT);
        w.editAppend(IDC_OUTPUT, "\r\nsecond\r\n");
        const std::string big(100000, 'z');
        w.editAppend(IDC_OUTPUT, big);
        user.type(IDC_OUTPUT, "文");
        EXPECT_EQ(w.editLength(IDC_OUTPUT), int(9 + 10 + big.size() + 2));
        EXPECT_EQ(w.text(IDC_OUTPUT), "first\r\n中\r\nsecond\r\n" + big + "文");

        w.editLimit(IDC_TABLE, 3);
        user.type(IDC_TABLE, "中文字ab");
        EXPECT_EQ(w.text(IDC_TABLE), "中文字");
        EXPECT_EQ(w.editLength(IDC_TABLE), 6) << "the length is in bytes";

        w.setText(IDC_TABLE, "");
        w.editAppend(IDC_TABLE, "a中b文");
        EXPECT_EQ(w.text(IDC_TABLE), "a中b");
        w.setText(IDC_OUTPUT, "中文字ab");
        w.editReserve(IDC_OUTPUT, 3);
        EXPECT_EQ(w.text(IDC_OUTPUT), "中文字ab") << "a text past the limit is kept whole";
        w.setText(IDC_OUTPUT, "");
        w.editAppend(IDC_OUTPUT, "a中b文");
        EXPECT_EQ(w.text(IDC_OUTPUT), "a中b") << "a reserved edit keeps to its limit";

        w.setText(IDC_TABLE, "中文字ab");
        EXPECT_EQ(w.text(IDC_TABLE), "中文字ab") << "setting the text is not limited";
        user.type(IDC_TABLE, "c");
        EXPECT_EQ(w.text(IDC_TABLE), "中文字ab");
    });
}

TEST(MessageBox, RunsTheCallsPostedToTheWindowWhileItIsOpen) {
    std::vector<contract::ShownMessage> messages;
    run(
        [](Window& w, contract::User&, Probe& p) {
            std::vector<std::string> order;
            // From a worker, as the loader's output comes.
            std::thread([&] {
                w.callQueue()->post([&] {
                    order.push_back("call");
                    w.editAppend(IDC_OUTPUT, "posted");
                });
            }).join();
            EXPECT_TRUE(order.empty());
            p.messageBox("wait");
            order.push_back("answered");
            EXPECT_EQ(order, (std::vector<std::string>{"call", "answered"}));
            EXPECT_EQ(w.text(IDC_OUTPUT), "posted");
        },
        &messages);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "wait");
}

TEST(Window, FailsLoudlyOnUnknownControlsAndWrongKindsAndItsOuterRectangleMoves) {
    run([](Window& w, contract::User&, Probe&) {
        EXPECT_EQ(w.kindOf(IDC_FIELD_LIST), fw::Kind::ListBox);
        EXPECT_EQ(w.kindOf(IDC_DETAILS), fw::Kind::Button);
        EXPECT_THROW(w.kindOf(4242), std::logic_error);
        EXPECT_THROW(w.text(4242), std::logic_error);
        EXPECT_THROW(w.comboAdd(IDC_FIELD_LIST, "x"), std::logic_error);
        EXPECT_THROW(w.listAdd(IDC_FIELD_TYPE, "x"), std::logic_error);
        fw::ListBox wrong;
        EXPECT_THROW(wrong.bind(w, IDC_FIELD_TYPE), std::logic_error);

        const fw::Rect r = w.outerRect();
        EXPECT_GT(r.right - r.left, 291);
        fw::Rect shorter = r;
        shorter.bottom -= 100;
        w.move(shorter);
        EXPECT_EQ(w.outerRect(), shorter);
    });
}

} // namespace
