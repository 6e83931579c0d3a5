#include "loaddef/control_file.h"

#include "loaddef/load_definition.h"
#include "platform/platform.h"
#include "text/cp936.h"

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
    // Never a half-written control file: the loader of an earlier run may
    // still read the old one, and a failed write must not leave the next run
    // a truncated one.
    switch (platform::writeFileSafely(path, controlFileText(input))) {
    case platform::SafeWrite::Written:
        return WriteResult::Written;
    case platform::SafeWrite::NotCreated:
        return WriteResult::OpenFailed;
    case platform::SafeWrite::NotWritten:
        break;
    }
    return WriteResult::WriteFailed;
}

} // namespace loaddef
