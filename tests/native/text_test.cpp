#include "text/cp936.h"

#include <gtest/gtest.h>

namespace {

// GBK characters whose second byte is a backslash or an ASCII letter:
// 0xB1 0x5C, 0x95 0x5C ("\x95\\") and 0xB0 0x61 ("\xB0" "a").
const std::string kBackslashTrail = "\xB1\x5C";
const std::string kLetterTrail = "\xB0\x61";

TEST(LastSeparator, SkipsSecondBytesOfDoubleByteCharacters) {
    EXPECT_EQ(text::lastSeparator("C:\\tools\\app.exe", '\\'), 8u);
    EXPECT_EQ(text::lastSeparator("app.exe", '\\'), std::string::npos);
    const std::string path = "C:\\tools\\" + kBackslashTrail + "app.exe";
    EXPECT_EQ(text::lastSeparator(path, '\\'), 8u);
    const std::string folder = "C:\\" + kBackslashTrail + "\\x.exe";
    EXPECT_EQ(text::lastSeparator(folder, '\\'), 5u);
    EXPECT_EQ(text::lastSeparator("\x95\\", '\\'), std::string::npos);
    EXPECT_EQ(text::lastSeparator("a\\\x95", '\\'), 1u) << "a lead byte at the very end stands alone";
}

TEST(StartsWithNoCase, FoldsAsciiOnlyAndComparesDoubleByteCharactersExactly) {
    EXPECT_TRUE(text::startsWithNoCase("DATE", "da"));
    EXPECT_TRUE(text::startsWithNoCase("date", "DATE"));
    EXPECT_TRUE(text::startsWithNoCase("anything", ""));
    EXPECT_FALSE(text::startsWithNoCase("DA", "DATE"));
    EXPECT_FALSE(text::startsWithNoCase("{TAB}", "{tab]"));
    // The trail byte 0x61 is not the letter a and must not fold to A.
    EXPECT_TRUE(text::startsWithNoCase(kLetterTrail + "x", kLetterTrail));
    EXPECT_FALSE(text::startsWithNoCase("\xB0\x41", kLetterTrail));
    EXPECT_TRUE(text::equalsNoCase("Load Data", "LOAD DATA"));
    EXPECT_FALSE(text::equalsNoCase("load data ", "load data"));
}

TEST(FindChar, FindsOnlyCharactersOfTheirOwnFromTheGivenIndex) {
    EXPECT_EQ(text::findChar("a'b'c", '\''), 1u);
    EXPECT_EQ(text::findChar("a'b'c", '\'', 2), 3u);
    EXPECT_EQ(text::findChar("a'b'c", '\'', 4), std::string::npos);
    EXPECT_EQ(text::findChar("abc", 'c', 9), std::string::npos);
    EXPECT_EQ(text::findChar(kLetterTrail + "a", 'a'), 2u) << "the trail byte 0x61 is not an a";
    EXPECT_EQ(text::findChar("x\x95", '\x95'), 1u) << "a lead byte at the very end stands alone";
}

TEST(SplitLines, TakesLfAndCrLfEndsAndALastLineWithoutOne) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(text::splitLines(""), Lines{});
    EXPECT_EQ(text::splitLines("\n"), Lines{""});
    EXPECT_EQ(text::splitLines("a\r\nb\nc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(text::splitLines("a\r\n\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(text::splitLines("a\rb\r\r\nc\r"), (Lines{"a\rb\r", "c\r"})) << "only a CR before an LF ends a line";
    EXPECT_EQ(text::splitLines(std::string("\0\n\xFF", 3)), (Lines{std::string(1, '\0'), "\xFF"}));
}

TEST(LfToCrLf, TurnsEveryLineFeedIntoCarriageReturnLineFeed) {
    EXPECT_EQ(text::lfToCrLf("a\nb"), "a\r\nb");
    EXPECT_EQ(text::lfToCrLf("a\r\nb\n\n"), "a\r\r\nb\r\n\r\n");
    EXPECT_EQ(text::lfToCrLf(""), "");
}

TEST(Trim, RemovesTheSixWhiteSpaceCharactersAtBothEnds) {
    EXPECT_EQ(text::trim(" \t\r\n\v\fEMPNO \f\v\n\r\t "), "EMPNO");
    EXPECT_EQ(text::trim("   "), "");
    EXPECT_EQ(text::trim("A B"), "A B");
}

// The ends of the lead-byte range: 0x81 and 0xFE start a double-byte
// character, 0x80 and 0xFF stand alone, so a backslash or quote after them
// is a character of its own.
TEST(LeadBytes, RangeRunsFrom0x81To0xFEAndNoFurther) {
    EXPECT_FALSE(text::isLeadByte(0x7F));
    EXPECT_FALSE(text::isLeadByte(0x80));
    EXPECT_TRUE(text::isLeadByte(0x81));
    EXPECT_TRUE(text::isLeadByte(0xFE));
    EXPECT_FALSE(text::isLeadByte(0xFF));

    EXPECT_EQ(text::lastSeparator("\\\x81\\", '\\'), 0u) << "0x81 0x5C is one character";
    EXPECT_EQ(text::lastSeparator("\\\xFE\\", '\\'), 0u) << "0xFE 0x5C is one character";
    EXPECT_EQ(text::lastSeparator("\\\x80\\", '\\'), 2u) << "0x80 stands alone";
    EXPECT_EQ(text::lastSeparator("\\\xFF\\", '\\'), 2u) << "0xFF stands alone";
    EXPECT_EQ(text::findChar("\x81''", '\''), 2u);
    EXPECT_EQ(text::findChar("\x80''", '\''), 1u);
    EXPECT_EQ(text::findChar("\xFF''", '\''), 1u);
}

TEST(LeadBytes, ALeadByteThatEndsTheTextIsOneCharacter) {
    EXPECT_EQ(text::charLength("a\xD6", 1), 1u);
    EXPECT_EQ(text::charLength("\xD6\xD0", 0), 2u);
    EXPECT_EQ(text::charLength("\xD6", 0), 1u);
    EXPECT_EQ(text::charLength("\x80\xD0", 0), 1u);
    EXPECT_EQ(text::charLength("\xFF\xD0", 0), 1u);
    // A prefix cut after a lead byte, as typing the first half of a
    // character leaves it, still begins the whole character's text.
    EXPECT_TRUE(text::startsWithNoCase("ab\xD6\xD0", "AB\xD6"));
    EXPECT_FALSE(text::startsWithNoCase("ab\xD7\xD0", "AB\xD6"));
    EXPECT_TRUE(text::equalsNoCase("x\xD6", "X\xD6"));
}

// Only a..z and A..Z fold; their neighbours '@' '[' '`' '{' (which differ
// from a letter's other case by the same 0x20) do not.
TEST(CaseFolding, FoldsTheLettersAToZAndNotTheirNeighbours) {
    EXPECT_TRUE(text::equalsNoCase("a", "A"));
    EXPECT_TRUE(text::equalsNoCase("z", "Z"));
    EXPECT_TRUE(text::equalsNoCase("AZ", "az"));
    EXPECT_TRUE(text::equalsNoCase("mixed Case", "MIXED cASE"));
    EXPECT_FALSE(text::equalsNoCase("@", "`"));
    EXPECT_FALSE(text::equalsNoCase("`", "@"));
    EXPECT_FALSE(text::equalsNoCase("[", "{"));
    EXPECT_FALSE(text::equalsNoCase("{", "["));
    EXPECT_FALSE(text::startsWithNoCase("{TAB}", "[tab"));
    EXPECT_FALSE(text::startsWithNoCase("@x", "`"));
    EXPECT_FALSE(text::equalsNoCase("\xC1", "\xE1")) << "bytes above 0x7F never fold";
}

} // namespace
