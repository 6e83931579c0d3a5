// The parameter file's text, how a file is read over the options, and the
// defaults written where no file is.
#include "params/parameter_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using params::LoaderOptions;
using testfiles::readBytes;
using testfiles::writeBytes;
using Names = std::vector<std::string>;

TEST(ParameterFileText, WritesEverySetOptionInKeyOrderWithCrLf) {
    const LoaderOptions all{"header", "b.bad", "1",    "true", "true", "d.dsc", "2",   "3",
                            "4",      "l.log", "true", "5",    "true", "6",     "true"};
    EXPECT_EQ(params::parameterFileText(all), "silent=header\r\nbad=b.bad\r\nbindsize=1\r\ncommit_discontinued=true\r\n"
                                              "direct=true\r\ndiscard=d.dsc\r\ndiscardmax=2\r\nerrors=3\r\nload=4\r\n"
                                              "log=l.log\r\nparallel=true\r\nrows=5\r\nskip_index_maintenance=true\r\n"
                                              "skip=6\r\nskip_unusable_indexes=true\r\n");
}

// The key is the text before the first "=", exactly; the value the rest of
// the line, whole; the last line of a key counts.
TEST(ApplyParameterText, SetsTheOptionOfEachKnownKeyToTheRestOfItsLine) {
    const struct {
        const char* bytes;
        const char* text; // of the options after it, applied over errors=50
    } cases[] = {
        {"errors=", ""},
        {"errors= 10\r\n", "errors= 10\r\n"},
        {"errors=   \r\n", "errors=   \r\n"},
        {"log=a=b\r\n", "errors=50\r\nlog=a=b\r\n"},
        {"log=a\rb\r\n", "errors=50\r\nlog=a\rb\r\n"},
        {"skip=5\n", "errors=50\r\nskip=5\r\n"},
        {"skip_index_maintenance=true\n", "errors=50\r\nskip_index_maintenance=true\r\n"},
        {"silent=header,feedback\n", "silent=header,feedback\r\nerrors=50\r\n"},
        {"errors=10\r\nfoo=x\r\nerrors=20\r\n", "errors=20\r\n"},
        {"errors=10\r\nerrors=\r\n", ""},
        {"log=a\nbad=b\r\nskip=c", "bad=b\r\nerrors=50\r\nlog=a\r\nskip=c\r\n"},
        {"log=a\n\nbad=b\n\r\nskip=c\n", "bad=b\r\nerrors=50\r\nlog=a\r\nskip=c\r\n"},
        {"ERRORS=10\r\nerrors =10\r\n errors=10\r\nerrors10\r\nerrors\r\n\r\n=10\r\nfoo=1\r\nskip_=1\r\nerror=1\r\n"
         "errors\t=1\r\n",
         "errors=50\r\n"},
    };
    for (const auto& c : cases) {
        LoaderOptions o;
        o.errors = "50";
        params::applyParameterText(c.bytes, o);
        EXPECT_EQ(params::parameterFileText(o), c.text) << c.bytes;
    }
}

class ParameterFile : public testfiles::TempFolder {};

TEST_F(ParameterFile, DefaultsAreWrittenWhereNoFileIsAndAnExistingFileIsNeverTouched) {
    const std::string file = path("parfile.cfg");
    EXPECT_EQ(params::writeDefaultParameterFile(file), params::DefaultsWrite::Written);
    EXPECT_EQ(readBytes(file), "bindsize=65536\r\ncommit_discontinued=false\r\ndirect=false\r\nerrors=50\r\n"
                               "skip_index_maintenance=false\r\nskip_unusable_indexes=false\r\n");
    for (const std::string& bytes : {std::string(), std::string("errors=7\r\n\0\xFF", 12)}) {
        writeBytes(file, bytes);
        EXPECT_EQ(params::writeDefaultParameterFile(file), params::DefaultsWrite::AlreadyThere);
        EXPECT_EQ(readBytes(file), bytes);
    }
    EXPECT_EQ(params::writeDefaultParameterFile(path("none/parfile.cfg")), params::DefaultsWrite::Failed);
    EXPECT_EQ(names(), Names{"parfile.cfg"});
}

} // namespace
