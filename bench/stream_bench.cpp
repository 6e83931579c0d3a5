// The streaming benchmark: the stand-in loader writes 30 MB in lines of 64
// and of 80 bytes, then 200 MB (more than the pane holds) in lines of 64 (or
// the number of megabytes given as the first argument, in lines of the
// second) into the output pane of a real main window, started by a click on
// Import. Each time is set against its floor: a plain pipe carrying the same
// bytes plus one edit control of the pane's style, made here, taking the
// text the pane holds at the end in one append. Meanwhile a
// second thread asks the window to answer every 20 ms and keeps the longest
// wait, overall and while the pane held under 4 MB. Last, a slow loader's
// bursts are timed from the loader's flush to the pane. Prints its figures;
// exits with 1 when the pane did not get the output whole.
//
//   source scripts/wine-env.sh && wine build/win/stream_bench.exe [megabytes [line bytes]]
#include "env.h"
#include "platform/platform.h"
#include "res/resource.h"
#include "run/loader_run.h"
#include "ui/main_dialog.h"
#include "wine/pump.h"
#include "wine/user.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <windows.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr unsigned long long kBurstBytes = 1 << 20;
constexpr std::size_t kPaneLimit = 32000000;
constexpr int kPipeRuns = 3;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The plain pipe: the stand-in's output read to the end in 4095-byte pieces
// with nothing else done. Returns the seconds taken; 0 when the bytes read
// were not the bytes expected.
double pipeSeconds(unsigned long long bytes) {
    const Clock::time_point start = Clock::now();
    platform::ChildProcess::Failure failure = platform::ChildProcess::Failure::None;
    const std::unique_ptr<platform::ChildProcess> child =
        platform::ChildProcess::start(platform::findProgram(run::kLoaderProgram, ""), "sqlldr", failure);
    if (!child) {
        return 0;
    }
    std::vector<char> buffer(run::kMaxRead);
    unsigned long long got = 0;
    for (std::size_t n; (n = child->read(buffer.data(), buffer.size())) > 0;) {
        got += n;
    }
    return got == bytes ? secondsSince(start) : 0;
}

// Asks the window, from a thread of its own, to answer WM_NULL every 20 ms
// and keeps the longest wait for the answer, overall and while the pane
// held less than kSmallPane bytes when the question was sent.
class AnswerProbe {
public:
    static constexpr std::size_t kSmallPane = 4 << 20;

    AnswerProbe(HWND window, const std::atomic<std::size_t>& paneBytes)
        : paneBytes_(paneBytes), thread_([this, window] { probe(window); }) {}
    ~AnswerProbe() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    AnswerProbe(const AnswerProbe&) = delete;
    AnswerProbe& operator=(const AnswerProbe&) = delete;

    // Ends the probing; `window`'s messages flow meanwhile, so that a
    // question under way gets its answer.
    void stop(HWND window) {
        stop_ = true;
        winetest::pumpUntil(
            window, [this] { return done_.load(); }, 10min);
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    double longestMs() const { return longestMs_; }
    double longestSmallPaneMs() const { return longestSmallPaneMs_; }
    int probes() const { return probes_; }
    int unanswered() const { return unanswered_; }

private:
    void probe(HWND window) {
        while (!stop_) {
            const bool small = paneBytes_.load() < kSmallPane;
            const Clock::time_point sent = Clock::now();
            DWORD_PTR result = 0;
            if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result) == 0) {
                ++unanswered_;
            }
            const double ms = milliseconds(Clock::now() - sent);
            longestMs_ = std::max(longestMs_, ms);
            if (small) {
                longestSmallPaneMs_ = std::max(longestSmallPaneMs_, ms);
            }
            ++probes_;
            std::this_thread::sleep_for(20ms);
        }
        done_ = true;
    }

    const std::atomic<std::size_t>& paneBytes_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> done_{false};
    double longestMs_ = 0;
    double longestSmallPaneMs_ = 0;
    int probes_ = 0;
    int unanswered_ = 0;
    std::thread thread_;
};

