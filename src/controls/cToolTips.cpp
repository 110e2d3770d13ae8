#include "controls/cToolTips.h"

#include "forms/Runtime.h"

namespace {

constexpr DWORD kStandardStyle = TTS_ALWAYSTIP | TTS_NOPREFIX;
constexpr int32_t kBalloon = 1;
constexpr int32_t kAddToolTipVisibleTime = 7000;

}  // namespace

cToolTips::cToolTips() {
    InitCommonControls();
    // The record's size is the published one with lParam as its last field,
    // whatever the headers' newest record holds beyond it.
    tool_.cbSize = TTTOOLINFOA_V2_SIZE;
}

cToolTips::~cToolTips() { Destroy(); }

LRESULT cToolTips::Send(UINT msg, WPARAM w, LPARAM l) { return tip_ ? SendMessageA(tip_, msg, w, l) : 0; }

void cToolTips::SetRecordText(const std::wstring& text) {
    tipText_ = text;
    tipAnsi_ = forms::ToAnsi(text);
    tool_.lpszText = tipAnsi_.data();
}

void cToolTips::SendTitle() {
    titleAnsi_ = forms::ToAnsi(title_);
    Send(TTM_SETTITLEA, static_cast<WPARAM>(icon_), reinterpret_cast<LPARAM>(titleAnsi_.c_str()));
}

forms::Boolean cToolTips::Create(HWND ParentHwnd) {
    Destroy();
    parent_ = ParentHwnd;
    DWORD style = kStandardStyle;
    if (style_ == kBalloon) style |= TTS_BALLOON;
    HINSTANCE inst = forms::App.hInstance();
    tip_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, nullptr, nullptr, inst, nullptr);

    tool_.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    if (centered_ != 0) tool_.uFlags |= TTF_CENTERTIP;
    tool_.hwnd = ParentHwnd;
    tool_.uId = reinterpret_cast<UINT_PTR>(ParentHwnd);
    tool_.hinst = inst;
    tool_.lpszText = tipAnsi_.data();
    tool_.rect = RECT{0, 0, 0, 0};
    Send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool_));

    if (!title_.empty() || icon_ != 0) SendTitle();
    if (foreColor_ != 0) Send(TTM_SETTIPTEXTCOLOR, static_cast<WPARAM>(foreColor_), 0);
    if (backColor_ != 0) Send(TTM_SETTIPBKCOLOR, static_cast<WPARAM>(backColor_), 0);
    Send(TTM_SETDELAYTIME, TTDT_AUTOPOP, static_cast<LPARAM>(visibleTime_));
    Send(TTM_SETDELAYTIME, TTDT_INITIAL, static_cast<LPARAM>(delayTime_));
    return forms::ToBoolean(tip_ != nullptr);
}

forms::Variant cToolTips::AddToolTip(HWND hwnd, const std::wstring& Text, const std::wstring& Title) {
    style_ = 0;
    SetRecordText(Text);
    title_ = Title;
    visibleTime_ = kAddToolTipVisibleTime;
    Create(hwnd);
    return {};
}

void cToolTips::Icon(int32_t v) {
    icon_ = v;
    if (tip_ && !title_.empty() && icon_ != 0) SendTitle();
}

void cToolTips::ForeColor(int32_t v) {
    foreColor_ = v;
    Send(TTM_SETTIPTEXTCOLOR, static_cast<WPARAM>(foreColor_), 0);
}

void cToolTips::Title(const std::wstring& v) {
    title_ = v;
    if (tip_ && !title_.empty() && icon_ != 0) SendTitle();
}

void cToolTips::BackColor(int32_t v) {
    backColor_ = v;
    Send(TTM_SETTIPBKCOLOR, static_cast<WPARAM>(backColor_), 0);
}

void cToolTips::TipText(const std::wstring& v) {
    SetRecordText(v);
    Send(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool_));
}

void cToolTips::Destroy() {
    if (tip_) DestroyWindow(tip_);
    tip_ = nullptr;
}
