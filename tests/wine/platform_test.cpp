// The Win32 platform layer under Wine: program path (code page 936 included),
// file move, and CreateProcessA with one pipe, driven against sqlldr.exe.
#include "platform/platform.h"
#include "wine/env.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

namespace {

using platform::ChildProcess;

using winetest::getEnv;
using winetest::ScopedEnv;
using winetest::windowsPath;

bool writeFile(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fwrite(text.data(), 1, text.size(), f);
    return std::fclose(f) == 0;
}

std::string readFile(const std::string& path) {
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

bool exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// True when `text` is the stand-in's filler: 64-byte lines numbered 1, 2, ...
::testing::AssertionResult isFiller(const std::string& text) {
    for (std::size_t at = 0, number = 1; at < text.size(); at += 64, ++number) {
        char head[32];
        std::snprintf(head, sizeof head, "line %06u ", static_cast<unsigned>(number));
        if (text.compare(at, 12, head) != 0)
            return ::testing::AssertionFailure() << "line " << number << " at byte " << at << " is wrong";
        if (at + 64 <= text.size() && text[at + 63] != '\n')
            return ::testing::AssertionFailure() << "line " << number << " does not end at byte " << at + 63;
    }
    return ::testing::AssertionSuccess();
}

class PlatformWin32 : public ::testing::Test {
protected:
    // A fresh folder for the test (its name may hold double-byte characters);
    // the files put there are listed for removal.
    std::string makeFolder(const std::string& name) {
        char temp[MAX_PATH + 1];
        DWORD n = ::GetTempPathA(sizeof temp, temp);
        EXPECT_GT(n, 0u);
        char tail[64];
        std::snprintf(tail, sizeof tail, "-%lu-%d", ::GetCurrentProcessId(), ++folders_);
        std::string folder = std::string(temp, n) + name + tail;
        EXPECT_TRUE(::CreateDirectoryA(folder.c_str(), NULL)) << folder;
        made_.push_back(folder);
        return folder;
    }
    std::string file(const std::string& folder, const std::string& name) {
        made_.push_back(folder + "\\" + name);
        return made_.back();
    }
    void TearDown() override {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it)
            if (!::DeleteFileA(it->c_str()))
                ::RemoveDirectoryA(it->c_str());
    }

    std::unique_ptr<ChildProcess> start(const std::string& commandLine) {
        ChildProcess::Failure failure = ChildProcess::Failure::Pipe;
        auto child = ChildProcess::start(commandLine, failure);
        EXPECT_TRUE(child != nullptr) << commandLine;
        EXPECT_EQ(failure, ChildProcess::Failure::None);
        return child;
    }

    // Reads to the end in pieces of at most 4095 bytes, as the run worker does.
    std::string readAll(ChildProcess& child, int* reads = nullptr) {
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

    ScopedEnv path_{"PATH", windowsPath(STANDIN_DIR) + ";" + getEnv("PATH")};
    int folders_ = 0;
    std::vector<std::string> made_;
};

TEST_F(PlatformWin32, ExecutablePathIsAFullWindowsPath) {
    std::string path = platform::executablePath();
    EXPECT_EQ(platform::kPathSeparator, '\\');
    ASSERT_GT(path.size(), 3u);
    EXPECT_EQ(path.substr(1, 2), ":\\") << path;
    const std::string name = "\\wine_tests.exe";
    ASSERT_GE(path.size(), name.size());
    EXPECT_EQ(path.substr(path.size() - name.size()), name) << path;
    EXPECT_TRUE(exists(path)) << path;
}

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
    std::string folder = makeFolder("brennick-\xB1\x5C\x95\x5C");
    std::string copy = file(folder, "wine_tests.exe");
    ASSERT_TRUE(::CopyFileA(platform::executablePath().c_str(), copy.c_str(), TRUE)) << copy;

    ScopedEnv print("BRENNICK_PRINT_EXE_PATH", "1");
    auto child = start("\"" + copy + "\" --gtest_filter=PlatformWin32.PrintsExecutablePathForTheDbcsTest");
    ASSERT_TRUE(child);
    std::string out = readAll(*child);
    std::size_t at = out.find("exe=");
    ASSERT_NE(at, std::string::npos) << out;
    std::string printed = out.substr(at + 4, out.find_first_of("\r\n", at) - at - 4);
    EXPECT_EQ(printed, copy);
}

TEST_F(PlatformWin32, MoveFileMovesAndNeverReplaces) {
    std::string folder = makeFolder("brennick-move");
    std::string a = file(folder, "a.log"), b = file(folder, "b.log"), c = file(folder, "c.log");
    ASSERT_TRUE(writeFile(a, "first"));
    ASSERT_TRUE(platform::moveFile(a, b));
    EXPECT_FALSE(exists(a));
    EXPECT_EQ(readFile(b), "first");

    ASSERT_TRUE(writeFile(c, "second"));
    EXPECT_FALSE(platform::moveFile(c, b));
    EXPECT_EQ(readFile(b), "first");
    EXPECT_EQ(readFile(c), "second");
}

TEST_F(PlatformWin32, LoaderIsFoundThroughPathAndGetsTheCommandLine) {
    auto child = start("sqlldr user/kemp@db control='x:\\load.ctl' \"two words\"");
    ASSERT_TRUE(child);
    EXPECT_EQ(readAll(*child), "arg[1]=user/kemp@db\n"
                               "arg[2]=control='x:\\load.ctl'\n"
                               "arg[3]=two words\n");
    char c;
    EXPECT_EQ(child->read(&c, 1), 0u) << "the end of output stays the end";
}

TEST_F(PlatformWin32, StdoutAndStderrComeThroughOnePipeInPiecesOfAtMostMax) {
    ScopedEnv quiet("STANDIN_QUIET", "1");
    ScopedEnv text("STANDIN_TEXT", "");
    ScopedEnv bytes("STANDIN_BYTES", "100000");
    ScopedEnv burst("STANDIN_BURST", "5000");
    ScopedEnv err("STANDIN_STDERR", "1");
    auto child = start("sqlldr");
    ASSERT_TRUE(child);
    int reads = 0;
    std::string out = readAll(*child, &reads);
    EXPECT_EQ(out.size(), 100000u);
    EXPECT_GE(reads, 25); // 100000 / 4095, rounded up
    EXPECT_TRUE(isFiller(out));
}

TEST_F(PlatformWin32, MissingProgramIsAProcessFailure) {
    for (const char* line : {"brennick-no-such-loader user/pw", "Z:\\no\\such\\dir\\sqlldr.exe"}) {
        ChildProcess::Failure failure = ChildProcess::Failure::None;
        EXPECT_EQ(ChildProcess::start(line, failure), nullptr) << line;
        EXPECT_EQ(failure, ChildProcess::Failure::Process) << line;
    }
}

TEST_F(PlatformWin32, OutputCanBeReadWhileTheChildStillRuns) {
    std::string go = file(makeFolder("brennick-wait"), "go");
    ScopedEnv quiet("STANDIN_QUIET", "1");
    ScopedEnv text("STANDIN_TEXT", "first\\n");
    ScopedEnv wait("STANDIN_WAIT_FILE", go);
    auto began = std::chrono::steady_clock::now();
    auto child = start("sqlldr");
    ASSERT_TRUE(child);
    std::vector<char> buffer(4095);
    std::size_t first = child->read(buffer.data(), buffer.size());
    // The stand-in waits up to 60 s for `go`: the first piece must not wait for it.
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(20));
    EXPECT_EQ(std::string(buffer.data(), first), "first\n") << "no CR added: the stand-in writes bytes exactly";
    ASSERT_TRUE(writeFile(go, ""));
    EXPECT_EQ(readAll(*child), "");
}

