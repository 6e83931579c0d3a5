#include "framework/memory/list_items.h"

#include "framework/memory/control.h"
#include "framework/memory/sort_order.h"
#include "text/cp936.h"

#include <stdexcept>

namespace fw::mem {

const std::string& ListItems::at(int index) const {
    if (index < 0 || index >= count()) {
        throw std::out_of_range("control " + std::to_string(ownerId_) + " has no entry " + std::to_string(index));
    }
    return entries_[static_cast<std::size_t>(index)];
}

int ListItems::insert(int index, const std::string& entry) {
    if (index == -1) {
        index = count();
    }
    if (index < 0 || index > count()) {
        throw std::out_of_range("control " + std::to_string(ownerId_) + ": no place " + std::to_string(index) +
                                " to insert at");
    }
    entries_.insert(entries_.begin() + index, windowText(entry));
    if (index <= selected_) {
        ++selected_;
    }
    return index;
}

int ListItems::add(const std::string& entry) {
    if (!sorted_) {
        return insert(-1, entry);
    }
    const std::string kept = windowText(entry);
    int low = 0;
    int high = count() - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int order = compareForSort(entries_[static_cast<std::size_t>(middle)], kept);
        if (order == 0) {
            return insert(middle, kept);
        }
        if (order > 0) {
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    return insert(low, kept);
}

void ListItems::remove(int index) {
    at(index);
    entries_.erase(entries_.begin() + index);
    if (index == selected_) {
        selected_ = -1;
    } else if (index < selected_) {
        --selected_;
    }
}

void ListItems::clear() {
    entries_.clear();
    selected_ = -1;
}

void ListItems::select(int index) {
    if (index < -1) {
        throw std::out_of_range("control " + std::to_string(ownerId_) + ": no entry " + std::to_string(index) +
                                " to select");
    }
    selected_ = index < count() ? index : -1;
}

int ListItems::findPrefix(const std::string& prefix) const {
    if (prefix.empty()) {
        return -1;
    }
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (text::startsWithNoCase(entries_[i], prefix)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ListItems::selectPrefix(const std::string& prefix) {
    const int index = findPrefix(prefix);
    if (index >= 0) {
        selected_ = index;
    }
    return index;
}

} // namespace fw::mem
