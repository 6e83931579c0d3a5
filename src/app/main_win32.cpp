// Brennick.exe's entry point.
#include "app/loader_app.h"

#include <windows.h>

namespace {

CLoaderApp theApp;

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    theApp.initInstance();
    return 0;
}
