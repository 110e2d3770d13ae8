#pragma once
// Drives a modal dialog of this process from a helper thread, as a user
// would: waits for it to show, lets the test look at it and act on it, then
// presses one of its buttons.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// The visible top-level dialog boxes (class #32770) of this process.
std::vector<HWND> OwnDialogs();

// Started by the test main: a dialog box that shows while no driver waits
// for one fails the running test, named by its caption and text, and is
// closed, so that the run goes on instead of waiting for its time limit.
void GuardAgainstUnaskedDialogs();
// A driver's side of the guard: it waits for a box, then takes the one found.
void ExpectDialog();
void TakeDialog(HWND dlg);  // null: the driver stopped waiting without one

class DialogDriver {
public:
    // pick, when given, chooses among the dialogs up at once (a box over the
    // dialog that asked it shares its title).
    explicit DialogDriver(int button, std::function<void(HWND)> look = {}, std::function<bool(HWND)> pick = {}) {
        ExpectDialog();
        thread_ = std::thread([this, button, look, pick] {
            for (int i = 0; i < 300 && !stop_; ++i) {
                if (HWND dlg = FindDialog(pick)) {
                    TakeDialog(dlg);
                    title_ = Text(dlg);
                    if (look) look(dlg);
                    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                    found_ = true;
                    return;
                }
                Sleep(50);
            }
            TakeDialog(nullptr);
        });
    }
    ~DialogDriver() { Done(); }
    // Whether a dialog was found and pressed (waits for the helper).
    bool Done() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return found_;
    }
    // The dialog's caption (read after Done).
    std::wstring Title() const { return title_; }

    static std::wstring Text(HWND h) {
        wchar_t buf[512] = {};
        GetWindowTextW(h, buf, 512);
        return buf;
    }
    // The visible child of a class, or one with a text, or null.
    static HWND Child(HWND dlg, const std::wstring& cls, const std::wstring& text = {}) {
        ChildQuery q{cls, text, nullptr};
        EnumChildWindows(dlg, MatchChild, reinterpret_cast<LPARAM>(&q));
        return q.found;
    }

private:
    struct ChildQuery {
        std::wstring cls, text;
        HWND found;
    };
    static BOOL CALLBACK MatchChild(HWND h, LPARAM lp) {
        auto* q = reinterpret_cast<ChildQuery*>(lp);
        wchar_t c[64] = {};
        GetClassNameW(h, c, 64);
        if (IsWindowVisible(h) && q->cls == c && (q->text.empty() || q->text == Text(h))) {
            q->found = h;
            return FALSE;
        }
        return TRUE;
    }
    static HWND FindDialog(const std::function<bool(HWND)>& pick) {
        for (HWND dlg : OwnDialogs())
            if (!pick || pick(dlg)) return dlg;
        return nullptr;
    }

    std::atomic<bool> stop_{false};
    std::atomic<bool> found_{false};
    std::wstring title_;
    std::thread thread_;
};

}  // namespace testsupport
