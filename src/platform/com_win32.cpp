#include "platform/com.h"

#include <objbase.h>

namespace platform {

void comInitialize() {
    CoInitialize(nullptr);
}
void comUninitialize() {
    CoUninitialize();
}

} // namespace platform
