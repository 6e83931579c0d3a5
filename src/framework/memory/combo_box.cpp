#include "framework/memory/combo_box.h"

#include "text/cp936.h"

#include <stdexcept>

namespace fw::mem {

namespace {

constexpr std::uint32_t kCbsTypeMask = 0x3;
constexpr std::uint32_t kCbsSimple = 0x1;
constexpr std::uint32_t kCbsDropDownList = 0x3;
constexpr std::uint32_t kCbsSort = 0x0100;

} // namespace

MemoryComboBox::MemoryComboBox(const ItemTemplate& item, Notifier notifier)
    : MemoryControl(item, Kind::ComboBox, std::move(notifier)), items_(item.id, (item.style & kCbsSort) != 0) {}

bool MemoryComboBox::hasEditField() const {
    return (style() & kCbsTypeMask) != kCbsDropDownList;
}

void MemoryComboBox::requireDropDownList(const char* operation) const {
    if ((style() & kCbsTypeMask) == kCbsSimple) {
        throw std::logic_error(std::string(operation) + ": combo box " + std::to_string(id()) +
                               " has no list to drop down");
    }
}

void MemoryComboBox::requireEditField(const char* operation) const {
    if (!hasEditField()) {
        throw std::logic_error(std::string(operation) + ": combo box " + std::to_string(id()) + " has no edit field");
    }
}

void MemoryComboBox::select(int index) {
    items_.select(index);
    text_ = items_.selected() < 0 ? std::string() : items_.at(items_.selected());
}

int MemoryComboBox::selectPrefix(const std::string& prefix) {
    const int index = items_.selectPrefix(prefix);
    if (index >= 0) {
        text_ = items_.at(index);
    }
    return index;
}

void MemoryComboBox::setEditText(const std::string& text) {
    requireEditField("comboSetEditText");
    MemoryControl::setText(text);
    items_.select(-1);
}

void MemoryComboBox::setText(const std::string& text) {
    requireEditField("setText");
    MemoryControl::setText(text);
}

void MemoryComboBox::type(const std::string& chars) {
    for (std::size_t i = 0; i < chars.size();) {
        const std::size_t n = text::charLength(chars, i);
        text_ += windowText(chars.substr(i, n));
        items_.select(dropped_ ? items_.findPrefix(text_) : -1);
        notify(Notify::EditChange);
        i += n;
    }
}

void MemoryComboBox::dropDown(bool open) {
    if (dropped_ == open) {
        return;
    }
    if (open && hasEditField()) {
        const int match = items_.findPrefix(text_);
        if (match >= 0) {
            select(match);
        } else {
            items_.select(-1);
        }
    }
    dropped_ = open;
}

void MemoryComboBox::choose(int index) {
    const std::string& entry = items_.at(index);
    items_.select(index);
    if (hasEditField()) {
        text_ = entry;
    }
    dropped_ = false;
    notify(Notify::SelChange);
}

bool MemoryComboBox::closeList() {
    const bool wasOpen = dropped_;
    dropped_ = false;
    return wasOpen;
}

} // namespace fw::mem
