// The schema lookup on the scripted ADO: what reaches ADO, in which order,
// what the receivers get, and what the user is told after a failure.
// tests/wine/choose_table_test.cpp drives the same lookup through the window.
#include "fakes/fake_ado.h"
#include "schema/lookup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;
using schema::kFailure;
using schema::kPointerError;

const std::string kTableQuery = "select tname from tab where upper(tabtype)='TABLE' order by tname";
const std::string kNoProviderError = "数据库访问失败，没有得到错误说明。";

// The status a call raised; 0 when it raised nothing.
template <typename F> schema::Status statusOf(F&& f) {
    try {
        f();
    } catch (const schema::ComError& e) {
        return e.hr();
    }
    return 0;
}

class Schema : public ::testing::Test {
protected:
    // Hands the names over to received_, logged as "got <name>".
    schema::NameReceiver receiver() {
        return [this](const std::string& name) {
            received_.push_back(name);
            ado_.log.push_back("got " + name);
        };
    }
    void openConnection() {
        schema::OpenConnection(connection_, ado_, "ORCL", "scott", "tiger");
        ado_.log.clear();
    }
    schema::Status listTables() {
        return statusOf([&] { schema::ListTables(connection_, ado_, receiver()); });
    }

    fakeado::FakeAdo ado_;
    std::shared_ptr<schema::Connection> connection_;
    Log received_;
};

TEST_F(Schema, AConnectionIsReleasedBeforeTheNextIsMadeAndOpenedWithItsStringAlone) {
    schema::OpenConnection(connection_, ado_, "", "scott", "secret pass");
    ASSERT_EQ(ado_.connectionOpens.size(), 1u);
    const fakeado::ConnectionOpen& open = ado_.connectionOpens[0];
    EXPECT_EQ(open.connectionString + "|" + open.userId + "|" + open.password + "|" + std::to_string(open.options),
              "Provider=MSDAORA;Data Source=;User ID=scott; Password=secret pass|||-1");
    ado_.log.clear();
    schema::OpenConnection(connection_, ado_, "ORCL", "scott", "tiger");
    schema::RenewConnection(connection_, ado_);
    const std::unique_ptr<schema::Recordset> columns = ado_.createRecordset();
    schema::OpenRenewedConnection(connection_, "ORCL", "scott", "tiger");
    EXPECT_EQ(ado_.log, (Log{"Connection.Release", "create Connection", "Connection.Open", "Connection.Release",
                             "create Connection", "create Recordset", "Connection.Open"}));
    EXPECT_EQ(ado_.liveObjects, 2);

    // No connection object: the member is left empty and nothing opened.
    ado_.canCreateConnection = false;
    EXPECT_EQ(statusOf([&] { schema::OpenConnection(connection_, ado_, "ORCL", "scott", "tiger"); }), kPointerError);
    EXPECT_STREQ(schema::ComError(kPointerError).what(), "COM error 0x80004003");
    EXPECT_EQ(connection_, nullptr);
    EXPECT_EQ(ado_.liveObjects, 1) << "the recordset only";
    EXPECT_EQ(ado_.connectionOpens.size(), 3u);
    EXPECT_EQ(schema::FailureMessage(connection_), "无法创建数据库连接对象，请检查ADO是否已安装。");
}

TEST_F(Schema, TablesAreHandedOverInOrderAsTheyAreReadAndTheirRecordsetReleasedOnEveryWayOut) {
    EXPECT_EQ(listTables(), kPointerError) << "no connection";
    openConnection();
    EXPECT_EQ(listTables(), kFailure) << "no result scripted for the table query";
    EXPECT_EQ(ado_.log, (Log{"create Recordset", "Recordset.Open", "Recordset.Release"}));

    ado_.queries[kTableQuery] = {{"DEPT", "EMP", "部门"}, {"TNAME"}};
    ado_.log.clear();
    EXPECT_EQ(listTables(), 0);
    EXPECT_EQ(received_, (Log{"DEPT", "EMP", "部门"}));
    EXPECT_EQ(ado_.log, (Log{"create Recordset", "Recordset.Open", "Recordset.EOF", "Recordset.Collect", "got DEPT",
                             "Recordset.MoveNext", "Recordset.EOF", "Recordset.Collect", "got EMP",
                             "Recordset.MoveNext", "Recordset.EOF", "Recordset.Collect", "got 部门",
                             "Recordset.MoveNext", "Recordset.EOF", "Recordset.Close", "Recordset.Release"}));
    const fakeado::RecordsetOpen& open = ado_.recordsetOpens.back();
    EXPECT_EQ(open.source, kTableQuery);
    EXPECT_EQ(std::vector<int>({open.cursorType, open.lockType, open.options}), std::vector<int>({-1, -1, -1}));

    // Failing half way: what was handed over stays, released without closing.
    ado_.failOn("Recordset.MoveNext", 2);
    ado_.log.clear();
    received_.clear();
    EXPECT_EQ(listTables(), kFailure);
    EXPECT_EQ(received_, (Log{"DEPT", "EMP"}));
    EXPECT_EQ(ado_.count("Recordset.Close"), 0);
    EXPECT_EQ(ado_.count("Recordset.Release"), 1);

    // No tables is no failure.
    ado_.queries[kTableQuery].rows.clear();
    ado_.log.clear();
    EXPECT_EQ(listTables(), 0);
    EXPECT_EQ(ado_.log,
              (Log{"create Recordset", "Recordset.Open", "Recordset.EOF", "Recordset.Close", "Recordset.Release"}));
    EXPECT_EQ(ado_.liveObjects, 1) << "only the connection is left";

    // A recordset that cannot be made, or lacks its interface (an empty reference).
    ado_.recordsetCreation = schema::kClassNotRegistered;
    EXPECT_EQ(listTables(), schema::kClassNotRegistered);
    ado_.recordsetCreation = schema::kNoInterface;
    EXPECT_EQ(listTables(), kPointerError);
    EXPECT_EQ(ado_.recordsetOpens.size(), 4u);
}

