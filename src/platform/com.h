// COM for the calling thread (a single-threaded apartment); Windows only.
#pragma once

namespace platform {

// True when COM is initialised for the thread and comUninitialize must
// follow.
bool comInitialize();
void comUninitialize();

} // namespace platform