// The size and time of every EM_REPLACESEL the pane (a Unicode edit) gets,
// timed through a subclass of its window procedure.
class PaneTimer {
public:
    struct Append {
        std::size_t chars;
        double ms;
        Clock::time_point end;
    };

    explicit PaneTimer(HWND pane) : pane_(pane) {
        current = this;
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaneTimer::procedure)));
    }
    ~PaneTimer() {
        SetWindowLongPtrW(pane_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        current = nullptr;
    }
    PaneTimer(const PaneTimer&) = delete;
    PaneTimer& operator=(const PaneTimer&) = delete;

    std::vector<Append> appends;
    // Characters appended so far, read by the probe's thread.
    std::atomic<std::size_t> paneBytes{0};

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        PaneTimer& self = *current;
        const Clock::time_point start = Clock::now();
        const LRESULT result = CallWindowProcW(self.original_, window, message, wParam, lParam);
        if (message == EM_REPLACESEL) {
            const Clock::time_point end = Clock::now();
            const std::size_t chars = std::wcslen(reinterpret_cast<const wchar_t*>(lParam));
            self.appends.push_back({chars, milliseconds(end - start), end});
            self.paneBytes += chars;
        }
        return result;
    }

    static PaneTimer* current;
    HWND pane_;
    WNDPROC original_ = nullptr;
};

PaneTimer* PaneTimer::current = nullptr;

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// What ends the pane after a run of the stand-in: how it ended, and the
// closing line.
std::string runEnd() {
    return "\r\n" + run::outcomeLine(0) + run::kCompletion;
}

// The first and last numbers of the stand-in's filler lines of `lineBytes`
// bytes ("line 000001 abcd...", each ended by CR LF) that make up `text`,
// one after the other; none when `text` is anything else.
std::optional<std::pair<unsigned long long, unsigned long long>> fillerLines(const std::string& text,
                                                                             unsigned long long lineBytes) {
    const std::size_t length = static_cast<std::size_t>(lineBytes + 1);
    if (text.empty() || text.size() % length != 0) {
        return std::nullopt;
    }
    const unsigned long long first = std::strtoull(text.c_str() + 5, nullptr, 10);
    for (std::size_t at = 0, n = first; at < text.size(); at += length, ++n) {
        char head[32];
        std::snprintf(head, sizeof head, "line %06zu ", n);
        if (text.compare(at, std::strlen(head), head) != 0 || text.compare(at + length - 2, 2, "\r\n") != 0) {
            return std::nullopt;
        }
    }
    return std::make_pair(first, first + text.size() / length - 1);
}

// The pane holds every filler line of the output, in order and once each,
// then the run's end.
bool holdsTheFiller(const std::string& pane, unsigned long long bytes, unsigned long long lineBytes) {
    const std::string end = runEnd();
    const auto lines =
        pane.size() > end.size() ? fillerLines(pane.substr(0, pane.size() - end.size()), lineBytes) : std::nullopt;
    return endsWith(pane, end) && lines && lines->first == 1 && lines->second == bytes / lineBytes;
}

// The pane, within its limit, holds the first filler lines (the last one
// perhaps cut short: the pane takes whole reads), the line that says output
// was left out, at least the last 64 KB of the output in whole lines up to
// the last filler line, and the run's end.
bool holdsTheEnds(const std::string& pane, unsigned long long bytes, unsigned long long lineBytes) {
    const std::string marker = std::string("\r\n") + run::kLeftOut + "\r\n";
    const std::string end = runEnd();
    const std::size_t at = pane.find(marker);
    if (pane.size() > kPaneLimit || at == std::string::npos || !endsWith(pane, end)) {
        return false;
    }
    const std::size_t wholeLines = pane.rfind("\r\n", at - 1) + 2;
    const std::size_t tailAt = at + marker.size();
    const auto head = fillerLines(pane.substr(0, wholeLines), lineBytes);
    const auto tail = fillerLines(pane.substr(tailAt, pane.size() - end.size() - tailAt), lineBytes);
    return head && tail && head->first == 1 && tail->second == bytes / lineBytes &&
           pane.size() - end.size() - tailAt >= (64u << 10);
}

