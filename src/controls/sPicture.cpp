#include "controls/sPicture.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "forms/Error.h"
#include "forms/Runtime.h"

using forms::Boolean;
using forms::NameIs;
using forms::PassOver;
using forms::Variant;

namespace {

constexpr int32_t kDefaultBackColor = forms::vbButtonFace;
constexpr int kOpenHand = 2;
constexpr int kClosedHand = 3;
constexpr double kLargestBarValue = std::numeric_limits<int16_t>::max();

// The platform's single window-update lock, held for one scope; a lock that
// someone else holds is neither taken nor let go.
class UpdateLock {
public:
    explicit UpdateLock(HWND h) : held_(h && LockWindowUpdate(h)) {}
    ~UpdateLock() {
        if (held_) LockWindowUpdate(nullptr);
    }
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

private:
    bool held_;
};

int16_t Whole16(double v) { return forms::CInt(v); }

// A display mode beyond the 16-bit range keeps its sign, so that it still
// asks the fitter for a fit.
int16_t Mode16(int32_t m) {
    return static_cast<int16_t>(std::clamp<int32_t>(m, std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}

// Gives a bar its range for an overflow of the picture past the control
// (range: the overflow, plus the bar's thickness when both bars show). A
// range beyond the 16-bit bar is stepped in coarser units; the unit is the
// twips per step.
void SetRange(forms::ScrollBar& bar, double overflow, double range, double& unit) {
    const double steps = std::min(range, kLargestBarValue);
    unit = range > kLargestBarValue ? range / kLargestBarValue : 1.0;
    const int16_t large = std::max<int16_t>(1, Whole16(overflow / 2 / unit));
    bar.LargeChange(large);
    bar.SmallChange(std::max<int16_t>(1, Whole16(large / 5.0)));
    bar.Min(0);
    bar.Max(Whole16(steps));
    bar.Value(0);
}

}  // namespace

sPicture::sPicture(forms::Window* container, std::wstring name) : forms::UserControl(container, std::move(name)) {
    TmpPic.Visible(forms::False);
    TmpPic.BorderStyle(0);
    TmpPic.ScaleMode(forms::vbPixels);
    TmpPic.AutoRedraw(forms::True);
    TmpPic.AutoSize(forms::True);
    TmpPic.Move(0, 0, 0, 0);

    Pic.BorderStyle(0);
    Pic.AutoRedraw(forms::True);
    Pic.Move(0, 0, 0, 0);

    const float tx = forms::TwipsPerPixelX(), ty = forms::TwipsPerPixelY();
    const float thickV = static_cast<float>(GetSystemMetrics(SM_CXVSCROLL)) * tx;
    const float thickH = static_cast<float>(GetSystemMetrics(SM_CYHSCROLL)) * ty;
    Hs.Visible(forms::False);
    Hs.Move(0, 0, thickV * 4, thickH);
    Vs.Visible(forms::False);
    Vs.Move(0, 0, thickV, thickH * 4);
    PSide.Visible(forms::False);
    PSide.BorderStyle(0);
    PSide.Move(0, 0, thickV, thickH);

    Hs.Change = [this] { Scrolled(Hs); };
    Hs.Scroll = [this] { Scrolled(Hs); };
    Vs.Change = [this] { Scrolled(Vs); };
    Vs.Scroll = [this] { Scrolled(Vs); };
    for (forms::ScrollBar* bar : {static_cast<forms::ScrollBar*>(&Hs), static_cast<forms::ScrollBar*>(&Vs)}) {
        // A bar with the focus blinks its thumb; the viewer shows no such mark.
        bar->GotFocus = [bar] { HideCaret(bar->hWnd()); };
        bar->LostFocus = [bar] { HideCaret(bar->hWnd()); };
    }
    Pic.MouseDown = [this](int16_t b, int16_t s, float x, float y) { Pic_MouseDown(b, s, x, y); };
    Pic.MouseMove = [this](int16_t b, int16_t s, float x, float y) { Pic_MouseMove(b, s, x, y); };
    Pic.MouseUp = [this](int16_t b, int16_t s, float x, float y) { Pic_MouseUp(b, s, x, y); };
}

sPicture::~sPicture() = default;

// ---- events of the control ----

void sPicture::UserControl_Initialize() {
    // The bars and the corner piece lie over the picture.
    PSide.ZOrder(0);
    Pic.ZOrder(1);
}

void sPicture::UserControl_InitProperties() {
    m_Enabled = forms::True;
    m_Stretch = 1;
}

void sPicture::UserControl_ReadProperties(forms::PropertyBag& bag) {
    const int32_t back = bag.ReadProperty(L"BackColor", kDefaultBackColor).AsLong();
    PassOver([&] { forms::UserControl::BackColor(back); });
    PassOver([&] { TmpPic.BackColor(back); });
    m_Enabled = bag.ReadProperty(L"Enabled", int32_t{1}).AsBoolean();
    SetSource(bag.ReadProperty(L"Picture", Variant(forms::Picture())).AsPicture());
    m_Stretch = bag.ReadProperty(L"Stretch", int32_t{1}).AsLong();
}

void sPicture::UserControl_WriteProperties(forms::PropertyBag& bag) {
    bag.WriteProperty(L"BackColor", forms::UserControl::BackColor(), kDefaultBackColor);
    bag.WriteProperty(L"Enabled", Variant::FromBoolean(m_Enabled), int32_t{1});
    bag.WriteProperty(L"Picture", TmpPic.Picture(), Variant(forms::Picture()));
    bag.WriteProperty(L"Stretch", m_Stretch, int32_t{1});
}

void sPicture::UserControl_Show() { ShowPicture(m_Stretch); }

void sPicture::UserControl_Resize() { ShowPicture(m_Stretch); }

// ---- public members ----

void sPicture::ResizePicture(forms::PictureBox& SrcPicture, forms::PictureBox& DestPicture) {
    const double W = ScaleWidth(), H = ScaleHeight();
    const double sw = SrcPicture.Width(), sh = SrcPicture.Height();
    if (sw <= 0 || sh <= 0) return;
    // The smaller ratio; the height's when they are equal.
    const double r = sh * (W / sw) < H ? W / sw : H / sh;
    DestPicture.Move(static_cast<float>((W - sw * r) / 2), static_cast<float>((H - sh * r) / 2),
                     static_cast<float>(sw * r), static_cast<float>(sh * r));
}

void sPicture::LoadImageFile(const std::wstring& ImgPath) {
    forms::Picture p = forms::LoadPicture(ImgPath);
    SetSource(p);
    ShowPicture(m_Stretch);
}

void sPicture::BackColor(int32_t New_BackColor) {
    forms::UserControl::BackColor(New_BackColor);
    Pic.BackColor(New_BackColor);
    ShowPicture(m_Stretch);
    PropertyChanged(L"BackColor");
}

void sPicture::Enabled(Boolean New_Enabled) {
    m_Enabled = New_Enabled;
    ShowPicture(m_Stretch);
    PropertyChanged(L"Enabled");
}

HDC sPicture::hDC() { return Pic.hDC(); }

const forms::Picture& sPicture::Picture() const { return TmpPic.Picture(); }

void sPicture::Picture(const forms::Picture& New_Picture) {
    SetSource(New_Picture);
    ShowPicture(m_Stretch);
    PropertyChanged(L"Picture");
}

void sPicture::Clear() {
    TmpPic.Cls();
    Pic.Cls();
}

void sPicture::Stretch(int32_t New_Stretch) {
    m_Stretch = New_Stretch;
    ShowPicture(m_Stretch);
    PropertyChanged(L"Stretch");
}

// ---- the view ----

void sPicture::SetSource(const forms::Picture& p) {
    TmpPic.Picture(p);
    if (!p) TmpPic.Move(0, 0, 0, 0);
}

void sPicture::ShowPicture(int32_t& StretchMode) {
    {
        UpdateLock lock(hWnd());
        PassOver([&] {
            const float W = ScaleWidth(), H = ScaleHeight();
            const float w = TmpPic.Width(), h = TmpPic.Height();
            if (w < W && h < H) {
                HideScrollBars();
                Pic.Width(w);
                Pic.Height(h);
                Pic.Move(W / 2 - w / 2, H / 2 - h / 2);
                m_PanEnabled = forms::False;
                StandardSize = forms::True;
                return;
            }
            StandardSize = forms::False;
            if (StretchMode == 1) {
                HideScrollBars();
                m_PanEnabled = forms::False;
                Pic.Move(0, 0, W, H);
                ResizePicture(TmpPic, Pic);
            } else if (StretchMode == 0) {
                Pic.Move(0, 0, w, h);
                m_PanEnabled = forms::True;
                SetScrollBars();
            }
        });
        forms::OnFirstUse(m_Image).DrawPicture(TmpPic, Pic, Mode16(StretchMode));
    }
    Pic.Refresh();
    if (AfterPainting) AfterPainting();
}

void sPicture::HideScrollBars() {
    Vs.Visible(forms::False);
    Hs.Visible(forms::False);
    PSide.Visible(forms::False);
}

void sPicture::SetScrollBars() {
    const double W = ScaleWidth(), H = ScaleHeight();
    const double pw = Pic.Width(), ph = Pic.Height();
    const bool needV = ph > H, needH = pw > W;
    const double thickV = Vs.Width(), thickH = Hs.Height();
    const double oV = forms::RoundHalfEven(ph - H), oH = forms::RoundHalfEven(pw - W);
    // With both bars each range grows by the bar's own thickness.
    if (needV) {
        Vs.Visible(forms::True);
        SetRange(Vs, oV, needH ? thickV + oV : oV, m_UnitV);
    } else {
        Vs.Visible(forms::False);
    }
    if (needH) {
        Hs.Visible(forms::True);
        SetRange(Hs, oH, needV ? thickH + oH : oH, m_UnitH);
    } else {
        Hs.Visible(forms::False);
    }

    const float fW = static_cast<float>(W), fH = static_cast<float>(H);
    if (needV && needH) {
        Vs.Move(fW - Vs.Width(), 0, Vs.Width(), fH - Vs.Width());
        Hs.Move(0, fH - Hs.Height(), fW - Hs.Height(), Hs.Height());
        Vs.Visible(forms::True);
        Hs.Visible(forms::True);
        PSide.Move(Hs.Width(), Vs.Height(), Vs.Width(), Hs.Height());
        PSide.Visible(forms::True);
    } else {
        PSide.Visible(forms::False);
        if (needV) Vs.Move(fW - Vs.Width(), 0, Vs.Width(), fH);
        if (needH) Hs.Move(0, fH - Hs.Height(), fW, Hs.Height());
    }
}

void sPicture::Scrolled(forms::ScrollBar& bar) {
    if (&bar == &Hs)
        Pic.Left(static_cast<float>(-Hs.Value() * m_UnitH));
    else
        Pic.Top(static_cast<float>(-Vs.Value() * m_UnitV));
    HideCaret(bar.hWnd());
}

// ---- panning ----

const forms::Picture& sPicture::Hand(bool closed) {
    forms::Picture& p = closed ? m_ClosedHand : m_OpenHand;
    if (!p) p = forms::LoadResPicture(closed ? kClosedHand : kOpenHand, forms::resCursor);
    return p;
}

void sPicture::Pic_MouseDown(int16_t Button, int16_t Shift, float X, float Y) {
    if (!forms::IsTrue(m_PanEnabled) || Button != forms::vbLeftButton) return;
    m_Dragging = forms::True;
    m_DragX = X;
    m_DragY = Y;
    SetCapture(Pic.hWnd());
    PassOver([&] {
        Pic.MousePointer(forms::vbCustom);
        Pic.MouseIcon(Hand(true));
    });
}

void sPicture::Pic_MouseMove(int16_t Button, int16_t Shift, float X, float Y) {
    if (m_Stretch != 0) {
        PassOver([&] { Pic.MousePointer(forms::vbDefault); });
    } else {
        PassOver([&] { Pic.MousePointer(forms::vbCustom); });
        PassOver([&] { Pic.MouseIcon(Hand(forms::IsTrue(m_Dragging))); });
    }
    if (!forms::IsTrue(m_Dragging)) return;
    // The bar's change event moves the picture so that the grabbed point
    // stays under the pointer; a value past the bar's end is refused.
    if (forms::IsTrue(Hs.Visible()))
        PassOver([&] { Hs.Value(Whole16(-(Pic.Left() - m_DragX + X) / m_UnitH)); });
    if (forms::IsTrue(Vs.Visible()))
        PassOver([&] { Vs.Value(Whole16(-(Pic.Top() - m_DragY + Y) / m_UnitV)); });
}

void sPicture::Pic_MouseUp(int16_t Button, int16_t Shift, float X, float Y) {
    ReleaseCapture();
    PassOver([&] { Pic.MousePointer(forms::vbDefault); });
    m_Dragging = forms::False;
}

// ---- members by name ----

Variant sPicture::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"StandardSize")) return Variant::FromBoolean(StandardSize);
    if (NameIs(n, L"Stretch")) return Stretch();
    if (NameIs(n, L"Picture")) return Picture();
    if (NameIs(n, L"Enabled")) return Variant::FromBoolean(Enabled());
    if (NameIs(n, L"BackColor")) return BackColor();
    if (NameIs(n, L"hDC")) return static_cast<int32_t>(reinterpret_cast<intptr_t>(hDC()));
    return forms::UserControl::GetProperty(n);
}

