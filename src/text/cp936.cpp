#include "text/cp936.h"

namespace text {

namespace {

unsigned char fold(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

bool isLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

std::size_t charLength(const std::string& s, std::size_t i) {
    return (isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

std::size_t lastSeparator(const std::string& s, char sep) {
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < s.size(); i += charLength(s, i)) {
        if (s[i] == sep) {
            found = i;
        }
    }
    return found;
}

std::size_t findChar(const std::string& s, char c, std::size_t from) {
    for (std::size_t i = from; i < s.size(); i += charLength(s, i)) {
        if (s[i] == c) {
            return i;
        }
    }
    return std::string::npos;
}

bool startsWithNoCase(const std::string& s, const std::string& prefix) {
    if (prefix.size() > s.size()) {
        return false;
    }
    std::size_t i = 0;
    while (i < prefix.size()) {
        const std::size_t n = charLength(prefix, i);
        if (n == 2 ? (s[i] != prefix[i] || s[i + 1] != prefix[i + 1])
                   : fold(static_cast<unsigned char>(s[i])) != fold(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
        i += n;
    }
    return true;
}

bool equalsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && startsWithNoCase(a, b);
}

std::string lfToCrLf(const std::string& s) {
    std::string out;
    out.reserve(s.size() + s.size() / 16);
    for (char c : s) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

std::vector<std::string> splitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        const std::size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos) {
            end = bytes.size();
        } else if (end > start && bytes[end - 1] == '\r') {
            --end;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = next;
    }
    return lines;
}

std::string trim(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && isSpace(s[b])) {
        ++b;
    }
    while (e > b && isSpace(s[e - 1])) {
        --e;
    }
    return s.substr(b, e - b);
}

} // namespace text
