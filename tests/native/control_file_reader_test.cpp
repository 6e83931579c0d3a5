#include "loaddef/control_file.h"
#include "loaddef/control_file_reader.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using loaddef::ControlFileContents;
using loaddef::ControlFileRead;
using loaddef::parseControlFile;
using Fields = std::vector<std::string>;

ControlFileContents parsed(const std::string& bytes) {
    const std::optional<ControlFileContents> c = parseControlFile(bytes);
    EXPECT_TRUE(c.has_value()) << bytes;
    return c.value_or(ControlFileContents{});
}

using Layout = std::vector<std::optional<int>>; // record type, delimiter, qualifier

Layout layoutOf(const ControlFileContents& c) {
    return {c.recordType, c.delimiterIndex, c.qualifierIndex};
}

TEST(ParseControlFile, ReadsBackWhatTheWriterWrote) {
    // Entry -1 (a typed text) writes no delimiter, and no qualifier.
    for (int recordType : {0, 1}) {
        for (int delimiter = -1; delimiter < 4; ++delimiter) {
            for (int qualifier = -1; qualifier < 2; ++qualifier) {
                SCOPED_TRACE(std::to_string(recordType) + " " + std::to_string(delimiter) + " " +
                             std::to_string(qualifier));
                // D:\数据\emp,1.txt
                loaddef::ControlFileInput in{"D:\\\xCA\xFD\xBE\xDD\\emp,1.txt",
                                             "EMP",
                                             qualifier + 1,
                                             recordType,
                                             delimiter,
                                             qualifier,
                                             {"EMPNO position(01:12) CHAR", "HIREDATE DATE''"}};
                Fields fields = {"EMPNO position(01:12) CHAR", "HIREDATE DATE"};
                if (delimiter == 0) {
                    in = {"", "", qualifier + 1, recordType, delimiter, qualifier, {}};
                    fields.clear();
                }
                const ControlFileContents c = parsed(loaddef::controlFileText(in));
                EXPECT_EQ(c.dataFile, in.dataFile);
                EXPECT_EQ(c.tableName, in.tableName);
                EXPECT_EQ(c.loadMode, std::optional<int>(in.loadMode == 0 ? 0 : 1));
                EXPECT_EQ(c.fields, fields);
                const std::optional<int> none;
                const Layout layout = recordType == 1 ? Layout{1, none, none}
                                                      : Layout{0, delimiter < 0 ? none : delimiter, qualifier == 1};
                EXPECT_EQ(layoutOf(c), layout);
            }
        }
    }
}

