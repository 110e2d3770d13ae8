#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "forms/Runtime.h"
#include "unit/common/TestSupport.h"

namespace {

constexpr UINT kAsk = WM_APP + 7;
int g_asked = 0, g_keys = 0, g_ticks = 0;

LRESULT CALLBACK Probe(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == kAsk) ++g_asked;
    if (m == WM_KEYDOWN) ++g_keys;
    return DefWindowProcW(h, m, w, l);
}
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

}  // namespace

// While another holder keeps the clipboard, the wait answers what is sent to
// our windows (the holder lets go only once answered) but leaves posted input
// and timers queued: either could start a capture inside the one waiting.
TEST(ClipboardWait, AnswersSentMessagesAndLeavesInputAndTimersQueued) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Probe;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QcClipboardWaitProbe";
    RegisterClassW(&wc);
    HWND ours = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(ours, nullptr);
    g_asked = g_keys = g_ticks = 0;

    std::atomic<bool> held{false}, answered{false};
    std::thread holder([&] {
        HWND own = CreateWindowExW(0, L"STATIC", L"holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        const bool opened = OpenClipboard(own) != 0;
        held = true;
        if (opened) {
            Sleep(100);
            DWORD_PTR r = 0;
            answered = SendMessageTimeoutW(ours, kAsk, 0, 0, SMTO_NORMAL, 3000, &r) != 0;
            CloseClipboard();
        }
        DestroyWindow(own);
    });
    while (!held) Sleep(1);
    PostMessageW(ours, WM_KEYDOWN, 'A', 0);
    const UINT_PTR timer = SetTimer(nullptr, 0, 1, Tick);
    Sleep(20);

    const bool opened = forms::OpenClipboardWithin(ours, 5000);
    if (opened) CloseClipboard();
    const int keysInWait = g_keys, ticksInWait = g_ticks;
    holder.join();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(answered) << "the sent message was answered inside the wait";
    EXPECT_EQ(g_asked, 1);
    EXPECT_EQ(keysInWait, 0) << "posted input waits for the end";
    EXPECT_EQ(ticksInWait, 0) << "timers wait for the end";

    testsupport::Pump(50);
    EXPECT_EQ(g_keys, 1) << "the input is still queued afterwards";
    EXPECT_GE(g_ticks, 1);
    KillTimer(nullptr, timer);
    DestroyWindow(ours);
}
