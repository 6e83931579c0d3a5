// The platform layer's file move, program search and child process with
// one pipe, driven against the stand-in loader under Wine.
#include "platform/child.h"
#include "platform/platform.h"
#include "temp_folder.h"
#include "text/cp936.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

namespace {

using platform::ChildProcess;
using platformtest::readAll;
using platformtest::start;
using testenv::ScopedEnv;
namespace fs = std::filesystem;
using testfiles::readBytes;
using testfiles::writeBytes;

// True when `text` is the stand-in's filler: 64-byte lines numbered 1, 2, ...
// in order, so nothing was lost, doubled or reordered.
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

// A fresh folder per test, removed afterwards, the stand-in on the path,
// and the current folder as it was.
class ChildProcessTest : public testfiles::TempFolder {
protected:
    void TearDown() override {
        fs::current_path(home_);
        TempFolder::TearDown();
    }

    ScopedEnv path_{"PATH", testenv::pathWithStandIn()};
    fs::path home_ = fs::current_path();
};

const std::string kStandIn = testenv::windowsPath(STANDIN_DIR) + "\\sqlldr.exe";

// Whether two paths name the same file, as Windows compares them.
bool samePath(const std::string& a, const std::string& b) {
    return text::equalsNoCase(fs::path(a).lexically_normal().string(), fs::path(b).lexically_normal().string());
}

TEST_F(ChildProcessTest, MoveFileMovesAndNeverReplaces) {
    writeBytes(path("a.log"), "first");
    ASSERT_TRUE(platform::moveFile(path("a.log"), path("b.log")));
    EXPECT_EQ(names(), std::vector<std::string>{"b.log"});
    EXPECT_EQ(readBytes(path("b.log")), "first");

    writeBytes(path("c.log"), "second");
    EXPECT_FALSE(platform::moveFile(path("c.log"), path("b.log")));
    EXPECT_EQ(readBytes(path("b.log")), "first");
    EXPECT_EQ(readBytes(path("c.log")), "second");

    EXPECT_FALSE(platform::moveFile(path("missing"), path("d")));
}

// The command line reaches the program whole, as the loader's own.
TEST_F(ChildProcessTest, TheCommandLineIsTheProgramsOwn) {
    auto child = start("sqlldr user/kemp@db control='x:\\load.ctl'  \"two words\"");
    ASSERT_TRUE(child);
    EXPECT_EQ(readAll(*child), "arg[1]=user/kemp@db\n"
                               "arg[2]=control='x:\\load.ctl'\n"
                               "arg[3]=two words\n");
    char c;
    EXPECT_EQ(child->read(&c, 1), 0u) << "the end of output stays the end";
}

// The loader is found in the program's folder, else along the search path;
// the current folder, where a planted copy waits, only where the search
// path names it. The copy found is the one that runs.
TEST_F(ChildProcessTest, TheProgramIsFoundInItsFolderOrAlongTheSearchPathNeverInTheCurrentFolder) {
    const std::string planted = path("cwd") + "\\sqlldr.exe";
    const std::string own = path("own") + "\\sqlldr.exe";
    for (const std::string& copy : {planted, own}) {
        fs::create_directory(fs::path(copy).parent_path());
        ASSERT_TRUE(::CopyFileA(kStandIn.c_str(), copy.c_str(), TRUE)) << copy;
    }
    fs::current_path(path("cwd"));
    const std::string standInFolder = testenv::windowsPath(STANDIN_DIR);
    const struct {
        std::string searchPath;
        std::string folder;
        std::string found;
    } cases[] = {
        {standInFolder, "", kStandIn},
        {";;" + standInFolder + ";", "", kStandIn},
        {standInFolder, path("own"), own},
        {"", "", ""},
        {";;", "", ""},
        {"C:\\windows;Z:\\no\\such\\dir", "", ""},
        {".;" + standInFolder, "", planted},
    };
    ScopedEnv self("STANDIN_SELF", "1");
    ScopedEnv quiet("STANDIN_QUIET", "1");
    for (const auto& c : cases) {
        SCOPED_TRACE("PATH=" + c.searchPath + " folder=" + c.folder);
        ScopedEnv searchPath("PATH", c.searchPath);
        const std::string found = platform::findProgram("sqlldr.exe", c.folder);
        EXPECT_TRUE(samePath(found, c.found)) << "expected " << c.found << ", got " << found;
        ChildProcess::Failure failure = ChildProcess::Failure::None;
        auto child = ChildProcess::start(found, "sqlldr", failure);
        if (c.found.empty()) {
            EXPECT_EQ(child, nullptr);
            EXPECT_EQ(failure, ChildProcess::Failure::Process);
            continue;
        }
        ASSERT_TRUE(child);
        const std::string out = readAll(*child);
        const std::string ran = out.substr(5, out.find('\n') - 5);
        EXPECT_TRUE(samePath(ran, c.found)) << "expected " << c.found << " to run, got " << out;
    }
}

TEST_F(ChildProcessTest, TheExitCodeComesBackOnceTheChildHasEnded) {
    ScopedEnv quiet("STANDIN_QUIET", "1");
    for (const std::uint32_t code : {0u, 2u, 7u, 0xC0000005u}) {
        ScopedEnv exit("STANDIN_EXIT", std::to_string(code));
        auto child = start("sqlldr");
        ASSERT_TRUE(child);
        EXPECT_EQ(readAll(*child), "");
        EXPECT_EQ(child->waitForExit(std::chrono::seconds(30)), std::optional<std::uint32_t>(code));
    }
    // One that has not ended within the time given: nothing.
    ScopedEnv wait("STANDIN_WAIT_FILE", path("go"));
    auto child = start("sqlldr");
    ASSERT_TRUE(child);
    EXPECT_EQ(child->waitForExit(std::chrono::milliseconds(300)), std::nullopt);
    writeBytes(path("go"), "");
    EXPECT_EQ(readAll(*child), "");
    EXPECT_EQ(child->waitForExit(std::chrono::seconds(30)), std::optional<std::uint32_t>(0));
}

// A read takes everything that is waiting, up to the whole 4095 bytes, and
// does not wait for more while the child runs on.
TEST_F(ChildProcessTest, AReadTakesWhatIsWaitingUpToAllOfItsBytesWhileTheChildRuns) {
    const std::string go = path("go");
    ScopedEnv quiet("STANDIN_QUIET", "1");
    ScopedEnv bytes("STANDIN_BYTES", "8191");
    ScopedEnv burst("STANDIN_BURST", "8191");
    ScopedEnv wait("STANDIN_WAIT_FILE", go);
    const auto began = std::chrono::steady_clock::now();
    auto child = start("sqlldr");
    ASSERT_TRUE(child);
    std::vector<char> buffer(4095 + 1, '#');
    // The loader waits for `go` after writing: give its one write time to land.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(child->read(buffer.data(), 4095), 4095u);
    EXPECT_EQ(child->read(buffer.data(), 4095), 4095u);
    EXPECT_EQ(buffer[4095], '#');
    EXPECT_EQ(child->read(buffer.data(), 4095), 1u);
    // The stand-in waits up to 60 s for `go`: the reads must not wait for it.
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(20));
    writeBytes(go, "");
    EXPECT_EQ(readAll(*child), "");
}

