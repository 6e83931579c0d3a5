// Prints the text of the output pane of the running Brennick's main window,
// as the end-to-end tests cannot read it from outside Wine.
#include "res/resource.h"

#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    HWND window = FindWindowA("#32770", "Brennick");
    HWND pane = window == nullptr ? nullptr : GetDlgItem(window, IDC_OUTPUT);
    if (pane == nullptr) {
        return 1;
    }
    std::string text(static_cast<std::size_t>(SendMessageA(pane, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        SendMessageA(pane, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(&text[0]))));
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}
