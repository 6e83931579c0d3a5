// Byte-string helpers for code page 936 (GBK) texts.
//
// Every text in Brennick is a byte string in the ANSI code page. A lead byte
// (0x81..0xFE) starts a double-byte character whose second byte may be any of
// 0x40..0xFE, including 0x5C ('\\') and ASCII letters, so searches and case
// folding must walk the text character by character.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace text {

// True for a byte that starts a double-byte character.
bool isLeadByte(unsigned char c);

// Length in bytes of the character that starts at s[i]: 2 for a lead byte
// followed by another byte, 1 otherwise (a lead byte at the end stands alone).
std::size_t charLength(const std::string& s, std::size_t i);

// Byte index of the last `sep` that is a character of its own (never the
// second byte of a double-byte character); std::string::npos when none.
std::size_t lastSeparator(const std::string& s, char sep);

// Byte index of the first `c` at or after `from` that is a character of its
// own; std::string::npos when none. `from` must start a character.
std::size_t findChar(const std::string& s, char c, std::size_t from = 0);

// True when `s` begins with `prefix`, comparing single-byte characters
// without regard to ASCII case and double-byte characters exactly.
bool startsWithNoCase(const std::string& s, const std::string& prefix);

// True when both texts are equal ignoring case in the same sense.
bool equalsNoCase(const std::string& a, const std::string& b);

// Every LF becomes CR LF (an LF that already follows a CR included).
std::string lfToCrLf(const std::string& s);

// The lines of a text file's bytes, without their line ends: LF or CR LF
// ends a line, a last line without a line end counts, and no line follows a
// final line end (so empty bytes hold no line). A CR not before an LF is text.
std::vector<std::string> splitLines(const std::string& bytes);

// Blank, tab, CR, LF, vertical tab and form feed removed at both ends.
std::string trim(const std::string& s);

} // namespace text