TEST_F(Schema, ColumnsAreHandedOverInTableOrderAndTheRecordsetStaysOpenUntilTheConnectionCloses) {
    ado_.queries["select * from EMP where 0>1"] = {{}, {"EMPNO", "ENAME", "HIREDATE", "SAL"}};
    openConnection();
    const std::unique_ptr<schema::Recordset> columns = ado_.createRecordset();
    const auto list = [&](const std::string& table) {
        return statusOf([&] { schema::ListColumns(connection_, columns.get(), table, receiver()); });
    };
    EXPECT_EQ(list(" my table "), kFailure) << "the table name goes into the query unchanged";
    ado_.log.clear();
    EXPECT_EQ(list("EMP"), 0);
    EXPECT_EQ(received_, (Log{"EMPNO", "ENAME", "HIREDATE", "SAL"}));
    // The count is read anew before every column.
    EXPECT_EQ(ado_.count("Fields.Count"), 5);
    Log namesAndReceipts;
    std::copy_if(ado_.log.begin(), ado_.log.end(), std::back_inserter(namesAndReceipts),
                 [](const std::string& e) { return e == "Field.Name" || e.rfind("got ", 0) == 0; });
    EXPECT_EQ(namesAndReceipts, (Log{"Field.Name", "got EMPNO", "Field.Name", "got ENAME", "Field.Name", "got HIREDATE",
                                     "Field.Name", "got SAL"}));
    EXPECT_EQ(ado_.recordsetOpens[0].source, "select * from  my table  where 0>1");
    EXPECT_EQ(ado_.liveObjects, 2) << "the connection and the caller's recordset";

    ado_.failOn("Field.Name", 3);
    received_.clear();
    EXPECT_EQ(list("EMP"), kFailure);
    EXPECT_EQ(received_, (Log{"EMPNO", "ENAME"}));
    EXPECT_EQ(ado_.liveObjects, 2) << "every Fields and Field object released";

    // The recordset stays open until the connection closes, and the closed
    // connection stays in the member.
    EXPECT_EQ(ado_.count("Recordset.Close"), 0);
    schema::CloseConnection(connection_);
    EXPECT_EQ(ado_.count("Connection.Close"), 1);
    EXPECT_NE(connection_, nullptr);
    EXPECT_EQ(ado_.count("Connection.Release"), 0);

    // Empty references raise E_POINTER before anything reaches ADO.
    const std::shared_ptr<schema::Connection> none;
    ado_.log.clear();
    EXPECT_EQ(statusOf([&] { schema::ListColumns(connection_, nullptr, "EMP", receiver()); }), kPointerError);
    EXPECT_EQ(statusOf([&] { schema::ListColumns(none, columns.get(), "EMP", receiver()); }), kPointerError);
    EXPECT_EQ(statusOf([&] { schema::CloseConnection(none); }), kPointerError);
    EXPECT_EQ(statusOf([&] { schema::OpenRenewedConnection(none, "ORCL", "scott", "tiger"); }), kPointerError);
    EXPECT_EQ(statusOf([&] { schema::GetProviderErrors(none); }), kPointerError);
    EXPECT_EQ(ado_.log, Log{});
}

TEST_F(Schema, ProviderErrorsAreJoinedWithoutSeparatorOrGiveTheFixedText) {
    openConnection();
    ado_.errors = {"ORA-12154: TNS:无法解析指定的连接标识符\n", "第二条"};
    EXPECT_EQ(schema::FailureMessage(connection_), "ORA-12154: TNS:无法解析指定的连接标识符\n第二条");
    ado_.errors = {};
    EXPECT_EQ(schema::GetProviderErrors(connection_), "");
    EXPECT_EQ(schema::FailureMessage(connection_), kNoProviderError);
    // An error collection that cannot be read.
    ado_.errors = {"A"};
    ado_.failOn("Connection.Errors", 1, schema::kNotImplemented);
    EXPECT_EQ(statusOf([&] { schema::GetProviderErrors(connection_); }), schema::kNotImplemented);
    ado_.failOn("Errors.Count", 1);
    EXPECT_EQ(schema::ProviderErrorText(connection_), kNoProviderError);
    ado_.failOn("Error.Description", 1);
    EXPECT_EQ(schema::FailureMessage(connection_), kNoProviderError);
    EXPECT_EQ(schema::ProviderErrorText(nullptr), kNoProviderError);
    EXPECT_EQ(ado_.liveObjects, 1);
}

} // namespace
