// The main window on the memory backend: start-up, the value exchange, the
// control file commands and the loader run with the stand-in loader.
#include "native/main_window_fixture.h"

namespace {

using namespace mainwindow;

TEST_F(MainWindow, StartsWithItsDefaultsAndTheFocusInTheDatabaseBox) {
    show([&](MemoryWindow& w, CMainDialog& d) {
        EXPECT_EQ(w.focusedId(), IDC_DATABASE);
        ASSERT_TRUE(d.readWindowValues());
        EXPECT_EQ(d.loadMode, 0);
        EXPECT_EQ(d.recordType, 0);
        EXPECT_EQ(d.position, "01:12");
        EXPECT_EQ(d.fieldType, "CHAR");
        EXPECT_EQ(d.dateMask, "YYYY-MM-DD");
        EXPECT_EQ(d.delimiterChoice, "{TAB}");
        EXPECT_EQ(d.qualifierChoice, "{none}");
        EXPECT_EQ(d.detailsCollapsed, 0);
        EXPECT_EQ(d.databaseName + "|" + d.userName + "|" + d.password, "dbname|user|kemp");
        EXPECT_EQ(d.fieldName + d.selectedField + d.dataFile + d.tableName, "");

        EXPECT_EQ(w.comboSelected(IDC_FIELD_TYPE), 0);
        EXPECT_EQ(w.comboCount(IDC_FIELD_TYPE), 4);
        EXPECT_EQ(w.comboEntry(IDC_DELIMITER, 3), "{Space}");
        EXPECT_EQ(w.comboEntry(IDC_QUALIFIER, 1), "\"");
        EXPECT_EQ(w.comboSelected(IDC_DATE_MASK), 0);
        EXPECT_FALSE(w.isEnabled(IDC_DATE_MASK));
        for (int id : {IDC_POSITION, IDC_DELIMITER, IDC_QUALIFIER}) {
            EXPECT_TRUE(w.isEnabled(id)) << id;
        }
        EXPECT_EQ(w.comboCount(IDC_FIELD_NAME), 0);
        EXPECT_EQ(w.listCount(IDC_FIELD_LIST), 0);
        EXPECT_EQ(w.text(IDC_OUTPUT), "");
        EXPECT_EQ(w.editLimitOf(IDC_OUTPUT), 32000000u);
        EXPECT_FALSE(w.isChecked(IDC_DETAILS));

        ASSERT_EQ(w.systemMenuItems().size(), 1u);
        EXPECT_EQ(w.systemMenuItems()[0].commandId, 16);
        EXPECT_EQ(w.systemMenuItems()[0].caption, "关于 Brennick(&A)...");
        EXPECT_EQ(w.icon(), IDI_MAIN);
    });
}

TEST_F(MainWindow, SystemCommandsSixteenToThirtyOneOpenTheAboutBox) {
    int shown = 0;
    for (int i = 0; i < 2; ++i) {
        mem().onShow(IDD_ABOUT, [&](MemoryWindow& about) {
            ++shown;
            about.pressEnter(fw::kIdOk);
        });
    }
    show([&](MemoryWindow& w, CMainDialog&) {
        EXPECT_TRUE(w.systemCommand(16));
        EXPECT_TRUE(w.systemCommand(31));
        EXPECT_FALSE(w.systemCommand(32)) << "no About box is queued: showing one would throw";
        EXPECT_FALSE(w.hasEnded());
    });
    EXPECT_EQ(shown, 2);
}

TEST_F(MainWindow, EnterClosesWithOkAndEscapeCancels) {
    EXPECT_EQ(show([](MemoryWindow& w, CMainDialog&) { w.pressEnter(IDC_USER); }), fw::kIdOk);
    EXPECT_EQ(show([](MemoryWindow& w, CMainDialog&) { w.pressEscape(IDC_USER); }), fw::kIdCancel);
}

// A field name of 30 bytes passes; one of 31 stops the read at its box. Every
// command that reads the window then says so once and ends before its work,
// overwriting nothing the user typed; the record-type buttons still switch
// the boxes they govern.
TEST_F(MainWindow, AFieldNameOverThirtyBytesEndsEveryCommandThatReadsTheWindow) {
    const std::string tooLong = repeat(kZhong, 15) + "x";
    const std::vector<std::string> added = {repeat(kZhong, 15) + " CHAR"};
    mem().answerFileDialog(fw::FileChoice{scratch_ + "/emp", 1}); // Save asks before it reads
    show([&](MemoryWindow& w, CMainDialog& d) {
        w.setText(IDC_FIELD_NAME, repeat(kZhong, 15));
        w.click(IDC_ADD);
        ASSERT_EQ(lines(w), added);
        ASSERT_TRUE(mem().messages().empty());

        w.setText(IDC_FIELD_NAME, tooLong);
        w.setText(IDC_FIELD_TYPE, "NUMBER(10)");
        w.type(IDC_TABLE, "EMP");
        w.setText(IDC_OUTPUT, "earlier output");
        w.click(IDC_ADD);
        w.choose(IDC_FIELD_LIST, 0); // the split does not run
        w.click(IDC_FIXED);
        EXPECT_TRUE(w.isEnabled(IDC_POSITION));
        EXPECT_FALSE(w.isEnabled(IDC_DELIMITER));
        EXPECT_EQ(d.recordType, 1);
        w.click(IDC_BROWSE);       // no file dialog is queued: showing one would fail
        w.click(IDC_LOAD_CTL);     // nor here
        w.click(IDC_CHOOSE_TABLE); // no database work
        w.click(IDC_SAVE_CTL);
        w.click(IDC_IMPORT);
        w.pressEnter(IDC_USER);
        EXPECT_FALSE(w.hasEnded());
        EXPECT_EQ(w.focusedId(), IDC_FIELD_NAME);
        w.pumpUntil([] { return false; }, 200ms);

        EXPECT_EQ(w.text(IDC_FIELD_NAME), tooLong);
        EXPECT_EQ(w.text(IDC_FIELD_TYPE), "NUMBER(10)");
        EXPECT_EQ(w.text(IDC_TABLE), "EMP");
        EXPECT_EQ(d.tableName, "") << "members after the field name keep their values";
        EXPECT_EQ(lines(w), added);
        EXPECT_EQ(w.text(IDC_OUTPUT), "") << "the pane is emptied and no loader ran";
    });
    const auto messages = mem().takeMessages();
    EXPECT_EQ(messages.size(), 9u);
    for (const auto& m : messages) {
        EXPECT_EQ(m.text, "请输入不超过 30 个字符。");
        EXPECT_EQ(m.icon, fw::MessageIcon::Warning);
    }
    EXPECT_EQ(mem().fileRequests().size(), 1u);
    EXPECT_TRUE(ado.log.empty());
    EXPECT_FALSE(exists(controlFile()));
    EXPECT_FALSE(exists(scratch_ + "/emp.ctl"));
}

TEST_F(MainWindow, SaveMovesTheControlFileToTheChosenNameWithTheExtensionOnce) {
    const std::pair<fw::FileChoice, std::string> cases[] = {
        {{scratch_ + "/emp", 1}, scratch_ + "/emp.ctl"},
        {{scratch_ + "/dept.ctl", 1}, scratch_ + "/dept.ctl"},
        {{scratch_ + "/bonus.CTL", 1}, scratch_ + "/bonus.CTL"},
        {{scratch_ + "/salgrade", 2}, scratch_ + "/salgrade"},
    };
    for (const auto& c : cases) {
        mem().answerFileDialog(c.first);
    }
    show([&](MemoryWindow& w, CMainDialog&) {
        w.setText(IDC_DATA_FILE, "/data/emp.txt");
        w.setText(IDC_TABLE, "EMP");
        w.listAdd(IDC_FIELD_LIST, "EMPNO CHAR");
        w.listAdd(IDC_FIELD_LIST, "HIREDATE DATE  ''");
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            w.click(IDC_SAVE_CTL);
        }
    });
    const std::string expected = "load data\r\n"
                                 "infile '/data/emp.txt'\r\n"
                                 "append into table EMP\r\n"
                                 "fields terminated by '\t' \r\n"
                                 "\r\n"
                                 "(\r\n"
                                 "EMPNO CHAR,\r\n"
                                 "HIREDATE DATE  \r\n"
                                 ")";
    EXPECT_TRUE(mem().messages().empty());
    for (const auto& c : cases) {
        EXPECT_EQ(readFile(c.second), expected) << c.second;
    }
    EXPECT_FALSE(exists(controlFile())) << "load.ctl has moved";
    ASSERT_EQ(mem().fileRequests().size(), 4u);
    EXPECT_TRUE(mem().fileRequests()[0].save);
    EXPECT_EQ(mem().fileRequests()[0].filter, "Oracle Loader 控制文件(*.ctl)|*.ctl|所有文件(*.*)|*.*|");
}

