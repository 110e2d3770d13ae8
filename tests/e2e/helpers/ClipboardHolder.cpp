// Holds the clipboard open, as a busy program would, and meanwhile measures
// how long a window of another program takes to answer a sent message.
// Usage: ClipboardHolder <window handle, decimal> <hold ms> <event name>
// The event is set once the clipboard is held. The exit code is the slowest
// reply seen in milliseconds, or 1000000 when the clipboard could not be held.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 4) return 1000000;
    HWND target = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(argv[1], nullptr, 10)));
    const DWORD hold = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, argv[3]);

    // The clipboard tells holders apart by window.
    HWND own = CreateWindowExA(0, "STATIC", "holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    bool opened = false;
    for (int i = 0; i < 200 && !opened; ++i) {
        opened = OpenClipboard(own) != 0;
        if (!opened) Sleep(10);
    }
    if (!opened) return 1000000;
    SetEvent(held);

    DWORD slowest = 0;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < hold) {
        const DWORD asked = GetTickCount();
        DWORD_PTR result = 0;
        SendMessageTimeoutA(target, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result);
        const DWORD took = GetTickCount() - asked;
        if (took > slowest) slowest = took;
        Sleep(20);
    }
    CloseClipboard();
    DestroyWindow(own);
    CloseHandle(held);
    return static_cast<int>(slowest);
}
