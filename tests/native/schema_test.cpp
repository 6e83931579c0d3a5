// The schema lookup on the scripted ADO: what reaches ADO, in which order,
// what the receivers get, and what the user is told after a failure.
#include "fakes/fake_ado.h"
#include "schema/lookup.h"

#include "schema_status.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using fakeado::FakeAdo;
using schema::ComError;

constexpr std::int32_t kEPointer = static_cast<std::int32_t>(0x80004003u);
constexpr std::int32_t kEFail = static_cast<std::int32_t>(0x80004005u);
constexpr std::int32_t kENotImpl = static_cast<std::int32_t>(0x80004001u);

const std::string kTableQuery = "select tname from tab where upper(tabtype)='TABLE' order by tname";
const std::string kNoProviderError = "数据库访问失败，没有得到错误说明。";
const std::string kNoAdo = "无法创建数据库连接对象，请检查ADO是否已安装。";

using schematest::statusOf;

TEST(SchemaConnectionString, PiecesAreJoinedExactlyAsGiven) {
    EXPECT_EQ(schema::BuildConnectionString("ORCL", "scott", "tiger"),
              "Provider=MSDAORA;Data Source=ORCL;User ID=scott; Password=tiger");
    EXPECT_EQ(schema::BuildConnectionString("", "scott", "tiger"),
              "Provider=MSDAORA;Data Source=;User ID=scott; Password=tiger");
    EXPECT_EQ(schema::BuildConnectionString("", "", ""), "Provider=MSDAORA;Data Source=;User ID=; Password=");
    // Blanks, '@', ';' and double-byte characters stay as they are: nothing
    // is trimmed, quoted or escaped.
    EXPECT_EQ(schema::BuildConnectionString(" db@host ", " 用户 ", " p@ss; w=rd 口令 "),
              "Provider=MSDAORA;Data Source= db@host ;User ID= 用户 ; Password= p@ss; w=rd 口令 ");
    // "口令" in code page 936, and a character whose second byte is ';'.
    EXPECT_EQ(schema::BuildConnectionString("D", "U", "\xBF\xDA\xC1\xEE\x81;"),
              std::string("Provider=MSDAORA;Data Source=D;User ID=U; Password=\xBF\xDA\xC1\xEE\x81;"));
}

class Schema : public ::testing::Test {
protected:
    std::vector<std::string> received_;
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

    FakeAdo ado_;
    std::shared_ptr<schema::Connection> connection_;
};

TEST_F(Schema, OpenPassesTheConnectionStringAndReleasesTheOldConnectionBeforeMakingTheNextOne) {
    schema::OpenConnection(connection_, ado_, "", "scott", "secret pass");
    ASSERT_NE(connection_, nullptr);
    ASSERT_EQ(ado_.connectionOpens.size(), 1u);
    const fakeado::ConnectionOpen& open = ado_.connectionOpens[0];
    EXPECT_EQ(open.connectionString, "Provider=MSDAORA;Data Source=;User ID=scott; Password=secret pass");
    EXPECT_EQ(open.userId, "");
    EXPECT_EQ(open.password, "");
    EXPECT_EQ(open.options, -1);

    ado_.log.clear();
    schema::OpenConnection(connection_, ado_, "ORCL", "scott", "tiger");
    EXPECT_EQ(ado_.liveObjects, 1);
    EXPECT_EQ(ado_.log, (std::vector<std::string>{"Connection.Release", "create Connection", "Connection.Open"}));
}

TEST_F(Schema, NoConnectionObjectLeavesTheMemberEmptyAndRaisesEPointer) {
    openConnection();
    ado_.canCreateConnection = false;
    try {
        schema::OpenConnection(connection_, ado_, "ORCL", "scott", "tiger");
        FAIL() << "no error raised";
    } catch (const ComError& e) {
        EXPECT_EQ(e.hr(), kEPointer);
        EXPECT_STREQ(e.what(), "COM error 0x80004003");
    }
    EXPECT_EQ(connection_, nullptr);
    EXPECT_EQ(ado_.liveObjects, 0);
    EXPECT_EQ(ado_.connectionOpens.size(), 1u) << "the open is not attempted without an object";
    EXPECT_EQ(schema::FailureMessage(connection_), kNoAdo);
}

TEST_F(Schema, RenewThenOpenFollowsTheCommandsOrder) {
    openConnection();
    schema::RenewConnection(connection_, ado_);
    const std::unique_ptr<schema::Recordset> columns = ado_.createRecordset();
    schema::OpenRenewedConnection(connection_, "ORCL", "scott", "tiger");
    EXPECT_EQ(ado_.log, (std::vector<std::string>{"Connection.Release", "create Connection", "create Recordset",
                                                  "Connection.Open"}));
}

