// A person at the keyboard and mouse of a shown dialog, acting on its real
// controls with the messages that their keys and clicks produce.
#pragma once

#include "framework/dialog.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace winetest {

class User {
public:
    explicit User(HWND dialog) : dialog_(dialog) {}

    HWND dialog() const { return dialog_; }
    void click(int id);
    // Types the characters at the end of an edit's or a combo box's edit
    // field, each as a key press, with the notifications a user causes.
    void type(int id, const std::string& chars);
    // Opens or closes a combo box's list.
    void dropDown(int id, bool open);
    // Picks entry `index` of a combo box or list box with the mouse.
    void choose(int id, int index);
    void pressEnter(int focusId) { pressKey(focusId, VK_RETURN); }
    void pressEscape(int focusId) { pressKey(focusId, VK_ESCAPE); }
    void systemCommand(unsigned command);
    // Handles the messages posted so far, as the modal loop would.
    void settle();

private:
    HWND control(int id) const;
    void focus(HWND control);
    void pressKey(int focusId, WPARAM key);

    HWND dialog_;
};

struct ShownMessage {
    std::string text;
    bool warningIcon = false;
    std::string caption;
    int defaultButton = 0;
};

// Answers every message box this thread shows while it lives, and records
// what each one said. `answer` is the button pressed (IDOK; IDYES or IDNO
// for a question).
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(std::vector<ShownMessage>* record, int answer = IDOK);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
    void setAnswer(int answer) { answer_ = answer; }

private:
    static LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK onTimer(HWND box, UINT, UINT_PTR timer, DWORD);
    void answer(HWND box);

    static thread_local MessageBoxAnswerer* current;
    std::vector<ShownMessage>* record_;
    int answer_;
    MessageBoxAnswerer* outer_;
    HHOOK hook_ = nullptr;
};

// Shows `dialog` modally and runs `script` once it is initialised; the
// script must end the dialog (directly or through the user). Message boxes
// shown meanwhile are answered with OK and recorded in `messages`.
// Returns the dialog's result.
int runDialog(fw::Dialog& dialog, const std::function<void(User&)>& script,
              std::vector<ShownMessage>* messages = nullptr);

// The text of control `id` of `dialog`.
std::string itemText(HWND dialog, int id);

} // namespace winetest
