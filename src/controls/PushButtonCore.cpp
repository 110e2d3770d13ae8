#include "controls/PushButtonCore.h"

#include <uxtheme.h>

#include "forms/Error.h"
#include "forms/Runtime.h"
#include "forms/Values.h"

namespace pushbutton {

namespace {
constexpr int kToolbarButtonPart = 1;  // TP_BUTTON of the "Toolbar" class
}

std::optional<VisualState> StateForLook(int look, bool showFrame, bool selected) {
    switch (look) {
    case LookNormal: return VisualState{showFrame ? TsHot : TsNormal, 0};
    case LookHover: return selected ? VisualState{TsHotChecked, 1} : VisualState{TsHot, 0};
    case LookPressed: return VisualState{TsPressed, 1};
    case LookSelected: return VisualState{TsChecked, 1};
    default: return std::nullopt;
    }
}

std::optional<ClassicEdge> ClassicEdgeFor(int pushed, int themeState) {
    // BF_SOFT alone names no side: the frameless normal look has no border.
    constexpr UINT kAllSides = BF_SOFT | BF_RECT;
    if (pushed == 0) {
        if (themeState == TsNormal) return ClassicEdge{BDR_RAISEDOUTER, BF_SOFT};
        if (themeState == TsHot) return ClassicEdge{BDR_RAISEDOUTER, kAllSides};
    } else if (pushed == 1) {
        if (themeState == TsChecked) return ClassicEdge{EDGE_ETCHED, kAllSides};
        if (themeState == TsHotChecked) return ClassicEdge{EDGE_SUNKEN, kAllSides};
        if (themeState == TsPressed) return ClassicEdge{BDR_SUNKENOUTER, kAllSides};
    }
    return std::nullopt;
}

int32_t R(double v) { return forms::CLng(v); }

RECT FrameRect(double sw, double sh) { return RECT{0, 0, R(sw - 0.5), R(sh - 0.4)}; }

RECT TextRect(double sw, double sh) {
    RECT r;
    SetRect(&r, 0, 0, R(sw), R(sh));
    return r;
}

bool DrawClassicEdge(HDC dc, const RECT& frame, int pushed, int themeState) {
    auto e = ClassicEdgeFor(pushed, themeState);
    if (!e) return false;
    RECT r = frame;
    return DrawEdge(dc, &r, e->edge, e->flags) != FALSE;
}

bool ThemeAvailable(HWND probe) {
    HTHEME t = OpenThemeData(probe, L"Toolbar");
    if (!t) return false;
    CloseThemeData(t);
    return true;
}

bool DrawThemedBackground(HWND owner, HDC dc, const RECT& frame, int themeState) {
    HTHEME t = OpenThemeData(owner, L"Toolbar");
    if (!t) return false;
    HRESULT hr = DrawThemeBackground(t, dc, kToolbarButtonPart, themeState, &frame, &frame);
    CloseThemeData(t);
    return SUCCEEDED(hr);
}

int GetPressedKey() {
    for (int vk = 0; vk <= 128; ++vk) {
        if (GetAsyncKeyState(vk) != 0) return vk;
    }
    return 0;
}

}  // namespace pushbutton

using forms::Boolean;
using forms::NameIs;
using forms::PassOver;
using forms::Variant;
using namespace pushbutton;

namespace {

constexpr int32_t kCaptionEnabled = 0x000000;
constexpr int32_t kCaptionDisabled = static_cast<int32_t>(0x80000010);  // button shadow
constexpr int32_t kDefaultBackColor = static_cast<int32_t>(0x8000000F);  // button face

void SetUpHolder(forms::PictureBox& holder) {
    holder.ScaleMode(forms::vbPixels);
    holder.AutoSize(forms::True);
    holder.BorderStyle(0);
    holder.Visible(forms::False);
}

// A font object, or none; any other object is the wrong type.
std::shared_ptr<forms::StdFont> FontOf(const Variant& v) {
    forms::ObjectPtr object = v.AsObject();
    auto font = std::dynamic_pointer_cast<forms::StdFont>(object);
    if (object && !font) forms::Raise(forms::err::TypeMismatch);
    return font;
}

}  // namespace

