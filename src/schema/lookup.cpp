#include "schema/lookup.h"

#include <cinttypes>
#include <cstdio>

namespace schema {

namespace {

std::string statusText(Status hr) {
    char text[32];
    std::snprintf(text, sizeof text, "COM error 0x%08" PRIX32, static_cast<std::uint32_t>(hr));
    return text;
}

// The object behind a reference, or kPointerError for an empty one.
template <typename T> T& use(T* object) {
    if (object == nullptr) {
        throw ComError(kPointerError);
    }
    return *object;
}

const char* const kTableQuery = "select tname from tab where upper(tabtype)='TABLE' order by tname";

std::string columnQuery(const std::string& tableName) {
    return "select * from " + tableName + " where 0>1";
}

} // namespace

ComError::ComError(Status hr) : std::runtime_error(statusText(hr)), hr_(hr) {}

const char* const kNoProviderErrorMessage = "数据库访问失败，没有得到错误说明。";
const char* const kNoConnectionObjectMessage = "无法创建数据库连接对象，请检查ADO是否已安装。";

std::string BuildConnectionString(const std::string& databaseName, const std::string& userName,
                                  const std::string& password) {
    return "Provider=MSDAORA;Data Source=" + databaseName + ";User ID=" + userName + "; Password=" + password;
}

void RenewConnection(std::shared_ptr<Connection>& connection, Factory& ado) {
    connection.reset();
    connection = ado.createConnection();
}

void OpenRenewedConnection(const std::shared_ptr<Connection>& connection, const std::string& databaseName,
                           const std::string& userName, const std::string& password) {
    const std::string connectionString = BuildConnectionString(databaseName, userName, password);
    use(connection.get()).open(connectionString, std::string(), std::string(), kUnspecified);
}

void OpenConnection(std::shared_ptr<Connection>& connection, Factory& ado, const std::string& databaseName,
                    const std::string& userName, const std::string& password) {
    RenewConnection(connection, ado);
    OpenRenewedConnection(connection, databaseName, userName, password);
}

void ListTables(const std::shared_ptr<Connection>& connection, Factory& ado, const NameReceiver& receiver) {
    // Released on every way out; closed only when all rows were read.
    const std::unique_ptr<Recordset> recordset = ado.createRecordset();
    Recordset& rows = use(recordset.get());
    rows.open(kTableQuery, use(connection.get()), kUnspecified, kUnspecified, kUnspecified);
    while (!rows.eof()) {
        receiver(rows.collect(0));
        rows.moveNext();
    }
    rows.close();
}

void ListColumns(const std::shared_ptr<Connection>& connection, Recordset* recordset, const std::string& tableName,
                 const NameReceiver& receiver) {
    Recordset& columns = use(recordset);
    columns.open(columnQuery(tableName), use(connection.get()), kUnspecified, kUnspecified, kUnspecified);
    for (std::int32_t i = 0;; ++i) {
        const std::unique_ptr<Fields> fields = columns.fields();
        if (i >= use(fields.get()).count()) {
            break;
        }
        const std::unique_ptr<Field> field = fields->item(i);
        receiver(use(field.get()).name());
    }
}

void CloseConnection(const std::shared_ptr<Connection>& connection) {
    use(connection.get()).close();
}

std::string GetProviderErrors(std::shared_ptr<Connection> connection) {
    const std::unique_ptr<Errors> errors = use(connection.get()).errors();
    const std::int32_t count = use(errors.get()).count();
    std::string text;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::unique_ptr<Error> error = errors->item(static_cast<std::int16_t>(i));
        text += use(error.get()).description();
    }
    return text;
}

std::string ProviderErrorText(const std::shared_ptr<Connection>& connection) {
    try {
        std::string text = GetProviderErrors(connection);
        if (!text.empty()) {
            return text;
        }
    } catch (const ComError&) {
        // Under Wine, for one, the error collection is not implemented.
    }
    return kNoProviderErrorMessage;
}

std::string FailureMessage(const std::shared_ptr<Connection>& connection) {
    return connection ? ProviderErrorText(connection) : kNoConnectionObjectMessage;
}

} // namespace schema
