#include "schema/table_chooser.h"

#include "res/resource.h"
#include "schema/lookup.h"
#include "ui/main_dialog.h"

const char* const CTableChooserDialog::kListFailed = "列表读取失败！";

CTableChooserDialog::CTableChooserDialog(CMainDialog& parent)
    : fw::Dialog(IDD_TABLE_CHOOSER, &parent), parent_(parent) {
    commands<CTableChooserDialog>({
        {IDC_TABLE_LIST, fw::Notify::SelChange, &CTableChooserDialog::onSelectionChanged},
    });
}

void CTableChooserDialog::doDataExchange(fw::Exchange& x) {
    x.control(IDC_TABLE_LIST, tableList_);
}

bool CTableChooserDialog::onInitDialog() {
    fw::Dialog::onInitDialog();
    try {
        schema::ListTables(parent_.connection, parent_.database(),
                           [this](const std::string& name) { tableList_.add(name); });
    } catch (const schema::ComError&) {
        // The names read before the failure stay; the user sees why the
        // list ends there.
        tableList_.add(kListFailed);
    }
    return true;
}

void CTableChooserDialog::onSelectionChanged() {
    const int selected = tableList_.selected();
    if (selected >= 0) {
        selectedTable_ = tableList_.line(selected);
    }
}
