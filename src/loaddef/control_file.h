// The loader's control file: what it holds, and writing it.
#pragma once

#include <string>
#include <vector>

namespace loaddef {

// What the control file is made from.
struct ControlFileInput {
    std::string dataFile;
    std::string tableName;
    int loadMode = 0;       // 0 append, otherwise replace
    int recordType = 0;     // 0 variable-length; otherwise fixed-length
    int delimiterIndex = 0; // selected entry of the field-delimiter box, -1 for none
    int qualifierIndex = 0; // selected entry of the text-qualifier box, -1 for none
    std::vector<std::string> fields;
};

// The file's bytes: CR LF line ends, no line end after the closing ")".
std::string controlFileText(const ControlFileInput& input);

// A field description as it is written: every pair of adjacent single
// quotes removed.
std::string withoutQuotePairs(const std::string& field);

enum class WriteResult { Written, OpenFailed, WriteFailed };

// Writes the control file as `path`, replacing a file of that name once the
// new one is complete. OpenFailed: it could not be created there (a folder
// that cannot be written, a folder or read-only file of that name);
// WriteFailed: writing it failed (a full disk). On failure the old file is
// untouched and nothing else is left in its folder.
WriteResult writeControlFile(const std::string& path, const ControlFileInput& input);

} // namespace loaddef