PushButtonCore::PushButtonCore(forms::Window* container, std::wstring name)
    : forms::UserControl(container, std::move(name)), Tmp(this, L"Tmp"), TmpPic(this, L"TmpPic"), TmMKey(this, L"TmMKey") {
    ScaleMode(forms::vbPixels);
    AutoRedraw(forms::True);
    SetUpHolder(Tmp);
    SetUpHolder(TmpPic);
    TmMKey.Interval(1);
    TmMKey.Enabled(forms::False);
    TmMKey.Tick = [this] {
        int key = 0;
        PassOver([&] { key = GetPressedKey(); });
        if (key == 0) m_MouseDown = 0;
    };
}

PushButtonCore::~PushButtonCore() = default;

// ---- looks and painting

void PushButtonCore::SetButtonState(int look) {
    auto st = StateForLook(look, forms::IsTrue(m_ShowFrame), forms::IsTrue(m_Selected));
    if (!st) return;
    DrawButton(st->themeState, st->pushed);
}

PlacementInput PushButtonCore::PlacementFor(bool themed, int pushed) {
    PlacementInput in{};
    in.themed = themed;
    in.pushed = pushed;
    in.disabledPicture = !forms::IsTrue(forms::UserControl::Enabled());
    in.sw = ScaleWidth();
    in.sh = ScaleHeight();
    in.pw = Tmp.ScaleWidth();
    in.ph = Tmp.ScaleHeight();
    in.th = TextHeight(m_Caption);
    return in;
}

void PushButtonCore::DrawPicture(const Placement& at) {
    if (!Tmp.Picture() || Tmp.Picture().Handle() == 0) return;
    const forms::Picture* pic = &Tmp.Picture();
    if (!forms::IsTrue(forms::UserControl::Enabled())) {
        if (!TmpPic.Picture() || TmpPic.Picture().Handle() == 0) return;
        pic = &TmpPic.Picture();
    }
    PaintPicture(*pic, static_cast<float>(at.picture.x), static_cast<float>(at.picture.y), Tmp.Width(), Tmp.Height());
}

void PushButtonCore::DrawCaption(const Placement& at, const RECT& textRect) {
    RECT t = textRect;
    OffsetRect(&t, at.captionOffset.x, at.captionOffset.y);
    HDC dc = hDC();
    PrepareDC(dc);
    // The byte length of the single-byte text, so that a double-byte
    // character set keeps the whole caption.
    std::string text = forms::ToAnsi(m_Caption);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &t, at.textFormat);
}

bool PushButtonCore::DrawThemed(int themeState, int pushed) {
    bool drawn = false;
    PassOver([&] {
        const double sw = ScaleWidth(), sh = ScaleHeight();
        RECT frame = FrameRect(sw, sh);
        RECT text = TextRect(sw, sh);
        bool themed = ThemeAvailable(Tmp.hWnd());
        Cls();
        if (!themed) return;
        if (!DrawThemedBackground(hWnd(), hDC(), frame, themeState)) return;
        Placement at = PlaceContent(PlacementFor(true, pushed));
        DrawPicture(at);
        DrawCaption(at, text);
        drawn = true;
    });
    return drawn;
}

void PushButtonCore::DrawClassic(int themeState, int pushed) {
    const double sw = ScaleWidth(), sh = ScaleHeight();
    RECT text{};
    PassOver([&] { text = TextRect(sw, sh); });
    PassOver([&] { Cls(); });
    PassOver([&] { DrawClassicEdge(hDC(), FrameRect(sw, sh), pushed, themeState); });
    Placement at{};
    PassOver([&] { at = PlaceContent(PlacementFor(false, pushed)); });
    PassOver([&] { DrawPicture(at); });
    PassOver([&] { DrawCaption(at, text); });
}

void PushButtonCore::DrawButton(int themeState, int pushed) {
    if (!DrawThemed(themeState, pushed)) DrawClassic(themeState, pushed);
    // Drawn straight into the persistent image: show it.
    if (hWnd()) InvalidateRect(hWnd(), nullptr, FALSE);
}

void PushButtonCore::RedrawButton() {
    ForeColor(forms::IsTrue(forms::UserControl::Enabled()) ? kCaptionEnabled : kCaptionDisabled);
    Boolean resting = m_Selected;
    SelectButton(resting);
}

