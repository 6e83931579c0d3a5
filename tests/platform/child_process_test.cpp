// The platform layer's program search and child process with one pipe,
// driven against the stand-in loader under Wine. (Its file move is used by
// Save, tested in wine/files_test.cpp.)
#include "env.h"
#include "platform/platform.h"
#include "temp_folder.h"
#include "text/cp936.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

namespace {

using platform::ChildProcess;
using testenv::ScopedEnv;
namespace fs = std::filesystem;

// Starts `commandLine`; its program is its first word, found with ".exe"
// along the search path.
std::unique_ptr<ChildProcess> start(const std::string& commandLine) {
    auto failure = ChildProcess::Failure::Pipe;
    auto child = ChildProcess::start(platform::findProgram(commandLine.substr(0, commandLine.find(' ')) + ".exe", ""),
                                     commandLine, failure);
    EXPECT_TRUE(child != nullptr) << commandLine;
    EXPECT_EQ(failure, ChildProcess::Failure::None);
    return child;
}

// Reads to the end in pieces of at most 4095 bytes, as the run worker does.
std::string readAll(ChildProcess& child) {
    std::string out;
    std::vector<char> buffer(4095 + 16, '#');
    for (std::size_t n; (n = child.read(buffer.data(), 4095)) > 0;) {
        EXPECT_LE(n, 4095u);
        out.append(buffer.data(), n);
    }
    EXPECT_EQ(buffer[4095], '#') << "read wrote past the maximum";
    return out;
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

// The loader is found in the program's folder, else along the search path;
// the current folder, where a planted copy waits, only where the search
// path names it. The copy found is the one that runs; none found, or a
// program that is not there, runs nothing.
TEST_F(ChildProcessTest, TheProgramIsFoundInItsFolderOrAlongTheSearchPathNeverInTheCurrentFolder) {
    for (const char* program : {"Z:\\no\\such\\dir\\sqlldr.exe", "sqlldr.exe"}) {
        ChildProcess::Failure failure = ChildProcess::Failure::None;
        EXPECT_EQ(ChildProcess::start(program, "sqlldr user/pw", failure), nullptr) << program;
        EXPECT_EQ(failure, ChildProcess::Failure::Process) << program;
    }
    const std::string planted = path("cwd") + "\\sqlldr.exe";
    const std::string own = path("own") + "\\sqlldr.exe";
    for (const std::string& copy : {planted, own}) {
        fs::create_directory(fs::path(copy).parent_path());
        ASSERT_TRUE(::CopyFileA(kStandIn.c_str(), copy.c_str(), TRUE)) << copy;
    }
    fs::current_path(path("cwd"));
    const std::string standInFolder = testenv::windowsPath(STANDIN_DIR);
    const struct {
        std::string searchPath, folder, found;
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
    // Whether two paths name the same file, as Windows compares them.
    const auto same = [](const std::string& a, const std::string& b) {
        return text::equalsNoCase(fs::path(a).lexically_normal().string(), fs::path(b).lexically_normal().string());
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("PATH=" + c.searchPath + " folder=" + c.folder);
        ScopedEnv searchPath("PATH", c.searchPath);
        const std::string found = platform::findProgram("sqlldr.exe", c.folder);
        EXPECT_TRUE(same(found, c.found)) << "expected " << c.found << ", got " << found;
        ChildProcess::Failure failure = ChildProcess::Failure::None;
        auto child = ChildProcess::start(found, "sqlldr", failure);
        EXPECT_EQ(failure, c.found.empty() ? ChildProcess::Failure::Process : ChildProcess::Failure::None);
        if (child) {
            const std::string out = readAll(*child);
            EXPECT_TRUE(same(out.substr(5, out.find('\n') - 5), c.found)) << "expected " << c.found << " to run";
        }
    }
}

// A read takes everything that is waiting, up to the whole 4095 bytes, and
// does not wait for more while the child runs on; the exit code is there
// only once the child has ended. Standard output and standard error come
// through the one pipe, in order.
TEST_F(ChildProcessTest, AReadTakesWhatIsWaitingUpToAllOfItsBytesWhileTheChildRuns) {
    ScopedEnv quiet("STANDIN_QUIET", "1");
    ScopedEnv bytes("STANDIN_BYTES", "8191");
    ScopedEnv burst("STANDIN_BURST", "8191");
    ScopedEnv wait("STANDIN_WAIT_FILE", path("go"));
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
    EXPECT_EQ(child->waitForExit(std::chrono::milliseconds(300)), std::nullopt);
    testfiles::writeBytes(path("go"), "");
    EXPECT_EQ(readAll(*child), "");
    EXPECT_EQ(child->waitForExit(std::chrono::seconds(30)), std::optional<std::uint32_t>(0));

    // The stand-in's filler: 64-byte lines "line 000001 abc...\n".
    std::string filler;
    for (unsigned number = 1; filler.size() < 100000; ++number) {
        char line[65];
        std::snprintf(line, sizeof line, "line %06u %.51s\n", number,
                      "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxy");
        filler += line;
    }
    filler.resize(100000);
    ScopedEnv noWait("STANDIN_WAIT_FILE", "");
    ScopedEnv more("STANDIN_BYTES", "100000");
    ScopedEnv bursts("STANDIN_BURST", "5000");
    ScopedEnv err("STANDIN_STDERR", "1");
    child = start("sqlldr");
    ASSERT_TRUE(child);
    EXPECT_TRUE(readAll(*child) == filler) << "every second burst through standard error";
}

TEST_F(ChildProcessTest, ConcurrentChildrenDoNotHoldEachOthersPipes) {
    // While one thread starts loaders that wait, another runs quick children
    // to the end. A quick child's write end inherited by a waiting loader
    // would keep its pipe from breaking until that loader ends (60 s).
    ScopedEnv wait("STANDIN_WAIT_FILE", path("go"));
    std::vector<std::unique_ptr<ChildProcess>> waiting;
    std::atomic<bool> done{false};
    std::thread starter([&] {
        while (!done && waiting.size() < 30)
            waiting.push_back(start("sqlldr waiting"));
    });
    for (int i = 0; i < 20 && !HasFailure(); ++i) {
        const auto began = std::chrono::steady_clock::now();
        auto quick = start("cmd /c echo quick");
        EXPECT_EQ(quick ? readAll(*quick) : "", "quick\r\n");
        EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(20))
            << "run " << i << " ended only with a waiting loader";
    }
    done = true;
    starter.join();
    testfiles::writeBytes(path("go"), "");
    for (auto& child : waiting) {
        ASSERT_TRUE(child);
        EXPECT_EQ(readAll(*child), "arg[1]=waiting\n");
    }
}

} // namespace
