#include "app/loader_app.h"

#include "ui/main_dialog.h"

bool CLoaderApp::initInstance() {
    exitCode_ = fw::runMainWindow([] {
        CMainDialog mainWindow;
        mainWindow.doModal();
    });
    return false;
}
