// The run worker and the way it feeds the output pane, without a window:
// the test plays the window's thread, and a scripted loader the child
// process.
#include "platform/platform.h"
#include "run/loader_run.h"
#include "text/cp936.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using Clock = std::chrono::steady_clock;
using run::OutputFeed;
using text::lfToCrLf;
using Texts = std::vector<std::string>;

// A window thread played by the test: posted calls wait until it drains.
// Its clock moves only while an append runs, by what `cost` says the append
// of a text takes (nothing unless set).
struct FakePane {
    explicit FakePane(std::size_t capacity = OutputFeed::kUnlimited)
        : feed(std::make_shared<OutputFeed>(
              queue,
              [this](const std::string& text) {
                  appends.push_back(text);
                  clock += cost ? cost(text) : Clock::duration();
              },
              [](const std::string&) {}, capacity, [this] { return clock; })) {}
    void drainAll() {
        while (queue->pending())
            queue->drain();
    }
    std::string text() const {
        std::string all;
        for (const std::string& a : appends)
            all += a;
        return all;
    }

    std::shared_ptr<fw::CallQueue> queue = std::make_shared<fw::CallQueue>([] { return true; });
    Texts appends;
    std::function<Clock::duration(const std::string&)> cost;
    Clock::time_point clock;
    std::shared_ptr<OutputFeed> feed;
};

// A started loader: its output comes in `reads`, one per read(), and it ends
// with `exitCode` (has not ended when absent). `beforeRead(i)` runs before
// read i is handed over (i = reads.size(): before the end of the output).
class FakeLoader : public platform::ChildProcess {
public:
    explicit FakeLoader(Texts reads, std::optional<std::uint32_t> exitCode = 0)
        : reads_(std::move(reads)), exitCode_(exitCode) {}
    // A loader that writes `output` as fast as it can.
    FakeLoader(const std::string& output, std::uint32_t exitCode) : exitCode_(exitCode) {
        for (std::size_t at = 0; at < output.size(); at += 4095)
            reads_.push_back(output.substr(at, 4095));
    }

    std::size_t read(char* buffer, std::size_t max) override {
        EXPECT_EQ(max, 4095u) << "a read takes up to 4095 bytes";
        if (beforeRead)
            beforeRead(next_);
        return next_ < reads_.size() ? reads_[next_++].copy(buffer, max) : 0;
    }
    std::optional<std::uint32_t> waitForExit(std::chrono::milliseconds timeout) override {
        EXPECT_TRUE(timeout >= 1s && timeout <= 10s) << "waits a few seconds, got " << timeout.count() << " ms";
        return exitCode_;
    }

    std::function<void(std::size_t)> beforeRead;

private:
    Texts reads_;
    std::optional<std::uint32_t> exitCode_ = 0;
    std::size_t next_ = 0;
};

const std::string kCompletion = "\r\nMission complete!\r\n";

