#include "ui/main_dialog.h"

#include "framework/backend.h"
#include "loaddef/load_definition.h"
#include "platform/com.h"
#include "platform/platform.h"
#include "text/cp936.h"
#include "ui/about_dialog.h"

namespace {

const char* const kControlFileFilter = "Oracle Loader 控制文件(*.ctl)|*.ctl|所有文件(*.*)|*.*|";
const char* const kControlFileExtension = ".ctl";
constexpr int kOutputPaneLimit = 32000000;
constexpr int kDetailsStep = 100; // pixels the details toggle takes off the window

const fw::Command<CMainDialog> kCommands[] = {
    {IDC_IMPORT, fw::Notify::Clicked, &CMainDialog::onImportCommand},
    {IDC_SAVE_CTL, fw::Notify::Clicked, &CMainDialog::onSaveControlFileCommand},
    {IDC_DETAILS, fw::Notify::Clicked, &CMainDialog::onDetailsCommand},
};

// Adds a choice list's entries in their fixed order and selects entry 0.
template <std::size_t N> void fillAndSelectFirst(fw::ComboBox& box, const char* const (&entries)[N]) {
    for (const char* entry : entries) {
        box.add(entry);
    }
    box.select(0);
}

bool endsWithNoCase(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && text::equalsNoCase(s.substr(s.size() - suffix.size()), suffix);
}

} // namespace

const char* const CMainDialog::kControlFileNotCreated = "控制文件建立失败!!!检查当前目录下load.ctl文件时候已存在!";

std::string CMainDialog::controlFileNotWritten(const std::string& path) {
    return "控制文件写入失败: " + path;
}

std::string CMainDialog::controlFileNotMoved(const std::string& path) {
    return "控制文件无法保存为 " + path + " (该文件可能已存在)";
}

CMainDialog::CMainDialog(fw::Dialog* parent) : fw::Dialog(IDD_MAIN, parent) {
    platform::comInitialize();
}

CMainDialog::~CMainDialog() = default;

bool CMainDialog::onInitDialog() {
    outputFeed_ = std::make_shared<run::OutputFeed>(
        window().callQueue(), [this](const std::string& text) { outputPane.append(text); },
        [this](const std::string& message) { messageBox(message, fw::MessageIcon::Warning); });
    fw::Dialog::onInitDialog();

    const std::string about = fw::backend().loadString(IDS_ABOUT);
    if (!about.empty()) {
        window().appendSystemMenuItem(IDM_ABOUT, about);
    }
    window().setIcon(icon);
    applyDefaults();
    return true;
}

void CMainDialog::applyDefaults() {
    programFolder = loaddef::folderOf(platform::executablePath(), platform::kPathSeparator);
    readWindowValues();
    databaseName = loaddef::kDefaultDatabase;
    userName = loaddef::kDefaultUser;
    password = loaddef::kDefaultPassword;
    fillAndSelectFirst(delimiterBox, loaddef::kDelimiters);
    fillAndSelectFirst(qualifierBox, loaddef::kQualifiers);
    fillAndSelectFirst(fieldTypeBox, loaddef::kFieldTypes);
    fillAndSelectFirst(dateMaskBox, loaddef::kDateMasks);
    dateMaskBox.enable(false);
    position = loaddef::kDefaultPosition;
    outputPane.limitText(kOutputPaneLimit);
    loadMode = loaddef::kAppend;
    recordType = loaddef::kVariableLength;
    fieldType = fieldTypeBox.entry(fieldTypeBox.selected());
    dateMask = dateMaskBox.entry(dateMaskBox.selected());
    delimiterChoice = delimiterBox.entry(delimiterBox.selected());
    qualifierChoice = qualifierBox.entry(qualifierBox.selected());
    writeWindowValues();
}

