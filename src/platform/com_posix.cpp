#include "platform/com.h"

namespace platform {

bool comInitialize() {
    return true;
}
void comUninitialize() {}

} // namespace platform
