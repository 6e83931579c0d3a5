// Brennick.exe's entry point.
#include "app/loader_app.h"

#include <windows.h>

namespace {

CLoaderApp theApp;

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The application reports its own failures; nothing may leave here.
    try {
        theApp.initInstance();
        return theApp.exitCode();
    } catch (...) {
        return 2;
    }
}
