// The platform layer's safe whole-file write, over the file functions of
// either implementation (the window's commands use them under Wine).
#include "platform/platform.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testfiles::readBytes;
using testfiles::writeBytes;
using Names = std::vector<std::string>;

class PlatformFiles : public testfiles::TempFolder {};

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