TEST_F(PlatformWin32, ConcurrentRunsDoNotHoldEachOthersPipes) {
    // While one thread starts loaders that wait, another runs quick children
    // to the end. Every inheritable handle goes to every child: a quick run's
    // write end inherited by a waiting loader would keep its pipe from
    // breaking until that loader ends (60 s).
    std::string go = file(makeFolder("brennick-race"), "go");
    ScopedEnv wait("STANDIN_WAIT_FILE", go);
    std::vector<std::unique_ptr<ChildProcess>> waiting;
    std::atomic<bool> done{false};
    std::thread starter([&] {
        while (!done && waiting.size() < 30)
            waiting.push_back(start("sqlldr waiting"));
    });
    for (int i = 0; i < 20 && !HasFailure(); ++i) {
        auto began = std::chrono::steady_clock::now();
        auto quick = start("cmd /c echo quick");
        if (quick) {
            EXPECT_EQ(readAll(*quick), "quick\r\n");
        }
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began);
        EXPECT_LT(ms.count(), 20000) << "run " << i << " ended only with a waiting loader";
    }
    done = true;
    starter.join();
    EXPECT_TRUE(writeFile(go, ""));
    for (auto& child : waiting) {
        ASSERT_TRUE(child);
        EXPECT_EQ(readAll(*child), "arg[1]=waiting\n");
    }
}

} // namespace
