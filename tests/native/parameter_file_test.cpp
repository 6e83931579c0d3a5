#include "native/file_size_limit.h"
#include "params/parameter_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using params::LoaderOptions;
using Values = std::vector<std::string>;

// The fifteen values in the file's key order: silent, bad, bindsize,
// commit_discontinued, direct, discard, discardmax, errors, load, log,
// parallel, rows, skip_index_maintenance, skip, skip_unusable_indexes.
Values values(const LoaderOptions& o) {
    return {o.silent,
            o.bad,
            o.bindsize,
            o.commitDiscontinued,
            o.direct,
            o.discard,
            o.discardmax,
            o.errors,
            o.load,
            o.log,
            o.parallel,
            o.rows,
            o.skipIndexMaintenance,
            o.skip,
            o.skipUnusableIndexes};
}

const Values kDefaults = {"", "", "65536", "false", "false", "", "", "50", "", "", "", "", "false", "", "false"};

Values applied(const std::string& bytes) {
    LoaderOptions o = params::defaultOptions();
    params::applyParameterText(bytes, o);
    return values(o);
}

// The defaults with one value changed, by its place in the key order.
Values defaultsWith(std::size_t index, const std::string& value) {
    Values v = kDefaults;
    v[index] = value;
    return v;
}

TEST(ParameterFileText, WritesEverySetOptionInKeyOrderWithCrLf) {
    const LoaderOptions all{"header", "b.bad", "1",    "true", "true", "d.dsc", "2",   "3",
                            "4",      "l.log", "true", "5",    "true", "6",     "true"};
    EXPECT_EQ(params::parameterFileText(all), "silent=header\r\nbad=b.bad\r\nbindsize=1\r\ncommit_discontinued=true\r\n"
                                              "direct=true\r\ndiscard=d.dsc\r\ndiscardmax=2\r\nerrors=3\r\nload=4\r\n"
                                              "log=l.log\r\nparallel=true\r\nrows=5\r\nskip_index_maintenance=true\r\n"
                                              "skip=6\r\nskip_unusable_indexes=true\r\n");
    LoaderOptions blanks;
    blanks.errors = " ";
    blanks.log = "a=b";
    blanks.bad = "D:\\\xBB\xB5\\b.bad"; // D:\坏\b.bad
    EXPECT_EQ(params::parameterFileText(blanks), "bad=D:\\\xBB\xB5\\b.bad\r\nerrors= \r\nlog=a=b\r\n");
}

TEST(ApplyParameterText, KeyBeforeTheFirstEqualsSignExactlyValueKeptWhole) {
    EXPECT_EQ(applied("errors="), defaultsWith(7, ""));
    EXPECT_EQ(applied("log=a=b\r\n"), defaultsWith(9, "a=b"));
    EXPECT_EQ(applied("errors= 10\r\n"), defaultsWith(7, " 10"));
    EXPECT_EQ(applied("errors=   \r\n"), defaultsWith(7, "   "));
    EXPECT_EQ(applied("log=a\rb\r\n"), defaultsWith(9, "a\rb"));
    EXPECT_EQ(applied("skip=5\n"), defaultsWith(13, "5"));
    EXPECT_EQ(applied("skip_index_maintenance=true\n"), defaultsWith(12, "true"));
    EXPECT_EQ(applied("silent=header,feedback\n"), defaultsWith(0, "header,feedback"));
    for (const char* ignored : {"ERRORS=10", "errors =10", " errors=10", "errors10", "errors", "", "=10", "foo=1",
                                "skip_=1", "error=1", "errors\t=1"})
        EXPECT_EQ(applied(std::string(ignored) + "\r\n"), kDefaults) << ignored;
}

TEST(ApplyParameterText, TakesEveryLineAndTheLastOfAKey) {
    EXPECT_EQ(applied("errors=10\r\nfoo=x\r\nerrors=20\r\n"), defaultsWith(7, "20"));
    EXPECT_EQ(applied("errors=10\r\nerrors=\r\n"), defaultsWith(7, ""));

    Values three = kDefaults;
    three[9] = "a";
    three[1] = "b";
    three[13] = "c";
    EXPECT_EQ(applied("log=a\nbad=b\r\nskip=c"), three) << "LF, CR LF and no line end";
    EXPECT_EQ(applied("log=a\n\nbad=b\n\r\nskip=c\n"), three) << "empty lines between";
}

