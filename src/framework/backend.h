// What a backend provides beyond the windows themselves. Exactly one backend
// library is linked into a program: Win32 for Brennick.exe and the Wine
// tests, memory for the native tests.
#pragma once

#include "framework/types.h"

#include <optional>
#include <string>

namespace fw {

class Dialog;

class Backend {
public:
    virtual ~Backend() = default;
    // Creates the window from the dialog's template, runs it modally over its
    // parent (or the active main window), destroys it and returns the result.
    virtual int runModal(Dialog& dialog) = 0;
    virtual void messageBox(Dialog* owner, const std::string& text, MessageIcon icon) = 0;
    // Tells the user that a command failed; by default a message box with
    // the warning icon.
    virtual void reportFailure(Dialog* owner, const std::string& text) {
        messageBox(owner, text, MessageIcon::Warning);
    }
    virtual std::optional<FileChoice> fileDialog(Dialog* owner, const FileRequest& request) = 0;
    // A string of the program's string table; empty when there is none.
    virtual std::string loadString(int id) = 0;
};

// The backend linked into this program.
Backend& backend();

} // namespace fw
