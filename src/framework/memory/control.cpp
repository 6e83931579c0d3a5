#include "framework/memory/control.h"

#include "text/cp936.h"

namespace fw::mem {

namespace {

bool isTrailByte(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE);
}

} // namespace

std::string windowText(const std::string& raw) {
    // The ANSI window functions take zero-terminated texts: a zero byte ends one.
    const std::string bytes = raw.substr(0, raw.find('\0'));
    std::string kept;
    kept.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = text::charLength(bytes, i);
        const bool broken = text::isLeadByte(static_cast<unsigned char>(bytes[i])) &&
                            (n == 1 || !isTrailByte(static_cast<unsigned char>(bytes[i + 1])));
        if (broken) {
            kept += '?';
        } else {
            kept.append(bytes, i, n);
        }
        i += n;
    }
    return kept;
}

std::size_t charCount(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += text::charLength(text, i)) {
        ++count;
    }
    return count;
}

MemoryControl::MemoryControl(const ItemTemplate& item, Kind kind, Notifier notifier)
    : text_(windowText(item.caption)), id_(item.id), kind_(kind), style_(item.style),
      enabled_((item.style & kWsDisabled) == 0), notifier_(std::move(notifier)) {}

} // namespace fw::mem