// ---- public members

void PushButtonCore::SelectButton(Boolean& Selection) {
    if (forms::IsTrue(Selection)) {
        SetButtonState(LookSelected);
        m_Selected = forms::True;
    } else {
        SetButtonState(LookNormal);
        m_Selected = forms::False;
    }
}

Boolean PushButtonCore::Hover() {
    HWND h = hWnd();
    SetCapture(h);
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(h, &p);
    const int32_t x = R(p.x * forms::Screen.TwipsPerPixelX());
    const int32_t y = R(p.y * forms::Screen.TwipsPerPixelY());
    RECT rc = PixelRect();
    const double widthTwips = (rc.right - rc.left) * static_cast<double>(forms::Screen.TwipsPerPixelX());
    const double heightTwips = (rc.bottom - rc.top) * static_cast<double>(forms::Screen.TwipsPerPixelY());
    if (x > 0 && x < widthTwips && y > 0 && y < heightTwips) {
        SetButtonState(m_MouseDown != 0 ? LookPressed : LookHover);
        return forms::True;
    }
    SetButtonState(forms::IsTrue(m_Selected) ? LookSelected : LookNormal);
    ReleaseCapture();
    return forms::False;
}

void PushButtonCore::Enabled(Boolean v) {
    forms::UserControl::Enabled(v);
    RedrawButton();
    PropertyChanged(L"Enabled");
}

void PushButtonCore::Font(std::shared_ptr<forms::StdFont> f) {
    // The caption needs a font: no object is refused and nothing changes.
    if (!f) forms::Raise(forms::err::ObjectNotSet);
    forms::UserControl::Font(std::move(f));
    RedrawButton();
    PropertyChanged(L"Font");
}

void PushButtonCore::Picture(const forms::Picture& p) {
    Tmp.Picture(p);
    RedrawButton();
    PropertyChanged(L"Picture");
}

void PushButtonCore::PictureDisabled(const forms::Picture& p) {
    TmpPic.Picture(p);
    RedrawButton();
    PropertyChanged(L"PictureDisabled");
}

void PushButtonCore::ShowFrame(Boolean v) {
    m_ShowFrame = v;
    RedrawButton();
    PropertyChanged(L"ShowFrame");
}

void PushButtonCore::Caption(const std::wstring& v) {
    m_Caption = v;
    RedrawButton();
    PropertyChanged(L"Caption");
}

void PushButtonCore::BackColor(int32_t c) {
    forms::UserControl::BackColor(c);
    Tmp.BackColor(c);
    TmpPic.BackColor(c);
    RedrawButton();
    PropertyChanged(L"BackColor");
}

void PushButtonCore::Refresh() {
    forms::UserControl::BackColor(forms::UserControl::BackColor());
    Tmp.Refresh();
    TmpPic.Refresh();
    RedrawButton();
    forms::UserControl::Refresh();
}

// ---- mouse

void PushButtonCore::UserControl_MouseDown(int16_t b, int16_t s, float x, float y) {
    if (MouseDown) MouseDown(b, s, x, y);
    if (b == forms::vbLeftButton && !forms::IsTrue(m_Selected)) {
        SetButtonState(LookPressed);
        m_MouseDown = 1;
    }
}

void PushButtonCore::UserControl_MouseMove(int16_t b, int16_t s, float x, float y) {
    if (MouseMove) MouseMove(b, s, x, y);
    TmMKey.Enabled(forms::True);
    Hover();
}

void PushButtonCore::UserControl_MouseUp(int16_t b, int16_t s, float x, float y) {
    if (MouseUp) MouseUp(b, s, x, y);
    if (b == forms::vbLeftButton && m_MouseDown != 0) {
        if (!forms::IsTrue(m_Selected)) {
            Boolean select = forms::True;
            SelectButton(select);
            if (Click) Click();
        }
        m_MouseDown = 0;
    }
}

// ---- lifecycle and persistence

void PushButtonCore::UserControl_Resize() {
        RedrawButton();
}

void PushButtonCore::UserControl_Show() {
        RedrawButton();
}

// Each load of the form makes the button anew.
void PushButtonCore::UserControl_Initialize() {
    m_Selected = forms::False;
    m_MouseDown = 0;
    TmMKey.Enabled(forms::False);
}

