// A scripted stand-in for ADO behind the schema interface. One FakeAdo holds
// what its "provider" answers (query results, provider errors), which calls
// fail, and a log of every call in the order made, so that a test can check
// both the results and the sequence of ADO operations.
#pragma once

#include "schema/connection.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fakeado {

using schema::ComError;
using schema::Status;

// ADO's "operation is not allowed when the object is closed".
constexpr Status kObjectClosed = static_cast<Status>(0x800A0E78u);

struct ConnectionOpen {
    std::string connectionString, userId, password;
    std::int32_t options;
};

struct RecordsetOpen {
    std::string source;
    std::int32_t cursorType, lockType, options;
};

// What a query gives: its rows (the value of column 0 of each) and its
// column names.
struct Result {
    std::vector<std::string> rows, columns;
};

class FakeAdo : public schema::Factory {
public:
    // --- script ---
    std::map<std::string, Result> queries; // by source text; others fail with kFailure
    std::vector<std::string> errors;       // the descriptions in Connection.Errors
    bool canCreateConnection = true;
    // Creating a recordset fails with this status when it is a failing one;
    // with kNoInterface it gives nothing.
    Status recordsetCreation = 0;
    // The `nth` call (from 1) of `operation` from now on, as named in the
    // log, fails.
    void failOn(const std::string& operation, int nth, Status hr = schema::kFailure) {
        failures_[operation] = {calls_[operation] + nth, hr};
    }

    // --- record ---
    std::vector<std::string> log;
    std::vector<ConnectionOpen> connectionOpens;
    std::vector<RecordsetOpen> recordsetOpens;
    int liveObjects = 0;
    int count(const std::string& entry) const { return int(std::count(log.begin(), log.end(), entry)); }

    // Logs `operation` and raises when the script says this call fails.
    void call(const std::string& operation) {
        log.push_back(operation);
        const auto failure = failures_.find(operation);
        if (++calls_[operation] == (failure != failures_.end() ? failure->second.first : 0))
            throw ComError(failure->second.second);
    }

    std::shared_ptr<schema::Connection> createConnection() override;
    std::unique_ptr<schema::Recordset> createRecordset() override;

private:
    std::map<std::string, std::pair<int, Status>> failures_;
    std::map<std::string, int> calls_;
};

// Counts itself among the live objects and logs its release.
class Counted {
public:
    Counted(FakeAdo& ado, std::string name) : ado_(ado), name_(std::move(name)) { ++ado_.liveObjects; }
    virtual ~Counted() {
        --ado_.liveObjects;
        ado_.log.push_back(name_ + ".Release");
    }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;

protected:
    FakeAdo& ado_;

private:
    std::string name_;
};

// An error of Connection.Errors or a field of Recordset.Fields: one text.
class FakeItem : public schema::Error, public schema::Field, Counted {
public:
    FakeItem(FakeAdo& ado, const char* kind, std::string text) : Counted(ado, kind), text_(std::move(text)) {}
    std::string description() override {
        ado_.call("Error.Description");
        return text_;
    }
    std::string name() override {
        ado_.call("Field.Name");
        return text_;
    }

private:
    std::string text_;
};

// Connection.Errors ("Errors") or Recordset.Fields ("Fields") over `texts`.
class FakeList : public schema::Errors, public schema::Fields, Counted {
public:
    FakeList(FakeAdo& ado, const std::string& kind, const std::vector<std::string>& texts)
        : Counted(ado, kind), kind_(kind), texts_(texts) {}
    std::int32_t count() override {
        ado_.call(kind_ + ".Count");
        return static_cast<std::int32_t>(texts_.size());
    }
    std::unique_ptr<schema::Error> item(std::int16_t index) override {
        ado_.call("Errors.Item");
        return std::make_unique<FakeItem>(ado_, "Error", texts_.at(static_cast<std::size_t>(index)));
    }
    std::unique_ptr<schema::Field> item(std::int32_t index) override {
        ado_.call("Fields.Item");
        return std::make_unique<FakeItem>(ado_, "Field", texts_.at(static_cast<std::size_t>(index)));
    }

private:
    std::string kind_;
    const std::vector<std::string>& texts_;
};

// Each open of a connection has a flag of its own, shared with the
// recordsets opened on it: closing the connection closes them too.
using Session = std::shared_ptr<bool>;

class FakeConnection : public schema::Connection, Counted {
public:
    explicit FakeConnection(FakeAdo& ado) : Counted(ado, "Connection") {}
    ~FakeConnection() override { *session_ = false; }
    void open(const std::string& connectionString, const std::string& userId, const std::string& password,
              std::int32_t options) override {
        ado_.connectionOpens.push_back({connectionString, userId, password, options});
        ado_.call("Connection.Open");
        *session_ = false;
        session_ = std::make_shared<bool>(true);
    }
    void close() override {
        ado_.call("Connection.Close");
        if (!*session_)
            throw ComError(kObjectClosed);
        *session_ = false;
    }
    std::unique_ptr<schema::Errors> errors() override {
        ado_.call("Connection.Errors");
        return std::make_unique<FakeList>(ado_, "Errors", ado_.errors);
    }
    Session session() const { return session_; }

private:
    Session session_ = std::make_shared<bool>(false);
};

class FakeRecordset : public schema::Recordset, Counted {
public:
    explicit FakeRecordset(FakeAdo& ado) : Counted(ado, "Recordset") {}
    void open(const std::string& source, schema::Connection& activeConnection, std::int32_t cursorType,
              std::int32_t lockType, std::int32_t options) override {
        ado_.recordsetOpens.push_back({source, cursorType, lockType, options});
        ado_.call("Recordset.Open");
        const auto* connection = dynamic_cast<FakeConnection*>(&activeConnection);
        const auto query = ado_.queries.find(source);
        if (connection == nullptr || !*connection->session() || query == ado_.queries.end())
            throw ComError(schema::kFailure);
        result_ = &query->second;
        session_ = connection->session();
        row_ = 0;
    }
    bool eof() override {
        ado_.call("Recordset.EOF");
        return result().rows.size() <= row_;
    }
    std::string collect(std::int32_t index) override {
        ado_.call("Recordset.Collect");
        if (index != 0 || result().rows.size() <= row_)
            throw ComError(schema::kFailure);
        return result().rows[row_];
    }
    void moveNext() override {
        ado_.call("Recordset.MoveNext");
        ++row_;
    }
    void close() override {
        ado_.call("Recordset.Close");
        result();
        result_ = nullptr;
    }
    std::unique_ptr<schema::Fields> fields() override {
        ado_.call("Recordset.Fields");
        return std::make_unique<FakeList>(ado_, "Fields", result().columns);
    }

private:
    // The open query's result; open means opened, and neither the recordset
    // nor its connection closed since.
    const Result& result() const {
        if (result_ == nullptr || !*session_)
            throw ComError(kObjectClosed);
        return *result_;
    }

    const Result* result_ = nullptr;
    Session session_;
    std::size_t row_ = 0;
};

inline std::shared_ptr<schema::Connection> FakeAdo::createConnection() {
    log.push_back("create Connection");
    return canCreateConnection ? std::make_shared<FakeConnection>(*this) : nullptr;
}

inline std::unique_ptr<schema::Recordset> FakeAdo::createRecordset() {
    log.push_back("create Recordset");
    if (recordsetCreation < 0 && recordsetCreation != schema::kNoInterface)
        throw ComError(recordsetCreation);
    return recordsetCreation == 0 ? std::make_unique<FakeRecordset>(*this) : nullptr;
}

} // namespace fakeado
