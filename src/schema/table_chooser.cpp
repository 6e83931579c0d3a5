#include "schema/table_chooser.h"

#include "res/resource.h"

const char* const CTableChooserDialog::kListFailed = "列表读取失败！";

CTableChooserDialog::CTableChooserDialog(fw::Dialog* parent, TableLister listTables)
    : fw::Dialog(IDD_TABLE_CHOOSER, parent), listTables_(std::move(listTables)) {
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
        listTables_([this](const std::string& name) { tableList_.add(name); });
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
