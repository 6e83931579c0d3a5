// The streaming benchmark: the stand-in loader writes 30 MB (or the number
// of megabytes given as the first argument) in lines of 64 bytes (or the
// second argument) into the output pane of a real main window, started by a
// click on Import, and the time is set against a plain pipe carrying the
// same bytes. Prints its figures; exits with 1 when the pane did not get the
// output whole.
//
//   source scripts/wine-env.sh && wine build/win/stream_bench.exe [megabytes [line bytes]]
#include "contract/harness.h"
#include "env.h"
#include "framework/win32/win32_window.h"
#include "platform/platform.h"
#include "res/resource.h"
#include "run/loader_run.h"
#include "ui/main_dialog.h"
#include "wine/pump.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
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
    const std::unique_ptr<platform::ChildProcess> child = platform::ChildProcess::start("sqlldr", failure);
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
// and keeps the longest wait for the answer.
class AnswerProbe {
public:
    explicit AnswerProbe(HWND window) : thread_([this, window] { probe(window); }) {}
    ~AnswerProbe() { stop(); }
    AnswerProbe(const AnswerProbe&) = delete;
    AnswerProbe& operator=(const AnswerProbe&) = delete;

    void stop() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    double longestMs() const { return longestMs_; }
    int probes() const { return probes_; }
    int unanswered() const { return unanswered_; }

private:
    void probe(HWND window) {
        while (!stop_) {
            const Clock::time_point sent = Clock::now();
            DWORD_PTR result = 0;
            if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result) == 0) {
                ++unanswered_;
            }
            longestMs_ = std::max(longestMs_, milliseconds(Clock::now() - sent));
            ++probes_;
            std::this_thread::sleep_for(20ms);
        }
    }

    std::atomic<bool> stop_{false};
    double longestMs_ = 0;
    int probes_ = 0;
    int unanswered_ = 0;
    std::thread thread_;
};

// Where the pane's time goes: the messages an append sends it, timed through
// a subclass of its window procedure, and the size and time of every
// EM_REPLACESEL.
class PaneTimer {
public:
    struct Totals {
        int calls = 0;
        double ms = 0;
    };
    struct Append {
        std::size_t chars;
        double ms;
    };

    explicit PaneTimer(HWND pane) : pane_(pane) {
        current = this;
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaneTimer::procedure)));
    }
    ~PaneTimer() {
        SetWindowLongPtrA(pane_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        current = nullptr;
    }
    PaneTimer(const PaneTimer&) = delete;
    PaneTimer& operator=(const PaneTimer&) = delete;

    std::map<std::string, Totals> totals;
    std::vector<Append> appends;

private:
    static const char* name(UINT message) {
        switch (message) {
        case WM_GETTEXTLENGTH:
            return "WM_GETTEXTLENGTH";
        case EM_SETSEL:
            return "EM_SETSEL";
        case EM_SCROLLCARET:
            return "EM_SCROLLCARET";
        case EM_REPLACESEL:
            return "EM_REPLACESEL";
        case WM_PAINT:
            return "WM_PAINT";
        default:
            return "other";
        }
    }

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        PaneTimer& self = *current;
        const Clock::time_point start = Clock::now();
        const LRESULT result = CallWindowProcA(self.original_, window, message, wParam, lParam);
        const double ms = milliseconds(Clock::now() - start);
        Totals& t = self.totals[name(message)];
        ++t.calls;
        t.ms += ms;
        if (message == EM_REPLACESEL) {
            self.appends.push_back({std::strlen(reinterpret_cast<const char*>(lParam)), ms});
        }
        return result;
    }

    static PaneTimer* current;
    HWND pane_;
    WNDPROC original_ = nullptr;
};

PaneTimer* PaneTimer::current = nullptr;

// The pane holds the filler of `bytes` bytes with every LF made CR LF,
// followed by the closing line: every line there, in order, none twice.
bool holdsTheFiller(const std::string& pane, unsigned long long bytes, unsigned long long lineBytes) {
    const std::string completion = run::kCompletion;
    const unsigned long long lines = bytes / lineBytes;
    if (pane.size() != bytes + lines + completion.size() ||
        pane.compare(pane.size() - completion.size(), completion.size(), completion) != 0) {
        return false;
    }
    for (unsigned long long i = 0; i < lines; ++i) {
        const std::size_t at = static_cast<std::size_t>(i * (lineBytes + 1));
        char head[32];
        std::snprintf(head, sizeof head, "line %06llu ", i + 1);
        if (pane.compare(at, std::strlen(head), head) != 0 || pane.compare(at + lineBytes - 1, 2, "\r\n") != 0) {
            return false;
        }
    }
    return true;
}

// The text of line `line` of an edit control (EM_GETLINE: no whole copy).
std::string editLine(HWND edit, int line) {
    std::vector<char> buffer(256);
    *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(buffer.size() - 1);
    const LRESULT n =
        SendMessageA(edit, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), static_cast<std::size_t>(std::max<LRESULT>(n, 0)));
}

