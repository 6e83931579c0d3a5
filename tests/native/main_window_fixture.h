// The main window on the memory backend, as the native tests show it: a
// fixture with the stand-in loader on the search path, a scripted ADO, a
// scratch folder and the program folder's load.ctl removed before and after
// each test.
#pragma once

#include "env.h"
#include "fakes/fake_ado.h"
#include "framework/memory/memory_backend.h"
#include "loaddef/load_definition.h"
#include "platform/platform.h"
#include "run/loader_run.h"
#include "ui/main_dialog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace mainwindow {

using fw::mem::MemoryWindow;
using namespace std::chrono_literals;

inline const std::string kZhong = "\xD6\xD0"; // one double-byte character
// The line that closes every run's output in the pane.
inline const std::string kCompletion = "\r\nMission complete!\r\n";

inline std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) {
        out += s;
    }
    return out;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// The lines of the field list, in order.
inline std::vector<std::string> lines(fw::mem::MemoryWindow& w) {
    std::vector<std::string> all;
    for (int i = 0; i < w.listCount(IDC_FIELD_LIST); ++i) {
        all.push_back(w.listLine(IDC_FIELD_LIST, i));
    }
    return all;
}

// The stand-in's filler of `bytes` bytes: 64-byte lines "line 000001 abc...\n".
inline std::string filler(std::size_t bytes) {
    std::string all;
    for (unsigned number = 1; all.size() < bytes; ++number) {
        char head[16];
        std::snprintf(head, sizeof head, "line %06u ", number);
        all += head;
        for (char c = 'a'; all.size() % 64 != 63; c = c == 'z' ? 'a' : static_cast<char>(c + 1)) {
            all += c;
        }
        all += '\n';
    }
    return all.substr(0, bytes);
}

// `s` with every LF turned into CR LF, as the output pane shows it.
inline std::string withCrLf(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

inline bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class MainWindow : public testing::Test {
protected:
    void SetUp() override {
        mem().reset();
        programFolder_ = loaddef::folderOf(platform::executablePath(), '/');
        std::remove(controlFile().c_str());
        scratch_ =
            testing::TempDir() + "brennick_main_" + testing::UnitTest::GetInstance()->current_test_info()->name();
        std::system(("rm -rf '" + scratch_ + "' && mkdir -p '" + scratch_ + "'").c_str());
    }
    void TearDown() override {
        for (const std::string& left : mem().unused()) {
            ADD_FAILURE() << left;
        }
        std::remove(controlFile().c_str());
    }

    static fw::mem::MemoryBackend& mem() { return fw::mem::memoryBackend(); }
    std::string controlFile() const { return programFolder_ + "/load.ctl"; }

    // Shows the main window over the scripted ADO, runs `script` on it and
    // closes it with Escape when the script has left it open. Returns the
    // dialog's result.
    int show(const std::function<void(MemoryWindow&, CMainDialog&)>& script) {
        CMainDialog dialog(nullptr, ado);
        mem().onShow(IDD_MAIN, [&](MemoryWindow& w) {
            script(w, dialog);
            if (!w.hasEnded()) {
                w.pressEscape(0);
            }
        });
        const int result = dialog.doModal();
        EXPECT_EQ(ado.liveObjects, 0) << "every ADO object is released with the window";
        return result;
    }

    // Pumps the window until the run's closing line has arrived.
    static void waitForCompletion(MemoryWindow& w) {
        ASSERT_TRUE(w.pumpUntil([&] { return endsWith(w.text(IDC_OUTPUT), kCompletion); }, 60s)) << w.text(IDC_OUTPUT);
    }

    fakeado::FakeAdo ado;
    testenv::ScopedEnv path_{"PATH", testenv::pathWithStandIn()};
    std::string programFolder_;
    std::string scratch_;
};

} // namespace mainwindow
