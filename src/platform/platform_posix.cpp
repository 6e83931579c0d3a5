// POSIX implementation of the platform layer's file functions, for the
// native build.
#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <string>

namespace platform {

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

ReadStatus readFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return ReadStatus::OpenFailed;
    char buffer[1 << 16];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        bytes.append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    return failed ? ReadStatus::ReadFailed : ReadStatus::Read;
}

NewFileStatus writeNewFile(const std::string& path, const std::string& bytes) {
    // "x": created here, never an existing file opened.
    std::FILE* f = std::fopen(path.c_str(), "wbx");
    if (f == nullptr)
        return errno == EEXIST ? NewFileStatus::Exists : NewFileStatus::NotCreated;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !written) {
        std::remove(path.c_str());
        return NewFileStatus::NotWritten;
    }
    return NewFileStatus::Written;
}

} // namespace platform
