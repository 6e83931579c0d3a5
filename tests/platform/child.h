// What the child process suite needs: starting a child and reading all it
// writes, and the programs other than the stand-in, which differ between
// the platforms.
#pragma once

#include "env.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace platformtest {

#ifdef _WIN32
// A quick child other than the stand-in, and all it writes.
constexpr const char* kQuickCommand = "cmd /c echo quick";
constexpr const char* kQuickOutput = "quick\r\n";
constexpr const char* kMissingProgram = "Z:\\no\\such\\dir\\sqlldr.exe";
// Wine starts processes slowly.
constexpr std::size_t kWaitingChildren = 30;
constexpr int kQuickRuns = 20;
#else
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
inline std::string readAll(platform::ChildProcess& child) {
    std::string out;
    std::vector<char> buffer(4095 + 16, '#');
    for (std::size_t n; (n = child.read(buffer.data(), 4095)) > 0;) {
        EXPECT_LE(n, 4095u);
        out.append(buffer.data(), n);
    }
    EXPECT_EQ(buffer[4095], '#') << "read wrote past the maximum";
    return out;
}

} // namespace platformtest
