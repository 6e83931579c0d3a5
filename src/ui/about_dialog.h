// The About box: template only, no values or commands of its own.
#pragma once

#include "framework/dialog.h"
#include "res/resource.h"

class CAboutDialog : public fw::Dialog {
public:
    CAboutDialog() : fw::Dialog(IDD_ABOUT) {}
};
