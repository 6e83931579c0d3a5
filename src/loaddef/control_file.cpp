#include "loaddef/control_file.h"

#include "loaddef/load_definition.h"
#include "text/cp936.h"

#include <cstdio>

namespace loaddef {

std::string withoutQuotePairs(const std::string& field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\'' && i + 1 < field.size() && field[i + 1] == '\'') {
            ++i;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::string controlFileText(const ControlFileInput& input) {
    std::string s = "load data\n";
    s += "infile '" + input.dataFile + "'\n";
    s += (input.loadMode == kAppend ? "append into table " : "replace into table ") + input.tableName + "\n";
    if (input.recordType == kVariableLength) {
        s += "fields terminated by '" + delimiterFor(input.delimiterIndex) + "' \n";
        const std::string qualifier = qualifierFor(input.qualifierIndex);
        s += qualifier.empty() ? "\n" : "optionally enclosed by '" + qualifier + "'\n";
    }
    s += "(\n";
    for (std::size_t i = 0; i < input.fields.size(); ++i) {
        s += withoutQuotePairs(input.fields[i]);
        s += i + 1 < input.fields.size() ? ",\n" : "\n";
    }
    s += ")";
    // Written as a text-mode file is: every LF stored as CR LF.
    return text::lfToCrLf(s);
}

WriteResult writeControlFile(const std::string& path, const ControlFileInput& input) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return WriteResult::OpenFailed;
    }
    const std::string bytes = controlFileText(input);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed ? WriteResult::Written : WriteResult::WriteFailed;
}

} // namespace loaddef
