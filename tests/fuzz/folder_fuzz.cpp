// The program folder is cut from the executable's path at its last
// separator, going by characters: the second byte of a double-byte
// character (0x5C, the backslash, among them) is never a separator.
//
// Property, for any path: the folder is the path before the last backslash
// that is a character of its own, so it is a prefix of the path, the cut
// never splits a double-byte character, and no separator follows the cut;
// the folder is empty when the path holds no separator. A slash, which no
// double-byte character holds (second bytes are 0x40 and above), is cut at
// its last byte, whatever comes before it: the native build's paths are
// UTF-8.
#include "gbk.h"
#include "loaddef/load_definition.h"

namespace {

void expectCut(const std::string& path, char separator) {
    const std::vector<bool> starts = fuzzgbk::characterStarts(path);
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if ((starts[i] || separator == '/') && path[i] == separator) {
            last = i;
        }
    }
    const std::string folder = loaddef::folderOf(path, separator);
    fuzzgbk::expectEqual("the folder is the path before its last separator",
                         last == std::string::npos ? "" : path.substr(0, last), folder);
    fuzzgbk::expectEqual("the folder and file name together are the path", path,
                         last == std::string::npos ? path : loaddef::fileIn(folder, path.substr(last + 1), separator));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);
    expectCut(path, '\\');
    expectCut(path, '/');
    return 0;
}
