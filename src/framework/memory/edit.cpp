#include "framework/memory/edit.h"

#include "text/cp936.h"

#include <stdexcept>

namespace fw::mem {

namespace {

constexpr std::uint32_t kEsMultiLine = 0x0004;
constexpr std::uint32_t kEsReadOnly = 0x0800;
constexpr std::uint32_t kEsWantReturn = 0x1000;

// EM_SETLIMITTEXT: the documented limit before it is called, and what a
// limit of 0 means.
constexpr std::size_t kDefaultLimit = 32767;
constexpr std::size_t kMaxSingleLineLimit = 0x7FFFFFFE;
constexpr std::size_t kMaxMultiLineLimit = 0xFFFFFFFF;

} // namespace

MemoryEdit::MemoryEdit(const ItemTemplate& item, Notifier notifier)
    : MemoryControl(item, Kind::Edit, std::move(notifier)), limit_(kDefaultLimit), chars_(charCount(text_)) {}

void MemoryEdit::setText(const std::string& text) {
    MemoryControl::setText(text);
    chars_ = charCount(text_);
}

void MemoryEdit::setLimit(int maxChars) {
    if (maxChars < 0) {
        throw std::logic_error("editLimit: negative limit for control " + std::to_string(id()));
    }
    if (maxChars > 0) {
        limit_ = static_cast<std::size_t>(maxChars);
    } else {
        limit_ = (style() & kEsMultiLine) ? kMaxMultiLineLimit : kMaxSingleLineLimit;
    }
}

void MemoryEdit::append(const std::string& text) {
    const std::string added = windowText(text);
    std::size_t fits = 0;
    while (fits < added.size() && chars_ < limit_) {
        fits += text::charLength(added, fits);
        ++chars_;
    }
    text_.append(added, 0, fits);
}

void MemoryEdit::type(const std::string& chars) {
    if (style() & kEsReadOnly) {
        return;
    }
    for (std::size_t i = 0; i < chars.size();) {
        const std::size_t n = text::charLength(chars, i);
        append(chars.substr(i, n));
        i += n;
    }
}

bool MemoryEdit::wantsReturn() const {
    return (style() & kEsMultiLine) && (style() & kEsWantReturn);
}

} // namespace fw::mem
