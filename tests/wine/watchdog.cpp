// Ends the test program when one test runs for more than a minute: a window or a run that waits for what never comes
// (an unanswered dialog, a loader that never ends) fails that test instead of holding the suite until ctest's limit.
// The loaders the tests start end with the program: they run in a job that is closed with it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

namespace {

class Watchdog : public testing::EmptyTestEventListener {
public:
    Watchdog() {
        HANDLE job = CreateJobObjectA(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        AssignProcessToJobObject(job, GetCurrentProcess());
        CreateThread(nullptr, 0, watch, this, 0, nullptr);
    }

private:
    static constexpr DWORD kLimitMs = 60000;

    void OnTestStart(const testing::TestInfo& test) override {
        std::snprintf(name_, sizeof name_, "%s.%s", test.test_suite_name(), test.name());
        started_ = GetTickCount();
        running_ = 1;
    }
    void OnTestEnd(const testing::TestInfo&) override { running_ = 0; }

    static DWORD WINAPI watch(void* self) {
        const auto* dog = static_cast<Watchdog*>(self);
        for (;; Sleep(1000)) {
            if (dog->running_ != 0 && GetTickCount() - dog->started_ > kLimitMs) {
                std::fprintf(stderr, "%s ran for more than %lu s: ended by the watchdog\n", dog->name_,
                             kLimitMs / 1000);
                std::fflush(stderr);
                TerminateProcess(GetCurrentProcess(), 3);
            }
        }
    }

    volatile DWORD started_ = 0;
    volatile LONG running_ = 0;
    char name_[256] = {};
};

const bool installed = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
    return true;
}();

} // namespace
