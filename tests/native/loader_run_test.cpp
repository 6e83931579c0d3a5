// The run worker and the way it feeds the output pane, without a window.
#include "env.h"
#include "run/loader_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A window thread played by the test: posted calls wait until it drains.
struct FakePane {
    std::shared_ptr<fw::CallQueue> queue = std::make_shared<fw::CallQueue>([] { return true; });
    std::vector<std::string> appends;
    std::vector<std::string> reports;
    std::function<void()> duringAppend;
    std::shared_ptr<run::OutputFeed> feed = std::make_shared<run::OutputFeed>(
        queue,
        [this](const std::string& text) {
            appends.push_back(text);
            if (duringAppend) {
                duringAppend();
            }
        },
        [this](const std::string& message) { reports.push_back(message); });

    std::string text() const {
        std::string all;
        for (const std::string& a : appends) {
            all += a;
        }
        return all;
    }
};

TEST(OutputFeed, GathersWhatArrivesWhileAnAppendWaitsOrRunsIntoOneAppend) {
    FakePane pane;
    pane.feed->show("a");
    pane.feed->show("b");
    pane.feed->show("c");
    pane.duringAppend = [&] {
        pane.duringAppend = nullptr;
        pane.feed->show("d");
        pane.feed->show("e");
    };
    pane.queue->drain();
    EXPECT_EQ(pane.appends, (std::vector<std::string>{"abc"}));
    pane.queue->drain();
    EXPECT_EQ(pane.appends, (std::vector<std::string>{"abc", "de"}));
    EXPECT_EQ(pane.feed->appendCount(), 2);
    pane.queue->drain();
    EXPECT_EQ(pane.appends.size(), 2u) << "nothing pending, nothing appended";
}

TEST(OutputFeed, ReportsAreDeliveredOnTheWindowThreadAndDroppedOnceItIsGone) {
    FakePane pane;
    pane.feed->report("Error  on  CreateProcess()");
    EXPECT_TRUE(pane.reports.empty());
    pane.queue->drain();
    EXPECT_EQ(pane.reports, (std::vector<std::string>{"Error  on  CreateProcess()"}));

    pane.feed->show("lost");
    pane.queue->close();
    pane.feed->show("after");
    pane.feed->report("after");
    pane.queue->drain();
    EXPECT_TRUE(pane.appends.empty());
    EXPECT_EQ(pane.reports.size(), 1u);
}

class RunLoader : public testing::Test {
protected:
    testenv::ScopedEnv path_{"PATH", testenv::pathWithStandIn()};
    testenv::ScopedEnv quiet_{"STANDIN_QUIET", "1"};
};

TEST_F(RunLoader, ShowsEachChunkUpToAZeroByteWithCrLfUnlessCollapsedAndThenTheCompletionLine) {
    const struct {
        const char* loaderText;
        bool collapsed;
        std::string shown;
    } cases[] = {
        {"a\nb\r\nc", false, "a\r\nb\r\r\nc"},
        {"shown\\0hidden", false, "shown"},
        {"hidden", true, ""},
    };
    for (const auto& c : cases) {
        testenv::ScopedEnv text("STANDIN_TEXT", c.loaderText);
        FakePane pane;
        pane.feed->setCollapsed(c.collapsed);
        EXPECT_EQ(run::runLoader("sqlldr", pane.feed), 0);
        pane.queue->drain();
        EXPECT_EQ(pane.text(), c.shown + "\r\nMission complete!\r\n") << c.loaderText;
    }
}

TEST_F(RunLoader, AProgramThatCannotStartEndsWithExitCodeOneAndAReport) {
    FakePane pane;
    EXPECT_EQ(run::runLoader("no-such-loader-here", pane.feed), 1);
    pane.queue->drain();
    EXPECT_TRUE(pane.appends.empty());
    EXPECT_EQ(pane.reports, (std::vector<std::string>{"Error  on  CreateProcess()"}));
}

TEST(LoaderCommandLine, NamesBothFilesInTheProgramFolderAndQuotesNothingElse) {
    EXPECT_EQ(run::loaderCommandLine("user", "kemp", "dbname", "C:\\tools", '\\'),
              "sqlldr user/kemp@dbname control='C:\\tools\\load.ctl' parfile='C:\\tools\\parfile.cfg'");
    const std::string longFolder(400, 'f');
    EXPECT_EQ(run::loaderCommandLine("u", "p w", "", longFolder, '/'),
              "sqlldr u/p w@ control='" + longFolder + "/load.ctl' parfile='" + longFolder + "/parfile.cfg'");
}

} // namespace
