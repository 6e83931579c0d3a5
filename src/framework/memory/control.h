// The common part of every control the memory backend simulates: its id,
// kind, style, window text and enabled state, and where the notifications
// of a user's actions go.
//
// Every window keeps its texts as Unicode, as Win32 windows do: a text
// handed over in code page 936 is converted (MultiByteToWideChar) and read
// back converted again. What that does to bytes that are not whole
// characters is what windowText() gives (verified under Wine).
#pragma once

#include "framework/memory/resources.h"
#include "framework/types.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fw::mem {

// Window and control styles the simulation looks at.
constexpr std::uint32_t kWsTabStop = 0x00010000;
constexpr std::uint32_t kWsGroup = 0x00020000;
constexpr std::uint32_t kWsDisabled = 0x08000000;
constexpr std::uint32_t kWsVisible = 0x10000000;

// What a control's notifications go to: the dialog's command handling.
using Notifier = std::function<void(int id, Notify what)>;

// `bytes` after a round trip through Unicode: a lead byte followed by a
// valid trail byte (0x40..0x7E, 0x80..0xFE) stays a character; a lead byte
// followed by another byte becomes "?" together with that byte; a lead
// byte at the end becomes "?". Every other byte stays as it is. A zero byte
// ends the text, as the text of every ANSI window function ends there.
std::string windowText(const std::string& raw);

// The number of characters of a text as windowText gives it.
std::size_t charCount(const std::string& text);

class MemoryControl {
public:
    MemoryControl(const ItemTemplate& item, Kind kind, Notifier notifier);
    virtual ~MemoryControl() = default;
    MemoryControl(const MemoryControl&) = delete;
    MemoryControl& operator=(const MemoryControl&) = delete;

    int id() const { return id_; }
    Kind kind() const { return kind_; }
    std::uint32_t style() const { return style_; }
    bool isEnabled() const { return enabled_; }
    void enable(bool on) { enabled_ = on; }
    // A tab stop that the dialog manager may give the focus to at the start.
    bool isInitialFocus() const { return (style_ & kWsTabStop) && (style_ & kWsVisible) && enabled_; }

    // WM_GETTEXT and WM_SETTEXT; a combo box's edit field for a combo box.
    virtual std::string text() const { return text_; }
    virtual void setText(const std::string& text) { text_ = windowText(text); }
    // The focus moves away from the control.
    virtual void loseFocus() {}

protected:
    void setStyle(std::uint32_t style) { style_ = style; }
    void notify(Notify what) const { notifier_(id_, what); }
    std::string text_;

private:
    int id_;
    Kind kind_;
    std::uint32_t style_;
    bool enabled_;
    Notifier notifier_;
};

// The controls of a window in template order.
using Controls = std::vector<std::unique_ptr<MemoryControl>>;

} // namespace fw::mem
