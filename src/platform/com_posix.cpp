#include "platform/com.h"

namespace platform {

void comInitialize() {}
void comUninitialize() {}

} // namespace platform
