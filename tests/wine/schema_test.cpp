// The schema lookup on Wine's real ADO, against an SQLite database that
// scripts/wine-odbc.sh puts behind "Provider=MSDAORA;Data Source=BRENNICK_DB"
// (the provider name mapped to Wine's OLE DB provider for ODBC). Wine's ADO
// reads no rows and has no error collection; the column descriptions, the
// opens and their failures are real.
#include "schema/lookup.h"
#include "schema/win32/ado.h"

#include "schema_status.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <objbase.h>

namespace {

const char* const kDataSource = "BRENNICK_DB";

using schematest::statusOf;

class SchemaOnWine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr))); }
    // Every ADO object of a test is gone by then (the members are reset
    // in the test body).
    void TearDown() override { ::CoUninitialize(); }

    schema::NameReceiver receiver() {
        return [this](const std::string& name) { received_.push_back(name); };
    }
    void open() {
        ASSERT_EQ(statusOf([&] { schema::OpenConnection(connection_, ado_, kDataSource, "scott", "tiger"); }), 0);
    }

    schema::Factory& ado_ = schema::systemFactory();
    std::shared_ptr<schema::Connection> connection_;
    std::vector<std::string> received_;
};

TEST_F(SchemaOnWine, DoubleByteNamesCrossAdoInCodePage936) {
    ASSERT_EQ(::GetACP(), 936u) << "the test needs code page 936 (LANG=zh_CN.UTF-8)";
    open();
    std::unique_ptr<schema::Recordset> columns = ado_.createRecordset();
    schema::ListColumns(connection_, columns.get(), "部门", receiver());
    // "编号" and "名称" in code page 936.
    EXPECT_EQ(received_, (std::vector<std::string>{"\xB1\xE0\xBA\xC5", "\xC3\xFB\xB3\xC6"}));
    columns.reset();
    connection_.reset();
}

TEST_F(SchemaOnWine, UnknownTableFailsAndTheNextTablesColumnsComeInItsOrder) {
    open();
    std::unique_ptr<schema::Recordset> columns = ado_.createRecordset();
    EXPECT_LT(statusOf([&] { schema::ListColumns(connection_, columns.get(), "NO_SUCH_TABLE", receiver()); }), 0);
    EXPECT_TRUE(received_.empty());
    std::unique_ptr<schema::Recordset> next = ado_.createRecordset();
    schema::ListColumns(connection_, next.get(), "EMP", receiver());
    EXPECT_EQ(received_, (std::vector<std::string>{"EMPNO", "ENAME", "HIREDATE", "SAL"}));
    schema::CloseConnection(connection_);
    columns.reset();
    next.reset();
    connection_.reset();
}

TEST_F(SchemaOnWine, TableQueryRunsAndEveryReferenceIsReleasedBeforeComEnds) {
    open();
    // A reference of the test's own: when the lookup has let go of all of
    // its own, releasing this one ends the object.
    schema::ado::IAdoConnection* object = schema::adoConnection(*connection_);
    ASSERT_NE(object, nullptr);
    object->AddRef();
    {
        // Wine's recordsets deliver no rows (EOF at once); whatever a
        // provider delivers is one of the tables, in name order.
        EXPECT_EQ(statusOf([&] { schema::ListTables(connection_, ado_, receiver()); }), 0);
        const std::vector<std::string> tables{"DEPT", "EMP", "\xB2\xBF\xC3\xC5"};
        for (const std::string& name : received_) {
            EXPECT_NE(std::find(tables.begin(), tables.end(), name), tables.end()) << name;
        }
        EXPECT_TRUE(std::is_sorted(received_.begin(), received_.end()));
        std::unique_ptr<schema::Recordset> columns = ado_.createRecordset();
        schema::ListColumns(connection_, columns.get(), "EMP", receiver());
        EXPECT_LT(statusOf([&] { schema::ListColumns(connection_, columns.get(), "NO_SUCH_TABLE", receiver()); }), 0);
        EXPECT_EQ(schema::FailureMessage(connection_), "数据库访问失败，没有得到错误说明。");
        schema::CloseConnection(connection_);
    }
    connection_.reset();
    EXPECT_EQ(object->Release(), 0u);
}

} // namespace
