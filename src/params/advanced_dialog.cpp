#include "params/advanced_dialog.h"

#include "loaddef/load_definition.h"
#include "platform/platform.h"
#include "res/resource.h"

CAdvancedDialog::CAdvancedDialog(fw::Dialog* parent, std::string programFolder)
    : fw::Dialog(IDD_ADVANCED, parent), programFolder_(std::move(programFolder)) {}

std::string CAdvancedDialog::parameterFilePath(const std::string& programFolder) {
    return loaddef::fileIn(programFolder, loaddef::kParameterFileName, platform::kPathSeparator);
}

bool CAdvancedDialog::onInitDialog() {
    // The Silent list comes with the template's initialisation data.
    options = params::defaultOptions();
    params::readParameterFile(parameterFilePath(programFolder_), options);
    return fw::Dialog::onInitDialog();
}

void CAdvancedDialog::doDataExchange(fw::Exchange& x) {
    x.text(IDC_LOG, options.log);
    x.text(IDC_BAD, options.bad);
    x.text(IDC_DISCARD, options.discard);
    x.text(IDC_DISCARDMAX, options.discardmax);
    x.text(IDC_SKIP, options.skip);
    x.text(IDC_LOAD, options.load);
    x.text(IDC_ERRORS, options.errors);
    x.text(IDC_ROWS, options.rows);
    x.text(IDC_BINDSIZE, options.bindsize);
    x.boxText(IDC_SILENT, options.silent);
    x.text(IDC_DIRECT, options.direct);
    x.text(IDC_PARALLEL, options.parallel);
    x.text(IDC_SKIP_UNUSABLE_INDEXES, options.skipUnusableIndexes);
    x.text(IDC_SKIP_INDEX_MAINTENANCE, options.skipIndexMaintenance);
    x.text(IDC_COMMIT_DISCONTINUED, options.commitDiscontinued);
}

void CAdvancedDialog::onOK() {
    updateData(fw::Exchange::Direction::Read);
    const std::string path = parameterFilePath(programFolder_);
    if (!params::writeParameterFile(path, options)) {
        // "The parameter file could not be written: <path>". The dialog stays
        // open, so the user can try again or cancel; the old file is intact.
        messageBox(params::notWrittenMessage(path), fw::MessageIcon::Warning);
        return;
    }
    endDialog(fw::kIdOk);
}
