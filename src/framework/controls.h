// Control objects: a control of a live dialog window known by its id.
//
// An object is bound once to its window and id (by the value exchange) and
// checks on binding that the control is of its kind.
#pragma once

#include "framework/window.h"

#include <string>

namespace fw {

class Control {
public:
    virtual ~Control() = default;
    void bind(Window& window, int id);
    bool isBound() const { return window_ != nullptr; }
    int id() const { return id_; }
    void enable(bool on) { window().enable(id_, on); }
    bool isEnabled() const { return window().isEnabled(id_); }
    void setFocus() { window().setFocus(id_); }
    std::string text() const { return window().text(id_); }

protected:
    explicit Control(Kind kind) : kind_(kind) {}
    Window& window() const; // throws std::logic_error while unbound

private:
    Kind kind_;
    Window* window_ = nullptr;
    int id_ = 0;
};

class Edit : public Control {
public:
    Edit() : Control(Kind::Edit) {}
    void setText(const std::string& t) { window().setText(id(), t); }
    void limitText(int maxChars) { window().editLimit(id(), maxChars); }
    void reserve(int maxChars) { window().editReserve(id(), maxChars); }
    void append(const std::string& t) { window().editAppend(id(), t); }
    int length() const { return window().editLength(id()); }
};

class ComboBox : public Control {
public:
    ComboBox() : Control(Kind::ComboBox) {}
    int add(const std::string& entry) { return window().comboAdd(id(), entry); }
    int count() const { return window().comboCount(id()); }
    std::string entry(int index) const { return window().comboEntry(id(), index); }
    int selected() const { return window().comboSelected(id()); }
    void select(int index) { window().comboSelect(id(), index); }
};

class ListBox : public Control {
public:
    ListBox() : Control(Kind::ListBox) {}
    int add(const std::string& line) { return window().listAdd(id(), line); }
    int insert(int index, const std::string& line) { return window().listInsert(id(), index, line); }
    void remove(int index) { window().listDelete(id(), index); }
    void clear() { window().listClear(id()); }
    int count() const { return window().listCount(id()); }
    std::string line(int index) const { return window().listLine(id(), index); }
    int selected() const { return window().listSelected(id()); }
    void select(int index) { window().listSelect(id(), index); }
};

class Button : public Control {
public:
    Button() : Control(Kind::Button) {}
    bool isChecked() const { return window().isChecked(id()); }
    void setChecked(bool on) { window().setChecked(id(), on); }
};

} // namespace fw
