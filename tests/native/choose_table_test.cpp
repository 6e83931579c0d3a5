// The choose-table command and the table chooser on the memory backend,
// over a scripted ADO.
#include "native/main_window_fixture.h"

#include <vector>

namespace {

using namespace mainwindow;

const char* const kTableQuery = "select tname from tab where upper(tabtype)='TABLE' order by tname";

class ChooseTable : public MainWindow {
protected:
    ChooseTable() {
        ado.queries[kTableQuery] = {{"DEPT", "EMP"}, {"TNAME"}};
        ado.queries["select * from EMP where 0>1"] = {{}, {"EMPNO", "ENAME", "HIREDATE"}};
        ado.queries["select * from DEPT where 0>1"] = {{}, {"DEPTNO", "DNAME"}};
    }

    void choose(int line) {
        mem().onShow(IDD_TABLE_CHOOSER, [line](MemoryWindow& c) {
            if (line >= 0) {
                c.choose(IDC_TABLE_LIST, line);
            }
            c.click(fw::kIdOk);
        });
    }

    static std::vector<std::string> entries(MemoryWindow& w, int id) {
        std::vector<std::string> all;
        for (int i = 0; i < w.comboCount(id); ++i) {
            all.push_back(w.comboEntry(id, i));
        }
        return all;
    }
};

TEST_F(ChooseTable, TheChosenTableAndItsColumnsComeIntoTheWindow) {
    std::vector<std::string> listed;
    mem().onShow(IDD_TABLE_CHOOSER, [&](MemoryWindow& c) {
        for (int i = 0; i < c.listCount(IDC_TABLE_LIST); ++i) {
            listed.push_back(c.listLine(IDC_TABLE_LIST, i));
        }
        c.choose(IDC_TABLE_LIST, 1);
        c.pressEnter(fw::kIdOk);
    });
    choose(0);
    choose(1);
    show([&](MemoryWindow& w, CMainDialog&) {
        w.setText(IDC_PASSWORD, "p w@d;中");
        w.click(IDC_CHOOSE_TABLE);
        EXPECT_EQ(w.text(IDC_TABLE), "EMP");
        EXPECT_EQ(w.text(IDC_FIELD_NAME), "HIREDATE") << "the last column in the table's order";
        w.click(IDC_CHOOSE_TABLE);
        w.click(IDC_CHOOSE_TABLE);
        EXPECT_EQ(entries(w, IDC_FIELD_NAME), (std::vector<std::string>{"DEPTNO", "DNAME", "EMPNO", "EMPNO", "ENAME",
                                                                        "ENAME", "HIREDATE", "HIREDATE"}));
        EXPECT_EQ(w.text(IDC_FIELD_NAME), "HIREDATE");
    });
    EXPECT_EQ(listed, (std::vector<std::string>{"DEPT", "EMP"}));
    ASSERT_EQ(ado.connectionOpens.size(), 3u);
    EXPECT_EQ(ado.connectionOpens[0].connectionString,
              "Provider=MSDAORA;Data Source=dbname;User ID=user; Password=p w@d;中");
    EXPECT_EQ(ado.connectionOpens[0].userId + ado.connectionOpens[0].password, "");
    EXPECT_EQ(ado.count("Connection.Close"), 3) << "closed after the columns each time";
    EXPECT_TRUE(mem().messages().empty());
}

TEST_F(ChooseTable, CancelLeavesTheWindowAsItWas) {
    mem().onShow(IDD_TABLE_CHOOSER, [](MemoryWindow& c) {
        c.choose(IDC_TABLE_LIST, 0);
        c.closeBox();
    });
    show([](MemoryWindow& w, CMainDialog&) {
        w.setText(IDC_TABLE, "typed");
        w.click(IDC_CHOOSE_TABLE);
        EXPECT_EQ(w.text(IDC_TABLE), "typed");
        EXPECT_EQ(w.comboCount(IDC_FIELD_NAME), 0);
    });
    EXPECT_EQ(ado.count("Connection.Close"), 0);
    EXPECT_TRUE(mem().messages().empty());
}

TEST_F(ChooseTable, AWrongPasswordShowsTheProviderErrorsAndNoChooser) {
    ado.failOn("Connection.Open", 1);
    ado.errors = {"ORA-01017: invalid username/password", "; logon denied"};
    show([](MemoryWindow& w, CMainDialog&) { w.click(IDC_CHOOSE_TABLE); });
    const auto messages = mem().takeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ORA-01017: invalid username/password; logon denied");
    EXPECT_EQ(messages[0].icon, fw::MessageIcon::Warning);
}

TEST_F(ChooseTable, OkWithoutASelectionQueriesAnEmptyNameAndAFailureWithoutErrorsHasItsOwnText) {
    choose(-1);
    show([](MemoryWindow& w, CMainDialog&) { w.click(IDC_CHOOSE_TABLE); });
    ASSERT_EQ(ado.recordsetOpens.size(), 2u);
    EXPECT_EQ(ado.recordsetOpens[1].source, "select * from  where 0>1");
    const auto messages = mem().takeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "数据库访问失败，没有得到错误说明。");
}

TEST_F(ChooseTable, WithoutAnyConnectionObjectTheUserIsToldAndNothingChanges) {
    ado.canCreateConnection = false;
    show([](MemoryWindow& w, CMainDialog&) {
        w.setText(IDC_TABLE, "typed");
        w.click(IDC_CHOOSE_TABLE);
        EXPECT_EQ(w.text(IDC_TABLE), "typed");
    });
    const auto messages = mem().takeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "无法创建数据库连接对象，请检查ADO是否已安装。");
}

// A table list that fails ends in its failure line. Cancelled, the chooser
// leaves the window as it was; with that line chosen the provider's errors
// are shown and nothing is written back. The next lookup replaces the
// connection the failed ones left open.
TEST_F(ChooseTable, AFailingTableListEndsInItsLineAndLeavesTheWindowAsItWas) {
    ado.failOn("Recordset.MoveNext", 1);
    ado.errors = {"table or view does not exist"};
    std::vector<std::string> listed;
    mem().onShow(IDD_TABLE_CHOOSER, [](MemoryWindow& c) { c.click(fw::kIdCancel); });
    mem().onShow(IDD_TABLE_CHOOSER, [&](MemoryWindow& c) {
        for (int i = 0; i < c.listCount(IDC_TABLE_LIST); ++i) {
            listed.push_back(c.listLine(IDC_TABLE_LIST, i));
        }
        c.choose(IDC_TABLE_LIST, 1);
        c.click(fw::kIdOk);
    });
    choose(1);
    show([&](MemoryWindow& w, CMainDialog&) {
        w.setText(IDC_TABLE, "before");
        w.click(IDC_CHOOSE_TABLE);
        EXPECT_EQ(w.text(IDC_TABLE), "before");
        EXPECT_TRUE(mem().messages().empty());
        ado.failOn("Recordset.MoveNext", 1);
        w.click(IDC_CHOOSE_TABLE);
        EXPECT_EQ(w.text(IDC_TABLE), "before");
        w.click(IDC_CHOOSE_TABLE);
        EXPECT_EQ(w.text(IDC_TABLE), "EMP");
        EXPECT_EQ(w.text(IDC_FIELD_NAME), "HIREDATE");
    });
    EXPECT_EQ(listed, (std::vector<std::string>{"DEPT", "列表读取失败！"}));
    const auto messages = mem().takeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "table or view does not exist");
}

} // namespace
