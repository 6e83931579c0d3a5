#include "app/loader_app.h"

#include "ui/main_dialog.h"

bool CLoaderApp::initInstance() {
    {
        CMainDialog mainWindow;
        mainWindow.doModal();
    }
    return false;
}
