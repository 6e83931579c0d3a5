// A program folder on a full disk: Import, Save and the advanced dialog's OK
// each tell the user, keep what the window holds, leave the old load.ctl and
// parfile.cfg as they were and no half-written file beside them. The folder
// is a small full tmpfs; where mounting is not allowed the test is skipped.
// (A folder that takes no new files fails on opening, as in the main window's
// and the advanced dialog's tests of a file that cannot be created.)
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
    void TearDown() override {
        if (mounted_) {
            std::system(("umount '" + folder_ + "'").c_str());
        }
        MainWindow::TearDown();
    }

    // The program folder with an old load.ctl and parfile.cfg on a disk that
    // is full; false when this machine does not let the test mount.
    bool makeFullFolder() {
        folder_ = scratch_ + "/program";
        std::system(("mkdir -p '" + folder_ + "'").c_str());
        if (std::system(("mount -t tmpfs -o size=256k tmpfs '" + folder_ + "' 2>/dev/null").c_str()) != 0) {
            return false;
        }
        mounted_ = true;
        std::ofstream(folder_ + "/load.ctl", std::ios::binary) << kOldControlFile;
        std::ofstream(folder_ + "/parfile.cfg", std::ios::binary) << kOldParameters;
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

    std::string folder_; // in the test's scratch folder
    bool mounted_ = false;
};

TEST_F(UnwritableFolder, AFullDiskLeavesNoHalfWrittenFileAndTheOldOnesWhole) {
    if (!makeFullFolder()) {
        GTEST_SKIP() << "no tmpfs mount here";
    }
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
        EXPECT_EQ(lines(w), std::vector<std::string>{"EMPNO CHAR"});
    });
    EXPECT_EQ(readFile(folder_ + "/load.ctl"), kOldControlFile);
    EXPECT_EQ(readFile(folder_ + "/parfile.cfg"), kOldParameters);
    EXPECT_FALSE(exists(scratch_ + "/saved.ctl"));
    const auto messages = mem().takeMessages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].text, "控制文件写入失败: " + folder_ + "/load.ctl");
    EXPECT_EQ(messages[1].text, "控制文件写入失败: " + folder_ + "/load.ctl");
    EXPECT_EQ(messages[2].text, "参数文件无法写入: " + folder_ + "/parfile.cfg");
    EXPECT_EQ(names(), (std::vector<std::string>{"fill", "load.ctl", "parfile.cfg"}));
}

} // namespace
