// A list box in memory (single selection).
//
// Choosing a line with the mouse selects it and, with LBS_NOTIFY, sends
// SelChange, even when the line was selected already (as Wine's list box
// does on every button press). A double click is a press that selects the
// line and then the double click itself, which sends DoubleClick with
// LBS_NOTIFY.
#pragma once

#include "framework/memory/control.h"
#include "framework/memory/list_items.h"

namespace fw::mem {

class MemoryListBox : public MemoryControl {
public:
    MemoryListBox(const ItemTemplate& item, Notifier notifier);

    ListItems& items() { return items_; }

    // --- What a user does ---
    void choose(int index);
    void doubleClick(int index);

private:
    bool notifies() const;

    ListItems items_;
};

} // namespace fw::mem
