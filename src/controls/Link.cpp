#include "controls/Link.h"

#include <shellapi.h>

#include <optional>

#include "forms/Error.h"
#include "forms/Runtime.h"

using forms::Boolean;
using forms::NameIs;
using forms::PassOver;
using forms::Variant;

namespace {

constexpr int32_t kDisabledText = static_cast<int32_t>(0x80000010);  // button shadow
constexpr int32_t kDefaultBackColor = static_cast<int32_t>(0x8000000F);  // button face
constexpr int32_t kDefaultForeColor = static_cast<int32_t>(0x80000012);  // button text
constexpr int kPointingHand = 1;
constexpr float kTextLeftAlone = 3;     // twips before the caption without a picture
constexpr float kTextAfterPicture = 70;  // twips between the picture and the caption
constexpr const char* kShellDirectory = "C:\\";

Link::ShellExecuteFn& ShellCall() {
    static Link::ShellExecuteFn fn;
    return fn;
}

HINSTANCE CallShell(HWND hwnd, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, INT show) {
    if (ShellCall()) return ShellCall()(hwnd, verb, file, params, dir, show);
    return ShellExecuteA(hwnd, verb, file, params, dir, show);
}

// Any handle but 0 is a picture: the platform hands out bitmap handles with
// the top bit set too.
bool Present(const forms::Picture& p) { return p.Handle() != 0; }

std::shared_ptr<forms::StdFont> FontOf(const Variant& v) {
    return std::dynamic_pointer_cast<forms::StdFont>(v.AsObject());
}

void SetUpHolder(forms::PictureBox& holder) {
    holder.BorderStyle(0);  // its height is the picture's
    holder.AutoSize(forms::True);
    holder.Visible(forms::False);
    holder.Move(0, 0, 330, 420);
}

}  // namespace

Link::Link(forms::Window* container, std::wstring name)
    : forms::UserControl(container, std::move(name)), P1(this, L"P1"), P2(this, L"P2") {
    // The drawing happens outside paint events and must stay.
    AutoRedraw(forms::True);
    SetUpHolder(P1);
    SetUpHolder(P2);
}

Link::~Link() = default;

void Link::ShellExecuteWith(ShellExecuteFn fn) { ShellCall() = std::move(fn); }

// ---- methods

Variant Link::SendEmail(const std::wstring& Address) {
    std::string file = "mailto:" + forms::ToAnsi(Address);
    CallShell(nullptr, nullptr, file.c_str(), nullptr, kShellDirectory, SW_SHOWNORMAL);
    return {};
}

Variant Link::OpenPath(const std::wstring& Path, int32_t State) {
    std::string file = forms::ToAnsi(Path);
    CallShell(nullptr, "Open", file.c_str(), "", kShellDirectory, State);
    return {};
}

// ---- properties

void Link::BackColor(int32_t c) {
    forms::UserControl::BackColor(c);
    Stored(L"BackColor");
}

void Link::Enabled(Boolean v) {
    forms::UserControl::Enabled(v);
    Stored(L"Enabled");
}

void Link::Font(std::shared_ptr<forms::StdFont> f) {
    if (!f) forms::Raise(forms::err::ObjectNotSet);
    forms::UserControl::Font(f->Clone());
    Stored(L"Font");
}

void Link::ForeColor(int32_t c) {
    forms::UserControl::ForeColor(c);
    Stored(L"ForeColor");
}

void Link::Caption(const std::wstring& v) {
    caption_ = v;
    Stored(L"Caption");
}

void Link::OverColor(int32_t v) {
    overColor_ = v;
    Stored(L"OverColor", false);
}

void Link::OverUnderline(Boolean v) {
    overUnderline_ = v;
    Stored(L"OverUnderline", false);
}

void Link::AutoSize(Boolean v) {
    autoSize_ = v;
    Stored(L"AutoSize");
}

void Link::ToolTip(const std::wstring& v) {
    toolTip_ = v;
    Stored(L"ToolTip", false);
}