TEST_F(Schema, TablesAreHandedOverInOrderAsTheyAreRead) {
    ado_.queries[kTableQuery] = {{"DEPT", "EMP", "部门"}, {"TNAME"}};
    openConnection();
    schema::ListTables(connection_, ado_, receiver());
    EXPECT_EQ(received_, (std::vector<std::string>{"DEPT", "EMP", "部门"}));
    EXPECT_EQ(ado_.log, (std::vector<std::string>{
                            "create Recordset", "Recordset.Open", "Recordset.EOF", "Recordset.Collect", "got DEPT",
                            "Recordset.MoveNext", "Recordset.EOF", "Recordset.Collect", "got EMP", "Recordset.MoveNext",
                            "Recordset.EOF", "Recordset.Collect", "got 部门", "Recordset.MoveNext", "Recordset.EOF",
                            "Recordset.Close", "Recordset.Release"}));
    ASSERT_EQ(ado_.recordsetOpens.size(), 1u);
    const fakeado::RecordsetOpen& open = ado_.recordsetOpens[0];
    EXPECT_EQ(open.source, "select tname from tab where upper(tabtype)='TABLE' order by tname");
    EXPECT_EQ(open.activeConnection, connection_.get());
    EXPECT_EQ(open.cursorType, -1);
    EXPECT_EQ(open.lockType, -1);
    EXPECT_EQ(open.options, -1);
    EXPECT_EQ(ado_.liveObjects, 1) << "only the connection is left";

    // No tables is no failure.
    ado_.queries[kTableQuery].rows.clear();
    received_.clear();
    ado_.log.clear();
    EXPECT_EQ(statusOf([&] { schema::ListTables(connection_, ado_, receiver()); }), 0);
    EXPECT_TRUE(received_.empty());
    EXPECT_EQ(ado_.log, (std::vector<std::string>{"create Recordset", "Recordset.Open", "Recordset.EOF",
                                                  "Recordset.Close", "Recordset.Release"}));
}

