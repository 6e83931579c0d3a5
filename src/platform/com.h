// COM for the calling thread (a single-threaded apartment). Where there is
// no COM (the native build) initialising succeeds and does nothing.
#pragma once

namespace platform {

// True when COM is initialised for the thread and comUninitialize must
// follow.
bool comInitialize();
void comUninitialize();

} // namespace platform
