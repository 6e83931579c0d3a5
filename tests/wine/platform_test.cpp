// The Win32 program path under Wine, as the full Windows path of a copy of
// this program in a folder whose name holds trail bytes 0x5C; file move and
// child process are tested in platform/child_process_test.cpp, shared with
// the POSIX implementation.
#include "env.h"
#include "platform/child.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <windows.h>

namespace {

using testenv::getEnv;
using testenv::ScopedEnv;

class PlatformWin32 : public ::testing::Test {
protected:
    void TearDown() override {
        ::DeleteFileA(copy_.c_str());
        ::RemoveDirectoryA(folder_.c_str());
    }

    std::string folder_;
    std::string copy_;
};

// Run in a copy of this program by the next test: prints its own path.
TEST_F(PlatformWin32, PrintsExecutablePathForTheDbcsTest) {
    if (getEnv("BRENNICK_PRINT_EXE_PATH") != "1")
        GTEST_SKIP() << "only run by PathWithTrailByte5CIsReturnedWhole";
    std::printf("exe=%s\n", platform::executablePath().c_str());
    std::fflush(stdout);
}

TEST_F(PlatformWin32, PathWithTrailByte5CIsReturnedWhole) {
    ASSERT_EQ(::GetACP(), 936u) << "the test needs code page 936 (LANG=zh_CN.UTF-8)";
    // "\xB1\x5C" and "\x95\x5C" are double-byte characters whose second byte is '\\'.
    char temp[MAX_PATH + 1];
    DWORD n = ::GetTempPathA(sizeof temp, temp);
    ASSERT_GT(n, 0u);
    folder_ = std::string(temp, n) + "brennick-\xB1\x5C\x95\x5C-" + std::to_string(::GetCurrentProcessId());
    ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), NULL)) << folder_;
    copy_ = folder_ + "\\wine_tests.exe";
    ASSERT_TRUE(::CopyFileA(platform::executablePath().c_str(), copy_.c_str(), TRUE)) << copy_;

    ScopedEnv print("BRENNICK_PRINT_EXE_PATH", "1");
    auto child =
        platformtest::start("\"" + copy_ + "\" --gtest_filter=PlatformWin32.PrintsExecutablePathForTheDbcsTest");
    ASSERT_TRUE(child);
    std::string out = platformtest::readAll(*child);
    std::size_t at = out.find("exe=");
    ASSERT_NE(at, std::string::npos) << out;
    std::string printed = out.substr(at + 4, out.find_first_of("\r\n", at) - at - 4);
    EXPECT_EQ(printed, copy_);
}

} // namespace
