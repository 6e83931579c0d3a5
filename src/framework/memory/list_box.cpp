#include "framework/memory/list_box.h"

namespace fw::mem {

namespace {

constexpr std::uint32_t kLbsNotify = 0x0001;
constexpr std::uint32_t kLbsSort = 0x0002;

} // namespace

MemoryListBox::MemoryListBox(const ItemTemplate& item, Notifier notifier)
    : MemoryControl(item, Kind::ListBox, std::move(notifier)), items_(item.id, (item.style & kLbsSort) != 0) {}

bool MemoryListBox::notifies() const {
    return (style() & kLbsNotify) != 0;
}

void MemoryListBox::choose(int index) {
    items_.at(index);
    items_.select(index);
    if (notifies()) {
        notify(Notify::SelChange);
    }
}

void MemoryListBox::doubleClick(int index) {
    choose(index);
    if (notifies()) {
        notify(Notify::DoubleClick);
    }
}

} // namespace fw::mem
