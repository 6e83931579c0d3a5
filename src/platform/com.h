// COM for the calling thread (a single-threaded apartment). Where there is
// no COM (the native build) both are no-ops.
#pragma once

namespace platform {

void comInitialize();
void comUninitialize();

} // namespace platform
