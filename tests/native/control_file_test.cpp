#include "loaddef/control_file.h"
#include "loaddef/load_definition.h"

#include <gtest/gtest.h>

namespace {

loaddef::ControlFileInput emp() {
    loaddef::ControlFileInput in;
    in.dataFile = "D:\\data\\emp.txt";
    in.tableName = "EMP";
    in.fields = {"EMPNO CHAR", "HIREDATE DATE  'YYYY-MM-DD'"};
    in.qualifierIndex = 1;
    return in;
}

// The bytes of emp()'s control file.
const char* const kEmpFile = "load data\r\n"
                             "infile 'D:\\data\\emp.txt'\r\n"
                             "append into table EMP\r\n"
                             "fields terminated by '\t' \r\n"
                             "optionally enclosed by '\"'\r\n"
                             "(\r\n"
                             "EMPNO CHAR,\r\n"
                             "HIREDATE DATE  'YYYY-MM-DD'\r\n"
                             ")";

TEST(ControlFileText, VariableLengthRecordsCarryDelimiterAndQualifierLines) {
    EXPECT_EQ(loaddef::controlFileText(emp()), kEmpFile);
}

TEST(ControlFileText, FixedLengthRecordsGoStraightToTheFieldsWhateverTheBoxesShow) {
    loaddef::ControlFileInput in = emp();
    in.recordType = loaddef::kFixedLength;
    in.loadMode = loaddef::kReplace;
    in.fields = {"EMPNO position(01:12) CHAR", "HIREDATE position(13:22) DATE'YYYY-MM-DD'"};
    EXPECT_EQ(loaddef::controlFileText(in), "load data\r\n"
                                            "infile 'D:\\data\\emp.txt'\r\n"
                                            "replace into table EMP\r\n"
                                            "(\r\n"
                                            "EMPNO position(01:12) CHAR,\r\n"
                                            "HIREDATE position(13:22) DATE'YYYY-MM-DD'\r\n"
                                            ")");
    in.recordType = -1;
    EXPECT_EQ(loaddef::controlFileText(in).find("fields terminated"), std::string::npos);
}

TEST(ControlFileText, DelimiterAndQualifierFollowTheSelectedIndexes) {
    loaddef::ControlFileInput in = emp();
    in.fields.clear();
    const std::pair<int, const char*> delimiters[] = {{1, "','"}, {2, "';'"}, {3, "' '"}, {-1, "''"}};
    for (const auto& [index, quoted] : delimiters) {
        in.delimiterIndex = index;
        in.qualifierIndex = 0;
        const std::string s = loaddef::controlFileText(in);
        EXPECT_NE(s.find(std::string("fields terminated by ") + quoted + " \r\n\r\n(\r\n)"), std::string::npos) << s;
    }
    in.qualifierIndex = -1;
    EXPECT_NE(loaddef::controlFileText(in).find("' \r\n\r\n("), std::string::npos) << "typed qualifier: no qualifier";
}

TEST(ControlFileText, EmptyValuesAndFieldLinesAreWrittenAsTheyStand) {
    loaddef::ControlFileInput in;
    EXPECT_EQ(loaddef::controlFileText(in),
              "load data\r\ninfile ''\r\nappend into table \r\nfields terminated by '\t' \r\n\r\n(\r\n)");
    in.recordType = loaddef::kFixedLength;
    in.fields = {"HIREDATE DATE  ''"};
    EXPECT_EQ(loaddef::controlFileText(in),
              "load data\r\ninfile ''\r\nappend into table \r\n(\r\nHIREDATE DATE  \r\n)");
}

TEST(WithoutQuotePairs, RemovesEveryAdjacentPairFromTheLeft) {
    EXPECT_EQ(loaddef::withoutQuotePairs("A DATE  ''"), "A DATE  ");
    EXPECT_EQ(loaddef::withoutQuotePairs("'''"), "'");
    EXPECT_EQ(loaddef::withoutQuotePairs("''''x'"), "x'");
    EXPECT_EQ(loaddef::withoutQuotePairs("a'b'c"), "a'b'c");
}

TEST(LoadDefinition, ProgramFolderIsCutBeforeTheLastRealSeparator) {
    EXPECT_EQ(loaddef::folderOf("C:\\tools\\app.exe", '\\'), "C:\\tools");
    EXPECT_EQ(loaddef::folderOf("C:\\tools\\\xB1\x5C.exe", '\\'), "C:\\tools");
    EXPECT_EQ(loaddef::folderOf("app.exe", '\\'), "");
    // The native build's paths are UTF-8: "/tmp/中/app" holds E4 B8 AD, whose
    // last byte would take the slash as its second one in code page 936.
    EXPECT_EQ(loaddef::folderOf("/tmp/\xE4\xB8\xAD/app", '/'), "/tmp/\xE4\xB8\xAD");
    EXPECT_EQ(loaddef::folderOf("/tmp/\x81/app", '/'), "/tmp/\x81");
    EXPECT_EQ(loaddef::fileIn("C:\\tools", "load.ctl", '\\'), "C:\\tools\\load.ctl");
}

} // namespace
