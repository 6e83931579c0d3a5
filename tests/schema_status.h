// The status of the COM error a call raised, for tests of the schema layer.
#pragma once

#include "schema/connection.h"

#include <cstdint>

namespace schematest {

// The status a call raised; 0 when it raised nothing.
template <typename F> std::int32_t statusOf(F&& f) {
    try {
        f();
    } catch (const schema::ComError& e) {
        return e.hr();
    }
    return 0;
}

} // namespace schematest
