// The environment of the children a Windows test starts: variables set for
// the length of a test, and the search path that finds the stand-in loader.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace testenv {

// Wine shows the Linux root as drive Z:.
inline std::string windowsPath(std::string posix) {
    for (char& c : posix)
        c = c == '/' ? '\\' : c;
    return "Z:" + posix;
}

// A variable's value; empty when it is not set (`had` tells which).
inline std::string getEnv(const char* name, bool* had = nullptr) {
    const DWORD size = ::GetEnvironmentVariableA(name, nullptr, 0);
    if (had != nullptr)
        *had = size > 0;
    std::vector<char> value(size + 1);
    return std::string(value.data(), ::GetEnvironmentVariableA(name, value.data(), size + 1));
}

// The stand-in's folder in the form the search path takes, and the separator.
inline std::string standInFolder() {
    return windowsPath(STANDIN_DIR) + ";";
}

// The search path with the stand-in loader's folder first.
inline std::string pathWithStandIn() {
    return standInFolder() + getEnv("PATH");
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

} // namespace testenv