void sPicture::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"StandardSize")) {
        StandardSize = v.AsBoolean();
        return;
    }
    if (NameIs(n, L"Stretch")) return Stretch(v.AsLong());
    if (NameIs(n, L"Picture")) return Picture(v.AsPicture());
    if (NameIs(n, L"Enabled")) return Enabled(v.AsBoolean());
    if (NameIs(n, L"BackColor")) return BackColor(v.AsLong());
    forms::UserControl::LetProperty(n, v);
}

Variant sPicture::CallMethod(std::wstring_view n, const std::vector<Variant>& a) {
    if (NameIs(n, L"Clear")) {
        Clear();
        return {};
    }
    if (NameIs(n, L"LoadImageFile")) {
        LoadImageFile(forms::ArgAt(a, 0).AsString());
        return {};
    }
    if (NameIs(n, L"ResizePicture")) {
        auto* src = dynamic_cast<forms::PictureBox*>(forms::ArgAt(a, 0).AsObject().get());
        auto* dest = dynamic_cast<forms::PictureBox*>(forms::ArgAt(a, 1).AsObject().get());
        if (!src || !dest) forms::Raise(forms::err::TypeMismatch);
        ResizePicture(*src, *dest);
        return {};
    }
    return forms::UserControl::CallMethod(n, a);
}