TEST(ParseControlFile, ReadsTheLayoutFromTheTwoLinesAfterTheTableLineOnly) {
    const std::optional<int> none;
    const struct {
        const char* bytes;
        Layout layout;
    } cases[] = {
        {"load data\n\n\nFIELDS TERMINATED BY ';'\nOPTIONALLY ENCLOSED BY '\"'\n(", {0, 2, 1}},
        {"load data\n\n\nfields terminated by 'x' \n\n(", {0, none, 0}},
        {"load data\n\n\nfields terminated by '' \noptionally enclosed by '\"' \n(", {0, none, 0}},
        {"load data\n\n\nfields terminated by ','", {0, 1, 0}},
        {"load data\n\n\nfields terminated by '", {0, none, 0}},
        {"load data\n\n\nfields terminated by \",\"\n(", {none, none, none}},
        {"load data\ninfile 'a'\nappend into table T\nTRAILING NULLCOLS\n(\nA\n)", {none, none, none}},
        {"load data\ninfile 'a'\nappend into table T\n (\nA\n)", {none, none, none}},
        {"load data\ninfile 'a'\nappend into table T", {none, none, none}},
        {"load data\n\n\n(\nfields terminated by ','\n)", {1, none, none}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(layoutOf(parsed(c.bytes)), c.layout) << c.bytes;
    }
}

TEST(ParseControlFile, ComparesKeywordsIgnoringCase) {
    ControlFileContents c = parsed("LOAD DATA\ninfile 'emp.txt'\nAPPEND INTO TABLE emp\n(\nA\n)");
    EXPECT_EQ(c.loadMode, std::optional<int>(0));
    EXPECT_EQ(c.tableName, "emp");
    c = parsed("Load Data\r\n\r\nRePlAcE into table scott.emp\t\r\n(\r\nA\r\n)\r\n");
    EXPECT_EQ(c.loadMode, std::optional<int>(1));
    EXPECT_EQ(c.tableName, "scott.emp");
    EXPECT_EQ(c.fields, Fields{"A"});
    // Only the first six or seven characters count.
    EXPECT_EQ(parsed("load data\n\nappended\n").loadMode, std::optional<int>(0));
    EXPECT_EQ(parsed("load data\n\nreplacement\n").loadMode, std::optional<int>(1));
    EXPECT_EQ(parsed("load data\n\nREPLAC into table T\n").loadMode, std::nullopt);
}

TEST(ParseControlFile, RefusesAFirstLineThatIsNotLoadDataWhole) {
    for (const char* bytes :
         {"", "\n", "load  data", "load data \r\n", " load data", "loaddata", "load data;", "\xEF\xBB\xBFload data",
          "\xA3\xEC\xA3\xEF\xA3\xE1\xA3\xE4 data", "infile 'a'\nload data"})
        EXPECT_FALSE(parseControlFile(bytes).has_value()) << bytes;
}

TEST(ParseControlFile, MissingLinesLeaveTheirValuesEmpty) {
    for (const char* bytes : {"load data", "load data\r\n"}) {
        const ControlFileContents c = parsed(bytes);
        EXPECT_EQ(c.dataFile, "");
        EXPECT_EQ(c.loadMode, std::nullopt);
        EXPECT_EQ(c.tableName, "");
        EXPECT_EQ(c.fields, Fields{});
    }
    const ControlFileContents two = parsed("load data\ninfile 'a.txt'");
    EXPECT_EQ(two.dataFile, "a.txt");
    EXPECT_EQ(two.loadMode, std::nullopt);

    // A third line naming neither mode still gives its last word as the table.
    const ControlFileContents neither = parsed("load data\ninfile 'a'\ninsert into table T\n(\nA,\nB\n)");
    EXPECT_EQ(neither.loadMode, std::nullopt);
    EXPECT_EQ(neither.tableName, "T");
    EXPECT_EQ(neither.fields, (Fields{"A", "B"}));

    // No "(" line: no fields, the rest is read.
    const ControlFileContents noOpen = parsed("load data\ninfile 'a'\nappend into table T\nA,\nB\n)");
    EXPECT_EQ(noOpen.dataFile, "a");
    EXPECT_EQ(noOpen.tableName, "T");
    EXPECT_EQ(noOpen.fields, Fields{});

    // Ends before ")": every line after "(" is kept, an empty last one too.
    EXPECT_EQ(parsed("load data\n\n\n(\nA,\nB,\n\n").fields, (Fields{"A", "B", ""}));
    EXPECT_EQ(parsed("load data\n\n\n(").fields, Fields{});
}

TEST(ParseControlFile, ReadsAHandWrittenLayoutByPosition) {
    const ControlFileContents c = parsed("Load Data\r\n"
                                         "INFILE \"emp.dat\"  BADFILE 'emp.bad'  DISCARDFILE 'emp.dsc'\r\n"
                                         "INTO TABLE emp\r\n"
                                         "FIELDS TERMINATED BY ','\r\n"
                                         "( empno, ename )\r\n"
                                         "(\r\n"
                                         "  empno  POSITION(1:4) INTEGER EXTERNAL,\r\n"
                                         "  \r\n"
                                         "  ename  POSITION(6:15) CHAR,,\r\n"
                                         " )\r\n"
                                         ")\r\n"
                                         "(\r\n"
                                         "after\r\n");
    EXPECT_EQ(c.dataFile, "emp.bad");
    EXPECT_EQ(c.loadMode, std::nullopt);
    EXPECT_EQ(c.tableName, "emp");
    EXPECT_EQ(c.fields,
              (Fields{"  empno  POSITION(1:4) INTEGER EXTERNAL", "  ", "  ename  POSITION(6:15) CHAR", " )"}));

    // Lines 2 and 3 are the data file and table lines whatever they hold, and
    // the search for "(" starts after them.
    const ControlFileContents early = parsed("load data\n(\nA\n)\n");
    EXPECT_EQ(early.dataFile, "");
    EXPECT_EQ(early.tableName, "A");
    EXPECT_EQ(early.fields, Fields{});

    EXPECT_EQ(parsed("load data\ninfile 'a'b'c'\n").dataFile, "a");
    EXPECT_EQ(parsed("load data\ninfile 'a\n").dataFile, "");
    EXPECT_EQ(parsed("load data\ninfile ''\n").dataFile, "");
    // The table is cut at the last blank, a trailing one included.
    EXPECT_EQ(parsed("load data\n\nappend into table EMP \n").tableName, "");
    EXPECT_EQ(parsed("load data\n\nEMP\n").tableName, "EMP");
    EXPECT_EQ(parsed("load data\n\nappend into table \xB1\xED \xC3\xFB\n").tableName, "\xC3\xFB");
}

TEST(ParseControlFile, KeepsBinaryBytesAsTheyStand) {
    const char raw[] = "load data\r\n"
                       "infile '\0\xFF\r'\r\n"
                       "\xFF\xFE\r\n"
                       "(\r\n"
                       "\0,\xFF\r\n"
                       "\xB0,\r\n"
                       "\x81";
    const ControlFileContents c = parsed(std::string(raw, sizeof raw - 1));
    EXPECT_EQ(c.dataFile, std::string("\0\xFF\r", 3));
    EXPECT_EQ(c.loadMode, std::nullopt);
    EXPECT_EQ(c.tableName, "\xFF\xFE");
    // A comma that is the second byte of a lead byte's pair stays.
    EXPECT_EQ(c.fields, (Fields{std::string("\0\xFF", 2), "\xB0,", "\x81"}));

    // Whatever the bytes, parsing ends without a fault (the sanitizers watch).
    std::mt19937 random(936);
    const char alphabet[] = {'\r', '\n', '\'', ',', '(', ')', ' ', 'a', '\0', '\x81', '\xFE', '\xFF'};
    for (int round = 0; round < 2000; ++round) {
        std::string noise = "load data\n";
        const std::size_t length = random() % 40;
        for (std::size_t i = 0; i < length; ++i)
            noise += alphabet[random() % sizeof alphabet];
        const std::optional<ControlFileContents> n = parseControlFile(noise);
        ASSERT_TRUE(n.has_value());
        EXPECT_LE(n->fields.size(), length);
    }
}

class ReadControlFile : public testfiles::TempFolder {};

TEST_F(ReadControlFile, ReportsAFileThatCannotBeOpenedOrReadOrIsNoControlFile) {
    ControlFileContents c;
    c.tableName = "untouched";
    EXPECT_EQ(loaddef::readControlFile(path("missing.ctl"), c), ControlFileRead::OpenFailed);
    // A folder opens on POSIX but cannot be read.
    EXPECT_EQ(loaddef::readControlFile(dir_.string(), c), ControlFileRead::ReadFailed);
    testfiles::writeBytes(path("other.ctl"), "options (skip=1)\r\nload data\r\n");
    EXPECT_EQ(loaddef::readControlFile(path("other.ctl"), c), ControlFileRead::NotAControlFile);
    EXPECT_EQ(c.tableName, "untouched");
}

} // namespace
