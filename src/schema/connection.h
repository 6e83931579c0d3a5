// The database connection the main window holds.
#pragma once

namespace schema {

// A counted reference to an ADO connection object is held as a
// std::shared_ptr<Connection>; the object must be released while COM is still
// initialised on the window's thread.
class Connection {
public:
    virtual ~Connection() = default;
};

} // namespace schema
