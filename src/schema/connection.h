// The database objects Brennick uses, as a small interface of its own: an ADO
// connection with its error collection, a recordset with its field
// collection, and a factory that makes connections and recordsets. The real
// implementation (Windows only) goes through ADO's COM interfaces; tests use
// a scripted fake.
//
// Texts are code page 936 byte strings. Every call that fails raises a
// ComError carrying the failing status; none of them catches anything.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace schema {

// A COM status (HRESULT) as a 32-bit signed value.
using Status = std::int32_t;

// The statuses the schema layer itself raises or looks at.
constexpr Status kPointerError = static_cast<Status>(0x80004003u);       // E_POINTER
constexpr Status kFailure = static_cast<Status>(0x80004005u);            // E_FAIL
constexpr Status kNotImplemented = static_cast<Status>(0x80004001u);     // E_NOTIMPL
constexpr Status kNoInterface = static_cast<Status>(0x80004002u);        // E_NOINTERFACE
constexpr Status kClassNotRegistered = static_cast<Status>(0x80040154u); // REGDB_E_CLASSNOTREG

// ADO's "unspecified" for a connect option, cursor type, lock type or
// command type: the provider's default is used.
constexpr std::int32_t kUnspecified = -1;

// A failing COM status.
class ComError : public std::runtime_error {
public:
    explicit ComError(Status hr);
    Status hr() const { return hr_; }

private:
    Status hr_;
};

// One provider error of a connection's error collection.
class Error {
public:
    virtual ~Error() = default;
    virtual std::string description() = 0;
};

// The provider errors of the most recent failing operation on a connection.
class Errors {
public:
    virtual ~Errors() = default;
    virtual std::int32_t count() = 0;
    virtual std::unique_ptr<Error> item(std::int16_t index) = 0;
};

// One column of a recordset.
class Field {
public:
    virtual ~Field() = default;
    virtual std::string name() = 0;
};

// The columns of a recordset, in the query's column order.
class Fields {
public:
    virtual ~Fields() = default;
    virtual std::int32_t count() = 0;
    virtual std::unique_ptr<Field> item(std::int32_t index) = 0;
};

// An ADO connection object. The main window holds it as a
// std::shared_ptr<Connection>; destroying the last holder releases the object,
// which must happen while COM is still initialised on the window's thread.
class Connection {
public:
    virtual ~Connection() = default;
    virtual void open(const std::string& connectionString, const std::string& userId, const std::string& password,
                      std::int32_t options) = 0;
    virtual void close() = 0;
    virtual std::unique_ptr<Errors> errors() = 0;
};

// An ADO recordset object; destroying it releases the object.
class Recordset {
public:
    virtual ~Recordset() = default;
    // Runs `source` on `activeConnection`, which must come from the same
    // factory as this recordset.
    virtual void open(const std::string& source, Connection& activeConnection, std::int32_t cursorType,
                      std::int32_t lockType, std::int32_t options) = 0;
    virtual bool eof() = 0;
    // The value of a column of the current row, as text.
    virtual std::string collect(std::int32_t index) = 0;
    virtual void moveNext() = 0;
    virtual void close() = 0;
    virtual std::unique_ptr<Fields> fields() = 0;
};

// Makes ADO objects.
class Factory {
public:
    virtual ~Factory() = default;
    // A new connection object, or nothing when none can be made (the status
    // of the creation is not reported).
    virtual std::shared_ptr<Connection> createConnection() = 0;
    // A new recordset object. Raises on a failing creation, except when the
    // object made lacks the recordset interface: then nothing is returned.
    virtual std::unique_ptr<Recordset> createRecordset() = 0;
};

// The system's ADO: its COM objects (Windows only).
Factory& systemFactory();

} // namespace schema
