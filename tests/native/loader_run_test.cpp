// The run worker and the way it feeds the output pane, without a window.
#include "env.h"
#include "run/loader_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A window thread played by the test: posted calls wait until it drains.
// Its clock moves only while an append runs, by what `cost` says the append
// of a text takes (nothing unless set).
struct FakePane {
    std::shared_ptr<fw::CallQueue> queue = std::make_shared<fw::CallQueue>([] { return true; });
    std::vector<std::string> appends;
    std::vector<std::string> reports;
    std::function<void()> duringAppend;
    std::function<Clock::duration(const std::string&)> cost;
    Clock::time_point clock;
    std::shared_ptr<run::OutputFeed> feed = std::make_shared<run::OutputFeed>(
        queue,
        [this](const std::string& text) {
            appends.push_back(text);
            if (cost) {
                clock += cost(text);
            }
            if (duringAppend) {
                duringAppend();
            }
        },
        [this](const std::string& message) { reports.push_back(message); }, [this] { return clock; });

    // Drains until nothing more is queued.
    void drainAll() {
        while (queue->pending()) {
            queue->drain();
        }
    }

    std::string text() const {
        std::string all;
        for (const std::string& a : appends) {
            all += a;
        }
        return all;
    }
};

TEST(OutputFeed, GathersWhatArrivesWhileAnAppendWaitsOrRunsIntoOneAppendAndALoneByteEndsOne) {
    FakePane pane;
    pane.feed->show("a");
    pane.feed->show("b");
    pane.feed->show("c");
    pane.duringAppend = [&] {
        pane.duringAppend = nullptr;
        pane.feed->show("d");
        pane.feed->showLoneByte('\xB0');
        pane.feed->show("\r\ne");
    };
    pane.queue->drain();
    EXPECT_EQ(pane.appends, (std::vector<std::string>{"abc"}));
    pane.drainAll();
    EXPECT_EQ(pane.appends, (std::vector<std::string>{"abc", "d\xB0", "\r\ne"}));
    EXPECT_EQ(pane.feed->appendCount(), 3);
    pane.queue->drain();
    EXPECT_EQ(pane.appends.size(), 3u) << "nothing pending, nothing appended";
}

TEST(OutputFeed, ReportsWaitForTheWindowThreadAndNothingArrivesOnceItIsGoneEvenHalfwayThroughTheText) {
    FakePane pane;
    pane.feed->report("Error  on  CreateProcess()");
    std::string output;
    for (int i = 0; output.size() < 1000000; ++i) {
        output += "line " + std::to_string(i) + "\r\n";
    }
    pane.feed->show(output);
    EXPECT_TRUE(pane.reports.empty());
    pane.queue->drain();
    EXPECT_EQ(pane.reports, (std::vector<std::string>{"Error  on  CreateProcess()"}));
    ASSERT_EQ(pane.appends.size(), 1u);
    ASSERT_LT(pane.appends[0].size(), output.size()) << "the rest waits for the next append";
    EXPECT_EQ(output.compare(0, pane.appends[0].size(), pane.appends[0]), 0);

    pane.queue->close();
    pane.feed->show("after");
    pane.feed->report("after");
    pane.queue->drain();
    EXPECT_EQ(pane.appends.size(), 1u);
    EXPECT_EQ(pane.reports.size(), 1u);
}

// Numbered lines of 1 to 300 bytes, some with a double-byte character, and
// one long line without a line end (the texts a piece must be cut in).
std::string variedOutput() {
    std::mt19937 random(7);
    std::string out;
    for (int i = 0; out.size() < 3000000; ++i) {
        std::string line = "line " + std::to_string(i) + " ";
        const int length = std::uniform_int_distribution<int>(0, 300)(random);
        while (static_cast<int>(line.size()) < length) {
            line += i % 3 == 0 ? "\xD6\xD0" : "x";
        }
        out += line + "\r\n";
        if (i == 5000) {
            for (int k = 0; k < 100000; ++k) {
                out += "\xB0\xA1y";
            }
        }
    }
    return out;
}

// Whether `text` read character by character from its start ends at a
// character's end, not between the two bytes of one.
bool endsWithWholeCharacter(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size()) {
        at += (static_cast<unsigned char>(text[at]) >= 0x81 && static_cast<unsigned char>(text[at]) <= 0xFE) ? 2 : 1;
    }
    return at == text.size();
}

