#include "ui/main_dialog.h"

#include "loaddef/control_file_reader.h"
#include "loaddef/field_description.h"
#include "loaddef/load_definition.h"
#include "params/advanced_dialog.h"
#include "params/parameter_file.h"
#include "platform/com.h"
#include "platform/platform.h"
#include "schema/lookup.h"
#include "schema/table_chooser.h"
#include "text/cp936.h"
#include "ui/about_dialog.h"

namespace {

const char* const kControlFileFilter = "Oracle Loader 控制文件(*.ctl)|*.ctl|所有文件(*.*)|*.*|";
const char* const kControlFileExtension = ".ctl";
const char* const kDataFileFilter = "文本文件(*.txt)|*.txt||";
const char* const kChooseRecordType = "请先选择记录类型!!";
const char* const kNotAControlFile = "您所选择的文件不是Oracle控制文件";
constexpr int kTypedDateMask = 1; // the mask the date-mask box offers for a typed DATE
constexpr int kOutputPaneLimit = 32000000;
constexpr int kDetailsStep = 100; // pixels the details toggle takes off the window

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

const char* const CMainDialog::kImportAgain = "上一次导入尚未结束，确定要再次导入吗？";

std::string CMainDialog::controlFileNotWritten(const std::string& path) {
    return "控制文件写入失败: " + path;
}

std::string CMainDialog::controlFileNotMoved(const std::string& path) {
    return "控制文件无法保存为 " + path + " (该文件可能已存在)";
}

CMainDialog::CMainDialog(fw::Dialog* parent, schema::Factory& database)
    : fw::Dialog(IDD_MAIN, parent), database_(database) {
    commands<CMainDialog>({
        {IDC_VARIABLE, fw::Notify::Clicked, &CMainDialog::onVariableLengthCommand},
        {IDC_FIXED, fw::Notify::Clicked, &CMainDialog::onFixedLengthCommand},
        {IDC_ADD, fw::Notify::Clicked, &CMainDialog::onAddCommand},
        {IDC_FIELD_TYPE, fw::Notify::EditChange, &CMainDialog::onFieldTypeTyped},
        {IDC_FIELD_TYPE, fw::Notify::SelChange, &CMainDialog::onFieldTypeChosen},
        {IDC_FIELD_LIST, fw::Notify::SelChange, &CMainDialog::onFieldSelected},
        {IDC_BROWSE, fw::Notify::Clicked, &CMainDialog::onBrowseCommand},
        {IDC_DELETE, fw::Notify::Clicked, &CMainDialog::onDeleteCommand},
        {IDC_IMPORT, fw::Notify::Clicked, &CMainDialog::onImportCommand},
        {IDC_DETAILS, fw::Notify::Clicked, &CMainDialog::onDetailsCommand},
        {IDC_SAVE_CTL, fw::Notify::Clicked, &CMainDialog::onSaveControlFileCommand},
        {IDC_UP, fw::Notify::Clicked, &CMainDialog::onMoveUpCommand},
        {IDC_DOWN, fw::Notify::Clicked, &CMainDialog::onMoveDownCommand},
        {IDC_LOAD_CTL, fw::Notify::Clicked, &CMainDialog::onLoadControlFileCommand},
        {IDC_CHOOSE_TABLE, fw::Notify::Clicked, &CMainDialog::onChooseTableCommand},
        {IDC_ADVANCED, fw::Notify::Clicked, &CMainDialog::onAdvancedCommand},
    });
    comInitialized_ = platform::comInitialize();
}

CMainDialog::~CMainDialog() = default;

bool CMainDialog::onInitDialog() {
    outputFeed_ = std::make_shared<run::OutputFeed>(
        callQueue(), [this](const std::string& text) { outputPane.append(text); },
        [this](const std::string& message) { messageBox(message, fw::MessageIcon::Warning); }, kOutputPaneLimit);
    fw::Dialog::onInitDialog();

    const std::string about = fw::loadString(IDS_ABOUT);
    if (!about.empty()) {
        appendSystemMenuItem(IDM_ABOUT, about);
    }
    setIcon(IDI_MAIN);
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
    outputPane.reserve(kOutputPaneLimit);
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
}

// The window has no OK button: the IDOK that reaches it is the dialog
// manager's for Enter pressed outside a push button, which people press
// after typing. It does nothing, so the window and what was typed stay;
// Escape and the close box still end the window.
void CMainDialog::onOK() {}

bool CMainDialog::onSysCommand(unsigned command) {
    if ((command & 0xFFF0u) != IDM_ABOUT) {
        return false;
    }
    CAboutDialog about(this);
    about.doModal();
    return true;
}

void CMainDialog::onDestroy() {
    // ADO objects must go while COM is still initialised on this thread.
    connection.reset();
    if (comInitialized_) {
        platform::comUninitialize();
        comInitialized_ = false;
    }
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
    // An earlier run would go on writing into the emptied pane, beside the
    // new one: only when the user wants that.
    if (outputFeed_->activeRuns() > 0 && !askYesNo(kImportAgain)) {
        return;
    }
    outputPane.setText("");
    outputFeed_->paneEmptied();
    if (!readWindowValues()) {
        return;
    }
    commandLine = run::loaderCommandLine(userName, password, databaseName, programFolder, platform::kPathSeparator);
    // The command line names the parameter file, which the loader refuses
    // to run without: on a first run there is none yet.
    const std::string parameterFile = CAdvancedDialog::parameterFilePath(programFolder);
    if (params::writeDefaultParameterFile(parameterFile) == params::DefaultsWrite::Failed) {
        messageBox(params::notWrittenMessage(parameterFile), fw::MessageIcon::Warning);
        return;
    }
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
    detailsCollapsed = detailsCollapsed != 0 ? 0 : 1;
    growBy(detailsCollapsed != 0 ? -kDetailsStep : kDetailsStep);
    outputFeed_->setCollapsed(detailsCollapsed != 0);
}

void CMainDialog::onVariableLengthCommand() {
    applyRecordType(loaddef::kVariableLength);
}

void CMainDialog::onFixedLengthCommand() {
    applyRecordType(loaddef::kFixedLength);
}

void CMainDialog::applyRecordType(int type) {
    const bool read = readWindowValues();
    enableForRecordType(type);
    // After a failed read the members are stale: writing them would
    // overwrite what the user typed.
    if (read) {
        writeWindowValues();
    }
}

void CMainDialog::enableForRecordType(int type) {
    const bool fixed = type == loaddef::kFixedLength;
    positionEdit.enable(fixed);
    delimiterBox.enable(!fixed);
    qualifierBox.enable(!fixed);
}

void CMainDialog::onFieldTypeChosen() {
    dateMaskBox.enable(fieldTypeBox.selected() == loaddef::kDateTypeIndex);
}

void CMainDialog::onFieldTypeTyped() {
    if (fieldTypeBox.selected() == loaddef::kDateTypeIndex) {
        dateMaskBox.enable(true);
        dateMaskBox.select(kTypedDateMask);
    } else {
        dateMaskBox.select(-1);
        dateMaskBox.enable(false);
    }
}

void CMainDialog::onBrowseCommand() {
    if (!readWindowValues()) {
        return;
    }
    if (const std::optional<fw::FileChoice> choice = fileDialog({false, kDataFileFilter})) {
        dataFile = choice->path;
    }
    writeWindowValues();
}

void CMainDialog::onDeleteCommand() {
    const int selected = fieldListBox.selected();
    if (selected < 0) {
        return;
    }
    fieldListBox.remove(selected);
    // The line after the deleted one; past the end, no line.
    fieldListBox.select(selected);
}

void CMainDialog::onMoveUpCommand() {
    moveSelectedField(-1);
}

void CMainDialog::onMoveDownCommand() {
    moveSelectedField(1);
}

void CMainDialog::moveSelectedField(int step) {
    const int selected = fieldListBox.selected();
    const int target = selected + step;
    if (selected < 0 || target < 0 || target >= fieldListBox.count()) {
        return;
    }
    const std::string line = fieldListBox.line(selected);
    fieldListBox.remove(selected);
    fieldListBox.insert(target, line);
    fieldListBox.select(target);
}

void CMainDialog::onAddCommand() {
    // A too-long field name ends the command after the read's message:
    // nothing is added and nothing the user typed is overwritten.
    if (!readWindowValues()) {
        return;
    }
    const loaddef::ComposedField field = loaddef::composeField(
        recordType, fieldName, position, fieldType, fieldTypeBox.selected() == loaddef::kDateTypeIndex, dateMask);
    fieldName = field.name;
    switch (field.outcome) {
    case loaddef::ComposedField::Outcome::BlankName:
        return;
    case loaddef::ComposedField::Outcome::NoRecordType:
        messageBox(kChooseRecordType);
        break;
    case loaddef::ComposedField::Outcome::Built:
        fieldListBox.add(field.text);
        break;
    }
    writeWindowValues();
}

void CMainDialog::onFieldSelected() {
    if (!readWindowValues()) {
        return;
    }
    if (const std::optional<loaddef::SplitField> split = loaddef::splitField(recordType, selectedField)) {
        fieldName = split->name;
        if (split->position) {
            position = *split->position;
        }
        fieldType = split->type;
        dateMask = split->dateMask;
        dateMaskBox.enable(!dateMask.empty());
    } else {
        messageBox(kChooseRecordType);
    }
    writeWindowValues();
}

void CMainDialog::onLoadControlFileCommand() {
    if (!readWindowValues()) {
        return;
    }
    const std::optional<fw::FileChoice> choice = fileDialog({false, kControlFileFilter});
    if (!choice) {
        return;
    }
    loaddef::ControlFileContents contents;
    switch (loaddef::readControlFile(choice->path, contents)) {
    case loaddef::ControlFileRead::Read:
        break;
    case loaddef::ControlFileRead::NotAControlFile:
        messageBox(kNotAControlFile, fw::MessageIcon::Warning);
        return;
    case loaddef::ControlFileRead::OpenFailed:
        messageBox("无法打开控制文件: " + choice->path, fw::MessageIcon::Warning); // cannot open
        return;
    case loaddef::ControlFileRead::ReadFailed:
        messageBox("控制文件读取失败: " + choice->path, fw::MessageIcon::Warning); // reading failed
        return;
    }
    dataFile = contents.dataFile;
    if (contents.loadMode) {
        loadMode = *contents.loadMode;
    }
    tableName = contents.tableName;
    // A file in the layout the writer gives brings its record type, and
    // for variable-length records its delimiter and qualifier, back too.
    if (contents.delimiterIndex) {
        delimiterChoice = delimiterBox.entry(*contents.delimiterIndex);
    }
    if (contents.qualifierIndex) {
        qualifierChoice = qualifierBox.entry(*contents.qualifierIndex);
    }
    fieldListBox.clear();
    for (const std::string& field : contents.fields) {
        fieldListBox.add(field);
    }
    if (contents.recordType) {
        recordType = *contents.recordType;
        enableForRecordType(recordType);
    }
    writeWindowValues();
}

void CMainDialog::onAdvancedCommand() {
    CAdvancedDialog advanced(this, programFolder);
    advanced.doModal();
}

void CMainDialog::onChooseTableCommand() {
    // With a too-long field name the values are stale: no database work.
    if (!readWindowValues()) {
        return;
    }
    try {
        schema::RenewConnection(connection, database_);
        if (!connection) {
            messageBox(schema::kNoConnectionObjectMessage, fw::MessageIcon::Warning);
            return;
        }
        const std::unique_ptr<schema::Recordset> columns = database_.createRecordset();
        schema::OpenRenewedConnection(connection, databaseName, userName, password);
        CTableChooserDialog chooser(this, [this](const schema::NameReceiver& receiver) {
            schema::ListTables(connection, database_, receiver);
        });
        if (chooser.doModal() != fw::kIdOk) {
            return;
        }
        tableName = chooser.selectedTable();
        schema::ListColumns(connection, columns.get(), tableName, [this](const std::string& name) {
            fieldNameBox.add(name);
            fieldName = name;
        });
        schema::CloseConnection(connection);
        writeWindowValues();
    } catch (const schema::ComError&) {
        messageBox(schema::FailureMessage(connection), fw::MessageIcon::Warning);
    }
}