TEST_F(MainWindow, SaveOverAnExistingFileKeepsItAndSaysSo) {
    const std::string target = scratch_ + "/emp.ctl";
    std::ofstream(target) << "keep me";
    mem().answerFileDialog(fw::FileChoice{scratch_ + "/emp", 1});
    mem().answerFileDialog(std::nullopt);
    show([](MemoryWindow& w, CMainDialog&) {
        w.click(IDC_SAVE_CTL);
        w.click(IDC_SAVE_CTL);
    });
    EXPECT_EQ(readFile(target), "keep me");
    EXPECT_TRUE(exists(controlFile())) << "load.ctl stays in the program folder";
    const auto messages = mem().takeMessages();
    ASSERT_EQ(messages.size(), 1u) << "a cancelled dialog says nothing";
    EXPECT_EQ(messages[0].text, "控制文件无法保存为 " + target + " (该文件可能已存在)");
    EXPECT_EQ(messages[0].icon, fw::MessageIcon::None);
}

TEST_F(MainWindow, ControlFileThatCannotBeCreatedStopsSaveAndImport) {
    // A stale load.ctl from an earlier run must neither be saved nor loaded.
    const std::string folder = scratch_ + "/program";
    std::system(("mkdir -p '" + folder + "/load.ctl'").c_str());
    mem().answerFileDialog(fw::FileChoice{scratch_ + "/emp", 1});
    show([&](MemoryWindow& w, CMainDialog& d) {
        d.programFolder = folder;
        w.click(IDC_SAVE_CTL);
        w.click(IDC_IMPORT);
        w.pumpUntil([] { return false; }, 200ms);
        EXPECT_EQ(w.text(IDC_OUTPUT), "");
    });
    const auto messages = mem().takeMessages();
    ASSERT_EQ(messages.size(), 2u);
    for (const auto& message : messages) {
        EXPECT_EQ(message.text, "控制文件建立失败!!!检查当前目录下load.ctl文件时候已存在!");
        EXPECT_EQ(message.icon, fw::MessageIcon::None);
    }
    EXPECT_FALSE(exists(scratch_ + "/emp.ctl"));
}