TEST(OutputFeed, AppendsEverythingInOrderInPiecesBoundedByTheTimeTheyTake) {
    // What an append costs: 20 ms per MB the pane holds, 0.3 ms per KB
    // appended.
    const struct {
        const char* name;
        double msPerPaneMb;
        double msPerKb;
    } machines[] = {{"quick", 20, 0.3}, {"slow", 60, 1.0}, {"free appends", 0, 0.3}};
    const std::string output = variedOutput();
    for (const auto& m : machines) {
        SCOPED_TRACE(m.name);
        FakePane pane;
        std::size_t paneBytes = 0;
        std::vector<double> costs;
        pane.cost = [&](const std::string& text) {
            const double ms = m.msPerPaneMb * static_cast<double>(paneBytes) / (1 << 20) +
                              m.msPerKb * static_cast<double>(text.size()) / 1024;
            paneBytes += text.size();
            costs.push_back(ms);
            return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(ms));
        };
        // Handed over in reads of up to 4095 bytes, whole characters each.
        for (std::size_t at = 0; at < output.size();) {
            std::size_t end = std::min(output.size(), at + 4000);
            if (!endsWithWholeCharacter(output.substr(at, end - at))) {
                ++end;
            }
            pane.feed->show(output.substr(at, end - at));
            at = end;
        }
        pane.drainAll();

        EXPECT_EQ(pane.text(), output);
        std::size_t before = 0;
        for (std::size_t i = 0; i < pane.appends.size(); ++i) {
            const std::string& a = pane.appends[i];
            ASSERT_TRUE(endsWithWholeCharacter(a)) << "append " << i;
            // The long line has no line end to stop at; everything else
            // ends at one.
            const bool inLongLine = a.find("y\xB0\xA1y") != std::string::npos;
            EXPECT_TRUE(inLongLine || a.back() == '\n') << "append " << i;
            // Once the first pieces have told the cost, an append stays
            // within its budget, give or take a line (300 bytes).
            const double budget =
                static_cast<double>((before < run::OutputFeed::kSmallPaneBytes ? run::OutputFeed::kSmallPaneBudget
                                                                               : run::OutputFeed::kLargePaneBudget)
                                        .count());
            const double fixed = m.msPerPaneMb * static_cast<double>(before) / (1 << 20);
            if (i >= 2 && fixed < budget / 2) {
                EXPECT_LE(costs[i], budget * 1.1) << "append " << i;
            }
            before += a.size();
        }
        EXPECT_LT(pane.appends.size(), 200u) << "pieces far smaller than the budget allows";
    }
}

TEST(OutputFeed, AppendsOnceAnAppendCostsMostlyThePaneAreAsLongAgain) {
    // 1.2 s per append whatever its size, 0.1 ms per KB: the budget cannot
    // be kept, and small pieces would only multiply that cost.
    FakePane pane;
    pane.cost = [](const std::string& text) {
        return 1200ms + std::chrono::microseconds(static_cast<long long>(text.size() * 100 / 1024));
    };
    std::string line(99, 'z');
    line += '\n';
    std::string output;
    while (output.size() < (40 << 20)) {
        output += line;
    }
    pane.feed->show(output);
    pane.drainAll();
    EXPECT_EQ(pane.text(), output);
    // The pieces grow until each is worth as much appending time as the
    // append wastes (1.2 s at 0.1 ms per KB is 12 MB), or to 2 MB at most.
    std::size_t longest = 0;
    for (const std::string& a : pane.appends) {
        longest = std::max(longest, a.size());
    }
    EXPECT_GE(longest, (2u << 20) - 100);
    EXPECT_LE(longest, 2u << 20);
    EXPECT_LE(pane.appends.size(), 30u) << "pieces double until they are worth their append";
}

class RunLoader : public testing::Test {
protected:
    testenv::ScopedEnv path_{"PATH", testenv::pathWithStandIn()};
    testenv::ScopedEnv quiet_{"STANDIN_QUIET", "1"};
};

TEST_F(RunLoader, ShowsEachChunkUpToAZeroByteWithCrLfAndThenTheCompletionLine) {
    const struct {
        const char* loaderText;
        std::string shown;
    } cases[] = {
        {"a\nb\r\nc", "a\r\nb\r\r\nc"},
        {"shown\\0hidden", "shown"},
    };
    for (const auto& c : cases) {
        testenv::ScopedEnv text("STANDIN_TEXT", c.loaderText);
        FakePane pane;
        EXPECT_EQ(run::runLoader("sqlldr", pane.feed), 0);
        pane.queue->drain();
        EXPECT_EQ(pane.text(), c.shown + "\r\nMission complete!\r\n") << c.loaderText;
    }
}

// A loader run on a thread of its own, the test playing the window thread;
// the stand-in waits at a gate (a file) halfway through its output.
class GatedRun {
public:
    GatedRun(FakePane& pane, const std::string& name)
        : pane_(pane), gate_(testing::TempDir() + "brennick_gate_" + name),
          wait_("STANDIN_WAIT_FILE", (std::remove(gate_.c_str()), gate_)),
          worker_([this] { exitCode_ = run::runLoader("sqlldr", pane_.feed); }) {}
    ~GatedRun() {
        open();
        if (worker_.joinable()) {
            worker_.join();
        }
        std::remove(gate_.c_str());
    }

