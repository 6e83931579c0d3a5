// Field descriptions, and the control file as the writer makes it and the
// reader takes it back.
#include "loaddef/control_file.h"
#include "loaddef/control_file_reader.h"
#include "loaddef/field_description.h"
#include "loaddef/load_definition.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using namespace std::string_literals;
using loaddef::composeField;
using Outcome = loaddef::ComposedField::Outcome;

// 姓名 in code page 936, and a name whose second bytes are a backslash and
// the letter a.
const std::string kDoubleByteName = "\xD0\xD5\xC3\xFB";
const std::string kTrailByteName = "\xB1\x5C\xB0\x61";

// The boxes' values a line splits into, "|" between them: name, position
// ("-" when the box keeps its text), type, mask.
std::string split(int recordType, const std::string& line) {
    const std::optional<loaddef::SplitField> f = loaddef::splitField(recordType, line);
    return f ? f->name + "|" + f->position.value_or("-") + "|" + f->type + "|" + f->dateMask : "(refused)";
}

TEST(FieldDescription, LinesAreBuiltInTheRecordTypesFormAndSplitBack) {
    const struct {
        int recordType;
        std::string name, position, type;
        bool dated;
        std::string mask, line, parts;
    } cases[] = {
        {0, "EMPNO", "01:12", "CHAR", false, "YYYY-MM-DD", "EMPNO CHAR", "EMPNO|-|CHAR|"},
        {0, "HIREDATE", "", "DATE", true, "YYYY-MM-DD", "HIREDATE DATE  'YYYY-MM-DD'", "HIREDATE|-|DATE|YYYY-MM-DD"},
        {1, "EMPNO", "01:12", "CHAR", false, "YYYY-MM-DD", "EMPNO position(01:12) CHAR", "EMPNO|01:12|CHAR|"},
        {1, "HIREDATE", "13:22", "DATE", true, "YYYYMMDD", "HIREDATE position(13:22) DATE'YYYYMMDD'",
         "HIREDATE|13:22|DATE|YYYYMMDD"},
        // An empty mask keeps its quotes; the control file writer drops them.
        {0, "HIREDATE", "", "DATE", true, "", "HIREDATE DATE  ''", "HIREDATE|-|DATE|"},
        {1, "HIREDATE", "13:22", "DATE", true, "", "HIREDATE position(13:22) DATE''", "HIREDATE|13:22|DATE|"},
        // Typed types and odd positions are taken as they stand.
        {1, "A", "", "CHAR(20) NULLIF A=BLANKS", false, "", "A position() CHAR(20) NULLIF A=BLANKS",
         "A||CHAR(20) NULLIF A=BLANKS|"},
        {0, "SAL", "1:7", "", false, "", "SAL ", "SAL|-||"},
        {0, kDoubleByteName, "", "DATE", true, "YYYY/MM/DD", kDoubleByteName + " DATE  'YYYY/MM/DD'",
         kDoubleByteName + "|-|DATE|YYYY/MM/DD"},
        {1, kTrailByteName, "20:29", "NUMBER", false, "", kTrailByteName + " position(20:29) NUMBER",
         kTrailByteName + "|20:29|NUMBER|"},
    };
    for (const auto& c : cases) {
        const loaddef::ComposedField f = composeField(c.recordType, c.name, c.position, c.type, c.dated, c.mask);
        EXPECT_EQ(f.outcome, Outcome::Built) << c.line;
        EXPECT_EQ(f.text, c.line);
        EXPECT_EQ(split(c.recordType, c.line), c.parts);
    }
}

TEST(FieldDescription, TheNameIsTrimmedAndABlankOneOrAMissingRecordTypeBuildsNothing) {
    const struct {
        int recordType;
        std::string name;
        Outcome outcome;
        std::string trimmed, line;
    } cases[] = {
        {0, " \t\r\n\v\fEMP NO \f\v\n\r\t ", Outcome::Built, "EMP NO", "EMP NO CHAR"},
        {1, " \t \r\n", Outcome::BlankName, "", ""},
        {-1, "", Outcome::BlankName, "", ""},
        {2, " EMPNO ", Outcome::NoRecordType, "EMPNO", ""},
    };
    for (const auto& c : cases) {
        const loaddef::ComposedField f = composeField(c.recordType, c.name, "01:12", "CHAR", false, "");
        EXPECT_EQ(f.outcome, c.outcome) << "[" << c.name << "] record type " << c.recordType;
        EXPECT_EQ(f.name, c.trimmed);
        EXPECT_EQ(f.text, c.line);
    }
    EXPECT_EQ(split(-1, "EMPNO CHAR"), "(refused)");
    EXPECT_EQ(split(2, "EMPNO CHAR"), "(refused)");
}

