// Long and odd inputs through the main window and the advanced dialog:
// texts far beyond every length the templates or the loader suggest, zero
// bytes and lone lead bytes, files that are not what they are taken for.
// Nothing may crash, cut or hang; the sanitizer build runs these too.
#include "native/main_window_fixture.h"

#include <random>

namespace {

using namespace mainwindow;

const std::string kHeader = "load data\r\ninfile 'D:\\data\\emp.txt'\r\nappend into table EMP\r\n(\r\n";

class LongInput : public MainWindow {
protected:
    // Writes `bytes` into the scratch folder and loads it with the Load command.
    void loadControlFile(MemoryWindow& w, const std::string& bytes) {
        const std::string path = scratch_ + "/chosen.ctl";
        std::ofstream(path, std::ios::binary) << bytes;
        mem().answerFileDialog(fw::FileChoice{path, 1});
        w.click(IDC_LOAD_CTL);
    }
};

// Field descriptions of a megabyte are added and split; with a data file path
// of 32 KB they reach the control file and come back through Load.
TEST_F(LongInput, AMegabyteFieldAndA32KilobytePathGoThroughAddSplitImportAndLoad) {
    const std::string mask = repeat("YYYY-MM-DD" + kZhong, 87382); // 1 MB
    const std::string position = repeat("1:2" + kZhong, 209716);   // 1 MB
    const std::string path = "D:\\" + repeat(kZhong + "\\data", 32768 / 7) + ".txt";
    ASSERT_GT(path.size(), 32768u);
    const std::vector<std::string> added = {"HIREDATE DATE  '" + mask + "'",
                                            "HIREDATE position(" + position + ") CHAR"};
    show([&](MemoryWindow& w, CMainDialog&) {
        w.type(IDC_FIELD_NAME, "HIREDATE");
        w.choose(IDC_FIELD_TYPE, 2);
        w.setText(IDC_DATE_MASK, mask);
        w.click(IDC_ADD);
        w.click(IDC_FIXED);
        w.setText(IDC_POSITION, position);
        w.choose(IDC_FIELD_TYPE, 0);
        w.click(IDC_ADD);
        ASSERT_EQ(lines(w), added);

        w.setText(IDC_POSITION, "");
        w.choose(IDC_FIELD_LIST, 1);
        EXPECT_EQ(w.text(IDC_POSITION), position);
        w.click(IDC_VARIABLE);
        w.choose(IDC_FIELD_LIST, 0);
        EXPECT_EQ(w.text(IDC_DATE_MASK), mask);
        EXPECT_TRUE(w.isEnabled(IDC_DATE_MASK));

        w.setText(IDC_DATA_FILE, path);
        w.click(IDC_IMPORT);
        waitForCompletion(w);
        const std::string written = readFile(controlFile());
        EXPECT_EQ(written.substr(0, 19 + path.size() + 3), "load data\r\ninfile '" + path + "'\r\n");
        EXPECT_TRUE(endsWith(written, "(\r\n" + added[0] + ",\r\n" + added[1] + "\r\n)"));

        w.setText(IDC_DATA_FILE, "");
        w.listDelete(IDC_FIELD_LIST, 0);
        loadControlFile(w, written);
        EXPECT_EQ(w.text(IDC_DATA_FILE), path);
        EXPECT_EQ(lines(w), added);
    });
}

TEST_F(LongInput, AControlFileWithATenMegabyteLineComesInThroughLoad) {
    // Commas every 64 bytes, which the reader takes out.
    const std::string piece = repeat(kZhong, 20) + "abcdefghijklmnopqrstu";
    const std::string line = repeat(piece + ",", 10 * 1024 * 1024 / 64);
    const std::string expected = repeat(piece, 10 * 1024 * 1024 / 64);
    show([&](MemoryWindow& w, CMainDialog&) {
        loadControlFile(w, kHeader + "ID CHAR,\r\n" + line + "\r\n)");
        ASSERT_EQ(w.listCount(IDC_FIELD_LIST), 2);
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 0), "ID CHAR");
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 1).size(), expected.size());
        EXPECT_TRUE(w.listLine(IDC_FIELD_LIST, 1) == expected);
        EXPECT_EQ(w.text(IDC_TABLE), "EMP");
    });
    EXPECT_TRUE(mem().messages().empty());
}

// Windows refuses a command line of more than 32767 characters (the Wine
// suite checks that the program says so and runs nothing). The POSIX build
// hands the words to the loader as they are, up to the system's limit for
// one argument (128 KiB on Linux); beyond it the start fails as on Windows,
// or as when no loader is found.
TEST_F(LongInput, ACommandLineLongerThanWindowsTakesRunsWholeHereUpToTheArgumentLimit) {
    const std::string args = scratch_ + "/args";
    testenv::ScopedEnv quiet("STANDIN_QUIET", "1");
    testenv::ScopedEnv argsFile("STANDIN_ARGS_FILE", args);
    const std::string password = repeat("p" + kZhong, 40000 / 3);
    show([&](MemoryWindow& w, CMainDialog&) {
        w.setText(IDC_PASSWORD, password);
        w.click(IDC_IMPORT);
        waitForCompletion(w);
        EXPECT_EQ(w.text(IDC_OUTPUT), run::kCompletion);
    });
    const std::string got = readFile(args);
    EXPECT_EQ(got.substr(0, got.find('\n')), "user/" + password + "@dbname");

    std::remove(args.c_str());
    show([&](MemoryWindow& w, CMainDialog&) {
        w.setText(IDC_PASSWORD, std::string(200000, 'p'));
        w.click(IDC_IMPORT);
        ASSERT_TRUE(w.pumpUntil([] { return !mem().messages().empty(); }, 60s));
        EXPECT_EQ(w.text(IDC_OUTPUT), "");
    });
    const auto messages = mem().takeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Error  on  CreateProcess()");
    EXPECT_EQ(messages[0].icon, fw::MessageIcon::Warning);
    EXPECT_FALSE(exists(args)) << "nothing ran";
}