void Link::ToolTipTitle(const std::wstring& v) {
    toolTipTitle_ = v;
    ShowToolTip();
    Stored(L"ToolTipTitle", false);
}

void Link::MaxWidth(int16_t v) {
    maxWidth_ = v;
    Stored(L"MaxWidth", false);
}

void Link::Picture(const forms::Picture& p) {
    P1.Picture(p);
    Stored(L"Picture");
}

void Link::DisabledPicture(const forms::Picture& p) {
    P2.Picture(p);
    Stored(L"DisabledPicture");
}

void Link::Stored(std::wstring_view name, bool redraw) {
    if (redraw) Redraw();
    PropertyChanged(name);
}

// ---- tooltip

cToolTips& Link::ToolTips() { return forms::OnFirstUse(tooltip_); }

void Link::ShowToolTip() { ToolTips().AddToolTip(hWnd(), toolTip_, toolTipTitle_); }

// ---- drawing

void Link::Redraw() {
    // Sizing the control inside a drawing draws again (the resize); that
    // drawing is the one that counts, at the new size.
    if (drawing_) {
        resizedWhileDrawing_ = true;
        return;
    }
    drawing_ = true;
    for (int pass = 0; pass < 3; ++pass) {
        resizedWhileDrawing_ = false;
        if (DrawOnce()) break;
    }
    drawing_ = false;
}

bool Link::DrawOnce() {
    PassOver([&] { Cls(); });
    PassOver([&] {
        if (forms::IsTrue(Enabled()) && Present(P1.Picture())) {
            current_ = P1.Picture();
        } else if (!forms::IsTrue(Enabled()) && Present(P2.Picture())) {
            current_ = P2.Picture();
        }
    });
    double picH = 0, picY = 0;
    PassOver([&] {
        picH = forms::RoundHalfEven(P1.Height());
        picY = ScaleHeight() / 2.0 - picH / 2.0;
    });
    double x = kTextLeftAlone;
    if (current_) {
        PassOver([&] {
            PaintPicture(current_, static_cast<float>(0), static_cast<float>(picY), static_cast<float>(picH),
                         static_cast<float>(picH));
        });
        x = picH + kTextAfterPicture;
    }
    float y = 0;
    PassOver([&] { y = static_cast<float>((ScaleHeight() - TextHeight(caption_)) / 2); });
    std::wstring text = caption_;

    bool cut = true;
    // The width the caption is cut to: the one given, not the control's
    // width as whole pixels make it (a caption exactly as wide as MaxWidth
    // stays whole).
    std::optional<double> width;
    if (forms::IsTrue(autoSize_)) {
        if (caption_.empty()) {
            cut = false;
        } else {
            PassOver([&] {
                double w = x + TextWidth(caption_);
                if (w < maxWidth_) {
                    Width(static_cast<float>(w));
                    if (!current_) Height(TextHeight(caption_));
                    cut = false;
                } else {
                    Width(maxWidth_);
                    width = maxWidth_;
                }
            });
            if (resizedWhileDrawing_) return false;
        }
    }
    if (cut) {
        PassOver([&] {
            const double w = width.value_or(Width());
            if (x + TextWidth(caption_) <= w) return;
            const double line = w - TextWidth(L".....");
            // At least one character stays; the whole caption always reaches the line.
            size_t n = 1;
            while (n < caption_.size() && x + forms::RoundHalfEven(TextWidth(caption_.substr(0, n))) < line) ++n;
            text = caption_.substr(0, n) + L"...";
        });
    }

    const int32_t colour = ForeColor();
    if (forms::IsTrue(Enabled())) {
        PassOver([&] {
            CurrentX = static_cast<float>(x);
            CurrentY = y;
        });
        PassOver([&] { Print(text); });
    } else {
        PassOver([&] { forms::UserControl::ForeColor(kDisabledText); });
        PassOver([&] {
            CurrentX = static_cast<float>(x);
            CurrentY = y;
        });
        PassOver([&] { Print(text); });
        PassOver([&] { forms::UserControl::ForeColor(colour); });
    }
    return true;
}

