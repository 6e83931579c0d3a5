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

} // namespace