TEST_F(LongInput, ZeroBytesAndLoneLeadBytesAtTheEndsOfLinesAndOfTheFile) {
    const char kOdd[] = "load data\r\n"
                        "infile 'D:\\emp\0.txt'\r\n"
                        "replace into table EMP\x81\r\n"
                        "(\r\n"
                        "EMPNO\0 CHAR,\r\n"
                        "ENAME CHAR\x81\r\n"
                        "\x81";
    show([&](MemoryWindow& w, CMainDialog& d) {
        loadControlFile(w, std::string(kOdd, sizeof kOdd - 1));
        EXPECT_EQ(w.text(IDC_DATA_FILE), "D:\\emp");
        EXPECT_EQ(w.text(IDC_TABLE), "EMP?");
        EXPECT_TRUE(w.isChecked(IDC_REPLACE));
        ASSERT_EQ(w.listCount(IDC_FIELD_LIST), 3);
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 0), "EMPNO");
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 1), "ENAME CHAR?");
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 2), "?");
        w.choose(IDC_FIELD_LIST, 1);
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "CHAR?");
        ASSERT_TRUE(d.writeControlFile());
    });
    EXPECT_EQ(readFile(controlFile()), "load data\r\n"
                                       "infile 'D:\\emp'\r\n"
                                       "replace into table EMP?\r\n"
                                       "fields terminated by '\t' \r\n"
                                       "\r\n"
                                       "(\r\n"
                                       "EMPNO,\r\n"
                                       "ENAME CHAR?,\r\n"
                                       "?\r\n"
                                       ")");
}

TEST_F(LongInput, ABinaryFileChosenAsAControlFileChangesNothing) {
    std::mt19937 random(936);
    std::string noise;
    for (int i = 0; i < 1 << 20; ++i) {
        noise += static_cast<char>(random() % 256);
    }
    show([&](MemoryWindow& w, CMainDialog&) {
        w.setText(IDC_TABLE, "EMP");
        w.type(IDC_FIELD_NAME, "ID");
        w.click(IDC_ADD);
        loadControlFile(w, "\x7F"
                           "ELF" +
                               noise);
        EXPECT_EQ(w.text(IDC_TABLE), "EMP");
        ASSERT_EQ(w.listCount(IDC_FIELD_LIST), 1);

        // The same noise behind a right first line is read by position: the
        // window takes what stands there and stays usable.
        loadControlFile(w, "LOAD DATA\n" + noise);
        w.type(IDC_FIELD_NAME, "X");
        w.click(IDC_ADD);
        EXPECT_EQ(w.listLine(IDC_FIELD_LIST, w.listCount(IDC_FIELD_LIST) - 1), "IDX CHAR");
    });
    const auto messages = mem().takeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "您所选择的文件不是Oracle控制文件");
}

TEST_F(LongInput, AParameterFileOfAHundredThousandLinesOpensInTheAdvancedDialog) {
    const std::string parameterFile = programFolder_ + "/parfile.cfg";
    std::string bytes;
    for (int i = 0; i < 100000; ++i) {
        bytes += i % 3 == 0 ? "errors=" + std::to_string(i) + "\r\n" : "comment " + std::to_string(i) + "\n";
    }
    bytes += "log=" + std::string(1 << 20, 'L') + "\r\ndiscard=d.dsc" + std::string(1, '\0') + "x\r\nbad=\x81";
    std::ofstream(parameterFile, std::ios::binary) << bytes;
    mem().onShow(IDD_ADVANCED, [](MemoryWindow& a) {
        EXPECT_EQ(a.text(IDC_ERRORS), "99999");
        EXPECT_EQ(a.text(IDC_LOG).size(), 1u << 20);
        EXPECT_EQ(a.text(IDC_BAD), "?");
        EXPECT_EQ(a.text(IDC_DISCARD), "d.dsc");
        a.click(fw::kIdOk);
    });
    show([](MemoryWindow& w, CMainDialog&) { w.click(IDC_ADVANCED); });
    EXPECT_EQ(readFile(parameterFile), "bad=?\r\nbindsize=65536\r\ncommit_discontinued=false\r\ndirect=false\r\n"
                                       "discard=d.dsc\r\nerrors=99999\r\nlog=" +
                                           std::string(1 << 20, 'L') +
                                           "\r\nskip_index_maintenance=false\r\nskip_unusable_indexes=false\r\n");
    std::remove(parameterFile.c_str());
}

} // namespace
