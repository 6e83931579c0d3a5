// What the child process suite needs: starting a child and reading all it
// writes, and the few things that differ between the platforms (the
// environment children inherit, the search path that finds the stand-in
// loader, and programs other than the stand-in).
#pragma once

#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include "wine/env.h"
#else
#include <cstdlib>
#endif

namespace platformtest {

#ifdef _WIN32
using winetest::ScopedEnv;

// The search path with the stand-in loader's folder first.
inline std::string pathWithStandIn() {
    return winetest::windowsPath(STANDIN_DIR) + ";" + winetest::getEnv("PATH");
}

// A quick child other than the stand-in, and all it writes.
constexpr const char* kQuickCommand = "cmd /c echo quick";
constexpr const char* kQuickOutput = "quick\r\n";
constexpr const char* kMissingProgram = "Z:\\no\\such\\dir\\sqlldr.exe";
// Wine starts processes slowly.
constexpr std::size_t kWaitingChildren = 30;
constexpr int kQuickRuns = 20;
#else
// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            had_ = true;
            old_ = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (had_)
            ::setenv(name_, old_.c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

inline std::string pathWithStandIn() {
    const char* path = std::getenv("PATH");
    return std::string(STANDIN_DIR) + ":" + (path ? path : "");
}

constexpr const char* kQuickCommand = "echo quick";
constexpr const char* kQuickOutput = "quick\n";
constexpr const char* kMissingProgram = "/no/such/dir/sqlldr";
constexpr std::size_t kWaitingChildren = 100;
constexpr int kQuickRuns = 50;
#endif

inline std::unique_ptr<platform::ChildProcess> start(const std::string& commandLine) {
    auto failure = platform::ChildProcess::Failure::Pipe;
    auto child = platform::ChildProcess::start(commandLine, failure);
    EXPECT_TRUE(child != nullptr) << commandLine;
    EXPECT_EQ(failure, platform::ChildProcess::Failure::None);
    return child;
}

// Reads to the end in pieces of at most 4095 bytes, as the run worker does.
inline std::string readAll(platform::ChildProcess& child, int* reads = nullptr) {
    std::string out;
    std::vector<char> buffer(4095 + 16, '#');
    int count = 0;
    for (std::size_t n; (n = child.read(buffer.data(), 4095)) > 0; ++count) {
        EXPECT_LE(n, 4095u);
        out.append(buffer.data(), n);
    }
    EXPECT_EQ(buffer[4095], '#') << "read wrote past the maximum";
    if (reads)
        *reads = count;
    return out;
}

} // namespace platformtest
