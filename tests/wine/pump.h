// Waiting on a shown dialog while keeping its messages flowing, as its modal
// loop would: for tests and benchmarks that act from inside that loop.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>

#include <windows.h>

namespace winetest {

// Handles this thread's messages (the dialog manager's keys for `dialog`,
// everything else dispatched) until `done` returns true or `timeout` has
// passed. `done` is asked at the start and after every batch of messages,
// and at least every 50 ms. Returns its last answer.
inline bool pumpUntil(HWND dialog, const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    using std::chrono::steady_clock;
    const steady_clock::time_point deadline = steady_clock::now() + timeout;
    for (;;) {
        if (done()) {
            return true;
        }
        const steady_clock::time_point now = steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::min<long long>(left, 50)), QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Left for the loop that owns the quit.
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return done();
            }
            if (!::IsWindow(dialog) || !::IsDialogMessageA(dialog, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
    }
}

} // namespace winetest
