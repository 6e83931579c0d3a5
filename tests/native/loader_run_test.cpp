// The run worker and the way it feeds the output pane, without a window:
// the test plays the window's thread, and a scripted loader the child
// process.
#include "platform/platform.h"
#include "run/loader_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using Clock = std::chrono::steady_clock;
using run::OutputFeed;

// A window thread played by the test: posted calls wait until it drains.
// Its clock moves only while an append runs, by what `cost` says the append
// of a text takes (nothing unless set).
struct FakePane {
    explicit FakePane(std::size_t capacity = OutputFeed::kUnlimited)
        : feed(std::make_shared<OutputFeed>(
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
              [this](const std::string& message) { reports.push_back(message); }, capacity, [this] { return clock; })) {
    }

    std::shared_ptr<fw::CallQueue> queue = std::make_shared<fw::CallQueue>([] { return true; });
    std::vector<std::string> appends;
    std::vector<std::string> reports;
    std::function<void()> duringAppend;
    std::function<Clock::duration(const std::string&)> cost;
    Clock::time_point clock;
    std::shared_ptr<OutputFeed> feed;

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

TEST(OutputFeed, GathersWhatArrivesWhileAnAppendWaitsOrRunsIntoOneAppend) {
    FakePane pane;
    pane.feed->show("a");
    pane.feed->show("b");
    pane.feed->show("c");
    pane.duringAppend = [&] {
        pane.duringAppend = nullptr;
        pane.feed->show("d");
        pane.feed->show("\r\ne");
    };
    pane.queue->drain();
    EXPECT_EQ(pane.appends, (std::vector<std::string>{"abc"}));
    pane.drainAll();
    EXPECT_EQ(pane.appends, (std::vector<std::string>{"abc", "d\r\ne"}));
    EXPECT_EQ(pane.feed->appendCount(), 2);
    pane.queue->drain();
    EXPECT_EQ(pane.appends.size(), 2u) << "nothing pending, nothing appended";
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
            const double budget = static_cast<double>(
                (before < OutputFeed::kSmallPaneBytes ? OutputFeed::kSmallPaneBudget : OutputFeed::kLargePaneBudget)
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

const std::string kCompletion = "\r\nMission complete!\r\n";

// A loader that has started: its output comes in `reads`, one per read()
// call, and it ends with `exitCode` (or has not ended when absent).
// `beforeRead(i)` runs before read i is handed over, i = reads.size() before
// the end of the output is.
class FakeLoader : public platform::ChildProcess {
public:
    explicit FakeLoader(std::vector<std::string> reads, std::optional<std::uint32_t> exitCode = 0)
        : reads_(std::move(reads)), exitCode_(exitCode) {}

    std::size_t read(char* buffer, std::size_t max) override {
        EXPECT_EQ(max, 4095u) << "a read takes up to 4095 bytes";
        if (beforeRead) {
            beforeRead(next_);
        }
        if (next_ == reads_.size()) {
            return 0;
        }
        const std::string& r = reads_[next_++];
        EXPECT_LE(r.size(), max);
        r.copy(buffer, std::min(r.size(), max));
        return std::min(r.size(), max);
    }

    std::optional<std::uint32_t> waitForExit(std::chrono::milliseconds timeout) override {
        EXPECT_TRUE(timeout >= 1s && timeout <= 10s) << "waits a few seconds, got " << timeout.count() << " ms";
        return exitCode_;
    }

    std::function<void(std::size_t)> beforeRead;

private:
    std::vector<std::string> reads_;
    std::optional<std::uint32_t> exitCode_;
    std::size_t next_ = 0;
};

// `output` in reads of 4095 bytes.
std::vector<std::string> inReads(const std::string& output) {
    std::vector<std::string> reads;
    for (std::size_t at = 0; at < output.size(); at += run::kMaxRead) {
        reads.push_back(output.substr(at, run::kMaxRead));
    }
    return reads;
}

std::string withCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return out;
}

std::string ending(std::uint32_t exitCode) {
    return "\r\n" + run::outcomeLine(exitCode) + kCompletion;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(OutcomeLine, SaysHowTheLoaderEndedByItsExitCodeAsAnUnsigned32BitNumber) {
    const struct {
        std::uint32_t exitCode;
        const char* line;
    } cases[] = {
        {0, "sqlldr 已结束，返回码 0：全部记录装载成功。"},
        {2, "sqlldr 已结束，返回码 2：有记录被拒绝或丢弃，或装载被中断，详见日志文件。"},
        {1, "sqlldr 已结束，返回码 1：装载失败，详见上面的输出和日志文件。"},
        {3, "sqlldr 已结束，返回码 3：装载失败，详见上面的输出和日志文件。"},
        {0xC0000005, "sqlldr 已结束，返回码 3221225477：装载失败，详见上面的输出和日志文件。"},
        {0xFFFFFFFF, "sqlldr 已结束，返回码 4294967295：装载失败，详见上面的输出和日志文件。"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run::outcomeLine(c.exitCode), c.line) << "exit code " << c.exitCode;
    }
}

TEST(RunLoader, ShowsEachReadAsItComesWithZeroBytesAsBlanksAndCharactersWhole) {
    // The reads; the pane before the second read (or the end of the
    // output); the pane before the outcome and closing lines.
    const struct {
        const char* name;
        std::vector<std::string> reads;
        std::string first;
        std::string shown;
    } cases[] = {
        {"line ends", {"a\nb\r\nc"}, "a\r\nb\r\r\nc", "a\r\nb\r\r\nc"},
        {"zero byte",
         {"Rows loaded: 100\n\0ERROR: 5000 rows rejected\n"s},
         "Rows loaded: 100\r\n ERROR: 5000 rows rejected\r\n",
         "Rows loaded: 100\r\n ERROR: 5000 rows rejected\r\n"},
        // "啊" is B0 A1: the lead byte waits for its partner.
        {"character split between reads",
         {"ab\xB0", "\xA1"
                    "cd\n"},
         "ab",
         "ab\xB0\xA1"
         "cd\r\n"},
        // D6 B0 is one character; the B0 that ends the read is its second
        // byte, not a lead byte, so the second read stands on its own.
        {"second byte in the lead range", {"\xD6\xB0", "\xA1\xA1z"}, "\xD6\xB0", "\xD6\xB0\xA1\xA1z"},
        // Nothing follows a lead byte that ends the output.
        {"lone lead byte at the end", {"x\xB0"}, "x", "x\xB0"},
        // A zero byte is never a second byte: the lead byte before it
        // stands alone, in a read or across two.
        {"lead byte before a zero", {"a\xB0\0\0b\xB0\0"s}, "a\xB0  b\xB0 ", "a\xB0  b\xB0 "},
        {"held lead byte before a zero", {"a\xB0", "\0b"s}, "a", "a\xB0 b"},
        {"lead byte after a zero",
         {"a\0z\xB0"s, "\xA1"
                       "b"},
         "a z",
         "a z\xB0\xA1"
         "b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePane pane;
        FakeLoader loader(c.reads);
        std::string first;
        loader.beforeRead = [&](std::size_t i) {
            pane.drainAll();
            first = i == 1 ? pane.text() : first;
        };
        run::runLoader(loader, pane.feed);
        pane.drainAll();
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(pane.text(), c.shown + ending(0));
        for (const std::string& a : pane.appends) {
            for (const char* pair : {"\xB0 ", "\xB0\r"}) {
                EXPECT_EQ(a.find(pair), std::string::npos) << "a lone byte ends its append";
            }
        }
    }
}

TEST(RunLoader, ReadsMadeWhileCollapsedAreDiscardedButNotTheOutcomeAndClosingLines) {
    // The reads, whether the pane is collapsed for each read (and for the
    // end of the output), and the pane before the outcome and closing lines.
    const struct {
        const char* name;
        std::vector<std::string> reads;
        std::vector<bool> collapsed;
        std::string shown;
    } cases[] = {
        // Read before the collapse but not yet appended: still shown.
        {"collapsed half way", {"one\n", "two\n"}, {false, true, true}, "one\r\n"},
        {"expanded half way", {"one\n", "two\n"}, {true, false, false}, "two\r\n"},
        // The held lead byte goes with the read that would complete it.
        {"character split at the collapse", {"x\xB0", "\xA1y\n"}, {false, true, true}, "x"},
        {"character split at the expansion", {"x\xB0", "\xA1y\n"}, {true, false, false}, "y\r\n"},
        {"lone lead byte at the end", {"x\xB0"}, {false, true}, "x\xB0"},
        {"collapsed throughout", {"one\n", "two"}, {true, true, true}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePane pane;
        FakeLoader loader(c.reads, 2);
        loader.beforeRead = [&](std::size_t i) { pane.feed->setCollapsed(c.collapsed[i]); };
        run::runLoader(loader, pane.feed);
        pane.drainAll();
        EXPECT_EQ(pane.text(), c.shown + ending(2));
    }
}

TEST(RunLoader, ALoaderThatHasNotEndedWhenItsOutputEndsGetsNoOutcomeLine) {
    FakePane pane;
    FakeLoader loader({"out\n"}, std::nullopt);
    run::runLoader(loader, pane.feed);
    pane.drainAll();
    EXPECT_EQ(pane.text(), "out\r\n" + kCompletion);
}

// Numbered lines of 1 to 200 bytes, some with double-byte characters.
std::string numberedLines(std::size_t bytes) {
    std::mt19937 random(936);
    std::string out;
    for (int i = 0; out.size() < bytes; ++i) {
        std::string line = "line " + std::to_string(i) + " ";
        const std::size_t length = std::uniform_int_distribution<std::size_t>(0, 200)(random);
        while (line.size() < length) {
            line += i % 3 == 0 ? "\xD6\xD0" : "x";
        }
        out += line + "\n";
    }
    return out;
}

// What a pane holding at most `capacity` bytes shows of `output` read by a
// worker thread, the pane emptied before read `emptiedAt` (0: never):
// (what was shown up to a marker line, what was shown after it) or
// (everything, "") without a marker line.
std::pair<std::string, std::string> shownOf(const std::string& output, std::size_t capacity,
                                            std::size_t emptiedAt = 0) {
    FakePane pane(capacity);
    FakeLoader loader(inReads(output));
    std::atomic<bool> waiting{false};
    std::atomic<bool> emptied{false};
    loader.beforeRead = [&](std::size_t i) {
        waiting = emptiedAt != 0 && i == emptiedAt;
        for (const Clock::time_point end = Clock::now() + 60s; waiting && !emptied && Clock::now() < end;) {
            std::this_thread::yield();
        }
    };
    std::thread worker([&] { run::runLoader(loader, pane.feed); });
    for (const Clock::time_point end = Clock::now() + 60s; !endsWith(pane.text(), kCompletion) && Clock::now() < end;) {
        pane.queue->drain();
        if (waiting && !emptied) {
            pane.drainAll();
            pane.appends.clear();
            pane.feed->paneEmptied();
            emptied = true;
        }
    }
    worker.join();
    const std::string text = pane.text();
    EXPECT_LE(text.size(), capacity);
    EXPECT_TRUE(endsWith(text, ending(0))) << "the pane ends with the outcome and closing lines";
    const std::string body = text.substr(0, text.size() - std::min(text.size(), ending(0).size()));
    const std::string marker = "\r\n"s + run::kLeftOut + "\r\n";
    const std::size_t at = body.find(marker);
    if (at == std::string::npos) {
        return {body, ""};
    }
    return {body.substr(0, at), body.substr(at + marker.size())};
}
TEST(RunLoader, OutputLongerThanThePaneHoldsShowsItsStartAndItsLastLinesInWholeLinesAfterAMarkerLine) {
    // The room a run's output has in the pane beside the room for its end.
    constexpr std::size_t kRoom = 100 << 10;
    constexpr std::size_t kCapacity = OutputFeed::kRunEndRoom + kRoom;
    const struct {
        std::size_t bytes;
        bool leftOut;
    } cases[] = {
        {kRoom * 9 / 10, false},
        // Once the pane has no room, the rest is kept: nothing is left out
        // while everything kept can still be shown at the end.
        {kRoom + OutputFeed::kKeptTail, false},
        {kRoom + 3 * OutputFeed::kKeptTail, true},
        {3 << 20, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        const std::string raw = numberedLines(c.bytes);
        const std::string output = withCrLf(raw);
        const auto [start, last] = shownOf(raw, kCapacity);
        if (!c.leftOut) {
            EXPECT_EQ(start, output);
            EXPECT_EQ(last, "");
            continue;
        }
        EXPECT_EQ(output.compare(0, start.size(), start), 0) << "the start as it was read";
        EXPECT_GT(start.size(), kRoom - 2 * run::kMaxRead) << "the room was used";
        ASSERT_GE(last.size(), OutputFeed::kKeptTail);
        EXPECT_TRUE(endsWith(output, last)) << "the end as it was read";
        EXPECT_EQ(output[output.size() - last.size() - 1], '\n') << "the end starts at a line start";
        EXPECT_LT(last.size(), OutputFeed::kKeptTail + 512) << "from the line that holds its 64 KB mark";
    }
}

TEST(RunLoader, ThePanesRoomIsCountedAfreshOnceItIsEmptied) {
    constexpr std::size_t kRoom = 100 << 10;
    // Emptied after 60 KB, the pane takes 100 KB more; the last 80 KB are
    // kept and shown without a marker line. Counted on, 200 KB would be
    // kept, and only the last part of them shown.
    const std::string output = numberedLines(240 << 10);
    const auto [start, last] = shownOf(output, OutputFeed::kRunEndRoom + kRoom, 15);
    EXPECT_EQ(last, "");
    const std::string all = withCrLf(output);
    EXPECT_TRUE(endsWith(all, start));
    EXPECT_GE(start.size(), withCrLf(output.substr(15 * run::kMaxRead)).size());
}

TEST(RunLoader, TwoRunsInOnePaneKeepRoomForBothEndsAndEachShowsItsOwnOutcome) {
    // The second run starts after 40 KB of the first and ends before it. It
    // has room for 60 KB: it shows its last lines after a marker line. The
    // first run's room was kept meanwhile: it then shows the rest of its
    // output. Were the room kept for one end only, the second run would
    // take 144 KB more, and the ends of both (about 100 KB each) would not
    // fit.
    const std::size_t capacity = 2 * OutputFeed::kRunEndRoom + (100 << 10);
    const std::string firstOutput = numberedLines(140 << 10);
    FakePane pane(capacity);
    FakeLoader first(inReads(firstOutput), 0);
    FakeLoader second(inReads(numberedLines(300 << 10)), 2);
    first.beforeRead = [&](std::size_t i) {
        if (i == 10) {
            run::runLoader(second, pane.feed);
        }
    };
    run::runLoader(first, pane.feed);
    pane.drainAll();
    const std::string text = pane.text();
    EXPECT_LE(text.size(), capacity);
    const std::size_t secondEnd = text.find(ending(2));
    ASSERT_NE(secondEnd, std::string::npos);
    EXPECT_NE(text.rfind(run::kLeftOut, secondEnd), std::string::npos);
    ASSERT_TRUE(endsWith(text, ending(0)));
    const std::string firstRest =
        text.substr(secondEnd + ending(2).size(), text.size() - secondEnd - ending(2).size() - ending(0).size());
    EXPECT_TRUE(endsWith(withCrLf(firstOutput), firstRest));
    EXPECT_GE(firstRest.size(), withCrLf(firstOutput.substr(10 * run::kMaxRead)).size());
}

TEST(LoaderCommandLine, NamesBothFilesInTheProgramFolderAndQuotesNothingElse) {
    EXPECT_EQ(run::loaderCommandLine("user", "kemp", "dbname", "C:\\tools", '\\'),
              "sqlldr user/kemp@dbname control='C:\\tools\\load.ctl' parfile='C:\\tools\\parfile.cfg'");
    const std::string longFolder(400, 'f');
    EXPECT_EQ(run::loaderCommandLine("u", "p w", "", longFolder, '/'),
              "sqlldr u/p w@ control='" + longFolder + "/load.ctl' parfile='" + longFolder + "/parfile.cfg'");
}

} // namespace