std::string ending(std::uint32_t exitCode) {
    return "\r\n" + run::outcomeLine(exitCode) + kCompletion;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Long texts compared by where they first differ (a diff of megabytes would
// take the test's time and memory).
::testing::AssertionResult same(const std::string& got, const std::string& want) {
    if (got == want)
        return ::testing::AssertionSuccess();
    const std::size_t at =
        std::size_t(std::mismatch(got.begin(), got.end(), want.begin(), want.end()).first - got.begin());
    return ::testing::AssertionFailure() << got.size() << " bytes, " << want.size() << " expected; from byte " << at
                                         << ": [" << got.substr(at, 40) << "], expected [" << want.substr(at, 40)
                                         << "]";
}

// Numbered lines of 1 to 300 bytes, some with double-byte characters, and
// from 750 KB on a line of 300 KB (the texts a piece must be cut in).
std::string numberedLines(std::size_t bytes) {
    std::mt19937 random(7);
    std::string out;
    for (int i = 0; out.size() < bytes; ++i) {
        std::string line = "line " + std::to_string(i) + " ";
        for (int length = std::uniform_int_distribution<int>(0, 300)(random); int(line.size()) < length;)
            line += i % 3 == 0 ? "\xD6\xD0" : "x";
        out += line + "\n";
        for (int k = 0; i == 5000 && k < 100000; ++k)
            out += "\xB0\xA1y";
    }
    return out;
}

TEST(OutputFeed, AppendsEverythingInOrderInPiecesBoundedByTheTimeTheyTake) {
    // What an append costs: so many ms per MB the pane holds and per KB
    // appended.
    const struct {
        const char* name;
        double msPerPaneMb, msPerKb;
    } machines[] = {{"quick", 20, 0.3}, {"slow", 60, 1.0}, {"free appends", 0, 0.3}};
    const std::string raw = numberedLines(3 << 20);
    for (const auto& m : machines) {
        SCOPED_TRACE(m.name);
        FakePane pane;
        std::size_t paneBytes = 0;
        std::vector<double> costs;
        pane.cost = [&](const std::string& text) {
            costs.push_back(m.msPerPaneMb * double(paneBytes) / (1 << 20) + m.msPerKb * double(text.size()) / 1024);
            paneBytes += text.size();
            return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(costs.back()));
        };
        FakeLoader loader(raw, 0);
        run::runLoader(loader, pane.feed);
        pane.drainAll();
        EXPECT_TRUE(same(pane.text(), lfToCrLf(raw) + ending(0)));
        EXPECT_LE(pane.appends[0].size(), OutputFeed::kFirstPiece) << "the first piece, before any is measured";
        std::size_t before = 0;
        for (std::size_t i = 0; i < pane.appends.size(); ++i) {
            const std::string& a = pane.appends[i];
            std::size_t end = 0;
            while (end < a.size())
                end += text::charLength(a, end);
            EXPECT_EQ(end, a.size()) << "append " << i << " ends inside a character";
            // Only the long line has no line end to stop at.
            EXPECT_TRUE(a.back() == '\n' || a.find("y\xB0\xA1y") != std::string::npos) << "append " << i;
            // Once the first pieces have told the cost, an append stays
            // within its budget, give or take a line.
            const double budget = double(
                (before < OutputFeed::kSmallPaneBytes ? OutputFeed::kSmallPaneBudget : OutputFeed::kLargePaneBudget)
                    .count());
            const bool measured = i >= 2 && m.msPerPaneMb * double(before) / (1 << 20) < budget / 2;
            EXPECT_TRUE(!measured || costs[i] <= budget * 1.1) << "append " << i << " took " << costs[i] << " ms";
            before += a.size();
        }
        EXPECT_LT(pane.appends.size(), 200u) << "pieces far smaller than the budget allows";
    }
}

TEST(RunTexts, TheCommandLineAndTheOutcomeLineByTheExitCodeAsAnUnsigned32BitNumber) {
    EXPECT_EQ(run::loaderCommandLine("user", "kemp", "dbname", "C:\\tools", '\\'),
              "sqlldr user/kemp@dbname control='C:\\tools\\load.ctl' parfile='C:\\tools\\parfile.cfg'");
    const std::string failed = "装载失败，详见上面的输出和日志文件。";
    const std::pair<std::uint32_t, std::string> cases[] = {
        {0, "0：全部记录装载成功。"},
        {2, "2：有记录被拒绝或丢弃，或装载被中断，详见日志文件。"},
        {1, "1：" + failed},
        {3, "3：" + failed},
        {0xC0000005, "3221225477：" + failed},
    };
    for (const auto& [exitCode, line] : cases)
        EXPECT_EQ(run::outcomeLine(exitCode), "sqlldr 已结束，返回码 " + line);
}

TEST(RunLoader, ShowsEachReadAsItComesThenHowTheLoaderEnded) {
    // The reads; before which reads (and the end of the output) the pane is
    // collapsed ("-" expanded, "c" collapsed; expanded past the string); the
    // exit code; the pane before the second read; the pane at the end,
    // before the outcome and closing lines.
    const std::optional<std::uint32_t> running;
    const struct {
        const char* name;
        Texts reads;
        const char* collapsed;
        std::optional<std::uint32_t> exitCode;
        std::string first, shown;
    } cases[] = {
        {"line ends", {"a\nb\r\nc"}, "", 0, "a\r\nb\r\r\nc", "a\r\nb\r\r\nc"},
        {"zero byte", {"Rows: 100\n\0ERROR\n"s}, "", 2, "Rows: 100\r\n ERROR\r\n", "Rows: 100\r\n ERROR\r\n"},
        {"a loader that has not ended", {"out\n"}, "", running, "out\r\n", "out\r\n"},
        // "啊" is B0 A1: the lead byte waits for its partner.
        {"character split between reads", {"x\xB0", "\xA1yz\n"}, "", 0, "x", "x\xB0\xA1yz\r\n"},
        // D6 B0 is one character; the B0 that ends the read is its second
        // byte, not a lead byte, so the second read stands on its own.
        {"second byte in the lead range", {"\xD6\xB0", "\xA1\xA1z"}, "", 0, "\xD6\xB0", "\xD6\xB0\xA1\xA1z"},
        // Nothing follows a lead byte that ends the output: it stands alone.
        {"lone lead byte at the end", {"x\xB0"}, "-c", 1, "x", "x\xB0"},
        // A zero byte is never a second byte: the lead byte before it stands
        // alone, in a read or across two.
        {"lead byte before a zero", {"a\xB0\0\0z\xB0\0"s}, "", 0, "a\xB0  z\xB0 ", "a\xB0  z\xB0 "},
        {"held lead byte before a zero", {"a\xB0", "\0z"s}, "", 0, "a", "a\xB0 z"},
        {"lead byte after a zero", {"a\0z\xB0"s, "\xA1z"}, "", 0, "a z", "a z\xB0\xA1z"},
        // Read before the collapse but not yet appended: still shown; the
        // held lead byte goes with the read that would complete it.
        {"collapsed half way", {"one\n", "two\n"}, "-c", 0, "one\r\n", "one\r\n"},
        {"expanded half way", {"one\n", "two\n"}, "c", 0, "", "two\r\n"},
        {"character split at the collapse", {"x\xB0", "\xA1y\n"}, "-c", 0, "x", "x"},
        {"character split at the expansion", {"x\xB0", "\xA1y\n"}, "c", 0, "", "y\r\n"},
        {"collapsed throughout", {"one\n", "two"}, "ccc", 2, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePane pane;
        FakeLoader loader(c.reads, c.exitCode);
        std::string first;
        loader.beforeRead = [&](std::size_t i) {
            pane.feed->setCollapsed(i < std::strlen(c.collapsed) && c.collapsed[i] == 'c');
            pane.drainAll();
            first = i == 1 ? pane.text() : first;
        };
        run::runLoader(loader, pane.feed);
        pane.drainAll();
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(pane.text(), c.shown + (c.exitCode ? ending(*c.exitCode) : kCompletion));
        for (const std::string& a : pane.appends) {
            for (const char* pair : {"\xB0 ", "\xB0\r"})
                EXPECT_EQ(a.find(pair), std::string::npos) << "a lone byte ends its append";
        }
    }
}

TEST(RunLoader, OutputLongerThanThePaneHoldsShowsItsStartThenAMarkerLineAndItsLastLinesWhole) {
    // The room a run's output has in the pane beside the room for its end.
    constexpr std::size_t kRoom = 100 << 10;
    const std::string marker = "\r\n"s + run::kLeftOut + "\r\n";
    const struct {
        std::size_t bytes;
        std::size_t emptiedAt; // before which read the pane is emptied (0: never)
        bool leftOut;
    } cases[] = {
        {kRoom * 9 / 10, 0, false},
        // Once the pane has no room, the rest is kept: nothing is left out
        // while all that was kept can be shown at the end.
        {kRoom + OutputFeed::kKeptTail, 0, false},
        {kRoom + 3 * OutputFeed::kKeptTail, 0, true},
        {3 << 20, 0, true},
        // Emptied after 60 KB, the pane takes 100 KB more, and the last 80 KB
        // are kept and shown. Counted on, 140 KB would be kept, not all shown.
        {240 << 10, 15, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        const std::string raw = numberedLines(c.bytes);
        const std::string output = lfToCrLf(raw);
        FakePane pane(OutputFeed::kRunEndRoom + kRoom);
        FakeLoader loader(raw, 0);
        loader.beforeRead = [&](std::size_t i) {
            if (i > 0 && i == c.emptiedAt) {
                pane.drainAll();
                pane.appends.clear();
                pane.feed->paneEmptied();
            }
        };
        run::runLoader(loader, pane.feed);
        pane.drainAll();
        std::string shown = pane.text();
        EXPECT_LE(shown.size(), OutputFeed::kRunEndRoom + kRoom);
        ASSERT_TRUE(endsWith(shown, ending(0))) << "the pane ends with the outcome and closing lines";
        shown.resize(shown.size() - ending(0).size());
        const std::size_t at = shown.find(marker);
        if (!c.leftOut) {
            EXPECT_EQ(at, std::string::npos);
            EXPECT_TRUE(endsWith(output, shown));
            EXPECT_GE(shown.size(), lfToCrLf(raw.substr(c.emptiedAt * 4095)).size());
            continue;
        }
        ASSERT_NE(at, std::string::npos);
        const std::string last = shown.substr(at + marker.size());
        EXPECT_EQ(output.compare(0, at, shown, 0, at), 0) << "the start as it was read";
        EXPECT_GT(at, kRoom - 2 * 4095) << "the room was used";
        ASSERT_GE(last.size(), OutputFeed::kKeptTail);
        EXPECT_TRUE(endsWith(output, last)) << "the end as it was read";
        EXPECT_EQ(output[output.size() - last.size() - 1], '\n') << "the end starts at a line start";
        EXPECT_LT(last.size(), OutputFeed::kKeptTail + 512) << "from the line that holds its 64 KB mark";
    }
}

TEST(RunLoader, TwoRunsInOnePaneKeepRoomForBothEndsAndEachShowsItsOwnOutcome) {
    // The second run starts after 40 KB of the first and ends before it,
    // with room for 60 KB: it shows its last lines after a marker line. The
    // first run's room was kept meanwhile: it shows the rest of its output.
    // Were the room kept for one end only, the second run would take 144 KB
    // more, and the ends of both (about 100 KB each) would not fit.
    const std::size_t capacity = 2 * OutputFeed::kRunEndRoom + (100 << 10);
    const std::string firstOutput = numberedLines(140 << 10);
    FakePane pane(capacity);
    FakeLoader first(firstOutput, 0);
    FakeLoader second(numberedLines(300 << 10), 2);
    first.beforeRead = [&](std::size_t i) {
        if (i == 10)
            run::runLoader(second, pane.feed);
    };
    run::runLoader(first, pane.feed);
    pane.drainAll();
    const std::string text = pane.text();
    EXPECT_LE(text.size(), capacity);
    const std::size_t secondEnd = text.find(ending(2));
    ASSERT_NE(secondEnd, std::string::npos);
    EXPECT_NE(text.rfind(run::kLeftOut, secondEnd), std::string::npos);
    ASSERT_TRUE(endsWith(text, ending(0)));
    const std::size_t restAt = secondEnd + ending(2).size();
    const std::string firstRest = text.substr(restAt, text.size() - restAt - ending(0).size());
    EXPECT_TRUE(endsWith(lfToCrLf(firstOutput), firstRest));
    EXPECT_GE(firstRest.size(), lfToCrLf(firstOutput.substr(10 * 4095)).size());
}

} // namespace
