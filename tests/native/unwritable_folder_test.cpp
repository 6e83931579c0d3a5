// A program folder that cannot be written: read-only, or on a full disk.
// Import, Save and the advanced dialog's OK each tell the user, keep what the
// window holds, leave the old load.ctl and parfile.cfg as they were and no
// half-written file beside them. Tests run as root, whom file modes do not
// stop, so the folder is a read-only bind mount or a small full tmpfs; where
// mounting is not allowed the tests are skipped.
#include "native/main_window_fixture.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

using namespace mainwindow;

const std::string kOldControlFile = "load data\r\ninfile 'old.txt'\r\nappend into table OLD\r\n(\r\nOLD CHAR\r\n)";
const std::string kOldParameters = "errors=7\r\n";

class UnwritableFolder : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        folder_ = scratch_ + "/program";
    }
    void TearDown() override {
        if (!mounted_.empty()) {
            std::system(("umount '" + mounted_ + "'").c_str());
        }
        MainWindow::TearDown();
    }

    // The program folder with an old load.ctl and parfile.cfg, then made
    // read-only; false when this machine does not let the test mount.
    bool makeReadOnlyFolder() {
        fillFolder();
        return mount("mount --bind '" + folder_ + "' '" + folder_ + "' && mount -o remount,bind,ro '" + folder_ + "'");
    }

    // The same on a disk that is full.
    bool makeFullFolder() {
        std::system(("mkdir -p '" + folder_ + "'").c_str());
        if (!mount("mount -t tmpfs -o size=256k tmpfs '" + folder_ + "'")) {
            return false;
        }
        fillFolder();
        std::system(("dd if=/dev/zero of='" + folder_ + "/fill' bs=4096 2>/dev/null").c_str());
        return true;
    }

    std::vector<std::string> names() const {
        std::vector<std::string> all;
        for (const auto& e : std::filesystem::directory_iterator(folder_)) {
            all.push_back(e.path().filename().string());
        }
        std::sort(all.begin(), all.end());
        return all;
    }

    // Import, Save and the advanced dialog's OK, each once, over a window
    // that holds a load definition: Import and Save each say
    // `controlFileMessage`, and the folder then holds `kept`.
    void tryEverything(const std::string& controlFileMessage, const std::vector<std::string>& kept) {
        mem().answerFileDialog(fw::FileChoice{scratch_ + "/saved", 1});
        mem().onShow(IDD_ADVANCED, [](MemoryWindow& a) {
            a.setText(IDC_ERRORS, "9");
            a.click(fw::kIdOk);
            EXPECT_FALSE(a.hasEnded()) << "the dialog stays open";
            EXPECT_EQ(a.text(IDC_ERRORS), "9") << "what the user typed stays";
            a.click(fw::kIdCancel);
        });
        show([&](MemoryWindow& w, CMainDialog& d) {
            d.programFolder = folder_;
            w.setText(IDC_TABLE, "EMP");
            w.type(IDC_FIELD_NAME, "EMPNO");
            w.click(IDC_ADD);
            w.click(IDC_IMPORT);
            w.click(IDC_SAVE_CTL);
            w.click(IDC_ADVANCED);
            w.pumpUntil([] { return false; }, 300ms);
            EXPECT_EQ(w.text(IDC_OUTPUT), "") << "no loader ran";
            EXPECT_EQ(w.text(IDC_TABLE), "EMP");
            ASSERT_EQ(w.listCount(IDC_FIELD_LIST), 1);
            EXPECT_EQ(w.listLine(IDC_FIELD_LIST, 0), "EMPNO CHAR");
        });
        EXPECT_EQ(readFile(folder_ + "/load.ctl"), kOldControlFile);
        EXPECT_EQ(readFile(folder_ + "/parfile.cfg"), kOldParameters);
        EXPECT_FALSE(exists(scratch_ + "/saved.ctl"));
        const auto messages = mem().takeMessages();
        ASSERT_EQ(messages.size(), 3u);
        EXPECT_EQ(messages[0].text, controlFileMessage);
        EXPECT_EQ(messages[1].text, controlFileMessage);
        EXPECT_EQ(messages[2].text, "参数文件无法写入: " + folder_ + "/parfile.cfg");
        EXPECT_EQ(names(), kept);
    }

    std::string folder_; // in the test's scratch folder

private:
    void fillFolder() {
        std::system(("mkdir -p '" + folder_ + "'").c_str());
        std::ofstream(folder_ + "/load.ctl", std::ios::binary) << kOldControlFile;
        std::ofstream(folder_ + "/parfile.cfg", std::ios::binary) << kOldParameters;
    }

    bool mount(const std::string& command) {
        if (std::system((command + " 2>/dev/null").c_str()) != 0) {
            return false;
        }
        mounted_ = folder_;
        return true;
    }

    std::string mounted_;
};

TEST_F(UnwritableFolder, AReadOnlyProgramFolderIsReportedByEveryWriteAndKeepsItsFiles) {
    if (!makeReadOnlyFolder()) {
        GTEST_SKIP() << "no bind mount here";
    }
    tryEverything("控制文件建立失败!!!检查当前目录下load.ctl文件时候已存在!", {"load.ctl", "parfile.cfg"});
}

TEST_F(UnwritableFolder, AFullDiskLeavesNoHalfWrittenFileAndTheOldOnesWhole) {
    if (!makeFullFolder()) {
        GTEST_SKIP() << "no tmpfs mount here";
    }
    tryEverything("控制文件写入失败: " + folder_ + "/load.ctl", {"fill", "load.ctl", "parfile.cfg"});
}

} // namespace
