// The About box: template only, no values or commands of its own.
#pragma once

#include "framework/dialog.h"
#include "res/resource.h"

class CAboutDialog : public fw::Dialog {
public:
    explicit CAboutDialog(fw::Dialog* parent) : fw::Dialog(IDD_ABOUT, parent) {}
};
