#pragma once
// Watches what this thread sends to tooltip windows (through a hook, so the
// messages of a window's very creation are seen too) and reads a tool's text.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace tiptest {

struct TipMessage {
    HWND hwnd;
    UINT msg;
    WPARAM w;
    LPARAM l;
    TOOLINFOA tool;    // for the tool messages, as far as cbSize reaches
    std::string text;  // the tool's text, or the title
};

class TipSpy {
public:
    TipSpy() {
        self_ = this;
        hook_ = SetWindowsHookExW(WH_CALLWNDPROC, Proc, nullptr, GetCurrentThreadId());
    }
    ~TipSpy() {
        UnhookWindowsHookEx(hook_);
        self_ = nullptr;
    }
    TipSpy(const TipSpy&) = delete;
    TipSpy& operator=(const TipSpy&) = delete;

    size_t Count(UINT m) const {
        return std::count_if(log.begin(), log.end(), [m](const TipMessage& s) { return s.msg == m; });
    }
    const TipMessage& First(UINT m) const {
        static const TipMessage none{};
        auto it = std::find_if(log.begin(), log.end(), [m](const TipMessage& s) { return s.msg == m; });
        return it == log.end() ? none : *it;
    }
    std::vector<std::pair<WPARAM, LPARAM>> Delays() const {
        std::vector<std::pair<WPARAM, LPARAM>> d;
        for (const auto& s : log)
            if (s.msg == TTM_SETDELAYTIME) d.emplace_back(s.w, s.l);
        return d;
    }
    // Forgets what went before, including windows already gone.
    std::vector<TipMessage> log;

private:
    static LRESULT CALLBACK Proc(int code, WPARAM w, LPARAM l) {
        if (code == HC_ACTION && self_) self_->Record(*reinterpret_cast<CWPSTRUCT*>(l));
        return CallNextHookEx(nullptr, code, w, l);
    }
    void Record(const CWPSTRUCT& c) {
        static const UINT watched[] = {TTM_ADDTOOLA,        TTM_UPDATETIPTEXTA, TTM_SETTITLEA,
                                       TTM_SETTIPTEXTCOLOR, TTM_SETTIPBKCOLOR,  TTM_SETDELAYTIME};
        if (std::find(std::begin(watched), std::end(watched), c.message) == std::end(watched)) return;
        char cls[64] = {};
        GetClassNameA(c.hwnd, cls, sizeof cls);
        if (std::strcmp(cls, TOOLTIPS_CLASSA) != 0) return;
        TipMessage m{c.hwnd, c.message, c.wParam, c.lParam, {}, {}};
        if ((c.message == TTM_ADDTOOLA || c.message == TTM_UPDATETIPTEXTA) && c.lParam) {
            const auto* t = reinterpret_cast<const TOOLINFOA*>(c.lParam);
            std::memcpy(&m.tool, t, std::min<size_t>(t->cbSize, sizeof m.tool));
            if (t->lpszText && t->lpszText != LPSTR_TEXTCALLBACKA) m.text = t->lpszText;
        } else if (c.message == TTM_SETTITLEA && c.lParam) {
            m.text = reinterpret_cast<const char*>(c.lParam);
        }
        log.push_back(m);
    }

    static inline TipSpy* self_ = nullptr;
    HHOOK hook_ = nullptr;
};

// The text the tooltip holds for the window tool.
inline std::string TextOf(HWND tip, HWND tool) {
    char buf[256] = {};
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = tool;
    ti.uId = reinterpret_cast<UINT_PTR>(tool);
    ti.lpszText = buf;
    SendMessageA(tip, TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&ti));
    return buf;
}

struct TipSearch {
    HWND tool;
    std::vector<HWND> found;
};

inline BOOL CALLBACK CollectTip(HWND h, LPARAM l) {
    auto* st = reinterpret_cast<TipSearch*>(l);
    char cls[64] = {};
    GetClassNameA(h, cls, sizeof cls);
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    if (std::strcmp(cls, TOOLTIPS_CLASSA) == 0 && SendMessageA(h, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&ti)) &&
        ti.uId == reinterpret_cast<UINT_PTR>(st->tool))
        st->found.push_back(h);
    return TRUE;
}

// The tooltip windows of this thread that carry the window as a tool.
inline std::vector<HWND> TipsFor(HWND tool) {
    TipSearch s{tool, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectTip, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

}  // namespace tiptest
