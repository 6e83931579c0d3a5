// Reading a saved control file back: the data file, the load mode, the
// table, the record type, field delimiter and text qualifier, and the field
// descriptions, taken by line position from the layout the writer gives the
// file.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace loaddef {

struct ControlFileContents {
    std::string dataFile;
    std::optional<int> loadMode; // 0 append, 1 replace; absent when line 3 names neither
    std::string tableName;
    // Entries as the radio group and boxes number them. The line after the
    // table line "fields terminated by '<c>'...": variable-length, the
    // delimiter entry of <c> (tab, comma, semicolon, blank; absent for any
    // other) and qualifier 1 when the next line is "optionally enclosed by
    // '"'", 0 otherwise; "(": fixed-length, no delimiter or qualifier; any
    // other line: all three absent.
    std::optional<int> recordType;
    std::optional<int> delimiterIndex;
    std::optional<int> qualifierIndex;
    std::vector<std::string> fields; // in file order, every "," removed
};

// The contents of a control file's bytes; absent when the first line is not
// "load data" (ignoring case).
std::optional<ControlFileContents> parseControlFile(const std::string& bytes);

enum class ControlFileRead { Read, NotAControlFile, OpenFailed, ReadFailed };

// Reads and parses the file at `path`; `contents` is set only when Read.
ControlFileRead readControlFile(const std::string& path, ControlFileContents& contents);

} // namespace loaddef
