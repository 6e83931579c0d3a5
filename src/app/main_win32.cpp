// Brennick.exe until the application class takes over: shows the main
// window from its template, with no behaviour of its own yet.
#include "framework/dialog.h"
#include "res/resource.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    fw::Dialog mainWindow(IDD_MAIN);
    mainWindow.doModal();
    return 0;
}
