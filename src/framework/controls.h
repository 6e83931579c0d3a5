// Control objects: a control of a shown dialog, held by its window handle.
// Each method is one message to the control (or a few, where the control's
// own behaviour differs between systems and the step is done explicitly).
//
// An object is attached by the dialog's value exchange, which checks the
// control's kind, and released when the dialog's window is destroyed; used
// while released it throws std::logic_error.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// The kinds of control the framework wraps; Other covers labels, group
// boxes and pictures.
enum class Kind { Edit, ComboBox, ListBox, Button, Other };

// The kind of a control window, from its class name.
Kind kindOfWindow(HWND control);

// The whole text of a window.
std::string windowText(HWND window);

class Control {
public:
    virtual ~Control() = default;
    // Takes the control of `dialog` with id `id`; throws std::logic_error
    // when there is none or it is of another kind.
    void attach(HWND dialog, int id);
    void release() { handle_ = nullptr; }
    HWND handle() const; // throws std::logic_error while released

    void enable(bool on) const { EnableWindow(handle(), on ? TRUE : FALSE); }
    bool isEnabled() const { return IsWindowEnabled(handle()) != FALSE; }
    std::string text() const { return windowText(handle()); }
    void setText(const std::string& text) const;

protected:
    explicit Control(Kind kind) : kind_(kind) {}
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // A message with a text: the text as its lParam.
    LRESULT sendText(UINT message, WPARAM wParam, const std::string& text) const;

private:
    Kind kind_;
    HWND handle_ = nullptr;
};

class Edit : public Control {
public:
    Edit() : Control(Kind::Edit) {}
    // Room for `maxChars` characters at once (for a multi-line edit), so
    // that appending never moves the text it holds.
    void reserve(int maxChars);
    // Caret to the end, scrolled into view, then the text appended.
    void append(const std::string& text) const;
};

class ComboBox : public Control {
public:
    ComboBox() : Control(Kind::ComboBox) {}
    int add(const std::string& entry) const; // the index it was filed at
    int count() const { return static_cast<int>(send(CB_GETCOUNT)); }
    std::string entry(int index) const;
    int selected() const { return static_cast<int>(send(CB_GETCURSEL)); } // -1: none
    // -1 and an index past the end clear the selection and the edit field.
    void select(int index) const;
    // Selects the first entry that begins with `prefix` ignoring case and
    // returns its index; -1 (selection unchanged) when none does.
    int selectPrefix(const std::string& prefix) const;
    // Sets the edit field's text and leaves no entry selected.
    void setEditText(const std::string& text) const;
};

class ListBox : public Control {
public:
    ListBox() : Control(Kind::ListBox) {}
    int add(const std::string& line) const;
    int insert(int index, const std::string& line) const;
    void remove(int index) const;
    void clear() const { send(LB_RESETCONTENT); }
    int count() const { return static_cast<int>(send(LB_GETCOUNT)); }
    std::string line(int index) const;
    int selected() const { return static_cast<int>(send(LB_GETCURSEL)); } // -1: none
    void select(int index) const;                                         // -1 and an index past the end clear
    // As ComboBox::selectPrefix.
    int selectPrefix(const std::string& prefix) const;
};

class Button : public Control {
public:
    Button() : Control(Kind::Button) {}
    bool isChecked() const { return send(BM_GETCHECK) == BST_CHECKED; }
    void setChecked(bool on) const { send(BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED); }
};

} // namespace fw