TEST_F(MainWindow, ImportWritesTheControlFileAndStreamsTheLoaderOutput) {
    testenv::ScopedEnv text("STANDIN_TEXT", "a\nb");
    show([&](MemoryWindow& w, CMainDialog& d) {
        w.setText(IDC_OUTPUT, "old output");
        w.setText(IDC_TABLE, "EMP");
        w.listAdd(IDC_FIELD_LIST, "EMPNO CHAR");
        w.listAdd(IDC_FIELD_LIST, "COMM DATE  ''");
        w.click(IDC_IMPORT);
        waitForCompletion(w);
        EXPECT_EQ(d.commandLine, "sqlldr user/kemp@dbname control='" + programFolder_ + "/load.ctl' parfile='" +
                                     programFolder_ + "/parfile.cfg'");
        EXPECT_EQ(w.text(IDC_OUTPUT), "arg[1]=user/kemp@dbname\r\n"
                                      "arg[2]=control='" +
                                          programFolder_ +
                                          "/load.ctl'\r\n"
                                          "arg[3]=parfile='" +
                                          programFolder_ + "/parfile.cfg'\r\n" + "a\r\nb\r\nMission complete!\r\n");
    });
    EXPECT_EQ(readFile(controlFile()), "load data\r\n"
                                       "infile ''\r\n"
                                       "append into table EMP\r\n"
                                       "fields terminated by '\t' \r\n"
                                       "\r\n"
                                       "(\r\n"
                                       "EMPNO CHAR,\r\n"
                                       "COMM DATE  \r\n"
                                       ")");
    EXPECT_TRUE(mem().messages().empty());
}

