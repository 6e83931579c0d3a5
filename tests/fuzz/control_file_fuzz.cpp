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
//     when it holds no blank and no white space at its ends; the load mode;
//     the record type, and for the variable-length type the delimiter entry
//     (absent for none) and the qualifier entry (0 for none). A text that
//     ends in a lone lead byte takes the byte the writer puts after it (a
//     quote, a comma) into a character, as every ANSI function of Windows
//     would: such a data file or field is left out of the comparison.
#include "gbk.h"
#include "loaddef/control_file.h"
#include "loaddef/control_file_reader.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <optional>
#include <string>

namespace {

using fuzzgbk::expectEqual;
using fuzzgbk::expectTrue;
using loaddef::ControlFileContents;

// The field lines the reader gives for `fields` written by the writer
// (nothing to compare when one ends in a lone lead byte): quote pairs and
// commas gone. The last field is written without a comma of its own, so when
// it is ")" as written it ends the list early; the reader compares a line
// before it removes commas (",)" is a field, read as ")").
std::optional<std::string> readBack(const std::vector<std::string>& fields) {
    std::vector<std::string> lines;
    for (const std::string& f : fields) {
        if (fuzzgbk::endsInLoneLead(loaddef::withoutQuotePairs(f)))
            return std::nullopt;
        lines.push_back(fuzzgbk::without(loaddef::withoutQuotePairs(f), ','));
    }
    if (!fields.empty() && loaddef::withoutQuotePairs(fields.back()) == ")")
        lines.pop_back();
    return fuzzgbk::lines(lines);
}

// The record type, delimiter and qualifier entries as text, "-" for absent.
std::string layoutOf(const ControlFileContents& c) {
    std::string out;
    for (const std::optional<int>& v : {c.recordType, c.delimiterIndex, c.qualifierIndex})
        out += v ? std::to_string(*v) + " " : "- ";
    return out;
}

ControlFileContents readWritten(const loaddef::ControlFileInput& input) {
    const std::optional<ControlFileContents> read = loaddef::parseControlFile(loaddef::controlFileText(input));
    expectTrue("a file the writer made is a control file", read.has_value());
    return *read;
}

void rereadWhatWasRead(const std::string& bytes) {
    const std::optional<ControlFileContents> read = loaddef::parseControlFile(bytes);
    if (!read)
        return;
    const ControlFileContents again =
        readWritten({read->dataFile, read->tableName, read->loadMode.value_or(0), read->recordType.value_or(0),
                     read->delimiterIndex.value_or(-1), read->qualifierIndex.value_or(0), read->fields});
    if (read->recordType)
        expectEqual("layout read, written and read again", layoutOf(*read), layoutOf(again));
    expectEqual("data file read, written and read again", read->dataFile, again.dataFile);
    expectEqual("table read, written and read again", read->tableName, again.tableName);
    if (const std::optional<std::string> fields = readBack(read->fields))
        expectEqual("fields read, written and read again", *fields, fuzzgbk::lines(again.fields));
}

void readWhatWasWritten(FuzzedDataProvider& in) {
    loaddef::ControlFileInput input;
    input.loadMode = in.ConsumeIntegralInRange(0, 2);
    input.recordType = in.ConsumeIntegralInRange(-1, 2);
    input.delimiterIndex = in.ConsumeIntegralInRange(-1, 4);
    input.qualifierIndex = in.ConsumeIntegralInRange(-1, 2);
    input.dataFile = fuzzgbk::oneLine(in.ConsumeRandomLengthString(300));
    input.tableName = fuzzgbk::oneLine(in.ConsumeRandomLengthString(60));
    for (int i = in.ConsumeIntegralInRange(0, 12); i > 0; --i)
        input.fields.push_back(fuzzgbk::oneLine(in.ConsumeRandomLengthString(200)));
    const ControlFileContents read = readWritten(input);
    expectTrue("the load mode reads back", read.loadMode == (input.loadMode == 0 ? 0 : 1));
    ControlFileContents layout;
    layout.recordType = input.recordType == 0 ? 0 : 1;
    if (input.recordType == 0) {
        if (input.delimiterIndex >= 0 && input.delimiterIndex < 4)
            layout.delimiterIndex = input.delimiterIndex;
        layout.qualifierIndex = input.qualifierIndex == 1 ? 1 : 0;
    }
    expectEqual("layout written and read", layoutOf(layout), layoutOf(read));
    if (!fuzzgbk::holds(input.dataFile, '\'') && !fuzzgbk::endsInLoneLead(input.dataFile))
        expectEqual("data file written and read", input.dataFile, read.dataFile);
    const std::string& table = input.tableName;
    const auto white = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    if (!fuzzgbk::holds(table, ' ') && (table.empty() || (!white(table.front()) && !white(table.back()))))
        expectEqual("table written and read", table, read.tableName);
    if (const std::optional<std::string> fields = readBack(input.fields))
        expectEqual("fields written and read", *fields, fuzzgbk::lines(read.fields));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    rereadWhatWasRead(std::string(reinterpret_cast<const char*>(data), size));
    FuzzedDataProvider in(data, size);
    readWhatWasWritten(in);
    return 0;
}
