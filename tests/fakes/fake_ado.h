// A scripted stand-in for ADO behind the schema interface. One FakeAdo holds
// what its "provider" answers (query results, provider errors), which calls
// fail, and a log of every call in the order made, so that a test can check
// both the results and the sequence of ADO operations.
#pragma once

#include "schema/connection.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fakeado {

using schema::ComError;
using schema::Status;

constexpr Status kFail = static_cast<Status>(0x80004005u);
constexpr Status kNoInterface = static_cast<Status>(0x80004002u);
// ADO's "operation is not allowed when the object is closed".
constexpr Status kObjectClosed = static_cast<Status>(0x800A0E78u);

struct ConnectionOpen {
    std::string connectionString;
    std::string userId;
    std::string password;
    std::int32_t options;
};

struct RecordsetOpen {
    std::string source;
    schema::Connection* activeConnection;
    std::int32_t cursorType;
    std::int32_t lockType;
    std::int32_t options;
};

// What a query gives: its rows (the value of column 0 of each) and its
// column names.
struct Result {
    std::vector<std::string> rows;
    std::vector<std::string> columns;
};

class FakeAdo : public schema::Factory {
public:
    // --- script ---
    std::map<std::string, Result> queries; // by source text; others fail with kFail
    std::vector<std::string> errors;       // the descriptions in Connection.Errors
    bool canCreateConnection = true;
    // Creating a recordset fails with this status when it is a failing one;
    // with kNoInterface it gives nothing.
    Status recordsetCreation = 0;
    // The `nth` call (from 1) of `operation` from now on, as named in the
    // log, fails.
    void failOn(const std::string& operation, int nth, Status hr = kFail) {
        failures_[operation] = {calls_[operation] + nth, hr};
    }

    // --- record ---
    std::vector<std::string> log;
    std::vector<ConnectionOpen> connectionOpens;
    std::vector<RecordsetOpen> recordsetOpens;
    int liveObjects = 0;
    int count(const std::string& entry) const {
        int n = 0;
        for (const std::string& e : log) {
            n += e == entry ? 1 : 0;
        }
        return n;
    }

    // Logs `operation` and raises when the script says this call fails.
    void call(const std::string& operation) {
        log.push_back(operation);
        const int nth = ++calls_[operation];
        const auto failure = failures_.find(operation);
        if (failure != failures_.end() && failure->second.first == nth) {
            throw ComError(failure->second.second);
        }
    }

    // Connections that are open, each by the number of its open; a recordset
    // is closed with the connection it was opened on.
    std::set<int> openSessions;
    int sessions = 0;

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

class FakeErrors : public schema::Errors, Counted {
public:
    explicit FakeErrors(FakeAdo& ado) : Counted(ado, "Errors") {}
    std::int32_t count() override {
        ado_.call("Errors.Count");
        return static_cast<std::int32_t>(ado_.errors.size());
    }
    std::unique_ptr<schema::Error> item(std::int16_t index) override {
        ado_.call("Errors.Item");
        return std::make_unique<FakeItem>(ado_, "Error", ado_.errors.at(static_cast<std::size_t>(index)));
    }
};

class FakeFields : public schema::Fields, Counted {
public:
    FakeFields(FakeAdo& ado, const std::vector<std::string>& columns) : Counted(ado, "Fields"), columns_(columns) {}
    std::int32_t count() override {
        ado_.call("Fields.Count");
        return static_cast<std::int32_t>(columns_.size());
    }
    std::unique_ptr<schema::Field> item(std::int32_t index) override {
        ado_.call("Fields.Item");
        return std::make_unique<FakeItem>(ado_, "Field", columns_.at(static_cast<std::size_t>(index)));
    }

private:
    const std::vector<std::string>& columns_;
};

class FakeConnection : public schema::Connection, Counted {
public:
    explicit FakeConnection(FakeAdo& ado) : Counted(ado, "Connection") {}
    ~FakeConnection() override { ado_.openSessions.erase(session_); }
    void open(const std::string& connectionString, const std::string& userId, const std::string& password,
              std::int32_t options) override {
        ado_.connectionOpens.push_back({connectionString, userId, password, options});
        ado_.call("Connection.Open");
        ado_.openSessions.erase(session_);
        session_ = ++ado_.sessions;
        ado_.openSessions.insert(session_);
    }
    void close() override {
        ado_.call("Connection.Close");
        if (ado_.openSessions.erase(session_) == 0) {
            throw ComError(kObjectClosed);
        }
    }
    std::unique_ptr<schema::Errors> errors() override {
        ado_.call("Connection.Errors");
        return std::make_unique<FakeErrors>(ado_);
    }
    // The number of the current open; 0 when closed.
    int session() const { return ado_.openSessions.count(session_) != 0 ? session_ : 0; }

private:
    int session_ = 0;
};

class FakeRecordset : public schema::Recordset, Counted {
public:
    explicit FakeRecordset(FakeAdo& ado) : Counted(ado, "Recordset") {}
    void open(const std::string& source, schema::Connection& activeConnection, std::int32_t cursorType,
              std::int32_t lockType, std::int32_t options) override {
        ado_.recordsetOpens.push_back({source, &activeConnection, cursorType, lockType, options});
        ado_.call("Recordset.Open");
        const auto* connection = dynamic_cast<FakeConnection*>(&activeConnection);
        const auto query = ado_.queries.find(source);
        if (connection == nullptr || connection->session() == 0 || query == ado_.queries.end()) {
            throw ComError(kFail);
        }
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
        const std::vector<std::string>& rows = result().rows;
        if (index != 0 || rows.size() <= row_) {
            throw ComError(kFail);
        }
        return rows[row_];
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
        return std::make_unique<FakeFields>(ado_, result().columns);
    }

private:
    // The open query's result; open means opened, and neither the recordset
    // nor its connection closed since.
    const Result& result() const {
        if (result_ == nullptr || ado_.openSessions.count(session_) == 0) {
            throw ComError(kObjectClosed);
        }
        return *result_;
    }

    const Result* result_ = nullptr;
    int session_ = 0;
    std::size_t row_ = 0;
};

inline std::shared_ptr<schema::Connection> FakeAdo::createConnection() {
    log.push_back("create Connection");
    return canCreateConnection ? std::make_shared<FakeConnection>(*this) : nullptr;
}

inline std::unique_ptr<schema::Recordset> FakeAdo::createRecordset() {
    log.push_back("create Recordset");
    if (recordsetCreation == kNoInterface) {
        return nullptr;
    }
    if (recordsetCreation < 0) {
        throw ComError(recordsetCreation);
    }
    return std::make_unique<FakeRecordset>(*this);
}

} // namespace fakeado