void PushButtonCore::UserControl_InitProperties() {
    forms::UserControl::Font(Ambient().Font);
    m_ShowFrame = forms::False;
    m_Caption.clear();
}

void PushButtonCore::UserControl_ReadProperties(forms::PropertyBag& bag) {
    forms::UserControl::Enabled(bag.ReadProperty(L"Enabled", Variant::FromBoolean(forms::True)).AsBoolean());
    auto font = FontOf(bag.ReadProperty(L"Font", Variant(forms::ObjectPtr(Ambient().Font))));
    if (font) forms::UserControl::Font(font);
    Picture(bag.ReadProperty(L"Picture", forms::Picture()).AsPicture());
    TmpPic.Picture(bag.ReadProperty(L"PictureDisabled", forms::Picture()).AsPicture());
    m_ShowFrame = bag.ReadProperty(L"ShowFrame", Variant::FromBoolean(forms::False)).AsBoolean();
    m_Caption = bag.ReadProperty(L"Caption", L"").AsString();
    forms::UserControl::BackColor(bag.ReadProperty(L"BackColor", kDefaultBackColor).AsLong());
}

void PushButtonCore::UserControl_WriteProperties(forms::PropertyBag& bag) {
    bag.WriteProperty(L"Enabled", Variant::FromBoolean(forms::UserControl::Enabled()), Variant::FromBoolean(forms::True));
    bag.WriteProperty(L"Font", Variant(forms::ObjectPtr(Font())), Variant(forms::ObjectPtr(Ambient().Font)));
    bag.WriteProperty(L"Picture", Tmp.Picture(), forms::Picture());
    bag.WriteProperty(L"PictureDisabled", TmpPic.Picture(), forms::Picture());
    bag.WriteProperty(L"ShowFrame", Variant::FromBoolean(m_ShowFrame), Variant::FromBoolean(forms::False));
    bag.WriteProperty(L"Caption", m_Caption, L"");
    bag.WriteProperty(L"BackColor", forms::UserControl::BackColor(), kDefaultBackColor);
}

// ---- members by name

Variant PushButtonCore::GetProperty(std::wstring_view name) {
    if (NameIs(name, L"Hover")) return Variant::FromBoolean(Hover());
    if (NameIs(name, L"Enabled")) return Variant::FromBoolean(Enabled());
    if (NameIs(name, L"Font")) return Variant(forms::ObjectPtr(Font()));
    if (NameIs(name, L"Picture")) return Picture();
    if (NameIs(name, L"PictureDisabled")) return PictureDisabled();
    if (NameIs(name, L"ShowFrame")) return Variant::FromBoolean(ShowFrame());
    if (NameIs(name, L"Caption")) return Caption();
    if (NameIs(name, L"hwnd")) return static_cast<int32_t>(reinterpret_cast<intptr_t>(hwnd()));
    if (NameIs(name, L"BackColor")) return BackColor();
    return forms::UserControl::GetProperty(name);
}

void PushButtonCore::LetProperty(std::wstring_view name, const Variant& value) {
    if (NameIs(name, L"Enabled")) return Enabled(value.AsBoolean());
    if (NameIs(name, L"Font")) return Font(FontOf(value));
    if (NameIs(name, L"Picture")) return Picture(value.AsPicture());
    if (NameIs(name, L"PictureDisabled")) return PictureDisabled(value.AsPicture());
    if (NameIs(name, L"ShowFrame")) return ShowFrame(value.AsBoolean());
    if (NameIs(name, L"Caption")) return Caption(value.AsString());
    if (NameIs(name, L"BackColor")) return BackColor(value.AsLong());
    forms::UserControl::LetProperty(name, value);
}

Variant PushButtonCore::CallMethod(std::wstring_view name, const std::vector<Variant>& args) {
    if (NameIs(name, L"SelectButton")) {
        Boolean selection = forms::ArgAt(args, 0).AsBoolean();
        SelectButton(selection);
        return {};
    }
    if (NameIs(name, L"Hover")) return Variant::FromBoolean(Hover());
    if (NameIs(name, L"Refresh")) {
        Refresh();
        return {};
    }
    return forms::UserControl::CallMethod(name, args);
}