    // Drains the pane until `done` holds (at most 20 s).
    bool drainUntil(const std::function<bool()>& done) {
        for (const Clock::time_point end = Clock::now() + 20s; Clock::now() < end;) {
            pane_.queue->drain();
            if (done()) {
                return true;
            }
            std::this_thread::sleep_for(1ms);
        }
        return false;
    }
    void open() { std::ofstream(gate_) << ""; }
    // Opens the gate, waits for the run's end and drains what it left.
    int finish() {
        open();
        worker_.join();
        pane_.drainAll();
        return exitCode_;
    }

private:
    FakePane& pane_;
    std::string gate_;
    testenv::ScopedEnv wait_;
    int exitCode_ = -1;
    std::thread worker_;
};

TEST_F(RunLoader, CharacterBoundariesAreFollowedFromTheStartOfTheOutput) {
    // Each case: the first read, the second read, what the first read shows
    // before the second is made, the pane at the end.
    const struct {
        const char* name;
        const char* first;
        const char* second;
        std::string firstShown;
        std::string shown;
    } cases[] = {
        // "啊" is B0 A1: the lead byte waits for its partner.
        {"character split between reads", "ab\\xB0", "\\xA1cd\\n", "ab",
         "ab\xB0\xA1"
         "cd\r\n"},
        // D6 B0 is one character; the B0 that ends the read is its second
        // byte, not a lead byte, so the second read stands on its own.
        {"second byte in the lead range", "\\xD6\\xB0", "\\xA1\\xA1z", "\xD6\xB0", "\xD6\xB0\xA1\xA1z"},
        // Nothing follows a lead byte that ends the output.
        {"lone lead byte at the end", "x\\xB0", "", "x", "x\xB0"},
        // A zero byte ends the text: a lead byte after it is not shown, and
        // neither is its partner at the start of the next read.
        {"lead byte after a zero byte", "a\\0z\\xB0", "\\xA1b", "a", "ab"},
        // A read that starts with a zero byte leaves the held byte alone.
        {"zero byte after a held byte", "a\\xB0", "\\0hidden", "a", "a\xB0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testenv::ScopedEnv text("STANDIN_TEXT", c.first);
        testenv::ScopedEnv text2("STANDIN_TEXT2", c.second);
        FakePane pane;
        GatedRun run(pane, "bounds");
        ASSERT_TRUE(run.drainUntil([&] { return !pane.appends.empty(); }));
        EXPECT_EQ(pane.appends, (std::vector<std::string>{c.firstShown}));
        EXPECT_EQ(run.finish(), 0);
        EXPECT_EQ(pane.text(), c.shown + "\r\nMission complete!\r\n");
        for (const std::string& a : pane.appends) {
            EXPECT_EQ(a.find("\xB0\r"), std::string::npos) << "a lone byte pairs with what follows it";
        }
    }
}

TEST_F(RunLoader, ReadsMadeWhileCollapsedAreDiscardedWithTheCharacterTheyComplete) {
    {
        // Read before the collapse but not yet appended: still shown.
        testenv::ScopedEnv text("STANDIN_TEXT", "one\\n");
        testenv::ScopedEnv text2("STANDIN_TEXT2", "two\\n");
        FakePane pane;
        GatedRun run(pane, "collapse");
        for (const Clock::time_point end = Clock::now() + 20s; !pane.queue->pending() && Clock::now() < end;) {
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_TRUE(pane.queue->pending());
        pane.feed->setCollapsed(true);
        EXPECT_EQ(run.finish(), 0);
        EXPECT_EQ(pane.text(), "one\r\n\r\nMission complete!\r\n");
    }
    {
        // The held lead byte goes with the read that would complete it.
        testenv::ScopedEnv text("STANDIN_TEXT", "x\\xB0");
        testenv::ScopedEnv text2("STANDIN_TEXT2", "\\xA1y\\n");
        FakePane pane;
        GatedRun run(pane, "collapse_split");
        ASSERT_TRUE(run.drainUntil([&] { return pane.text() == "x"; }));
        pane.feed->setCollapsed(true);
        EXPECT_EQ(run.finish(), 0);
        EXPECT_EQ(pane.text(), "x\r\nMission complete!\r\n");
    }
}

TEST(LoaderCommandLine, NamesBothFilesInTheProgramFolderAndQuotesNothingElse) {
    EXPECT_EQ(run::loaderCommandLine("user", "kemp", "dbname", "C:\\tools", '\\'),
              "sqlldr user/kemp@dbname control='C:\\tools\\load.ctl' parfile='C:\\tools\\parfile.cfg'");
    const std::string longFolder(400, 'f');
    EXPECT_EQ(run::loaderCommandLine("u", "p w", "", longFolder, '/'),
              "sqlldr u/p w@ control='" + longFolder + "/load.ctl' parfile='" + longFolder + "/parfile.cfg'");
}

} // namespace
