// What a user sees when a command, or the start of the program, fails: a
// message, and a window that goes on working or a program that ends cleanly.
#include "contract/harness.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class Failing : public fw::Dialog {
public:
    explicit Failing(bool failAtStart = false) : fw::Dialog(IDD_MAIN), failAtStart_(failAtStart) {
        commands<Failing>({
            {IDC_ADD, fw::Notify::Clicked, &Failing::fail},
            {IDC_DELETE, fw::Notify::Clicked, &Failing::count},
        });
    }
    int clicks = 0;

protected:
    bool onInitDialog() override {
        if (failAtStart_) {
            throw std::runtime_error("no templates today");
        }
        return fw::Dialog::onInitDialog();
    }

private:
    void fail() { throw std::runtime_error("disk on fire"); }
    void count() { ++clicks; }

    bool failAtStart_;
};

TEST(Failures, ACommandThatFailsIsReportedAndTheWindowStaysUsable) {
    Failing dialog;
    std::vector<contract::ShownMessage> messages;
    const int result = contract::runDialog(
        dialog,
        [&](fw::Window& w, contract::User& user) {
            w.setText(IDC_TABLE, "typed");
            user.click(IDC_ADD);
            EXPECT_TRUE(dialog.isShown());
            user.click(IDC_DELETE);
            user.click(IDC_ADD);
            user.click(IDC_DELETE);
            EXPECT_EQ(dialog.clicks, 2);
            EXPECT_EQ(w.text(IDC_TABLE), "typed");
            user.pressEscape(IDC_TABLE);
        },
        &messages);
    EXPECT_EQ(result, fw::kIdCancel);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "操作未能完成：disk on fire");
    EXPECT_TRUE(messages[0].warningIcon);
}

TEST(Failures, AFailureAtStartUpEndsTheProgramWithAMessageAndExitCodeOne) {
    std::vector<contract::ShownMessage> messages;
    int exitCode = -1;
    contract::answeringMessageBoxes(
        [&] {
            exitCode = fw::runMainWindow([] {
                Failing dialog(true);
                dialog.doModal();
            });
        },
        messages);
    EXPECT_EQ(exitCode, 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "程序运行失败：no templates today");
    EXPECT_TRUE(messages[0].warningIcon);
    EXPECT_EQ(fw::runMainWindow([] {}), 0);
}

} // namespace
