// What tests need of the framework to act on a dialog from inside its modal
// loop, as a user would.
#pragma once

#include <windows.h>

#include <functional>

namespace fw {

// Makes the next dialog this thread shows call `hook` once, from inside its
// modal loop, right after its initialisation and with its window shown. The
// hook must end the dialog: if it returns with the dialog still running,
// the dialog ends with -1 and doModal throws std::logic_error.
void setAfterInitHook(std::function<void(HWND dialog)> hook);

// True for the window of a dialog that the framework runs.
bool isFrameworkDialog(HWND window);

} // namespace fw