const std::string kEmpty = "load data\r\ninfile ''\r\nappend into table \r\n";
const std::string kEmpFile = "load data\r\ninfile 'D:\\data\\emp.txt'\r\nappend into table EMP\r\n"
                             "fields terminated by '\t' \r\noptionally enclosed by '\"'\r\n(\r\nEMPNO CHAR,\r\n"
                             "HIREDATE DATE  'YYYY-MM-DD'\r\n)";

TEST(ControlFileText, IsWrittenInTheRecordTypesLayoutWithTheFieldsLessTheirQuotePairs) {
    const std::vector<std::string> fixed = {"EMPNO position(01:12) CHAR", "HIREDATE position(13:22) DATE'YYYY-MM-DD'"};
    const std::string fixedEmp = "load data\r\ninfile 'D:\\data\\emp.txt'\r\nreplace into table EMP\r\n(\r\n"
                                 "EMPNO position(01:12) CHAR,\r\nHIREDATE position(13:22) DATE'YYYY-MM-DD'\r\n)";
    const struct {
        loaddef::ControlFileInput input;
        std::string bytes;
    } cases[] = {
        {{"D:\\data\\emp.txt", "EMP", 0, 0, 0, 1, {"EMPNO CHAR", "HIREDATE DATE  'YYYY-MM-DD'"}}, kEmpFile},
        // Fixed-length records, or none chosen, go straight to the fields,
        // whatever the boxes show; any load mode but append is replace.
        {{"D:\\data\\emp.txt", "EMP", 1, 1, 1, 1, fixed}, fixedEmp},
        {{"D:\\data\\emp.txt", "EMP", 2, -1, 1, 1, fixed}, fixedEmp},
        {{"", "", 0, 0, 0, 0, {}}, kEmpty + "fields terminated by '\t' \r\n\r\n(\r\n)"},
        {{"", "", 0, 0, 1, 0, {}}, kEmpty + "fields terminated by ',' \r\n\r\n(\r\n)"},
        {{"", "", 0, 0, 2, 0, {}}, kEmpty + "fields terminated by ';' \r\n\r\n(\r\n)"},
        {{"", "", 0, 0, 3, -1, {}}, kEmpty + "fields terminated by ' ' \r\n\r\n(\r\n)"},
        {{"", "", 0, 0, -1, 0, {}}, kEmpty + "fields terminated by '' \r\n\r\n(\r\n)"},
        // Every pair of adjacent quotes is removed, from the left.
        {{"", "", 0, 1, 0, 0, {"HIREDATE DATE  ''", "'''", "''''x'", "a'b'c"}},
         kEmpty + "(\r\nHIREDATE DATE  ,\r\n',\r\nx',\r\na'b'c\r\n)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(loaddef::controlFileText(c.input), c.bytes);
}

TEST(LoadDefinition, ProgramFolderIsCutBeforeTheLastRealSeparator) {
    const struct {
        std::string path;
        char separator;
        std::string folder;
    } cases[] = {
        {"C:\\tools\\app.exe", '\\', "C:\\tools"},
        {"C:\\tools\\\xB1\x5C.exe", '\\', "C:\\tools"},
        {"app.exe", '\\', ""},
        // The native build's paths are UTF-8: "/tmp/中/app" holds E4 B8 AD,
        // whose last byte would take the slash as its second in code page 936.
        {"/tmp/\xE4\xB8\xAD/app", '/', "/tmp/\xE4\xB8\xAD"},
        {"/tmp/\x81/app", '/', "/tmp/\x81"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(loaddef::folderOf(c.path, c.separator), c.folder) << c.path;
    EXPECT_EQ(loaddef::fileIn("C:\\tools", "load.ctl", '\\'), "C:\\tools\\load.ctl");
    EXPECT_EQ(loaddef::fileIn("/tmp", "load.ctl", '/'), "/tmp/load.ctl");
}

// What the reader gives, "|" between the parts: the data file, the load
// mode ("-" when absent), the table, the fields (each followed by ";"),
// then the record type, delimiter and qualifier entries.
std::string read(const std::string& bytes) {
    const std::optional<loaddef::ControlFileContents> c = loaddef::parseControlFile(bytes);
    if (!c)
        return "(not a control file)";
    const auto entry = [](const std::optional<int>& v) { return v ? std::to_string(*v) : "-"s; };
    std::string fields;
    for (const std::string& f : c->fields)
        fields += f + ";";
    return c->dataFile + "|" + entry(c->loadMode) + "|" + c->tableName + "|" + fields + "|" + entry(c->recordType) +
           " " + entry(c->delimiterIndex) + " " + entry(c->qualifierIndex);
}

TEST(ParseControlFile, ReadsEachValueFromItsLinePosition) {
    const struct {
        std::string bytes;
        std::string read;
    } cases[] = {
        // What the writer wrote.
        {kEmpFile, "D:\\data\\emp.txt|0|EMP|EMPNO CHAR;HIREDATE DATE  'YYYY-MM-DD';|0 0 1"},
        {kEmpty + "fields terminated by ' ' \r\n\r\n(\r\n)", "|0|||0 3 0"},
        // Keywords ignore case; only their first six or seven characters count.
        {"LOAD DATA\ninfile 'emp.txt'\nAPPEND INTO TABLE emp\n(\nA\n)", "emp.txt|0|emp|A;|1 - -"},
        {"Load Data\r\n\r\nRePlAcE into table scott.emp\t\r\n(\r\nA\r\n)\r\n", "|1|scott.emp|A;|1 - -"},
        {"load data\n\nappended\n", "|0|appended||- - -"},
        {"load data\n\nreplacement\n", "|1|replacement||- - -"},
        {"load data\n\nREPLAC into table T\n", "|-|T||- - -"},
        // The layout comes from the two lines after the table line only.
        {"load data\n\n\nFIELDS TERMINATED BY ';'\nOPTIONALLY ENCLOSED BY '\"'\n(", "|-|||0 2 1"},
        {"load data\n\n\nfields terminated by 'x' \n\n(", "|-|||0 - 0"},
        {"load data\n\n\nfields terminated by '' \noptionally enclosed by '\"' \n(", "|-|||0 - 0"},
        {"load data\n\n\nfields terminated by ','", "|-|||0 1 0"},
        {"load data\n\n\nfields terminated by '", "|-|||0 - 0"},
        {"load data\n\n\nfields terminated by \",\"\n(", "|-|||- - -"},
        {"load data\ninfile 'a'\nappend into table T\nTRAILING NULLCOLS\n(\nA\n)", "a|0|T|A;|- - -"},
        {"load data\n\n\n(\nfields terminated by ','\n)", "|-||fields terminated by '';|1 - -"},
        // Missing lines leave their values empty; a line naming neither mode
        // still gives its last word as the table; without a "(" line no fields.
        {"load data", "|-|||- - -"},
        {"load data\ninfile 'a.txt'", "a.txt|-|||- - -"},
        {"load data\ninfile 'a'\ninsert into table T\n(\nA,\nB\n)", "a|-|T|A;B;|1 - -"},
        {"load data\ninfile 'a'\nappend into table T\nA,\nB\n)", "a|0|T||- - -"},
        {"load data\ninfile 'a'\nappend into table T\n (\nA\n)", "a|0|T||- - -"},
        // Ends before ")": every line after "(" is kept, an empty last one too.
        {"load data\n\n\n(\nA,\nB,\n\n", "|-||A;B;;|1 - -"},
        {"load data\n\n\n(", "|-|||1 - -"},
        // Lines 2 and 3 are the data file and table lines whatever they hold,
        // and the search for "(" starts after them.
        {"load data\n(\nA\n)\n", "|-|A||- - -"},
        {"Load Data\r\nINFILE \"emp.dat\"  BADFILE 'emp.bad'  DISCARDFILE 'emp.dsc'\r\nINTO TABLE emp\r\n"
         "FIELDS TERMINATED BY ','\r\n( empno, ename )\r\n(\r\n  empno  POSITION(1:4) INTEGER EXTERNAL,\r\n  \r\n"
         "  ename  POSITION(6:15) CHAR,,\r\n )\r\n)\r\n(\r\nafter\r\n",
         "emp.bad|-|emp|  empno  POSITION(1:4) INTEGER EXTERNAL;  ;  ename  POSITION(6:15) CHAR; );|0 1 0"},
        {"load data\ninfile 'a'b'c'\n", "a|-|||- - -"},
        {"load data\ninfile 'a\n", "|-|||- - -"},
        // The table is cut at the last blank of its own, a trailing one included.
        {"load data\n\nappend into table EMP \n", "|0|||- - -"},
        {"load data\n\nEMP\n", "|-|EMP||- - -"},
        {"load data\n\nappend into table \xB1\xED \xC3\xFB\n", "|0|\xC3\xFB||- - -"},
        {"load data\n\nappend into table A\xB0 B\n", "|0|A\xB0 B||- - -"},
        // Any bytes are kept as they stand; a comma that is a second byte stays.
        {"load data\r\ninfile '\0\xFF\r'\r\n\xFF\xFE\r\n(\r\n\0,\xFF\r\n\xB0,\r\n\x81"s,
         "\0\xFF\r|-|\xFF\xFE|\0\xFF;\xB0,;\x81;|1 - -"s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read(c.bytes), c.read) << c.bytes;
    for (const char* bytes :
         {"", "\n", "load  data", "load data \r\n", " load data", "loaddata", "load data;", "\xEF\xBB\xBFload data",
          "\xA3\xEC\xA3\xEF\xA3\xE1\xA3\xE4 data", "infile 'a'\nload data"})
        EXPECT_EQ(read(bytes), "(not a control file)") << bytes;
}

} // namespace
