// The schema lookup: the connection to the database named in the load
// definition, the list of the user's tables, a table's columns, and the text
// that tells the user why the database could not be reached. Nothing here
// needs a window: inputs come as arguments and results go to the caller.
//
// Every operation raises the ComError of the first failing call and catches
// nothing; the caller shows FailureMessage() (or ProviderErrorText()) instead
// of the status.
#pragma once

#include "schema/connection.h"

#include <functional>
#include <memory>
#include <string>

namespace schema {

// Takes each name as soon as it has been read.
using NameReceiver = std::function<void(const std::string& name)>;

// Shown when a failure left no provider error to report, or the provider's
// errors could not be read.
extern const char* const kNoProviderErrorMessage;
// Shown when no connection object could be made at all (ADO is missing).
extern const char* const kNoConnectionObjectMessage;

// "Provider=MSDAORA;Data Source=<db>;User ID=<user>; Password=<pwd>", the
// values exactly as given.
std::string BuildConnectionString(const std::string& databaseName, const std::string& userName,
                                  const std::string& password);

// Releases the object `connection` holds and puts a new one from `ado` in
// its place; the member stays empty when none can be made. This is the first
// half of OpenConnection, for a caller that makes other objects before
// opening.
void RenewConnection(std::shared_ptr<Connection>& connection, Factory& ado);

// Opens the connection `connection` holds with the connection string of the
// three values. User name and password reach the provider only inside the
// connection string. Raises kPointerError on an empty member.
void OpenRenewedConnection(const std::shared_ptr<Connection>& connection, const std::string& databaseName,
                           const std::string& userName, const std::string& password);

// RenewConnection, then OpenRenewedConnection: afterwards `connection` holds
// a new, open connection. When no object could be made the member is empty
// and kPointerError is raised.
void OpenConnection(std::shared_ptr<Connection>& connection, Factory& ado, const std::string& databaseName,
                    const std::string& userName, const std::string& password);

// Hands the names of the connected user's tables to `receiver` in the
// query's order. The query runs in a recordset of its own, closed and
// released at the end; after a failure it is released without closing, and
// the names already handed over stay with the receiver.
void ListTables(const std::shared_ptr<Connection>& connection, Factory& ado, const NameReceiver& receiver);

// Hands the column names of `tableName` (put into the query exactly as
// given) to `receiver` in the table's column order. Runs the query in the
// caller's `recordset` and leaves it open: closing the connection closes it.
void ListColumns(const std::shared_ptr<Connection>& connection, Recordset* recordset, const std::string& tableName,
                 const NameReceiver& receiver);

// Closes the connection; the object stays in the member.
void CloseConnection(const std::shared_ptr<Connection>& connection);

// The descriptions of the connection's provider errors, joined without a
// separator; empty when there is none. Holds a reference of its own to the
// connection for the time of the call.
std::string GetProviderErrors(std::shared_ptr<Connection> connection);

// The provider's error text for the user, or kNoProviderErrorMessage when
// that text is empty or the errors cannot be read. Raises nothing.
std::string ProviderErrorText(const std::shared_ptr<Connection>& connection);

// What to tell the user after a ComError from the operations above:
// kNoConnectionObjectMessage when `connection` is empty (no object could be
// made), ProviderErrorText() otherwise. Raises nothing.
std::string FailureMessage(const std::shared_ptr<Connection>& connection);

} // namespace schema
