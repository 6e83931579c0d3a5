// The POSIX program path; file move and child process are tested in
// platform/child_process_test.cpp, shared with the Win32 implementation.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(PlatformPosix, ExecutablePathIsThisTestProgram) {
    std::string path = platform::executablePath();
    EXPECT_EQ(platform::kPathSeparator, '/');
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(fs::path(path).filename(), "native_tests");
    EXPECT_TRUE(fs::equivalent(path, "/proc/self/exe"));
}

} // namespace
