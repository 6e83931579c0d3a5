// What the contract suite needs of a backend: a way to show a dialog and
// act on it as a user would. One implementation per backend:
// memory_harness.cpp (native) and win32_harness.cpp (Wine).
#pragma once

#include "framework/dialog.h"

#include <functional>
#include <string>
#include <vector>

namespace contract {

// A user at the keyboard and mouse of a shown dialog.
class User {
public:
    virtual ~User() = default;
    virtual void click(int id) = 0;
    // Types the characters at the end of an edit's or a combo box's edit
    // field, each as a key press, with the notifications a user causes.
    virtual void type(int id, const std::string& chars) = 0;
    virtual void dropDown(int id, bool open) = 0;
    // Picks entry `index` of a combo box or list box with the mouse.
    virtual void choose(int id, int index) = 0;
    // Double-clicks line `index` of a list box.
    virtual void doubleClick(int id, int index) = 0;
    virtual void pressEnter(int focusId) = 0;
    virtual void pressEscape(int focusId) = 0;
    virtual void closeBox() = 0;
    virtual void systemCommand(unsigned command) = 0;
};

struct ShownMessage {
    std::string text;
    bool warningIcon = false;
};

// Shows `dialog` modally and runs `script` once it is initialised; the
// script must end the dialog (directly or through the user). Message boxes
// shown meanwhile are answered with OK and recorded in `messages`.
// Returns the dialog's result.
int runDialog(fw::Dialog& dialog, const std::function<void(fw::Window&, User&)>& script,
              std::vector<ShownMessage>* messages = nullptr);

// Runs `work` (which may show dialogs of its own) with every message box
// shown meanwhile answered with OK and recorded in `messages`.
void answeringMessageBoxes(const std::function<void()>& work, std::vector<ShownMessage>& messages);

} // namespace contract
