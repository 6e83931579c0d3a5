#include "platform/com.h"

#include <objbase.h>

namespace platform {

bool comInitialize() {
    // S_FALSE (already initialised on this thread) also counts once.
    return SUCCEEDED(CoInitialize(nullptr));
}
void comUninitialize() {
    CoUninitialize();
}

} // namespace platform