// ---- mouse

Boolean Link::IsMouseOver() { return graphics_.RgnHover(*this); }

void Link::UserControl_MouseMove(int16_t Button, int16_t Shift, float X, float Y) {
    if (MouseMove) MouseMove(Button, Shift, X, Y);
    bool over = false;
    if (forms::IsTrue(Enabled())) over = forms::IsTrue(IsMouseOver());
    PassOver([&] { forms::UserControl::ForeColor(over ? overColor_ : normalColor_); });
    if (forms::IsTrue(overUnderline_)) Font()->Underline(forms::ToBoolean(over));
    Redraw();
}

void Link::UserControl_MouseDown(int16_t Button, int16_t Shift, float X, float Y) {
    pressed_ = forms::True;
    if (MouseDown) MouseDown(Button, Shift, X, Y);
}

void Link::UserControl_MouseUp(int16_t Button, int16_t Shift, float X, float Y) {
    if (!forms::IsTrue(Enabled())) return;
    if (MouseUp) MouseUp(Button, Shift, X, Y);
    if (Button != forms::vbLeftButton) return;
    PassOver([&] { ReleaseCapture(); });
    if (forms::IsTrue(pressed_)) PassOver([&] {
            if (Click) Click();
        });
    pressed_ = forms::False;
    PassOver([&] { UserControl_MouseMove(Button, Shift, X, Y); });
    PassOver([&] { Refresh(); });
}

// ---- life

void Link::UserControl_Initialize() {
    // A control is made anew at each load of its form.
    pressed_ = forms::False;
    current_.Reset();
    normalColor_ = 0;
    tooltip_.reset();
    PassOver([&] {
        MousePointer(forms::vbCustom);
        MouseIcon(forms::LoadResPicture(kPointingHand, forms::resCursor));
    });
}

void Link::UserControl_InitProperties() {
    caption_.clear();
    overColor_ = 0;
    tipText_.clear();
    overUnderline_ = forms::True;
    autoSize_ = forms::False;
    toolTip_.clear();
    maxWidth_ = 0;
    toolTipTitle_.clear();
    P1.Picture(forms::Picture());
    P2.Picture(forms::Picture());
}

void Link::UserControl_ReadProperties(forms::PropertyBag& bag) {
    forms::UserControl::BackColor(bag.ReadProperty(L"BackColor", kDefaultBackColor).AsLong());
    forms::UserControl::Enabled(bag.ReadProperty(L"Enabled", Variant::FromBoolean(forms::True)).AsBoolean());
    auto font = FontOf(bag.ReadProperty(L"Font", Variant(forms::ObjectPtr(Ambient().Font))));
    forms::UserControl::Font(font ? font->Clone() : Ambient().Font);
    forms::UserControl::ForeColor(bag.ReadProperty(L"ForeColor", kDefaultForeColor).AsLong());
    caption_ = bag.ReadProperty(L"Caption", L"").AsString();
    overColor_ = bag.ReadProperty(L"OverColor", int32_t{0}).AsLong();
    tipText_ = bag.ReadProperty(L"TipText", L"").AsString();
    overUnderline_ = bag.ReadProperty(L"OverUnderline", int16_t{1}).AsBoolean();
    autoSize_ = bag.ReadProperty(L"AutoSize", Variant::FromBoolean(forms::False)).AsBoolean();
    toolTip_ = bag.ReadProperty(L"ToolTip", L"").AsString();
    maxWidth_ = bag.ReadProperty(L"MaxWidth", int16_t{0}).AsInteger();
    Picture(bag.ReadProperty(L"Picture", forms::Picture()).AsPicture());
    DisabledPicture(bag.ReadProperty(L"DisabledPicture", forms::Picture()).AsPicture());
    toolTipTitle_ = bag.ReadProperty(L"ToolTipTitle", L"").AsString();
}

