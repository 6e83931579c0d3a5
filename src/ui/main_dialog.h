// The main window: the load definition, its value exchange, and the commands
// that write the control file and run the loader.
#pragma once

#include "framework/controls.h"
#include "framework/dialog.h"
#include "loaddef/control_file.h"
#include "res/resource.h"
#include "run/loader_run.h"
#include "schema/connection.h"

#include <memory>
#include <string>

class CMainDialog : public fw::Dialog {
public:
    // `database` makes the ADO objects of the table lookup.
    explicit CMainDialog(fw::Dialog* parent = nullptr, schema::Factory& database = schema::systemFactory());
    ~CMainDialog() override;

    // Copies the controls into the members; false when the field name failed
    // its length check (the user has been told, later members are not read).
    bool readWindowValues() { return updateData(fw::Exchange::Direction::Read); }
    // Copies the members into the controls.
    void writeWindowValues() { updateData(fw::Exchange::Direction::Write); }

    // Writes the control file from the members and the boxes' selections.
    // False when it could not be written whole; the user has been told.
    bool writeControlFile();
    std::string controlFilePath() const;
    // How many appends the output pane has had from loader runs (for
    // measurements).
    int outputAppendCount() const;

    std::string programFolder;
    std::shared_ptr<schema::Connection> connection;
    fw::ComboBox fieldNameBox;
    fw::Edit outputPane;
    fw::ListBox fieldListBox;
    fw::ComboBox fieldTypeBox;
    fw::ComboBox dateMaskBox;
    fw::ComboBox qualifierBox;
    fw::ComboBox delimiterBox;
    fw::Edit positionEdit;
    std::string position;
    int loadMode = -1;
    int recordType = -1;
    std::string fieldName;
    std::string fieldType;
    std::string dateMask;
    std::string selectedField;
    std::string dataFile;
    std::string databaseName;
    std::string password;
    std::string userName;
    std::string tableName;
    std::string delimiterChoice;
    std::string qualifierChoice;
    int detailsCollapsed = 0;
    std::string commandLine;

    // The messages of the control file commands.
    static const char* const kControlFileNotCreated;
    static std::string controlFileNotWritten(const std::string& path);
    static std::string controlFileNotMoved(const std::string& path);
    // Import's question while a run it started has not ended.
    static const char* const kImportAgain;

protected:
    bool onInitDialog() override;
    void doDataExchange(fw::Exchange& x) override;
    void onOK() override;
    bool onSysCommand(unsigned command) override;
    void onDestroy() override;

private:
    void onImportCommand();
    void onSaveControlFileCommand();
    void onDetailsCommand();
    void onVariableLengthCommand();
    void onFixedLengthCommand();
    void onFieldTypeTyped();
    void onFieldTypeChosen();
    void onBrowseCommand();
    void onDeleteCommand();
    void onMoveUpCommand();
    void onMoveDownCommand();
    void onAddCommand();
    void onFieldSelected();
    void onLoadControlFileCommand();
    void onAdvancedCommand();
    void onChooseTableCommand();

    // Enables the boxes that apply to the record type of the button
    // clicked, then takes and gives back the window values.
    void applyRecordType(int type);
    // Enables the position box for fixed-length records, the delimiter and
    // qualifier boxes for variable-length ones.
    void enableForRecordType(int type);
    // Moves the selected line of the field list by `step` lines.
    void moveSelectedField(int step);

    void applyDefaults();
    loaddef::ControlFileInput controlFileInput() const;

    schema::Factory& database_;
    bool comInitialized_ = false;
    std::shared_ptr<run::OutputFeed> outputFeed_;
};
