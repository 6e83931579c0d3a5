// The platform layer's whole-file reading and writing and its replacing
// move; the same suite runs on both implementations.
#include "platform/platform.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::NewFileStatus;
using platform::ReadStatus;
using testfiles::readBytes;
using testfiles::writeBytes;
using Names = std::vector<std::string>;

class PlatformFiles : public testfiles::TempFolder {};

TEST_F(PlatformFiles, ReadFileTakesEveryByteOrSaysItCannotOpen) {
    const std::string bytes = std::string("a\r\n\0\x1A\xFF", 6) + std::string(200000, 'z');
    writeBytes(path("f"), bytes);
    std::string got = "old";
    ASSERT_EQ(platform::readFile(path("f"), got), ReadStatus::Read);
    EXPECT_EQ(got, bytes);
    writeBytes(path("empty"), "");
    ASSERT_EQ(platform::readFile(path("empty"), got), ReadStatus::Read);
    EXPECT_EQ(got, "");
    EXPECT_EQ(platform::readFile(path("missing"), got), ReadStatus::OpenFailed);
}

TEST_F(PlatformFiles, WriteNewFileNeverTouchesAnExistingFile) {
    EXPECT_EQ(platform::writeNewFile(path("n"), std::string("x\0y\r\n", 5)), NewFileStatus::Written);
    EXPECT_EQ(readBytes(path("n")), std::string("x\0y\r\n", 5));
    EXPECT_EQ(platform::writeNewFile(path("n"), "other"), NewFileStatus::Exists);
    EXPECT_EQ(readBytes(path("n")), std::string("x\0y\r\n", 5));
    EXPECT_EQ(platform::writeNewFile(path("none/n"), "x"), NewFileStatus::NotCreated);
    EXPECT_EQ(names(), Names{"n"});
}

TEST_F(PlatformFiles, ReplaceFileTakesTheOldFilesPlaceButNotAFolders) {
    writeBytes(path("new"), "new");
    writeBytes(path("old"), "old");
    ASSERT_TRUE(platform::replaceFile(path("new"), path("old")));
    EXPECT_EQ(readBytes(path("old")), "new");
    EXPECT_EQ(names(), Names{"old"});

    ASSERT_TRUE(platform::replaceFile(path("old"), path("fresh")));
    EXPECT_EQ(names(), Names{"fresh"});

    fs::create_directory(path("dir"));
    EXPECT_FALSE(platform::replaceFile(path("fresh"), path("dir")));
    EXPECT_EQ(readBytes(path("fresh")), "new");
    EXPECT_FALSE(platform::replaceFile(path("missing"), path("fresh")));
    EXPECT_EQ(readBytes(path("fresh")), "new");
}

TEST_F(PlatformFiles, WriteFileSafelyPassesOverATemporaryLeftBehind) {
    writeBytes(path("cfg"), "old");
    writeBytes(path("cfg.0.tmp"), "left behind");
    ASSERT_EQ(platform::writeFileSafely(path("cfg"), "new\r\n"), platform::SafeWrite::Written);
    EXPECT_EQ(readBytes(path("cfg")), "new\r\n");
    EXPECT_EQ(readBytes(path("cfg.0.tmp")), "left behind");
    EXPECT_EQ(names(), (Names{"cfg", "cfg.0.tmp"}));

    EXPECT_EQ(platform::writeFileSafely(path("none/cfg"), "x"), platform::SafeWrite::NotCreated);
    // A folder in the file's place: the new file is complete but cannot take its place.
    fs::create_directory(path("dir"));
    EXPECT_EQ(platform::writeFileSafely(path("dir"), "x"), platform::SafeWrite::NotCreated);
    EXPECT_EQ(names(), (Names{"cfg", "cfg.0.tmp", "dir"}));
}

} // namespace