void Link::UserControl_WriteProperties(forms::PropertyBag& bag) {
    bag.WriteProperty(L"BackColor", BackColor(), kDefaultBackColor);
    bag.WriteProperty(L"Enabled", Variant::FromBoolean(Enabled()), Variant::FromBoolean(forms::True));
    bag.WriteProperty(L"Font", Variant(forms::ObjectPtr(Font())), Variant(forms::ObjectPtr(Ambient().Font)));
    bag.WriteProperty(L"ForeColor", ForeColor(), kDefaultForeColor);
    bag.WriteProperty(L"Caption", caption_, L"");
    bag.WriteProperty(L"OverColor", overColor_, int32_t{0});
    bag.WriteProperty(L"TipText", tipText_, L"");
    // Against 1 while the value is -1 or 0: stored either way.
    bag.WriteProperty(L"OverUnderline", Variant::FromBoolean(overUnderline_), int16_t{1});
    bag.WriteProperty(L"AutoSize", Variant::FromBoolean(autoSize_), Variant::FromBoolean(forms::False));
    bag.WriteProperty(L"ToolTip", toolTip_, L"");
    bag.WriteProperty(L"MaxWidth", maxWidth_, int16_t{0});
    bag.WriteProperty(L"Picture", Picture(), forms::Picture());
    bag.WriteProperty(L"DisabledPicture", DisabledPicture(), forms::Picture());
    bag.WriteProperty(L"ToolTipTitle", toolTipTitle_, L"");
}

void Link::UserControl_Show() {
    if (!toolTip_.empty()) ShowToolTip();
    normalColor_ = ForeColor();
    Redraw();
}

void Link::UserControl_Resize() { Redraw(); }

void Link::UserControl_Terminate() { tooltip_.reset(); }

// ---- members by name

Variant Link::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"Caption")) return Caption();
    if (NameIs(n, L"OverColor")) return OverColor();
    if (NameIs(n, L"OverUnderline")) return Variant::FromBoolean(OverUnderline());
    if (NameIs(n, L"AutoSize")) return Variant::FromBoolean(AutoSize());
    if (NameIs(n, L"ToolTip")) return ToolTip();
    if (NameIs(n, L"ToolTipTitle")) return ToolTipTitle();
    if (NameIs(n, L"MaxWidth")) return MaxWidth();
    if (NameIs(n, L"Picture")) return Picture();
    if (NameIs(n, L"DisabledPicture")) return DisabledPicture();
    return forms::UserControl::GetProperty(n);
}

void Link::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"BackColor")) return BackColor(v.AsLong());
    if (NameIs(n, L"ForeColor")) return ForeColor(v.AsLong());
    if (NameIs(n, L"Caption")) return Caption(v.AsString());
    if (NameIs(n, L"OverColor")) return OverColor(v.AsLong());
    if (NameIs(n, L"OverUnderline")) return OverUnderline(v.AsBoolean());
    if (NameIs(n, L"AutoSize")) return AutoSize(v.AsBoolean());
    if (NameIs(n, L"ToolTip")) return ToolTip(v.AsString());
    if (NameIs(n, L"ToolTipTitle")) return ToolTipTitle(v.AsString());
    if (NameIs(n, L"MaxWidth")) return MaxWidth(v.AsInteger());
    if (NameIs(n, L"DisabledPicture")) return DisabledPicture(v.AsPicture());
    forms::UserControl::LetProperty(n, v);  // Enabled, Font and Picture reach this control's own
}

Variant Link::CallMethod(std::wstring_view n, const std::vector<Variant>& a) {
    if (NameIs(n, L"SendEmail")) return SendEmail(forms::ArgAt(a, 0).AsString());
    if (NameIs(n, L"OpenPath")) return OpenPath(forms::ArgAt(a, 0).AsString(), forms::ArgAt(a, 1).AsLong());
    return forms::UserControl::CallMethod(n, a);
}