struct WindowRun {
    double seconds = 0;
    bool completed = false;
    int appends = 0;
    double longestAnswerMs = 0;
    int probes = 0;
    int unanswered = 0;
    std::size_t paneChars = 0;
    bool intact = false;
    std::map<std::string, PaneTimer::Totals> paneTotals;
    std::vector<PaneTimer::Append> paneAppends;
    std::size_t messageBoxes = 0;
};

// Clicks Import on a real main window and keeps it going until the closing
// line is in the pane.
WindowRun windowRun(unsigned long long bytes, unsigned long long lineBytes) {
    WindowRun r;
    std::vector<contract::ShownMessage> messages;
    CMainDialog dialog;
    contract::runDialog(
        dialog,
        [&](fw::Window& window, contract::User& user) {
            auto& win32 = dynamic_cast<fw::win32::Win32Window&>(window);
            HWND hwnd = win32.handle();
            HWND pane = GetDlgItem(hwnd, IDC_OUTPUT);
            {
                PaneTimer paneTimer(pane);
                AnswerProbe probe(hwnd);
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
                probe.stop();
                r.appends = dialog.outputAppendCount();
                r.longestAnswerMs = probe.longestMs();
                r.probes = probe.probes();
                r.unanswered = probe.unanswered();
                r.paneTotals = paneTimer.totals;
                r.paneAppends = paneTimer.appends;
            }
            r.paneChars = static_cast<std::size_t>(GetWindowTextLengthA(pane));
            std::string text(r.paneChars + 1, '\0');
            text.resize(static_cast<std::size_t>(GetWindowTextA(pane, &text[0], static_cast<int>(text.size()))));
            r.intact = holdsTheFiller(text, bytes, lineBytes);
            user.pressEscape(IDC_USER);
        },
        &messages);
    r.messageBoxes = messages.size();
    return r;
}

} // namespace

int main(int argc, char** argv) {
    const unsigned long long megabytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 30;
    const unsigned long long lineBytes = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 64;
    const unsigned long long bytes = megabytes << 20;
    const std::size_t expectedChars =
        lineBytes < 16 ? 0 : static_cast<std::size_t>(bytes + bytes / lineBytes) + std::strlen(run::kCompletion);
    if (megabytes == 0 || expectedChars == 0 || expectedChars >= kPaneLimit || bytes % lineBytes != 0) {
        std::fprintf(stderr,
                     "usage: stream_bench [megabytes [line bytes]]: whole lines of at least 16 bytes, and the pane "
                     "takes %zu characters\n",
                     kPaneLimit);
        return 2;
    }

    testenv::ScopedEnv path("PATH", testenv::pathWithStandIn());
    testenv::ScopedEnv quiet("STANDIN_QUIET", "1");
    testenv::ScopedEnv total("STANDIN_BYTES", std::to_string(bytes));
    testenv::ScopedEnv burst("STANDIN_BURST", std::to_string(kBurstBytes));
    testenv::ScopedEnv line("STANDIN_LINE", std::to_string(lineBytes));

    std::printf("stream_bench: %llu bytes of loader output in lines of %llu, bursts of %llu\n", bytes, lineBytes,
                kBurstBytes);
    std::vector<double> pipe;
    for (int i = 0; i < kPipeRuns; ++i) {
        pipe.push_back(pipeSeconds(bytes));
        if (pipe.back() == 0) {
            std::printf("the plain pipe did not carry the stand-in's output whole\n");
            return 1;
        }
    }
    std::vector<double> sorted = pipe;
    std::sort(sorted.begin(), sorted.end());
    const double pipeMedian = sorted[sorted.size() / 2];
    std::printf("plain pipe, 4095-byte reads:  %.2f s (median of", pipeMedian);
    for (double seconds : pipe) {
        std::printf(" %.2f", seconds);
    }
    std::printf(")\n");
    std::fflush(stdout);

    const WindowRun w = windowRun(bytes, lineBytes);
    if (!w.completed) {
        std::printf("the closing line never came (%.1f s)\n", w.seconds);
        return 1;
    }
    std::printf("window, click to completion:  %.2f s\n", w.seconds);
    std::printf("ratio:                        %.1f (target: at most 5)\n", w.seconds / pipeMedian);
    std::printf("appends:                      %d\n", w.appends);
    std::printf("longest answer to WM_NULL:    %.0f ms (%d probes, %d unanswered)\n", w.longestAnswerMs, w.probes,
                w.unanswered);
    std::printf("pane:                         %zu characters, expected %zu: %s\n", w.paneChars, expectedChars,
                w.intact ? "all the output, in order" : "OUTPUT LOST OR DISORDERED");
    std::printf("time inside the pane, by message:\n");
    for (const auto& [message, t] : w.paneTotals) {
        std::printf("  %-18s %6d calls %9.1f ms\n", message.c_str(), t.calls, t.ms);
    }
    std::printf("appends (characters: ms):");
    for (const PaneTimer::Append& a : w.paneAppends) {
        std::printf(" %zu: %.0f", a.chars, a.ms);
    }
    std::printf("\n");
    if (w.messageBoxes != 0) {
        std::printf("%zu message boxes were shown\n", w.messageBoxes);
    }
    return w.intact && w.messageBoxes == 0 ? 0 : 1;
}