TEST_F(Schema, AFailingTableListReleasesItsRecordsetAndKeepsWhatWasHandedOver) {
    openConnection(); // no result scripted for the table query: it fails
    EXPECT_EQ(statusOf([&] { schema::ListTables(connection_, ado_, receiver()); }), kEFail);
    EXPECT_EQ(ado_.log, (std::vector<std::string>{"create Recordset", "Recordset.Open", "Recordset.Release"}));

    ado_.queries[kTableQuery] = {{"A", "B", "C"}, {"TNAME"}};
    ado_.failOn("Recordset.MoveNext", 2);
    ado_.log.clear();
    EXPECT_EQ(statusOf([&] { schema::ListTables(connection_, ado_, receiver()); }), kEFail);
    EXPECT_EQ(received_, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(ado_.count("Recordset.Close"), 0) << "released without closing";
    EXPECT_EQ(ado_.count("Recordset.Release"), 1);
    EXPECT_EQ(ado_.liveObjects, 1);
}

TEST_F(Schema, TableListNeedsAConnectionAndARecordset) {
    EXPECT_EQ(statusOf([&] { schema::ListTables(connection_, ado_, receiver()); }), kEPointer);
    openConnection();
    ado_.recordsetCreation = static_cast<std::int32_t>(0x80040154u);
    EXPECT_EQ(statusOf([&] { schema::ListTables(connection_, ado_, receiver()); }),
              static_cast<std::int32_t>(0x80040154u));
    // An object without the recordset interface is an empty reference.
    ado_.recordsetCreation = static_cast<std::int32_t>(0x80004002u);
    EXPECT_EQ(statusOf([&] { schema::ListTables(connection_, ado_, receiver()); }), kEPointer);
    EXPECT_TRUE(received_.empty());
    EXPECT_EQ(ado_.count("Recordset.Open"), 0);
}

class SchemaColumns : public Schema {
protected:
    void SetUp() override {
        ado_.queries["select * from EMP where 0>1"] = {{}, {"EMPNO", "ENAME", "HIREDATE", "SAL"}};
        openConnection();
        columns_ = ado_.createRecordset();
        ado_.log.clear();
    }
    std::unique_ptr<schema::Recordset> columns_;
};

TEST_F(SchemaColumns, ColumnsAreHandedOverInTableOrderAsTheyAreRead) {
    schema::ListColumns(connection_, columns_.get(), "EMP", receiver());
    EXPECT_EQ(received_, (std::vector<std::string>{"EMPNO", "ENAME", "HIREDATE", "SAL"}));
    // The count is read anew before every column.
    EXPECT_EQ(ado_.count("Fields.Count"), 5);
    std::vector<std::string> namesAndReceipts;
    for (const std::string& entry : ado_.log) {
        if (entry == "Field.Name" || entry.rfind("got ", 0) == 0) {
            namesAndReceipts.push_back(entry);
        }
    }
    EXPECT_EQ(namesAndReceipts, (std::vector<std::string>{"Field.Name", "got EMPNO", "Field.Name", "got ENAME",
                                                          "Field.Name", "got HIREDATE", "Field.Name", "got SAL"}));
    ASSERT_EQ(ado_.recordsetOpens.size(), 1u);
    EXPECT_EQ(ado_.recordsetOpens[0].activeConnection, connection_.get());
    EXPECT_EQ(ado_.recordsetOpens[0].cursorType, -1);
    EXPECT_EQ(ado_.recordsetOpens[0].lockType, -1);
    EXPECT_EQ(ado_.recordsetOpens[0].options, -1);
    EXPECT_EQ(ado_.liveObjects, 2) << "the connection and the caller's recordset";
}

TEST_F(SchemaColumns, TheTableNameGoesIntoTheQueryUnchanged) {
    for (const std::string name : {"emp", " my table ", "", "部门"}) {
        EXPECT_EQ(statusOf([&] { schema::ListColumns(connection_, columns_.get(), name, receiver()); }), kEFail);
    }
    ASSERT_EQ(ado_.recordsetOpens.size(), 4u);
    EXPECT_EQ(ado_.recordsetOpens[0].source, "select * from emp where 0>1");
    EXPECT_EQ(ado_.recordsetOpens[1].source, "select * from  my table  where 0>1");
    EXPECT_EQ(ado_.recordsetOpens[2].source, "select * from  where 0>1");
    EXPECT_EQ(ado_.recordsetOpens[3].source, "select * from 部门 where 0>1");
    EXPECT_TRUE(received_.empty());
}

TEST_F(SchemaColumns, ColumnListFailingHalfWayKeepsWhatWasHandedOver) {
    ado_.failOn("Field.Name", 3);
    EXPECT_EQ(statusOf([&] { schema::ListColumns(connection_, columns_.get(), "EMP", receiver()); }), kEFail);
    EXPECT_EQ(received_, (std::vector<std::string>{"EMPNO", "ENAME"}));
    EXPECT_EQ(ado_.liveObjects, 2) << "every Fields and Field object released";
}

TEST_F(SchemaColumns, TheRecordsetStaysOpenUntilTheConnectionCloses) {
    schema::ListColumns(connection_, columns_.get(), "EMP", receiver());
    EXPECT_EQ(ado_.count("Recordset.Close"), 0);
    EXPECT_NO_THROW(columns_->fields());
    schema::CloseConnection(connection_);
    EXPECT_EQ(statusOf([&] { columns_->fields(); }), static_cast<std::int32_t>(0x800A0E78u));
    EXPECT_NE(connection_, nullptr) << "the closed object stays in the member";
    EXPECT_EQ(ado_.count("Connection.Release"), 0);
}

TEST_F(SchemaColumns, EmptyReferencesRaiseEPointer) {
    EXPECT_EQ(statusOf([&] { schema::ListColumns(connection_, nullptr, "EMP", receiver()); }), kEPointer);
    const std::shared_ptr<schema::Connection> none;
    EXPECT_EQ(statusOf([&] { schema::ListColumns(none, columns_.get(), "EMP", receiver()); }), kEPointer);
    EXPECT_EQ(statusOf([&] { schema::CloseConnection(none); }), kEPointer);
    EXPECT_EQ(statusOf([&] { schema::OpenRenewedConnection(none, "ORCL", "scott", "tiger"); }), kEPointer);
    EXPECT_EQ(statusOf([&] { schema::GetProviderErrors(none); }), kEPointer);
    EXPECT_TRUE(ado_.log.empty()) << "nothing reached ADO";
}

TEST_F(Schema, ProviderErrorsAreJoinedWithoutSeparatorOrGiveTheFixedText) {
    openConnection();
    ado_.errors = {"ORA-12154: TNS:无法解析指定的连接标识符\n", "第二条"};
    const std::string joined = "ORA-12154: TNS:无法解析指定的连接标识符\n第二条";
    EXPECT_EQ(schema::GetProviderErrors(connection_), joined);
    EXPECT_EQ(schema::ProviderErrorText(connection_), joined);
    EXPECT_EQ(schema::FailureMessage(connection_), joined);

    ado_.errors = {};
    EXPECT_EQ(schema::GetProviderErrors(connection_), "");
    EXPECT_EQ(schema::ProviderErrorText(connection_), kNoProviderError);
    EXPECT_EQ(schema::FailureMessage(connection_), kNoProviderError);

    // An error collection that cannot be read.
    ado_.errors = {"A"};
    ado_.failOn("Connection.Errors", 1, kENotImpl);
    EXPECT_EQ(statusOf([&] { schema::GetProviderErrors(connection_); }), kENotImpl);
    ado_.failOn("Errors.Count", 1);
    EXPECT_EQ(schema::ProviderErrorText(connection_), kNoProviderError);
    ado_.failOn("Error.Description", 1);
    EXPECT_EQ(schema::FailureMessage(connection_), kNoProviderError);
    EXPECT_EQ(schema::ProviderErrorText(nullptr), kNoProviderError);
    EXPECT_EQ(ado_.liveObjects, 1);
}

} // namespace
