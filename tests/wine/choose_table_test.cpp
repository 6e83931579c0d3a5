// The choose-table command on the real window, over a scripted ADO and over
// Wine's real ADO to an SQLite database.
#include "fakes/fake_ado.h"
#include "schema/win32/ado.h"
#include "wine/main_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <imm.h>
#include <objbase.h>
#include <windows.h>

namespace winetest {
namespace {

bool comInitialised() {
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    return CoGetApartmentType(&type, &qualifier) == S_OK;
}

// The scripted ADO; its connections count their releases after COM ended.
struct ComCheckedAdo : fakeado::FakeAdo {
    int releasedWithoutCom = 0;
    std::shared_ptr<schema::Connection> createConnection() override {
        const std::shared_ptr<schema::Connection> made = FakeAdo::createConnection();
        const auto release = [this, made](schema::Connection*) { releasedWithoutCom += comInitialised() ? 0 : 1; };
        return made ? std::shared_ptr<schema::Connection>(made.get(), release) : made;
    }
};

// No database work with a field name too long for the read; Cancel changes
// nothing; a failing table list ends in its failure line, which fails as a
// table; a failed open shows the provider's errors and no chooser. The chosen
// table brings its columns; the window releases the connection, then COM.
TEST_F(MainWindow, ChooseTableListsTablesBringsTheColumnsAndReportsTheFailures) {
    ComCheckedAdo ado;
    ado.queries["select tname from tab where upper(tabtype)='TABLE' order by tname"] = {{"DEPT", "EMP"}, {"TNAME"}};
    ado.queries["select * from EMP where 0>1"] = {{}, {"EMPNO", "ENAME", "HIREDATE"}};
    std::vector<std::vector<std::string>> listed;
    // The next chooser: its lines noted, a line (-1: none) chosen, a button.
    const auto chooser = [&listed](int line, int button) {
        onNextDialog([&listed, line, button](User& c) {
            listed.push_back(listLines(c.dialog(), IDC_TABLE_LIST));
            if (line >= 0) {
                c.choose(IDC_TABLE_LIST, line);
            }
            c.click(button);
        });
    };
    // On a thread of its own without an input method: Wine's holds COM on a
    // thread with windows, which would hide the order of the window's steps.
    std::thread([&] {
        ImmDisableIME(GetCurrentThreadId());
        show(
            [&](HWND dialog, CMainDialog&, User& user) {
                SetDlgItemTextA(dialog, IDC_TABLE, "typed");
                SetDlgItemTextA(dialog, IDC_PASSWORD, "p w@d;\xD6\xD0");
                chooser(0, IDCANCEL);
                SetDlgItemTextA(dialog, IDC_FIELD_NAME, std::string(31, 'x').c_str());
                user.click(IDC_CHOOSE_TABLE);
                ASSERT_TRUE(ado.log.empty()) << "no database work";
                SetDlgItemTextA(dialog, IDC_FIELD_NAME, "");
                user.click(IDC_CHOOSE_TABLE);
                ado.failOn("Recordset.MoveNext", 1);
                ado.errors = {"table or view does not exist"};
                chooser(1, IDOK);
                user.click(IDC_CHOOSE_TABLE);
                EXPECT_EQ(itemText(dialog, IDC_TABLE), "typed");
                EXPECT_TRUE(listLines(dialog, IDC_FIELD_NAME).empty());

                ado.failOn("Connection.Open", 1);
                ado.errors = {"ORA-01017: invalid username/password", "; logon denied"};
                chooser(-1, IDCANCEL);
                user.click(IDC_CHOOSE_TABLE);
                ado.canCreateConnection = false;
                user.click(IDC_CHOOSE_TABLE);
                fw::setAfterInitHook(nullptr);
                EXPECT_EQ(itemText(dialog, IDC_TABLE), "typed");

                ado.canCreateConnection = true;
                chooser(1, IDOK);
                user.click(IDC_CHOOSE_TABLE);
                EXPECT_EQ(itemText(dialog, IDC_TABLE), "EMP");
                EXPECT_EQ(listLines(dialog, IDC_FIELD_NAME), (std::vector<std::string>{"EMPNO", "ENAME", "HIREDATE"}));
                EXPECT_EQ(itemText(dialog, IDC_FIELD_NAME), "HIREDATE") << "the last column in the table's order";
            },
            ado);
        EXPECT_FALSE(comInitialised()) << "the window ends COM";
    }).join();
    EXPECT_EQ(listed,
              (std::vector<std::vector<std::string>>{{"DEPT", "EMP"}, {"DEPT", "列表读取失败！"}, {"DEPT", "EMP"}}));
    EXPECT_EQ(ado.connectionOpens.back().connectionString,
              "Provider=MSDAORA;Data Source=dbname;User ID=user; Password=p w@d;\xD6\xD0");
    EXPECT_EQ(ado.connectionOpens.back().userId + ado.connectionOpens.back().password, "");
    EXPECT_EQ(ado.count("Connection.Close"), 1) << "closed after the columns only";
    EXPECT_EQ(ado.liveObjects, 0);
    EXPECT_EQ(ado.releasedWithoutCom, 0);
    expectMessages({{"请输入不超过 30 个字符。", true},
                    {"table or view does not exist", true},
                    {"ORA-01017: invalid username/password; logon denied", true},
                    {"无法创建数据库连接对象，请检查ADO是否已安装。", true}});
}

// Against the test database that Wine's ADO reaches through ODBC, in code
// page 936. A data source it does not know is reported and changes nothing.
// Wine's ADO gives no rows, so the chooser opens empty, and a line put into
// it is chosen with the mouse: a table that does not exist is reported, a
// real one brings its columns in the table's order. The window lets go of
// every reference to the connection it took.
TEST_F(MainWindow, ChooseTableOverWinesAdoBringsTheRealColumns) {
    ASSERT_EQ(GetACP(), 936u) << "the test needs code page 936 (LANG=zh_CN.UTF-8)";
    schema::ado::IAdoConnection* object = nullptr;
    show([&](HWND dialog, CMainDialog& d, User& user) {
        SetDlgItemTextA(dialog, IDC_DATABASE, "NO_SUCH_SOURCE");
        user.type(IDC_TABLE, "DEPT");
        user.click(IDC_CHOOSE_TABLE);
        EXPECT_EQ(itemText(dialog, IDC_TABLE), "DEPT");
        SetDlgItemTextA(dialog, IDC_DATABASE, "BRENNICK_DB");
        for (const std::string table : {"NO_SUCH_TABLE", "\xB2\xBF\xC3\xC5", "EMP"}) { // "部门"
            onNextDialog([&](User& chooser) {
                EXPECT_EQ(GetWindow(chooser.dialog(), GW_OWNER), dialog);
                EXPECT_EQ(fw::windowText(chooser.dialog()), "选择表名");
                EXPECT_TRUE(listLines(chooser.dialog(), IDC_TABLE_LIST).empty());
                SendDlgItemMessageA(chooser.dialog(), IDC_TABLE_LIST, LB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(table.c_str()));
                chooser.choose(IDC_TABLE_LIST, 0);
                chooser.click(IDOK);
            });
            user.click(IDC_CHOOSE_TABLE);
        }
        EXPECT_EQ(itemText(dialog, IDC_TABLE), "EMP");
        EXPECT_EQ(itemText(dialog, IDC_FIELD_NAME), "SAL") << "the last column in the table's order";
        // The box sorts its entries.
        EXPECT_EQ(listLines(dialog, IDC_FIELD_NAME),
                  (std::vector<std::string>{"EMPNO", "ENAME", "HIREDATE", "SAL", "编号", "名称"}));
        object = schema::adoConnection(*d.connection);
        object->AddRef();
    });
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->Release(), 0u) << "the window holds no reference any more";
    expectMessages({{"数据库访问失败，没有得到错误说明。", true}, {"数据库访问失败，没有得到错误说明。", true}});
}

} // namespace
} // namespace winetest
