#include "controls/BtnHover.h"

#include "forms/Error.h"
#include "forms/Surface.h"

using forms::PassOver;

namespace {
constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000F);
constexpr int16_t kPointingHand = 1;
}  // namespace

BtnHover::BtnHover(forms::Window* container, std::wstring name) : forms::UserControl(container, std::move(name)) {
    Pic.Move(90, 90, 1680, 870);
    Pic.BorderStyle(0);
    Pic.ScaleMode(forms::vbPixels);
    // The face keeps what is painted on it: it is painted only on events.
    Pic.AutoRedraw(forms::True);
    for (forms::PictureBox* holder : {&Normal, &Over}) {
        holder->Visible(forms::False);
        holder->AutoSize(forms::True);
        holder->BorderStyle(0);
    }
    // The hand shows over the face too, which covers the whole control.
    PassOver([&] {
        forms::Picture hand = forms::LoadResPicture(kPointingHand, forms::resCursor);
        for (forms::Window* w : {static_cast<forms::Window*>(this), static_cast<forms::Window*>(&Pic)}) {
            w->MousePointer(forms::vbCustom);
            w->MouseIcon(hand);
        }
    });

    Pic.MouseDown = [this](int16_t Button, int16_t, float, float) { m_LastButton = Button; };
    Pic.Click = [this] {
        if (m_LastButton == forms::vbLeftButton && Click) Click();
    };
    Pic.MouseMove = [this](int16_t, int16_t, float, float) {
        if (forms::IsTrue(m_Selected)) return;
        if (forms::IsTrue(Hover()))
            PaintLook(Over, m_FrameOverColor, 1);
        else
            PaintLook(Normal, m_FrameColor, 1);
    };
}

cGraphics& BtnHover::Graphics() { return forms::OnFirstUse(m_Graphics); }

forms::Boolean BtnHover::Hover() { return Graphics().RgnHover(Pic); }

void BtnHover::PaintLook(forms::PictureBox& source, int32_t frameColour, int16_t penWidth) {
    PassOver([&] { Pic.PaintPicture(source.Picture(), m_PicLeft, m_PicTop); });
    PassOver([&] { Graphics().DrawTransRectangle(Pic, frameColour, penWidth); });
    // Without a picture nothing above has marked the face for repainting.
    PassOver([&] { Pic.Refresh(); });
}

void BtnHover::DrawButton() {
    PassOver([&] {
        if (forms::IsTrue(m_AutoSize)) {
            Width(Normal.Width());
            Height(Normal.Height());
        }
    });
    // Sized to its picture or not, the face fills the control.
    PassOver([&] { Pic.Move(0, 0, Width(), Height()); });
    PassOver([&] { Pic.Cls(); });
    if (forms::IsTrue(m_Selected))
        PaintLook(Over, m_FrameOverColor, 2);
    else
        PaintLook(Normal, m_FrameColor, 1);
}

void BtnHover::BackColor(int32_t v) {
    Pic.BackColor(v);
    DrawButton();
    PropertyChanged(L"BackColor");
}

void BtnHover::NormalPic(const forms::Picture& p) {
    Normal.Picture(p);
    DrawButton();
    PropertyChanged(L"NormalPic");
}

void BtnHover::OverPic(const forms::Picture& p) {
    Over.Picture(p);
    DrawButton();
    PropertyChanged(L"OverPic");
}

void BtnHover::AutoSize(forms::Boolean v) {
    m_AutoSize = v;
    if (forms::IsTrue(v)) {
        PassOver([&] {
            Width(Normal.Width());
            Height(Normal.Height());
        });
    }
    Pic.AutoSize(v);
    DrawButton();
    PropertyChanged(L"AutoSize");
}

void BtnHover::ToolTips(const std::wstring& v) {
    m_ToolTips = v;
    PropertyChanged(L"ToolTips");
}

void BtnHover::FrameColor(int32_t v) { Let(m_FrameColor, v, L"FrameColor"); }
void BtnHover::FrameOverColor(int32_t v) { Let(m_FrameOverColor, v, L"FrameOverColor"); }
void BtnHover::Selected(forms::Boolean v) { Let(m_Selected, v, L"Selected"); }
void BtnHover::PicTop(int16_t v) { Let(m_PicTop, v, L"PicTop"); }
void BtnHover::PicLeft(int16_t v) { Let(m_PicLeft, v, L"PicLeft"); }

void BtnHover::UserControl_InitProperties() {
    m_AutoSize = forms::False;
    m_ToolTips.clear();
    m_FrameColor = 0;
    m_FrameOverColor = 0;
    m_PicTop = 0;
    m_PicLeft = 0;
    m_Selected = forms::False;
}

void BtnHover::UserControl_ReadProperties(forms::PropertyBag& bag) {
    Pic.BackColor(bag.ReadProperty(L"BackColor", kButtonFace).AsLong());
    NormalPic(bag.ReadProperty(L"NormalPic", forms::Picture()).AsPicture());
    OverPic(bag.ReadProperty(L"OverPic", forms::Picture()).AsPicture());
    m_AutoSize = bag.ReadProperty(L"AutoSize", forms::Variant::FromBoolean(forms::False)).AsBoolean();
    m_ToolTips = bag.ReadProperty(L"ToolTips", L"").AsString();
    m_FrameColor = bag.ReadProperty(L"FrameColor", int32_t{0}).AsLong();
    m_FrameOverColor = bag.ReadProperty(L"FrameOverColor", int32_t{0}).AsLong();
    m_Selected = bag.ReadProperty(L"Selected", forms::Variant::FromBoolean(forms::False)).AsBoolean();
    m_PicTop = bag.ReadProperty(L"PicTop", int16_t{0}).AsInteger();
    m_PicLeft = bag.ReadProperty(L"PicLeft", int16_t{0}).AsInteger();
}

void BtnHover::UserControl_WriteProperties(forms::PropertyBag& bag) {
    bag.WriteProperty(L"BackColor", Pic.BackColor(), kButtonFace);
    bag.WriteProperty(L"NormalPic", Normal.Picture(), forms::Picture());
    bag.WriteProperty(L"OverPic", Over.Picture(), forms::Picture());
    bag.WriteProperty(L"AutoSize", forms::Variant::FromBoolean(m_AutoSize), forms::Variant::FromBoolean(forms::False));
    bag.WriteProperty(L"ToolTips", m_ToolTips, L"");
    bag.WriteProperty(L"FrameColor", m_FrameColor, int32_t{0});
    bag.WriteProperty(L"FrameOverColor", m_FrameOverColor, int32_t{0});
    bag.WriteProperty(L"Selected", forms::Variant::FromBoolean(m_Selected), forms::Variant::FromBoolean(forms::False));
    bag.WriteProperty(L"PicTop", m_PicTop, int16_t{0});
    bag.WriteProperty(L"PicLeft", m_PicLeft, int16_t{0});
}

void BtnHover::UserControl_Resize() { DrawButton(); }
void BtnHover::UserControl_Show() { DrawButton(); }
