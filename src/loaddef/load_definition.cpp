#include "loaddef/load_definition.h"

#include "text/cp936.h"

namespace loaddef {

const char* const kFieldTypes[4] = {"CHAR", "NUMBER", "DATE", ""};
const char* const kDateMasks[3] = {"YYYY-MM-DD", "YYYY/MM/DD", "YYYYMMDD"};
const char* const kDelimiters[4] = {"{TAB}", "{,}", "{;}", "{Space}"};
const char* const kQualifiers[2] = {"{none}", "\""};

const char* const kDefaultDatabase = "dbname";
const char* const kDefaultUser = "user";
const char* const kDefaultPassword = "kemp";
const char* const kDefaultPosition = "01:12";

const char* const kControlFileName = "load.ctl";
const char* const kParameterFileName = "parfile.cfg";

std::string delimiterFor(int selectedIndex) {
    static const char* const characters[4] = {"\t", ",", ";", " "};
    return selectedIndex >= 0 && selectedIndex < 4 ? characters[selectedIndex] : "";
}

std::string qualifierFor(int selectedIndex) {
    return selectedIndex == 1 ? "\"" : "";
}

std::string folderOf(const std::string& executablePath, char separator) {
    // The backslash may be the second byte of a double-byte character, so it
    // is looked for character by character. No second byte is below 0x40: a
    // slash is always one of its own, also in the native build's paths,
    // which are UTF-8 and would not walk as code page 936.
    const std::size_t cut = static_cast<unsigned char>(separator) < 0x40
                                ? executablePath.rfind(separator)
                                : text::lastSeparator(executablePath, separator);
    return cut == std::string::npos ? std::string() : executablePath.substr(0, cut);
}

std::string fileIn(const std::string& folder, const std::string& name, char separator) {
    return folder + separator + name;
}

} // namespace loaddef
