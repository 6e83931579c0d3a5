// The control file reader is given whatever file a person chose: any bytes.
//
// Properties:
//  1. Any bytes: the reader returns, and what it read, written again by the
//     writer, reads back the same (fields less the quote pairs the writer
//     removes; the record type, delimiter and qualifier where they were
//     read).
//  2. A control file the writer made from any definition whose texts hold no
//     line break reads back to the same field lines less their quote pairs
//     and commas; the data file when it holds no single quote; the table
//     when it holds no white space; the load mode; the record type, and for
//     the variable-length type the delimiter entry (absent for none) and
//     the qualifier entry (0 for none). A text that ends in a
//     lone lead byte takes the byte the writer puts after it (a quote, a
//     comma) into a character, as every ANSI function of Windows would: such
//     a data file or field is left out of the comparison.
#include "gbk.h"
#include "loaddef/control_file.h"
#include "loaddef/control_file_reader.h"
#include "text/cp936.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

using fuzzgbk::expectEqual;
using fuzzgbk::expectTrue;

// Every pair of adjacent single quotes removed, left to right.
std::string withoutQuotePairs(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\'' && i + 1 < s.size() && s[i + 1] == '\'') {
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

// The field lines the reader gives for `fields` written by the writer: quote
// pairs and commas gone. The last field is written without a comma of its
// own, so when it is ")" as written it ends the list early; the reader
// compares a line before it removes commas (",)" is a field, read as ")").
std::vector<std::string> readBack(const std::vector<std::string>& fields) {
    std::vector<std::string> lines;
    for (const std::string& f : fields) {
        lines.push_back(fuzzgbk::without(withoutQuotePairs(f), ','));
    }
    if (!fields.empty() && withoutQuotePairs(fields.back()) == ")") {
        lines.pop_back();
    }
    return lines;
}

void expectFields(const char* what, const std::vector<std::string>& expected, const std::vector<std::string>& got) {
    expectEqual(what, std::to_string(expected.size()) + " fields", std::to_string(got.size()) + " fields");
    for (std::size_t i = 0; i < expected.size(); ++i) {
        expectEqual(what, expected[i], got[i]);
    }
}

std::string oneLine(FuzzedDataProvider& in, std::size_t max) {
    return fuzzgbk::withoutByte(in.ConsumeRandomLengthString(max), '\n');
}

bool isWhite(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The record type, delimiter and qualifier entries as text, "-" for absent.
std::string layoutOf(const loaddef::ControlFileContents& c) {
    std::string out;
    for (const std::optional<int>& v : {c.recordType, c.delimiterIndex, c.qualifierIndex}) {
        out += v ? std::to_string(*v) + " " : "- ";
    }
    return out;
}

void rereadWhatWasRead(const std::string& bytes) {
    const std::optional<loaddef::ControlFileContents> read = loaddef::parseControlFile(bytes);
    if (!read) {
        return;
    }
    loaddef::ControlFileInput again;
    again.dataFile = read->dataFile;
    again.tableName = read->tableName;
    again.loadMode = read->loadMode.value_or(0);
    again.recordType = read->recordType.value_or(0);
    again.delimiterIndex = read->delimiterIndex.value_or(-1);
    again.qualifierIndex = read->qualifierIndex.value_or(0);
    again.fields = read->fields;
    const std::optional<loaddef::ControlFileContents> reread =
        loaddef::parseControlFile(loaddef::controlFileText(again));
    expectTrue("a file the writer made is a control file", reread.has_value());
    if (read->recordType) {
        expectEqual("layout read, written and read again", layoutOf(*read), layoutOf(*reread));
    }
    expectEqual("data file read, written and read again", read->dataFile, reread->dataFile);
    expectEqual("table read, written and read again", read->tableName, reread->tableName);
    if (std::none_of(read->fields.begin(), read->fields.end(),
                     [](const std::string& f) { return fuzzgbk::endsInLoneLead(withoutQuotePairs(f)); })) {
        expectFields("fields read, written and read again", readBack(read->fields), reread->fields);
    }
}

void readWhatWasWritten(FuzzedDataProvider& in) {
    loaddef::ControlFileInput input;
    input.loadMode = in.ConsumeIntegralInRange(0, 2);
    input.recordType = in.ConsumeIntegralInRange(-1, 2);
    input.delimiterIndex = in.ConsumeIntegralInRange(-1, 4);
    input.qualifierIndex = in.ConsumeIntegralInRange(-1, 2);
    input.dataFile = oneLine(in, 300);
    input.tableName = oneLine(in, 60);
    const int count = in.ConsumeIntegralInRange(0, 12);
    for (int i = 0; i < count; ++i) {
        input.fields.push_back(oneLine(in, 200));
    }
    const std::optional<loaddef::ControlFileContents> read = loaddef::parseControlFile(loaddef::controlFileText(input));
    expectTrue("a file the writer made is a control file", read.has_value());
    expectTrue("the load mode reads back", read->loadMode == (input.loadMode == 0 ? 0 : 1));
    loaddef::ControlFileContents layout;
    layout.recordType = input.recordType == 0 ? 0 : 1;
    if (input.recordType == 0) {
        if (input.delimiterIndex >= 0 && input.delimiterIndex < 4) {
            layout.delimiterIndex = input.delimiterIndex;
        }
        layout.qualifierIndex = input.qualifierIndex == 1 ? 1 : 0;
    }
    expectEqual("layout written and read", layoutOf(layout), layoutOf(*read));
    if (!fuzzgbk::holds(input.dataFile, '\'') && !fuzzgbk::endsInLoneLead(input.dataFile)) {
        expectEqual("data file written and read", input.dataFile, read->dataFile);
    }
    const std::string& table = input.tableName;
    if (!fuzzgbk::holds(table, ' ') && (table.empty() || (!isWhite(table.front()) && !isWhite(table.back())))) {
        expectEqual("table written and read", table, read->tableName);
    }
    const bool comparable = std::none_of(input.fields.begin(), input.fields.end(), [](const std::string& f) {
        return fuzzgbk::endsInLoneLead(withoutQuotePairs(f));
    });
    if (comparable) {
        expectFields("fields written and read", readBack(input.fields), read->fields);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    rereadWhatWasRead(bytes);
    FuzzedDataProvider in(data, size);
    readWhatWasWritten(in);
    return 0;
}
