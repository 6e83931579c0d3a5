// The environment of the children a test starts: variables set for the
// length of a test, and the search path that finds the stand-in loader.
#pragma once

#include <string>

#ifdef _WIN32
#include <vector>

#include <windows.h>
#else
#include <cstdlib>
#endif

namespace testenv {

#ifdef _WIN32
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

inline void setEnv(const char* name, const std::string* value) {
    ::SetEnvironmentVariableA(name, value != nullptr ? value->c_str() : nullptr);
}

// The stand-in's folder in the form the search path takes, and the separator.
inline std::string standInFolder() {
    return windowsPath(STANDIN_DIR) + ";";
}
#else
inline std::string getEnv(const char* name, bool* had = nullptr) {
    const char* value = std::getenv(name);
    if (had != nullptr) {
        *had = value != nullptr;
    }
    return value != nullptr ? value : "";
}

inline void setEnv(const char* name, const std::string* value) {
    if (value != nullptr) {
        ::setenv(name, value->c_str(), 1);
    } else {
        ::unsetenv(name);
    }
}

inline std::string standInFolder() {
    return std::string(STANDIN_DIR) + ":";
}
#endif

// The search path with the stand-in loader's folder first.
inline std::string pathWithStandIn() {
    return standInFolder() + getEnv("PATH");
}

// Sets a variable of the environment children inherit, for its lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name), old_(getEnv(name, &had_)) {
        setEnv(name, &value);
    }
    ~ScopedEnv() { setEnv(name_, had_ ? &old_ : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

} // namespace testenv
