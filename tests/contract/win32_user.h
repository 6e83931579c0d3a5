// The Win32 harness's user, for a dialog that the program opened itself
// (a dialog shown by a command), found by the test as a window.
#pragma once

#include "contract/harness.h"

#include <windows.h>

#include <functional>

namespace contract {

// Runs `script` with a user of `dialog`.
void actOn(HWND dialog, const std::function<void(User&)>& script);

} // namespace contract