class ParameterFile : public testfiles::TempFolder {};

TEST_F(ParameterFile, ReadingAMissingOrUnreadableFileLeavesTheValues) {
    LoaderOptions o = params::defaultOptions();
    params::readParameterFile(path("parfile.cfg"), o);
    EXPECT_EQ(values(o), kDefaults);
    params::readParameterFile(dir_.string(), o);
    EXPECT_EQ(values(o), kDefaults);

    testfiles::writeBytes(path("parfile.cfg"), "errors=7\r\nunknown=1\r\n");
    params::readParameterFile(path("parfile.cfg"), o);
    EXPECT_EQ(values(o), defaultsWith(7, "7"));
}

TEST_F(ParameterFile, AWriteReplacesTheFileWholeAndAFailedOneKeepsItLeavingNoTemporary) {
    const std::string file = path("parfile.cfg");
    testfiles::writeBytes(file, "unknown=1\r\nlog=old.log\r\n");
    LoaderOptions o;
    o.errors = "1";
    ASSERT_TRUE(params::writeParameterFile(file, o));
    EXPECT_EQ(testfiles::readBytes(file), "errors=1\r\n");
    EXPECT_EQ(names(), Values{"parfile.cfg"});

    o.log = std::string(4096, 'l');

    // A disk that fills up part way.
    {
        testfiles::FileSizeLimit limit(100);
        EXPECT_FALSE(params::writeParameterFile(file, o));
    }
    EXPECT_EQ(testfiles::readBytes(file), "errors=1\r\n");
    EXPECT_EQ(names(), Values{"parfile.cfg"});

    // A folder in the file's place: the new file is complete but cannot take its place.
    fs::create_directory(path("cfg"));
    EXPECT_FALSE(params::writeParameterFile(path("cfg"), o));
    EXPECT_TRUE(fs::is_directory(path("cfg")));
    EXPECT_EQ(names(), (Values{"cfg", "parfile.cfg"}));

    // Folders that do not exist or take no new files, even from root.
    EXPECT_FALSE(params::writeParameterFile(path("none/parfile.cfg"), o));
    EXPECT_EQ(names(), (Values{"cfg", "parfile.cfg"}));
    EXPECT_FALSE(params::writeParameterFile("/proc/parfile.cfg", o));
    EXPECT_FALSE(fs::exists("/proc/parfile.cfg"));
    EXPECT_FALSE(fs::exists("/proc/parfile.cfg.0.tmp"));
}

TEST_F(ParameterFile, DefaultsAreWrittenWhereNoFileIsAndAnExistingFileIsNeverTouched) {
    const std::string file = path("parfile.cfg");
    EXPECT_EQ(params::writeDefaultParameterFile(file), params::DefaultsWrite::Written);
    EXPECT_EQ(testfiles::readBytes(file), "bindsize=65536\r\ncommit_discontinued=false\r\ndirect=false\r\nerrors=50\r\n"
                                          "skip_index_maintenance=false\r\nskip_unusable_indexes=false\r\n");
    for (const std::string& bytes : {std::string(), std::string("errors=7\r\n\0\xFF", 12)}) {
        testfiles::writeBytes(file, bytes);
        EXPECT_EQ(params::writeDefaultParameterFile(file), params::DefaultsWrite::AlreadyThere);
        EXPECT_EQ(testfiles::readBytes(file), bytes);
    }
    EXPECT_EQ(names(), Values{"parfile.cfg"});

    // Folders that do not exist or take no new files, and a full disk.
    EXPECT_EQ(params::writeDefaultParameterFile(path("none/parfile.cfg")), params::DefaultsWrite::Failed);
    EXPECT_EQ(params::writeDefaultParameterFile("/proc/parfile.cfg"), params::DefaultsWrite::Failed);
    {
        testfiles::FileSizeLimit limit(10);
        EXPECT_EQ(params::writeDefaultParameterFile(path("full.cfg")), params::DefaultsWrite::Failed);
    }
    EXPECT_EQ(names(), Values{"parfile.cfg"}) << "nothing left behind";
}

} // namespace
