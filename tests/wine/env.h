// The environment of the children a Windows test starts: variables set for
// a while, and Linux paths as Wine's programs see them.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace winetest {

// Wine shows the Linux root as drive Z:.
inline std::string windowsPath(std::string posix) {
    for (char& c : posix) {
        if (c == '/') {
            c = '\\';
        }
    }
    return "Z:" + posix;
}

inline std::string getEnv(const char* name, bool* had = nullptr) {
    const DWORD size = ::GetEnvironmentVariableA(name, nullptr, 0);
    if (had != nullptr) {
        *had = size > 0;
    }
    if (size == 0) {
        return std::string();
    }
    std::vector<char> value(size);
    const DWORD n = ::GetEnvironmentVariableA(name, value.data(), size);
    return std::string(value.data(), n);
}

// Sets a variable of the environment children inherit, for its lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name), old_(getEnv(name, &had_)) {
        ::SetEnvironmentVariableA(name, value.c_str());
    }
    ~ScopedEnv() { ::SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

} // namespace winetest
