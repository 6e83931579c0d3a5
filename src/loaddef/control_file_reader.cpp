#include "loaddef/control_file_reader.h"

#include "loaddef/load_definition.h"
#include "platform/platform.h"
#include "text/cp936.h"

#include <utility>

namespace loaddef {

namespace {

// The text between the first two single quotes; empty without two.
std::string quoted(const std::string& line) {
    const std::size_t open = text::findChar(line, '\'');
    const std::size_t close = open == std::string::npos ? open : text::findChar(line, '\'', open + 1);
    return close == std::string::npos ? std::string() : line.substr(open + 1, close - open - 1);
}

std::optional<int> loadModeOf(const std::string& line) {
    if (text::startsWithNoCase(line, "append")) {
        return kAppend;
    }
    if (text::startsWithNoCase(line, "replace")) {
        return kReplace;
    }
    return std::nullopt;
}

// The last word of the table line: from its last blank to its end, trimmed.
std::string tableOf(const std::string& line) {
    const std::size_t blank = text::lastSeparator(line, ' ');
    return text::trim(blank == std::string::npos ? line : line.substr(blank));
}

std::optional<int> delimiterIndexOf(const std::string& delimiter) {
    for (int i = 0; i < 4; ++i) {
        if (delimiterFor(i) == delimiter) {
            return i;
        }
    }
    return std::nullopt;
}

// The record type, delimiter and qualifier from the line after the table
// line and the one after it.
void readLayout(const std::vector<std::string>& lines, ControlFileContents& c) {
    if (lines.size() <= 3) {
        return;
    }
    if (text::startsWithNoCase(lines[3], "fields terminated by '")) {
        c.recordType = kVariableLength;
        c.delimiterIndex = delimiterIndexOf(quoted(lines[3]));
        c.qualifierIndex = lines.size() > 4 && text::equalsNoCase(lines[4], "optionally enclosed by '\"'") ? 1 : 0;
    } else if (lines[3] == "(") {
        c.recordType = kFixedLength;
    }
}

std::string withoutCommas(const std::string& line) {
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); i += text::charLength(line, i)) {
        if (line[i] != ',') {
            out.append(line, i, text::charLength(line, i));
        }
    }
    return out;
}

} // namespace

std::optional<ControlFileContents> parseControlFile(const std::string& bytes) {
    const std::vector<std::string> lines = text::splitLines(bytes);
    if (lines.empty() || !text::equalsNoCase(lines[0], "load data")) {
        return std::nullopt;
    }
    ControlFileContents c;
    if (lines.size() > 1) {
        c.dataFile = quoted(lines[1]);
    }
    if (lines.size() > 2) {
        c.loadMode = loadModeOf(lines[2]);
        c.tableName = tableOf(lines[2]);
    }
    readLayout(lines, c);
    std::size_t i = 3;
    while (i < lines.size() && !text::equalsNoCase(lines[i], "(")) {
        ++i;
    }
    for (++i; i < lines.size() && !text::equalsNoCase(lines[i], ")"); ++i) {
        c.fields.push_back(withoutCommas(lines[i]));
    }
    return c;
}

ControlFileRead readControlFile(const std::string& path, ControlFileContents& contents) {
    std::string bytes;
    switch (platform::readFile(path, bytes)) {
    case platform::ReadStatus::OpenFailed:
        return ControlFileRead::OpenFailed;
    case platform::ReadStatus::ReadFailed:
        return ControlFileRead::ReadFailed;
    case platform::ReadStatus::Read:
        break;
    }
    std::optional<ControlFileContents> parsed = parseControlFile(bytes);
    if (!parsed) {
        return ControlFileRead::NotAControlFile;
    }
    contents = std::move(*parsed);
    return ControlFileRead::Read;
}

} // namespace loaddef
