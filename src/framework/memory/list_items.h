// The list of a list box or of a combo box's list, and its selection.
//
// - Entries are kept as windowText gives them. An unsorted list appends
//   added entries; a sorted one files them where the list control's binary
//   search over sort_order.h's comparison puts them (before an equal one).
// - select(-1) clears the selection, and so does an index past the end (the
//   real list reports an error there; Wine keeps the selection, Windows
//   clears it, and the Win32 backend clears it explicitly). Any other
//   negative index throws std::out_of_range, as does an index outside the
//   list for reading, inserting and deleting.
// - Deleting the selected entry leaves none selected; inserting or deleting
//   before it moves the selection with its entry.
// - findPrefix looks for the first entry that begins with the prefix
//   ignoring case (text::startsWithNoCase); an empty prefix matches none.
#pragma once

#include <string>
#include <vector>

namespace fw::mem {

class ListItems {
public:
    ListItems(int ownerId, bool sorted) : ownerId_(ownerId), sorted_(sorted) {}

    int add(const std::string& entry);               // the index it was filed at
    int insert(int index, const std::string& entry); // -1 appends
    void remove(int index);
    void clear();
    int count() const { return static_cast<int>(entries_.size()); }
    const std::string& at(int index) const;

    int selected() const { return selected_; }
    void select(int index);
    // -1 when no entry begins with `prefix`.
    int findPrefix(const std::string& prefix) const;
    // Selects the entry findPrefix finds and returns its index; -1 and the
    // selection unchanged when there is none.
    int selectPrefix(const std::string& prefix);

private:
    int ownerId_;
    bool sorted_;
    std::vector<std::string> entries_;
    int selected_ = -1;
};

} // namespace fw::mem