TEST_F(MainWindow, OutputLongerThanOneReadIsShownBeforeTheLoaderEnds) {
    const std::string gate = scratch_ + "/go";
    testenv::ScopedEnv quiet("STANDIN_QUIET", "1");
    testenv::ScopedEnv bytes("STANDIN_BYTES", "50000");
    testenv::ScopedEnv burst("STANDIN_BURST", "10000");
    testenv::ScopedEnv toStderr("STANDIN_STDERR", "1");
    testenv::ScopedEnv waitFile("STANDIN_WAIT_FILE", gate);
    show([&](MemoryWindow& w, CMainDialog&) {
        w.click(IDC_IMPORT);
        ASSERT_TRUE(w.pumpUntil([&] { return w.text(IDC_OUTPUT).size() >= 10000; }, 60s));
        EXPECT_EQ(w.text(IDC_OUTPUT).find("Mission"), std::string::npos) << "the loader is still waiting";
        std::ofstream(gate) << "";
        waitForCompletion(w);
        EXPECT_TRUE(w.text(IDC_OUTPUT) == withCrLf(filler(50000)) + kCompletion) << "lines lost or repeated";
    });
}

// Output read while the details pane is collapsed is discarded; expanded half
// way through a run, the pane shows only what is read afterwards.
TEST_F(MainWindow, OutputReadWhileThePaneIsCollapsedIsDiscarded) {
    testenv::ScopedEnv quiet("STANDIN_QUIET", "1");
    testenv::ScopedEnv bytes("STANDIN_BYTES", "3000");
    testenv::ScopedEnv burst("STANDIN_BURST", "1000");
    show([&](MemoryWindow& w, CMainDialog& d) {
        const fw::Rect full = w.outerRect();
        w.click(IDC_DETAILS);
        EXPECT_EQ(d.detailsCollapsed, 1);
        EXPECT_EQ(w.outerRect().bottom, full.bottom - 100);
        w.click(IDC_IMPORT);
        waitForCompletion(w);
        EXPECT_EQ(w.text(IDC_OUTPUT), "\r\nMission complete!\r\n") << "only the closing line";

        const std::string gate = scratch_ + "/go";
        const std::string waiting = scratch_ + "/waiting";
        testenv::ScopedEnv waitFile("STANDIN_WAIT_FILE", gate);
        testenv::ScopedEnv waitingFile("STANDIN_WAITING_FILE", waiting);
        w.click(IDC_IMPORT);
        // The loader's first 1000 bytes are written, and read while the pane
        // is collapsed.
        ASSERT_TRUE(w.pumpUntil([&] { return exists(waiting); }, 60s));
        w.pumpUntil([] { return false; }, 200ms);
        w.click(IDC_DETAILS);
        EXPECT_EQ(w.outerRect(), full);
        EXPECT_EQ(d.detailsCollapsed, 0);
        std::ofstream(gate) << "";
        waitForCompletion(w);
        // Bytes 1000 to 2999 of the filler: from the end of line 16 to the
        // start of line 47.
        EXPECT_EQ(w.text(IDC_OUTPUT), withCrLf(filler(3000).substr(1000)) + kCompletion);
    });
}

TEST_F(MainWindow, ASecondImportWhileOneRunsFeedsTheSamePane) {
    const std::string gate = scratch_ + "/go";
    testenv::ScopedEnv quiet("STANDIN_QUIET", "1");
    testenv::ScopedEnv text("STANDIN_TEXT", "run\n");
    testenv::ScopedEnv waitFile("STANDIN_WAIT_FILE", gate);
    show([&](MemoryWindow& w, CMainDialog&) {
        w.click(IDC_IMPORT);
        ASSERT_TRUE(w.pumpUntil([&] { return w.text(IDC_OUTPUT) == "run\r\n"; }, 60s));
        w.click(IDC_IMPORT);
        ASSERT_TRUE(w.pumpUntil([&] { return w.text(IDC_OUTPUT) == "run\r\n"; }, 60s)) << "the pane was emptied";
        std::ofstream(gate) << "";
        ASSERT_TRUE(w.pumpUntil(
            [&] { return w.text(IDC_OUTPUT) == "run\r\n\r\nMission complete!\r\n\r\nMission complete!\r\n"; }, 60s))
            << w.text(IDC_OUTPUT);
    });
}

} // namespace
