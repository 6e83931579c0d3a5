// An edit control in memory.
//
// The text limit (EM_SETLIMITTEXT) counts characters, a double-byte
// character counting one, as Wine's edit control counts its Unicode text
// (verified: a limit of 3 takes three double-byte characters typed or
// appended). It starts at 32767 as documented; a limit of 0 lifts it to
// the maximum. The limit cuts what the user types and what append adds
// (EM_REPLACESEL keeps to it), never what setText puts in (WM_SETTEXT).
//
// Every append and every typed character is converted on its own (see
// windowText): an append that ends in the lead byte of a character shows
// "?" for it, and the first byte of the next append does not join it.
#pragma once

#include "framework/memory/control.h"

#include <cstddef>
#include <string>

namespace fw::mem {

class MemoryEdit : public MemoryControl {
public:
    MemoryEdit(const ItemTemplate& item, Notifier notifier);

    // EM_SETLIMITTEXT; a negative limit throws std::logic_error.
    void setLimit(int maxChars);
    std::size_t limit() const { return limit_; }
    // The caret to the end, then EM_REPLACESEL: as much of `text` as the
    // limit leaves room for, in whole characters.
    void append(const std::string& text);
    // WM_GETTEXTLENGTH: the length in bytes.
    int length() const { return static_cast<int>(text_.size()); }
    void setText(const std::string& text) override;

    // A user types `chars` at the end, one character at a time; a read-only
    // edit ignores them.
    void type(const std::string& chars);
    // Enter reaches a multi-line edit that wants Return.
    bool wantsReturn() const;

private:
    std::size_t limit_;
    std::size_t chars_ = 0; // charCount(text_), kept as the text changes
};

} // namespace fw::mem
