// The values that describe one load, their choice lists and the two files
// of fixed name in the program folder.
#pragma once

#include <cstddef>
#include <string>

namespace loaddef {

// Choice lists, in the order their entries are added to the boxes; commands
// act on the selected index, so an index means one thing.
extern const char* const kFieldTypes[4]; // CHAR, NUMBER, DATE, empty
extern const char* const kDateMasks[3];  // YYYY-MM-DD, YYYY/MM/DD, YYYYMMDD
extern const char* const kDelimiters[4]; // {TAB}, {,}, {;}, {Space}
extern const char* const kQualifiers[2]; // {none}, "
constexpr int kDateTypeIndex = 2;        // the field type that carries a date mask
constexpr std::size_t kMaxFieldNameBytes = 30;

// Load modes and record types as the radio groups number them.
constexpr int kAppend = 0;
constexpr int kReplace = 1;
constexpr int kVariableLength = 0;
constexpr int kFixedLength = 1;

// Defaults at start-up.
extern const char* const kDefaultDatabase;
extern const char* const kDefaultUser;
extern const char* const kDefaultPassword;
extern const char* const kDefaultPosition;

// The character a field-delimiter entry stands for (tab, comma, semicolon,
// blank); empty for any other index, typed text included.
std::string delimiterFor(int selectedIndex);
// The text qualifier an entry stands for: none, or the double quote.
std::string qualifierFor(int selectedIndex);

extern const char* const kControlFileName;   // load.ctl
extern const char* const kParameterFileName; // parfile.cfg

// The folder of an executable: its path up to, not including, the last
// separator (a backslash found character by character, so never inside a
// double-byte character; a slash, which no character holds, found as a
// byte); empty when the path has none.
std::string folderOf(const std::string& executablePath, char separator);

// folder + separator + name.
std::string fileIn(const std::string& folder, const std::string& name, char separator);

} // namespace loaddef
