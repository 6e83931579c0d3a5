// What the Windows build adds to the schema interface.
#pragma once

#include "schema/connection.h"
#include "schema/win32/ado_interfaces.h"

namespace schema {

// The ADO object behind a connection that systemFactory() made, without a
// reference of its own; null for any other connection.
ado::IAdoConnection* adoConnection(Connection& connection);

} // namespace schema
