// The table chooser: a small dialog listing the tables of the database the
// main window is connected to, for the user to pick one.
#pragma once

#include "framework/controls.h"
#include "framework/dialog.h"

#include <string>

class CMainDialog;

class CTableChooserDialog : public fw::Dialog {
public:
    // Lists the tables through the parent's open connection; the chooser
    // takes no reference of its own to it.
    explicit CTableChooserDialog(CMainDialog& parent);

    // The line selected last; empty when none was.
    std::string selectedTable() const { return selectedTable_; }

    // The line shown when the table list could not be read.
    static const char* const kListFailed;

protected:
    bool onInitDialog() override;
    void doDataExchange(fw::Exchange& x) override;

private:
    void onSelectionChanged();

    CMainDialog& parent_;
    fw::ListBox tableList_;
    std::string selectedTable_;
};
