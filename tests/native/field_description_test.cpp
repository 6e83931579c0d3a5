#include "loaddef/field_description.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using loaddef::ComposedField;
using loaddef::composeField;
using loaddef::splitField;
using Outcome = ComposedField::Outcome;

// 姓名 in code page 936, and names whose second bytes are a backslash and
// the letter a.
const std::string kDoubleByteName = "\xD0\xD5\xC3\xFB";
const std::string kTrailByteName = "\xB1\x5C\xB0\x61";

struct Split {
    std::string name;
    std::optional<std::string> position;
    std::string type;
    std::string dateMask;
};

void expectSplit(int recordType, const std::string& line, const Split& want) {
    SCOPED_TRACE("record type " + std::to_string(recordType) + ", line [" + line + "]");
    const std::optional<loaddef::SplitField> got = splitField(recordType, line);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->name, want.name);
    EXPECT_EQ(got->position.has_value(), want.position.has_value());
    EXPECT_EQ(got->position.value_or("(kept)"), want.position.value_or("(kept)"));
    EXPECT_EQ(got->type, want.type);
    EXPECT_EQ(got->dateMask, want.dateMask);
}

TEST(ComposeField, BuildsTheTwoFormsWithAndWithoutTheDateMask) {
    EXPECT_EQ(composeField(0, "EMPNO", "01:12", "CHAR", false, "YYYY-MM-DD").text, "EMPNO CHAR");
    EXPECT_EQ(composeField(0, "HIREDATE", "01:12", "DATE", true, "YYYY-MM-DD").text, "HIREDATE DATE  'YYYY-MM-DD'");
    EXPECT_EQ(composeField(1, "EMPNO", "01:12", "CHAR", false, "YYYY-MM-DD").text, "EMPNO position(01:12) CHAR");
    EXPECT_EQ(composeField(1, "HIREDATE", "13:22", "DATE", true, "YYYYMMDD").text,
              "HIREDATE position(13:22) DATE'YYYYMMDD'");
    // An empty mask still gives its quotes; the control file writer drops them.
    EXPECT_EQ(composeField(0, "HIREDATE", "", "DATE", true, "").text, "HIREDATE DATE  ''");
    EXPECT_EQ(composeField(1, "HIREDATE", "13:22", "DATE", true, "").text, "HIREDATE position(13:22) DATE''");
    // Typed types and odd positions are taken as they stand.
    EXPECT_EQ(composeField(1, "A", "", "CHAR(20) NULLIF A=BLANKS", false, "").text,
              "A position() CHAR(20) NULLIF A=BLANKS");
    EXPECT_EQ(composeField(0, kDoubleByteName, "", "DATE", true, "YYYY/MM/DD").text,
              kDoubleByteName + " DATE  'YYYY/MM/DD'");
}

TEST(ComposeField, TrimsTheNameAndRefusesABlankNameBeforeAMissingRecordType) {
    const ComposedField trimmed = composeField(0, " \t\r\n\v\fEMP NO \f\v\n\r\t ", "", "CHAR", false, "");
    EXPECT_EQ(trimmed.outcome, Outcome::Built);
    EXPECT_EQ(trimmed.name, "EMP NO");
    EXPECT_EQ(trimmed.text, "EMP NO CHAR");

    for (int recordType : {0, 1, -1}) {
        const ComposedField blank = composeField(recordType, " \t \r\n", "01:12", "CHAR", true, "YYYYMMDD");
        EXPECT_EQ(blank.outcome, Outcome::BlankName) << recordType;
        EXPECT_EQ(blank.name, "");
        EXPECT_EQ(blank.text, "");
    }

    for (int recordType : {-1, 2}) {
        const ComposedField none = composeField(recordType, " EMPNO ", "01:12", "CHAR", false, "");
        EXPECT_EQ(none.outcome, Outcome::NoRecordType) << recordType;
        EXPECT_EQ(none.name, "EMPNO");
        EXPECT_EQ(none.text, "");
    }
}

TEST(SplitField, GivesBackWhatTheLineWasBuiltFromInBothForms) {
    struct Case {
        std::string name, position, type;
        bool dateType;
        std::string mask;
    };
    const Case cases[] = {
        {"EMPNO", "01:12", "CHAR", false, ""},           {"HIREDATE", "13:22", "DATE", true, "YYYY-MM-DD"},
        {"HIREDATE", "13:22", "DATE", true, ""},         {"SAL", "1:7", "", false, ""},
        {kDoubleByteName, "01:12", "NUMBER", false, ""}, {kTrailByteName, "20:29", "DATE", true, "YYYYMMDD"},
    };
    for (const Case& c : cases) {
        const std::string variable = composeField(0, c.name, c.position, c.type, c.dateType, c.mask).text;
        expectSplit(0, variable, {c.name, std::nullopt, c.type, c.mask});
        const std::string fixed = composeField(1, c.name, c.position, c.type, c.dateType, c.mask).text;
        expectSplit(1, fixed, {c.name, c.position, c.type, c.mask});
    }
}

// (Lines built by Add come back through the round trip above.)
TEST(SplitField, OddLinesGiveWhatTheCutsYield) {
    // No blank: no name, the whole line is the type.
    expectSplit(0, "EMPNO", {"", std::nullopt, "EMPNO", ""});
    expectSplit(1, "EMPNO", {"", "", "EMPNO", ""});
    // No parentheses in the fixed form: no position, the type runs from the start.
    expectSplit(1, "EMPNO CHAR", {"EMPNO", "", "EMPNO CHAR", ""});
    // A lone quote is a type and no mask.
    expectSplit(0, "'", {"", std::nullopt, "'", ""});
    expectSplit(1, "'", {"", "", "'", ""});
    // A line of the other form.
    expectSplit(0, "EMPNO position(01:12) CHAR", {"EMPNO", std::nullopt, "position(01:12) CHAR", ""});
    // With no type end found, the mask's search starts over at the line's
    // start: the mask is everything before the first quote.
    expectSplit(1, "HIREDATE DATE  'YYYY-MM-DD'", {"HIREDATE", "", "HIREDATE DATE  'YYYY-MM-DD'", "HIREDATE DATE  "});
    expectSplit(0, "EMPNO'x'", {"", std::nullopt, "EMPNO'x'", "EMPNO"});
    // Quotes and parentheses out of order, an unclosed mask.
    expectSplit(1, "A position)1:2( B'", {"A", "", "B", ""});
    expectSplit(0, "A DATE  'YYYY", {"A", std::nullopt, "DATE", ""});
    // A lead byte takes the next byte with it, as the system's character
    // functions do, even when that byte is a blank.
    expectSplit(0, "\xB0 CHAR", {"", std::nullopt, "\xB0 CHAR", ""});
}

TEST(SplitField, RefusesARecordTypeOtherThanTheTwoForms) {
    EXPECT_FALSE(splitField(-1, "EMPNO CHAR").has_value());
    EXPECT_FALSE(splitField(2, "EMPNO CHAR").has_value());
}

} // namespace
