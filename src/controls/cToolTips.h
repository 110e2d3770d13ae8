#pragma once
// Gives one window a tooltip: a window of the common controls' tooltip class
// with that window as its only tool (the tooltip subclasses it, so the tip
// follows the pointer over it without any relaying). Messages and texts go
// through the platform's single-byte variants.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "forms/Values.h"
#include "forms/Variant.h"

class cToolTips {
public:
    cToolTips();
    ~cToolTips();
    cToolTips(const cToolTips&) = delete;
    cToolTips& operator=(const cToolTips&) = delete;

    // 1 balloon, any other value standard; acts at the next Create.
    int32_t Style() const { return style_; }
    void Style(int32_t v) { style_ = v; }
    // Centre the tip under the tool; acts at the next Create.
    forms::Boolean Centered() const { return centered_; }
    void Centered(forms::Boolean v) { centered_ = v; }

    // (Re)creates the tooltip window for ParentHwnd and registers it as the
    // tool. True when the platform made the window.
    forms::Boolean Create(HWND ParentHwnd);
    // A standard tip that stays 7000 ms, with this text and title, for hwnd.
    forms::Variant AddToolTip(HWND hwnd, const std::wstring& Text, const std::wstring& Title = {});

    // Title icon as the platform takes it: 0 none, 1 information, 2 warning, 3 error.
    int32_t Icon() const { return icon_; }
    void Icon(int32_t v);
    // 0 leaves the platform's colour at creation.
    int32_t ForeColor() const { return foreColor_; }
    void ForeColor(int32_t v);
    const std::wstring& Title() const { return title_; }
    void Title(const std::wstring& v);
    int32_t BackColor() const { return backColor_; }
    void BackColor(int32_t v);
    const std::wstring& TipText() const { return tipText_; }
    void TipText(const std::wstring& v);

    void Destroy();

    // Milliseconds the tip stays up, and before it shows; act at the next Create.
    int32_t VisibleTime() const { return visibleTime_; }
    void VisibleTime(int32_t v) { visibleTime_ = v; }
    int32_t DelayTime() const { return delayTime_; }
    void DelayTime(int32_t v) { delayTime_ = v; }

private:
    LRESULT Send(UINT msg, WPARAM w, LPARAM l);
    void SendTitle();
    void SetRecordText(const std::wstring& text);

    int32_t backColor_ = 0;
    std::wstring title_;
    int32_t foreColor_ = 0;
    int32_t icon_ = 0;
    forms::Boolean centered_ = forms::False;
    int32_t style_ = 0;
    std::wstring tipText_;
    int32_t visibleTime_ = 5000;
    int32_t delayTime_ = 500;
    HWND tip_ = nullptr;
    HWND parent_ = nullptr;
    TOOLINFOA tool_{};
    // The single-byte copies the platform reads while a message is sent.
    std::string tipAnsi_;
    std::string titleAnsi_;
};
