#include "framework/memory/button.h"

#include <stdexcept>

namespace fw::mem {

namespace {

constexpr std::uint32_t kBsTypeMask = 0x0F;
constexpr std::uint32_t kBsPushButton = 0x0;
constexpr std::uint32_t kBsDefPushButton = 0x1;
constexpr std::uint32_t kBsCheckBox = 0x2;
constexpr std::uint32_t kBsAutoCheckBox = 0x3;
constexpr std::uint32_t kBsRadioButton = 0x4;
constexpr std::uint32_t kBs3State = 0x5;
constexpr std::uint32_t kBsAuto3State = 0x6;
constexpr std::uint32_t kBsGroupBox = 0x7;
constexpr std::uint32_t kBsAutoRadioButton = 0x9;

} // namespace

MemoryButton::MemoryButton(const ItemTemplate& item, Notifier notifier)
    : MemoryControl(item, Kind::Button, std::move(notifier)) {}

bool MemoryButton::isGroupBox(std::uint32_t style) {
    return (style & kBsTypeMask) == kBsGroupBox;
}

std::uint32_t MemoryButton::buttonType() const {
    return style() & kBsTypeMask;
}

bool MemoryButton::isPushButton() const {
    return buttonType() == kBsPushButton || buttonType() == kBsDefPushButton;
}

bool MemoryButton::isDefaultPushButton() const {
    return buttonType() == kBsDefPushButton;
}

bool MemoryButton::isRadio() const {
    return buttonType() == kBsRadioButton || buttonType() == kBsAutoRadioButton;
}

bool MemoryButton::hasCheckState() const {
    switch (buttonType()) {
    case kBsCheckBox:
    case kBsAutoCheckBox:
    case kBs3State:
    case kBsAuto3State:
    case kBsRadioButton:
    case kBsAutoRadioButton:
        return true;
    default:
        return false;
    }
}

void MemoryButton::setCheck(bool on, const Controls& window) {
    checked_ = on;
    if (!isRadio()) {
        return;
    }
    setStyle(on ? (style() | kWsTabStop) : (style() & ~kWsTabStop));
    if (on && buttonType() == kBsAutoRadioButton) {
        clearGroup(window);
    }
}

void MemoryButton::clearGroup(const Controls& window) {
    std::size_t self = 0;
    while (self < window.size() && window[self].get() != this) {
        ++self;
    }
    if (self == window.size()) {
        throw std::logic_error("button " + std::to_string(id()) + " is not a control of its window");
    }
    std::size_t first = self;
    while (first > 0 && !(window[first]->style() & kWsGroup)) {
        --first;
    }
    for (std::size_t i = first; i < window.size() && (i == first || !(window[i]->style() & kWsGroup)); ++i) {
        auto* other = dynamic_cast<MemoryButton*>(window[i].get());
        if (i != self && other != nullptr && other->isRadio() && other->isEnabled()) {
            other->setCheck(false, window);
        }
    }
}

void MemoryButton::click(const Controls& window) {
    if (buttonType() == kBsAutoCheckBox) {
        setCheck(!checked_, window);
    } else if (buttonType() == kBsAutoRadioButton) {
        setCheck(true, window);
    }
    notify(Notify::Clicked);
}

} // namespace fw::mem
