// A combo box in memory (CBS_DROPDOWN, CBS_SIMPLE or CBS_DROPDOWNLIST).
//
// - select shows the entry in the edit field (-1 and an index past the end
//   empty it); setEditText leaves no entry selected; setText changes the
//   edit field only and keeps the selection.
// - Typing keeps the selection on the first entry that begins with the
//   whole text (ignoring case) while the list is dropped down, and leaves
//   no entry selected while it is closed; EditChange follows each
//   character.
// - Dropping the list down (CB_SHOWDROPDOWN, the F4 key, the arrow button)
//   selects the first entry that begins with the edit text and shows that
//   entry whole, or leaves no entry selected. Choosing an entry with the
//   mouse closes the list, shows the entry and sends SelChange.
// - The list closes when the focus moves away.
#pragma once

#include "framework/memory/control.h"
#include "framework/memory/list_items.h"

#include <string>

namespace fw::mem {

class MemoryComboBox : public MemoryControl {
public:
    MemoryComboBox(const ItemTemplate& item, Notifier notifier);

    ListItems& items() { return items_; }
    void select(int index);                      // CB_SETCURSEL
    int selectPrefix(const std::string& prefix); // CB_SELECTSTRING
    void setEditText(const std::string& text);
    void setText(const std::string& text) override; // throws without an edit field

    bool hasEditField() const;
    // Both throw std::logic_error naming `operation` when the box lacks it.
    void requireEditField(const char* operation) const;
    void requireDropDownList(const char* operation) const;
    bool isDroppedDown() const { return dropped_; }

    // --- What a user does ---
    void type(const std::string& chars); // requires an edit field
    void dropDown(bool open);            // requires a drop-down list
    void choose(int index);
    // Escape or Enter with the list open: closes it. False when it was closed.
    bool closeList();
    void loseFocus() override { dropped_ = false; }

private:
    ListItems items_;
    bool dropped_ = false;
};

} // namespace fw::mem
