// The POSIX program path and the move's fallback for file systems that
// cannot refuse to replace; file move and child process are tested in
// platform/child_process_test.cpp, shared with the Win32 implementation.
#include "env.h"
#include "platform/child.h"
#include "platform/platform.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include <csignal>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The error the next renameat2 calls fail with, 0 for the real call: a file
// system without RENAME_NOREPLACE answers EINVAL, an old kernel ENOSYS.
std::atomic<int> renameFailure{0};

} // namespace

// Stands in for the C library's renameat2 in this test program.
extern "C" int renameat2(int oldDir, const char* oldPath, int newDir, const char* newPath,
                         unsigned int flags) noexcept {
    if (const int e = renameFailure.load()) {
        errno = e;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_renameat2, oldDir, oldPath, newDir, newPath, flags));
}

namespace {

using testfiles::readBytes;
using testfiles::writeBytes;
using Names = std::vector<std::string>;

TEST(PlatformPosix, ExecutablePathIsThisTestProgram) {
    std::string path = platform::executablePath();
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(fs::path(path).filename(), "native_tests");
    EXPECT_TRUE(fs::equivalent(path, "/proc/self/exe"));
}

// Run in a link to this program by the next test: prints its own path.
TEST(PlatformPosix, PrintsExecutablePathForTheLengthTest) {
    if (testenv::getEnv("BRENNICK_PRINT_EXE_PATH") != "1")
        GTEST_SKIP() << "only run by APathOfAnyLengthIsReturnedWhole";
    std::printf("exe=%s\n", platform::executablePath().c_str());
    std::fflush(stdout);
}

// The path is fetched into 256 bytes first, then twice as many each time a
// result fills the buffer: paths around those sizes come back whole.
TEST(PlatformPosix, APathOfAnyLengthIsReturnedWhole) {
    const fs::path self = platform::executablePath();
    const fs::path base = self.parent_path() / "exe-path";
    fs::remove_all(base);
    testenv::ScopedEnv print("BRENNICK_PRINT_EXE_PATH", "1");
    for (std::size_t length : {255u, 256u, 257u, 511u, 512u, 513u, 1100u}) {
        std::string folder = base.string();
        for (std::size_t left; (left = length - folder.size() - 1 - self.filename().string().size()) > 0;)
            folder += "/" + std::string(left > 202 ? 150 : left - 1, 'd');
        fs::create_directories(folder);
        const std::string link = folder + "/" + self.filename().string();
        ASSERT_EQ(link.size(), length);
        fs::create_hard_link(self, link);
        auto child = platformtest::start(link + " --gtest_filter=PlatformPosix.PrintsExecutablePathForTheLengthTest");
        ASSERT_TRUE(child);
        const std::string out = platformtest::readAll(*child);
        const std::size_t at = out.find("exe=");
        ASSERT_NE(at, std::string::npos) << out;
        EXPECT_EQ(out.substr(at + 4, out.find('\n', at) - at - 4), link) << length;
        fs::remove(link);
    }
    fs::remove_all(base);
}

class MoveFallback : public testfiles::TempFolder {
protected:
    void TearDown() override {
        renameFailure = 0;
        TempFolder::TearDown();
    }
};

// Without RENAME_NOREPLACE the move still never replaces; any other
// failure of the rename ends the move without a link made in its place.
TEST_F(MoveFallback, WithoutNoReplaceTheMoveStillNeverReplaces) {
    for (int failure : {EINVAL, ENOSYS}) {
        renameFailure = failure;
        writeBytes(path("a"), "first");
        ASSERT_TRUE(platform::moveFile(path("a"), path("b"))) << failure;
        EXPECT_EQ(names(), Names{"b"});
        EXPECT_EQ(readBytes(path("b")), "first");

        writeBytes(path("c"), "second");
        EXPECT_FALSE(platform::moveFile(path("c"), path("b"))) << failure;
        EXPECT_EQ(readBytes(path("b")), "first");
        EXPECT_EQ(readBytes(path("c")), "second");
        EXPECT_EQ(names(), (Names{"b", "c"}));
        fs::remove(path("b"));
        fs::remove(path("c"));
    }
    renameFailure = EACCES;
    writeBytes(path("a"), "first");
    EXPECT_FALSE(platform::moveFile(path("a"), path("b")));
    EXPECT_EQ(names(), Names{"a"}) << "no link made in its place";
}

// Files may grow to 10 bytes while it lives: a longer write fails after the
// file was created, as on a full disk.
class FileSizeLimit {
public:
    FileSizeLimit() {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old_;
        small.rlim_cur = 10;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldSignal_)(int) = nullptr;
};

class WriteFailure : public testfiles::TempFolder {};

TEST_F(WriteFailure, ANewFileThatCannotBeWrittenWholeIsRemoved) {
    writeBytes(path("cfg"), "old");
    {
        FileSizeLimit limit;
        EXPECT_EQ(platform::writeNewFile(path("n"), std::string(100, 'x')), platform::NewFileStatus::NotWritten);
        EXPECT_EQ(platform::writeFileSafely(path("cfg"), std::string(100, 'y')), platform::SafeWrite::NotWritten);
        EXPECT_EQ(platform::writeNewFile(path("small"), "0123456789"), platform::NewFileStatus::Written)
            << "exactly the limit fits";
    }
    EXPECT_EQ(readBytes(path("cfg")), "old");
    EXPECT_EQ(readBytes(path("small")), "0123456789");
    EXPECT_EQ(names(), (Names{"cfg", "small"})) << "no part-written file is left";
}

} // namespace
