// The POSIX file functions on a disk that fills up; everything else they do
// is tested in platform/files_test.cpp, shared with the Win32 ones.
#include "native/file_size_limit.h"
#include "platform/platform.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testfiles::readBytes;
using testfiles::writeBytes;
using Names = std::vector<std::string>;

class WriteFailure : public testfiles::TempFolder {};

TEST_F(WriteFailure, ANewFileThatCannotBeWrittenWholeIsRemoved) {
    writeBytes(path("cfg"), "old");
    {
        testfiles::FileSizeLimit limit(10);
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
