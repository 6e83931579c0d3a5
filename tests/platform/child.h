// What the child process tests need: starting a child and reading all it
// writes.
#pragma once

#include "env.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace platformtest {

// Starts `commandLine`; its program is its first word: a full path in
// double quotes, or a name found with ".exe" along the search path.
inline std::unique_ptr<platform::ChildProcess> start(const std::string& commandLine) {
    const std::string program = commandLine[0] == '"'
                                    ? commandLine.substr(1, commandLine.find('"', 1) - 1)
                                    : platform::findProgram(commandLine.substr(0, commandLine.find(' ')) + ".exe", "");
    auto failure = platform::ChildProcess::Failure::Pipe;
    auto child = platform::ChildProcess::start(program, commandLine, failure);
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
