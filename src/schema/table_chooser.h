// The table chooser: a small dialog listing the tables of the database the
// main window is connected to, for the user to pick one.
#pragma once

#include "framework/controls.h"
#include "framework/dialog.h"
#include "schema/lookup.h"

#include <string>

class CTableChooserDialog : public fw::Dialog {
public:
    // Hands each table name to the receiver it is given; raises a
    // schema::ComError when the list cannot be read (further).
    using TableLister = std::function<void(const schema::NameReceiver&)>;

    CTableChooserDialog(fw::Dialog* parent, TableLister listTables);

    // The line selected last; empty when none was.
    std::string selectedTable() const { return selectedTable_; }

    // The line shown when the table list could not be read.
    static const char* const kListFailed;

protected:
    bool onInitDialog() override;
    void doDataExchange(fw::Exchange& x) override;

private:
    void onSelectionChanged();

    TableLister listTables_;
    fw::ListBox tableList_;
    std::string selectedTable_;
};
