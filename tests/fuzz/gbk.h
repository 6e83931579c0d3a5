// Code page 936 as the fuzz properties see it, written apart from the
// product's helpers. Characters are walked as the ANSI functions of Windows
// walk them: a lead byte (0x81..0xFE) takes the byte after it, whatever that
// is, into one double-byte character; a lead byte at the very end, and every
// other byte, is a character of its own.
#pragma once

#include <algorithm>
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
    for (std::size_t i = 0; i < s.size(); i += isLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1)
        starts[i] = true;
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
    for (std::size_t i = 0; i < s.size(); ++i)
        out += starts[i] && s[i] == c ? "" : s.substr(i, 1);
    return out;
}

// `s` without a single line break: what a one-line box or file line holds.
inline std::string oneLine(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '\n'), s.end());
    return s;
}

inline bool holds(const std::string& s, char c) {
    return s.find(c) != std::string::npos;
}

// Texts as one, each followed by a line break (which none of them holds).
inline std::string lines(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& t : texts)
        all += t + "\n";
    return all;
}

// Prints what broke the property, bytes outside printable ASCII as \xHH,
// and ends the run as a finding.
inline void expectEqual(const char* what, const std::string& expected, const std::string& got) {
    if (expected == got)
        return;
    auto show = [](const std::string& s) {
        std::string out;
        char hex[8];
        for (unsigned char c : s) {
            std::snprintf(hex, sizeof hex, c >= 0x20 && c < 0x7F && c != '\\' ? "%c" : "\\x%02X", c);
            out += hex;
        }
        return out;
    };
    std::fprintf(stderr, "property broken: %s\n  expected: \"%s\"\n  got:      \"%s\"\n", what, show(expected).c_str(),
                 show(got).c_str());
    std::abort();
}

inline void expectTrue(const char* what, bool holds) {
    expectEqual(what, "true", holds ? "true" : "false");
}

} // namespace fuzzgbk
