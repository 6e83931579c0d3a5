#include "text/cp936.h"

#include <gtest/gtest.h>

namespace {

constexpr std::size_t npos = std::string::npos;

// A lead byte (0x81..0xFE) takes the next byte with it, whatever it is: a
// backslash, a quote or a letter after one is no character of its own. One
// at the very end, and 0x80 or 0xFF anywhere, stands alone.
TEST(Text, SearchesSkipSecondBytesOfDoubleByteCharacters) {
    const struct {
        std::string text;
        char c;
        std::size_t first, last;
    } cases[] = {
        {"C:\\tools\\app.exe", '\\', 2, 8},
        {"app.exe", '\\', npos, npos},
        {"C:\\tools\\\xB1\x5C"
         "app.exe",
         '\\', 2, 8},
        {"C:\\\xB1\x5C\\x.exe", '\\', 2, 5},
        {"\x95\\", '\\', npos, npos},
        {"a\\\x95", '\\', 1, 1},
        {"\\\x81\\", '\\', 0, 0},
        {"\\\xFE\\", '\\', 0, 0},
        {"\\\x80\\", '\\', 0, 2},
        {"\x7F\\", '\\', 1, 1},
        {"\\\xFF\\", '\\', 0, 2},
        {"a'b'c", '\'', 1, 3},
        {"\xB0\x61"
         "a",
         'a', 2, 2},
        {"x\x95", '\x95', 1, 1},
        {"\x81''", '\'', 2, 2},
        {"\x80''", '\'', 1, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text::findChar(c.text, c.c), c.first) << c.text;
        EXPECT_EQ(text::lastSeparator(c.text, c.c), c.last) << c.text;
    }
    EXPECT_EQ(text::findChar("a'b'c", '\'', 2), 3u);
    EXPECT_EQ(text::findChar("a'b'c", '\'', 4), npos);
    EXPECT_EQ(text::findChar("abc", 'c', 9), npos);
    for (const auto& [s, at, length] : {std::tuple<const char*, std::size_t, std::size_t>{"a\xD6", 1, 1},
                                        {"\xD6\xD0", 0, 2},
                                        {"\xD6", 0, 1},
                                        {"\x80\xD0", 0, 1},
                                        {"\xFF\xD0", 0, 1}})
        EXPECT_EQ(text::charLength(s, at), length) << s;
}

// Only a..z and A..Z fold; their neighbours '@' '[' '`' '{' (a letter's
// other case is 0x20 away) do not, nor do bytes above 0x7F, nor the second
// byte of a double-byte character (0xB0 0x61 is no "a").
TEST(Text, CaseFoldsSingleByteLettersOnly) {
    const struct {
        std::string s, prefix;
        bool equal, begins;
    } cases[] = {
        {"DATE", "da", false, true},
        {"date", "DATE", true, true},
        {"AZ", "az", true, true},
        {"mixed Case", "MIXED cASE", true, true},
        {"anything", "", false, true},
        {"DA", "DATE", false, false},
        {"load data ", "load data", false, true},
        {"{TAB}", "{tab]", false, false},
        {"{TAB}", "[tab", false, false},
        {"@", "`", false, false},
        {"`", "@", false, false},
        {"[", "{", false, false},
        {"{", "[", false, false},
        {"\xC1", "\xE1", false, false},
        {"\xB0\x61x", "\xB0\x61", false, true},
        {"\xB0\x41", "\xB0\x61", false, false},
        // A prefix cut after a lead byte, as typing half a character leaves it.
        {"ab\xD6\xD0", "AB\xD6", false, true},
        {"ab\xD7\xD0", "AB\xD6", false, false},
        {"x\xD6", "X\xD6", true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text::equalsNoCase(c.s, c.prefix), c.equal) << c.s << " / " << c.prefix;
        EXPECT_EQ(text::startsWithNoCase(c.s, c.prefix), c.begins) << c.s << " / " << c.prefix;
    }
}

TEST(Text, LinesLineEndsAndWhiteSpace) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(text::splitLines(""), Lines{});
    EXPECT_EQ(text::splitLines("\n"), Lines{""});
    EXPECT_EQ(text::splitLines("a\r\nb\nc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(text::splitLines("a\r\n\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(text::splitLines("a\rb\r\r\nc\r"), (Lines{"a\rb\r", "c\r"})) << "only a CR before an LF ends a line";
    EXPECT_EQ(text::splitLines(std::string("\0\n\xFF", 3)), (Lines{std::string(1, '\0'), "\xFF"}));
    EXPECT_EQ(text::lfToCrLf("a\r\nb\n\n"), "a\r\r\nb\r\n\r\n");
    EXPECT_EQ(text::trim(" \t\r\n\v\fEM NO \f\v\n\r\t "), "EM NO");
    EXPECT_EQ(text::trim("   "), "");
}

} // namespace