TEST_F(ChildProcessTest, StdoutAndStderrComeThroughOnePipeInPiecesOfAtMostMax) {
    ScopedEnv quiet("STANDIN_QUIET", "1");
    ScopedEnv bytes("STANDIN_BYTES", "100000");
    ScopedEnv burst("STANDIN_BURST", "5000");
    ScopedEnv err("STANDIN_STDERR", "1");
    auto child = start("sqlldr");
    ASSERT_TRUE(child);
    std::string out = readAll(*child);
    EXPECT_EQ(out.size(), 100000u);
    EXPECT_TRUE(isFiller(out));
}

TEST_F(ChildProcessTest, TextWithEscapesArrivesExactly) {
    ScopedEnv quiet("STANDIN_QUIET", "1");
    ScopedEnv text("STANDIN_TEXT", "a\\nb\\r\\n\\tc\\\\d\\0e");
    auto child = start("sqlldr");
    ASSERT_TRUE(child);
    EXPECT_EQ(readAll(*child), std::string("a\nb\r\n\tc\\d\0e", 11)) << "no CR added, no byte lost";
}

TEST_F(ChildProcessTest, MissingProgramIsAProcessFailure) {
    for (const char* program : {"", "Z:\\no\\such\\dir\\sqlldr.exe", "sqlldr.exe"}) {
        ChildProcess::Failure failure = ChildProcess::Failure::None;
        EXPECT_EQ(ChildProcess::start(program, "sqlldr user/pw", failure), nullptr) << program;
        EXPECT_EQ(failure, ChildProcess::Failure::Process) << program;
    }
}

TEST_F(ChildProcessTest, ConcurrentChildrenDoNotHoldEachOthersPipes) {
    // While one thread starts loaders that wait, another runs quick children
    // to the end. A quick child's write end inherited by a waiting loader
    // would keep its pipe from breaking until that loader ends (60 s).
    const std::string go = path("go");
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
    writeBytes(go, "");
    for (auto& child : waiting) {
        ASSERT_TRUE(child);
        EXPECT_EQ(readAll(*child), "arg[1]=waiting\n");
    }
}

} // namespace