// The text of line `line` of an edit control (EM_GETLINE: no whole copy).
std::string editLine(HWND edit, int line) {
    std::vector<char> buffer(256);
    *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(buffer.size() - 1);
    const LRESULT n =
        SendMessageA(edit, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), static_cast<std::size_t>(std::max<LRESULT>(n, 0)));
}

// Seconds an edit control made like `pane` (class, styles, font, place)
// takes to accept `text` in one append.
double oneAppendSeconds(HWND pane, const std::string& text) {
    RECT r = {};
    GetWindowRect(pane, &r);
    MapWindowPoints(nullptr, GetParent(pane), reinterpret_cast<POINT*>(&r), 2);
    HWND edit = CreateWindowExW(static_cast<DWORD>(GetWindowLongW(pane, GWL_EXSTYLE)), L"EDIT", L"",
                                static_cast<DWORD>(GetWindowLongW(pane, GWL_STYLE)), r.left, r.top, r.right - r.left,
                                r.bottom - r.top, GetParent(pane), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(edit, WM_SETFONT, SendMessageW(pane, WM_GETFONT, 0, 0), FALSE);
    SendMessageW(edit, EM_SETLIMITTEXT, kPaneLimit, 0);
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    const Clock::time_point start = Clock::now();
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
    const double seconds = secondsSince(start);
    DestroyWindow(edit);
    return seconds;
}

struct WindowRun {
    double seconds = 0;
    bool completed = false;
    int appends = 0;
    double longestAnswerMs = 0;
    double longestSmallPaneAnswerMs = 0;
    int probes = 0;
    int unanswered = 0;
    std::size_t paneChars = 0;
    bool intact = false;
    std::vector<PaneTimer::Append> paneAppends;
    double oneAppendSeconds = 0;
    std::size_t messageBoxes = 0;
};

// Clicks Import on a real main window and keeps it going until the closing
// line is in the pane; then times the one-append fill beside it.
WindowRun windowRun(const std::function<bool(const std::string&)>& intact) {
    WindowRun r;
    std::vector<winetest::ShownMessage> messages;
    CMainDialog dialog;
    winetest::runDialog(
        dialog,
        [&](winetest::User& user) {
            HWND hwnd = user.dialog();
            HWND pane = GetDlgItem(hwnd, IDC_OUTPUT);
            if (!IsWindowUnicode(pane)) {
                std::printf("  the pane is not a Unicode edit\n");
                user.pressEscape(IDC_USER);
                return;
            }
            {
                PaneTimer paneTimer(pane);
                AnswerProbe probe(hwnd, paneTimer.paneBytes);
                const Clock::time_point start = Clock::now();
                user.click(IDC_IMPORT);
                // The pane changes only by appends: look at its closing
                // line only after one.
                int appendsSeen = -1;
                r.completed = winetest::pumpUntil(
                    hwnd,
                    [&] {
                        if (dialog.outputAppendCount() == appendsSeen) {
                            return false;
                        }
                        appendsSeen = dialog.outputAppendCount();
                        const int lines = static_cast<int>(SendMessageA(pane, EM_GETLINECOUNT, 0, 0));
                        return lines >= 2 && editLine(pane, lines - 2) == "Mission complete!";
                    },
                    30min);
                r.seconds = secondsSince(start);
                probe.stop(hwnd);
                r.appends = dialog.outputAppendCount();
                r.longestAnswerMs = probe.longestMs();
                r.longestSmallPaneAnswerMs = probe.longestSmallPaneMs();
                r.probes = probe.probes();
                r.unanswered = probe.unanswered();
                r.paneAppends = paneTimer.appends;
            }
            r.paneChars = static_cast<std::size_t>(GetWindowTextLengthA(pane));
            std::string text(r.paneChars + 1, '\0');
            text.resize(static_cast<std::size_t>(GetWindowTextA(pane, &text[0], static_cast<int>(text.size()))));
            r.intact = intact(text);
            r.oneAppendSeconds = oneAppendSeconds(pane, text);
            user.pressEscape(IDC_USER);
        },
        &messages);
    r.messageBoxes = messages.size();
    return r;
}

// The median of the plain pipe's time over kPipeRuns runs; 0 when the pipe
// did not carry the bytes whole.
double pipeMedianSeconds(unsigned long long bytes) {
    std::vector<double> pipe;
    for (int i = 0; i < kPipeRuns; ++i) {
        pipe.push_back(pipeSeconds(bytes));
        if (pipe.back() == 0) {
            return 0;
        }
    }
    std::sort(pipe.begin(), pipe.end());
    return pipe[pipe.size() / 2];
}

// One measurement for lines of `lineBytes`; false when the pane did not
// get the output whole, or, for an output longer than the pane holds, its
// first lines, the line that says output was left out and its end.
bool measure(unsigned long long bytes, unsigned long long lineBytes) {
    testenv::ScopedEnv total("STANDIN_BYTES", std::to_string(bytes));
    testenv::ScopedEnv burst("STANDIN_BURST", std::to_string(kBurstBytes));
    testenv::ScopedEnv line("STANDIN_LINE", std::to_string(lineBytes));
    const bool beyond = bytes + bytes / lineBytes + runEnd().size() > kPaneLimit;

    std::printf("%llu bytes of loader output in lines of %llu, bursts of %llu%s\n", bytes, lineBytes, kBurstBytes,
                beyond ? ": more than the pane holds" : "");
    const double pipe = pipeMedianSeconds(bytes);
    if (pipe == 0) {
        std::printf("  the plain pipe did not carry the stand-in's output whole\n");
        return false;
    }
    const WindowRun w = windowRun([&](const std::string& pane) {
        return beyond ? holdsTheEnds(pane, bytes, lineBytes) : holdsTheFiller(pane, bytes, lineBytes);
    });
    if (!w.completed) {
        std::printf("  the closing line never came (%.1f s)\n", w.seconds);
        return false;
    }
    const double floor = pipe + w.oneAppendSeconds;
    double longestAppendMs = 0;
    std::size_t longestAppendChars = 0;
    for (const PaneTimer::Append& a : w.paneAppends) {
        if (a.ms > longestAppendMs) {
            longestAppendMs = a.ms;
            longestAppendChars = a.chars;
        }
    }
    std::printf("  click to \"Mission complete!\":  %.2f s\n", w.seconds);
    std::printf("  plain pipe, 4095-byte reads:   %.2f s (median of %d)\n", pipe, kPipeRuns);
    std::printf("  one append of the pane's text:  %.2f s\n", w.oneAppendSeconds);
    std::printf("  floor (pipe + one append):     %.2f s\n", floor);
    std::printf("  ratio to the floor:            %.2f (target: at most 1.6)\n", w.seconds / floor);
    std::printf("  appends:                       %d (longest %.0f ms, %zu characters)\n", w.appends, longestAppendMs,
                longestAppendChars);
    std::printf("  longest answer to WM_NULL:     %.0f ms (target: 1000; %d probes, %d unanswered)\n",
                w.longestAnswerMs, w.probes, w.unanswered);
    std::printf("  ... while the pane held < 4 MB: %.0f ms (target: 250)\n", w.longestSmallPaneAnswerMs);
    std::printf("  pane: %zu characters: %s\n", w.paneChars,
                !w.intact ? "OUTPUT LOST OR DISORDERED"
                : beyond  ? "its first lines, the left-out line, the last 64 KB or more, the run's end"
                          : "all the output, in order, and the run's end");
    std::printf("  appends (KB: ms):");
    for (const PaneTimer::Append& a : w.paneAppends) {
        std::printf(" %zu:%.0f", a.chars >> 10, a.ms);
    }
    std::printf("\n");
    if (w.messageBoxes != 0) {
        std::printf("  %zu message boxes were shown\n", w.messageBoxes);
    }
    std::fflush(stdout);
    return w.intact && w.messageBoxes == 0;
}

// A slow loader: bursts of ten lines of 64 bytes, one every 50 ms. Prints
// the longest and the median time from the stand-in's flush of a burst to
// the end of the append that put its last byte into the pane; false when
// the output did not reach the pane whole.
bool measureSlowLoader() {
    constexpr unsigned long long kLine = 64;
    constexpr unsigned long long kBurst = 10 * kLine;
    constexpr unsigned long long kBursts = 100;
    constexpr int kPauseMs = 50;
    const std::string stampsPath = (std::filesystem::temp_directory_path() / "brennick-bench-stamps.txt").string();
    testenv::ScopedEnv total("STANDIN_BYTES", std::to_string(kBurst * kBursts));
    testenv::ScopedEnv burst("STANDIN_BURST", std::to_string(kBurst));
    testenv::ScopedEnv line("STANDIN_LINE", std::to_string(kLine));
    testenv::ScopedEnv pause("STANDIN_PAUSE_MS", std::to_string(kPauseMs));
    testenv::ScopedEnv stampsFile("STANDIN_STAMPS", stampsPath);

    std::printf("a slow loader: %llu bursts of %llu bytes in lines of %llu, one every %d ms\n", kBursts, kBurst, kLine,
                kPauseMs);
    const WindowRun w =
        windowRun([](const std::string& pane) { return holdsTheFiller(pane, kBurst * kBursts, kLine); });
    std::vector<long long> flushed;
    if (std::FILE* f = std::fopen(stampsPath.c_str(), "rb")) {
        for (long long ns; std::fscanf(f, "%lld", &ns) == 1;) {
            flushed.push_back(ns);
        }
        std::fclose(f);
    }
    std::remove(stampsPath.c_str());
    if (!w.completed || !w.intact || flushed.size() != kBursts) {
        std::printf("  the output did not reach the pane whole (%zu bursts stamped)\n", flushed.size());
        return false;
    }
    // Burst k ends at pane character (k + 1) * 10 lines of kLine + 1 (CR LF).
    std::vector<double> latencies;
    std::size_t next = 0;
    std::size_t shown = 0;
    Clock::time_point shownAt;
    for (unsigned long long k = 0; k < kBursts; ++k) {
        const std::size_t end = static_cast<std::size_t>((k + 1) * (kBurst / kLine) * (kLine + 1));
        while (shown < end && next < w.paneAppends.size()) {
            shown += w.paneAppends[next].chars;
            shownAt = w.paneAppends[next].end;
            ++next;
        }
        const long long ns =
            std::chrono::duration_cast<std::chrono::nanoseconds>(shownAt.time_since_epoch()).count() - flushed[k];
        latencies.push_back(static_cast<double>(ns) / 1e6);
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("  flush to pane: longest %.0f ms, median %.0f ms (target: 100); %d appends\n", latencies.back(),
                latencies[latencies.size() / 2], w.appends);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // Default: 30 MB in lines of 64 and of 80 bytes, and 200 MB, more than
    // the pane holds, in lines of 64.
    std::vector<std::pair<unsigned long long, unsigned long long>> outputs = {{30, 64}, {30, 80}, {200, 64}};
    if (argc > 1) {
        outputs = {{std::strtoull(argv[1], nullptr, 10), argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 64}};
    }
    for (const auto& [megabytes, lineBytes] : outputs) {
        if (megabytes == 0 || lineBytes < 16 || (megabytes << 20) % lineBytes != 0) {
            std::fprintf(stderr, "usage: stream_bench [megabytes [line bytes]]: whole lines of at least 16 bytes\n");
            return 2;
        }
    }

    testenv::ScopedEnv path("PATH", testenv::pathWithStandIn());
    testenv::ScopedEnv quiet("STANDIN_QUIET", "1");
    bool whole = true;
    for (const auto& [megabytes, lineBytes] : outputs) {
        whole = measure(megabytes << 20, lineBytes) && whole;
    }
    whole = measureSlowLoader() && whole;
    return whole ? 0 : 1;
}
