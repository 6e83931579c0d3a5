// Code page 936 as the fuzz properties see it, written apart from the
// product's helpers. Characters are walked as the ANSI functions of Windows
// walk them: a lead byte (0x81..0xFE) takes the byte after it, whatever that
// is, into one double-byte character; a lead byte at the very end, and every
// other byte, is a character of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzzgbk {

inline bool isLead(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

// Whether a character starts at each byte index.
inline std::vector<bool> characterStarts(const std::string& s) {
    std::vector<bool> starts(s.size(), false);
    for (std::size_t i = 0; i < s.size();) {
        starts[i] = true;
        i += isLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
    }
    return starts;
}

// Whether `s` ends in a lead byte that stands alone: followed by another
// text, it takes that text's first byte into a character.
inline bool endsInLoneLead(const std::string& s) {
    return !s.empty() && characterStarts(s).back() && isLead(static_cast<unsigned char>(s.back()));
}

// `s` without every byte `c` that is a character of its own.
inline std::string without(const std::string& s, char c) {
    const std::vector<bool> starts = characterStarts(s);
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!(starts[i] && s[i] == c)) {
            out += s[i];
        }
    }
    return out;
}

inline std::string withoutByte(std::string s, char c) {
    std::string out;
    for (char b : s) {
        if (b != c) {
            out += b;
        }
    }
    return out;
}

inline bool holds(const std::string& s, char c) {
    return s.find(c) != std::string::npos;
}

// Prints what broke the property and ends the run as a finding.
[[noreturn]] inline void fail(const char* what, const std::string& expected, const std::string& got) {
    auto show = [](const std::string& s) {
        std::string out;
        char hex[8];
        for (unsigned char c : s) {
            if (c >= 0x20 && c < 0x7F && c != '\\') {
                out += static_cast<char>(c);
            } else {
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            }
        }
        return out;
    };
    std::fprintf(stderr, "property broken: %s\n  expected: \"%s\"\n  got:      \"%s\"\n", what, show(expected).c_str(),
                 show(got).c_str());
    std::abort();
}

inline void expectEqual(const char* what, const std::string& expected, const std::string& got) {
    if (expected != got) {
        fail(what, expected, got);
    }
}

inline void expectTrue(const char* what, bool holds) {
    if (!holds) {
        fail(what, "true", "false");
    }
}

} // namespace fuzzgbk