void CMainDialog::doDataExchange(fw::Exchange& x) {
    x.control(IDC_FIELD_NAME, fieldNameBox);
    x.control(IDC_OUTPUT, outputPane);
    x.control(IDC_FIELD_LIST, fieldListBox);
    x.control(IDC_FIELD_TYPE, fieldTypeBox);
    x.control(IDC_DATE_MASK, dateMaskBox);
    x.control(IDC_QUALIFIER, qualifierBox);
    x.control(IDC_DELIMITER, delimiterBox);
    x.control(IDC_POSITION, positionEdit);

    x.text(IDC_POSITION, position);
    x.radio(IDC_APPEND, loadMode);
    x.radio(IDC_VARIABLE, recordType);
    x.text(IDC_FIELD_NAME, fieldName);
    x.maxBytes(IDC_FIELD_NAME, fieldName, loaddef::kMaxFieldNameBytes);
    x.boxText(IDC_FIELD_TYPE, fieldType);
    x.boxText(IDC_DATE_MASK, dateMask);
    x.listSelectionText(IDC_FIELD_LIST, selectedField);
    x.text(IDC_DATA_FILE, dataFile);
    x.text(IDC_DATABASE, databaseName);
    x.text(IDC_PASSWORD, password);
    x.text(IDC_USER, userName);
    x.text(IDC_TABLE, tableName);
    x.boxText(IDC_DELIMITER, delimiterChoice);
    x.boxText(IDC_QUALIFIER, qualifierChoice);
    x.toggle(IDC_DETAILS, detailsCollapsed);
    outputFeed_->setCollapsed(detailsCollapsed != 0);
}

bool CMainDialog::onCommand(int id, fw::Notify notify) {
    return fw::dispatchCommand(*this, kCommands, id, notify);
}

bool CMainDialog::onSysCommand(unsigned command) {
    if ((command & 0xFFF0u) != IDM_ABOUT) {
        return false;
    }
    CAboutDialog about;
    about.doModal();
    return true;
}

void CMainDialog::onDestroy() {
    // ADO objects must go while COM is still initialised on this thread.
    connection.reset();
    platform::comUninitialize();
}

std::string CMainDialog::controlFilePath() const {
    return loaddef::fileIn(programFolder, loaddef::kControlFileName, platform::kPathSeparator);
}

int CMainDialog::outputAppendCount() const {
    return outputFeed_ ? outputFeed_->appendCount() : 0;
}

loaddef::ControlFileInput CMainDialog::controlFileInput() const {
    loaddef::ControlFileInput input;
    input.dataFile = dataFile;
    input.tableName = tableName;
    input.loadMode = loadMode;
    input.recordType = recordType;
    input.delimiterIndex = delimiterBox.selected();
    input.qualifierIndex = qualifierBox.selected();
    for (int i = 0; i < fieldListBox.count(); ++i) {
        input.fields.push_back(fieldListBox.line(i));
    }
    return input;
}

bool CMainDialog::writeControlFile() {
    const std::string path = controlFilePath();
    switch (loaddef::writeControlFile(path, controlFileInput())) {
    case loaddef::WriteResult::Written:
        return true;
    case loaddef::WriteResult::OpenFailed:
        messageBox(kControlFileNotCreated);
        return false;
    case loaddef::WriteResult::WriteFailed:
        messageBox(controlFileNotWritten(path));
        return false;
    }
    return false;
}

void CMainDialog::onImportCommand() {
    outputPane.setText("");
    outputFeed_->paneEmptied();
    if (!readWindowValues()) {
        return;
    }
    commandLine = run::loaderCommandLine(userName, password, databaseName, programFolder, platform::kPathSeparator);
    if (writeControlFile()) {
        run::startLoader(commandLine, outputFeed_);
    }
}

void CMainDialog::onSaveControlFileCommand() {
    const std::optional<fw::FileChoice> choice = fileDialog({true, kControlFileFilter});
    if (!choice) {
        return;
    }
    std::string target = choice->path;
    if (choice->filterIndex == 1 && !endsWithNoCase(target, kControlFileExtension)) {
        target += kControlFileExtension;
    }
    if (!readWindowValues() || !writeControlFile()) {
        return;
    }
    if (!platform::moveFile(controlFilePath(), target)) {
        messageBox(controlFileNotMoved(target));
    }
}

void CMainDialog::onDetailsCommand() {
    fw::Rect r = window().outerRect();
    detailsCollapsed = detailsCollapsed != 0 ? 0 : 1;
    r.bottom += detailsCollapsed != 0 ? -kDetailsStep : kDetailsStep;
    window().move(r);
    outputFeed_->setCollapsed(detailsCollapsed != 0);
}
