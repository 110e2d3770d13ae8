#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "forms/Values.h"
#include "unit/common/DialogDriver.h"

namespace testsupport {

namespace {

std::mutex guardLock;
int waitingDrivers = 0;
std::set<HWND> taken;  // by a driver, or closed by the guard
std::map<HWND, DWORD> firstSeen;

// The window's text without waiting on a thread that does not answer.
std::wstring TextOf(HWND h) {
    wchar_t buf[1024] = {};
    DWORD_PTR n = 0;
    SendMessageTimeoutW(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &n);
    return buf;
}

BOOL CALLBACK AddStaticText(HWND h, LPARAM lp) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    std::wstring text = TextOf(h);
    if (std::wstring(cls) == L"Static" && !text.empty()) {
        auto& all = *reinterpret_cast<std::wstring*>(lp);
        all += (all.empty() ? L"" : L" ") + text;
    }
    return TRUE;
}

void FailAndClose(HWND dlg) {
    std::wstring text;
    EnumChildWindows(dlg, AddStaticText, reinterpret_cast<LPARAM>(&text));
    ADD_FAILURE() << "a dialog box no test asked for showed and was closed: \"" << forms::ToAnsi(TextOf(dlg))
                  << "\": " << forms::ToAnsi(text);
    // Cancel or No where the box has them, so that nothing is agreed to.
    int button = IDOK;
    for (int id : {IDCANCEL, IDNO})
        if (GetDlgItem(dlg, id)) {
            button = id;
            break;
        }
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

void Watch() {
    for (;;) {
        Sleep(100);
        std::vector<HWND> unasked;
        {
            std::lock_guard<std::mutex> lock(guardLock);
            for (auto it = taken.begin(); it != taken.end();) it = IsWindow(*it) ? std::next(it) : taken.erase(it);
            for (auto it = firstSeen.begin(); it != firstSeen.end();)
                it = IsWindow(it->first) ? std::next(it) : firstSeen.erase(it);
            const DWORD now = GetTickCount();
            for (HWND dlg : OwnDialogs()) {
                if (taken.count(dlg)) continue;
                const DWORD since = firstSeen.emplace(dlg, now).first->second;
                // A moment's grace: a box that closes itself, or a driver
                // about to take it, is not the guard's.
                if (waitingDrivers == 0 && now - since >= 1000) {
                    taken.insert(dlg);
                    unasked.push_back(dlg);
                }
            }
        }
        for (HWND dlg : unasked) FailAndClose(dlg);
    }
}

}  // namespace

std::vector<HWND> OwnDialogs() {
    std::vector<HWND> found;
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, L"#32770", nullptr))) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w)) found.push_back(w);
    }
    return found;
}

void GuardAgainstUnaskedDialogs() { std::thread(Watch).detach(); }

void ExpectDialog() {
    std::lock_guard<std::mutex> lock(guardLock);
    ++waitingDrivers;
}

void TakeDialog(HWND dlg) {
    std::lock_guard<std::mutex> lock(guardLock);
    --waitingDrivers;
    if (dlg) taken.insert(dlg);
}

}  // namespace testsupport
