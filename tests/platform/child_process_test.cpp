// The platform layer's file move and child process with one pipe, driven
// against the stand-in loader; the same suite runs on both implementations.
#include "platform/child.h"
#include "platform/platform.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::ChildProcess;
using platformtest::readAll;
using platformtest::start;
using testenv::ScopedEnv;
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

// A fresh folder per test, removed afterwards, and the stand-in on the path.
class ChildProcessTest : public testfiles::TempFolder {
protected:
    ScopedEnv path_{"PATH", testenv::pathWithStandIn()};
};

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

// Blanks and tabs separate arguments, double quotes group, single quotes
// are kept. Backslashes count only before a double quote: 2n give n and the
// quote groups, 2n+1 give n and a literal quote.
TEST_F(ChildProcessTest, ArgumentsSplitAsTheLoaderSeesThem) {
    auto child = start("sqlldr user/kemp@db control='x:\\load.ctl'  \"two words\" log=a\"b c\"d");
    ASSERT_TRUE(child);
    EXPECT_EQ(readAll(*child), "arg[1]=user/kemp@db\n"
                               "arg[2]=control='x:\\load.ctl'\n"
                               "arg[3]=two words\n"
                               "arg[4]=log=ab cd\n");
    char c;
    EXPECT_EQ(child->read(&c, 1), 0u) << "the end of output stays the end";

    child = start("sqlldr\ta\\\\\"b c\" d\\\\\\\"e \"f\\\\\" g\\h\\ \t\t\"\" i\t");
    ASSERT_TRUE(child);
    EXPECT_EQ(readAll(*child), "arg[1]=a\\b c\n"
                               "arg[2]=d\\\"e\n"
                               "arg[3]=f\\\n"
                               "arg[4]=g\\h\\\n"
                               "arg[5]=\n"
                               "arg[6]=i\n");
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
    for (const char* line : {"brennick-no-such-loader user/pw", platformtest::kMissingProgram, "", "   "}) {
        ChildProcess::Failure failure = ChildProcess::Failure::None;
        EXPECT_EQ(ChildProcess::start(line, failure), nullptr) << line;
        EXPECT_EQ(failure, ChildProcess::Failure::Process) << line;
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
        while (!done && waiting.size() < platformtest::kWaitingChildren)
            waiting.push_back(start("sqlldr waiting"));
    });
    for (int i = 0; i < platformtest::kQuickRuns && !HasFailure(); ++i) {
        auto began = std::chrono::steady_clock::now();
        auto quick = start(platformtest::kQuickCommand);
        if (quick) {
            EXPECT_EQ(readAll(*quick), platformtest::kQuickOutput);
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
