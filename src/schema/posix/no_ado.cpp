// The native build has no ADO: no connection object can be made, and making
// a recordset fails as it does on Windows when ADO is not registered.
#include "schema/connection.h"

namespace schema {

namespace {

class NoAdo : public Factory {
public:
    std::shared_ptr<Connection> createConnection() override { return nullptr; }
    std::unique_ptr<Recordset> createRecordset() override { throw ComError(kClassNotRegistered); }
};

} // namespace

Factory& systemFactory() {
    static NoAdo factory;
    return factory;
}

} // namespace schema
