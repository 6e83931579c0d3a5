// fw::Window over the HWND of a dialog created from a template.
#pragma once

#include "framework/window.h"

#include <windows.h>

#include <memory>
#include <string>

namespace fw::win32 {

// Posted to a dialog when its call queue has calls to run.
constexpr UINT kDrainCallsMessage = WM_APP + 0x100;

// The kind of control a window is, from its class name.
Kind kindOfWindow(HWND control);

class Win32Window final : public Window {
public:
    explicit Win32Window(HWND dialog);

    HWND handle() const { return dialog_; }
    // The icon given to setIcon, drawn while the window is minimised; null
    // until one is set.
    HICON icon() const { return icon_; }
    bool hasEnded() const { return ended_; }

    Kind kindOf(int id) override;

    std::string text(int id) override;
    void setText(int id, const std::string& text) override;
    bool isEnabled(int id) override;
    void enable(int id, bool on) override;
    void setFocus(int id) override;
    int focusedId() override;

    bool isChecked(int id) override;
    void setChecked(int id, bool on) override;
    bool isRadio(int id) override;
    bool startsGroup(int id) override;
    int nextInTemplate(int id) override;

    int comboAdd(int id, const std::string& entry) override;
    int comboCount(int id) override;
    std::string comboEntry(int id, int index) override;
    int comboSelected(int id) override;
    void comboSelect(int id, int index) override;
    int comboSelectPrefix(int id, const std::string& prefix) override;
    void comboSetEditText(int id, const std::string& text) override;

    int listAdd(int id, const std::string& line) override;
    int listInsert(int id, int index, const std::string& line) override;
    void listDelete(int id, int index) override;
    void listClear(int id) override;
    int listCount(int id) override;
    std::string listLine(int id, int index) override;
    int listSelected(int id) override;
    void listSelect(int id, int index) override;
    int listSelectPrefix(int id, const std::string& prefix) override;

    void editLimit(int id, int maxChars) override;
    void editReserve(int id, int maxChars) override;
    void editAppend(int id, const std::string& text) override;
    int editLength(int id) override;

    Rect outerRect() override;
    void move(const Rect& r) override;
    void setIcon(int iconResourceId) override;
    bool appendSystemMenuItem(int commandId, const std::string& caption) override;
    void end(int result) override;

    std::shared_ptr<CallQueue> callQueue() override { return queue_; }

private:
    HWND control(int id);
    HWND control(int id, Kind kind);

    HWND dialog_;
    // The control nextInTemplate last arrived at. Labels and group boxes
    // share the id -1, so an id alone cannot say which of them a walk in
    // template order has reached; the walk goes on from this one.
    HWND cursor_ = nullptr;
    HICON icon_ = nullptr;
    bool ended_ = false;
    std::shared_ptr<CallQueue> queue_;
};

} // namespace fw::win32
