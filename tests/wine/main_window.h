// What the tests of the main window share: the window shown on its real
// controls with the stand-in loader first on the search path, message boxes
// answered and recorded, the common file dialogs answered, and the files
// beside the program.
#pragma once

#include "env.h"
#include "framework/testing.h"
#include "res/resource.h"
#include "temp_folder.h"
#include "ui/main_dialog.h"
#include "wine/pump.h"
#include "wine/user.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace winetest {

using namespace std::chrono_literals;

using testfiles::readBytes;
using testfiles::writeBytes;
bool fileExists(const std::string& path);
bool endsWith(const std::string& s, const std::string& tail);
// The folder of this executable as the system names it.
std::string executableFolder();
std::string paneText(HWND dialog);
// Runs `command` in the system's shell (Wine starts Unix programs too); true
// when it ended with status 0 within 30 s.
bool unixShell(const std::string& command);
// The lines of a list box, or the entries of a combo box.
std::vector<std::string> listLines(HWND dialog, int id);

// Answers the next common file dialog this thread shows with `path` and the
// filter `filterIndex` (1-based) and its OK button, or with its Cancel button
// when `path` is empty, from a thread timer whose callback runs inside the
// dialog's own modal loop. Given several paths, types each in turn with OK,
// as a person browses into a folder before choosing a file there.
class FileDialogAnswerer {
public:
    explicit FileDialogAnswerer(std::string path, int filterIndex = 1)
        : FileDialogAnswerer(std::vector<std::string>{std::move(path)}, filterIndex) {}
    FileDialogAnswerer(std::vector<std::string> paths, int filterIndex);
    ~FileDialogAnswerer();
    FileDialogAnswerer(const FileDialogAnswerer&) = delete;
    FileDialogAnswerer& operator=(const FileDialogAnswerer&) = delete;

    int answered = 0;

private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK answer(HWND window, LPARAM);

    static FileDialogAnswerer* current;
    std::vector<std::string> paths_;
    int filterIndex_;
    UINT_PTR timer_ = 0;
};

// Runs `script` on the next framework dialog that a command shows (the
// advanced dialog, the table chooser, the About box), inside its modal loop.
// The script must end that dialog.
void onNextDialog(const std::function<void(User&)>& script);

class MainWindow : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static std::string controlFile() { return executableFolder() + "\\load.ctl"; }
    static std::string parameterFile() { return executableFolder() + "\\parfile.cfg"; }

    // A file of that name beside the program, removed now and after the test.
    std::string scratch(const std::string& name);

    // Shows the main window, its ADO objects made by `database`, runs
    // `script` on it and closes it with Escape when the script has left it
    // open.
    int show(const std::function<void(HWND, CMainDialog&, User&)>& script,
             schema::Factory& database = schema::systemFactory());
    // The same with a window object of the test's. Returns the window's
    // result.
    int show(CMainDialog& dialog, const std::function<void(HWND, CMainDialog&, User&)>& script);
    // The message boxes shown so far were these texts, each with the warning
    // icon or without.
    void expectMessages(const std::vector<std::pair<std::string, bool>>& expected) const;
    // Keeps the window going until the run's closing line is in the pane;
    // fails after a minute.
    static void waitForCompletion(HWND dialog);
    // Keeps the window going until `done`; false after a minute.
    static bool waitUntil(HWND dialog, const std::function<bool()>& done) { return pumpUntil(dialog, done, 60s); }
    // Keeps the window going for `time`.
    static void pump(HWND dialog, std::chrono::milliseconds time);

    std::vector<ShownMessage> messages_;
    std::vector<std::string> scratch_;
    const std::string pathWithoutLoader_ = testenv::getEnv("PATH");
    testenv::ScopedEnv path_{"PATH", testenv::standInFolder() + pathWithoutLoader_};
};

} // namespace winetest
