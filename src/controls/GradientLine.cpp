#include "controls/GradientLine.h"

#include "forms/Error.h"

using forms::PassOver;

namespace {
constexpr int32_t kWhite = 0xFFFFFF;
}

GradientLine::GradientLine(forms::Window* container, std::wstring name)
    : forms::UserControl(container, std::move(name)) {
    // The pieces keep their gradient when uncovered: it is drawn only on
    // changes, never in a paint handler.
    for (forms::PictureBox* p : {&Pic1, &Pic2}) {
        p->BorderStyle(0);
        p->AutoRedraw(forms::True);
    }
}

void GradientLine::Let(int32_t& field, int32_t v, const wchar_t* name) {
    field = v;
    Draw();
    PropertyChanged(name);
}

void GradientLine::StartColor(int32_t v) { Let(m_StartColor, v, L"StartColor"); }
void GradientLine::EndColor(int32_t v) { Let(m_EndColor, v, L"EndColor"); }
void GradientLine::GType(int32_t v) { Let(m_GType, v, L"GType"); }
void GradientLine::Orientation(int32_t v) { Let(m_Orientation, v, L"Orientation"); }

void GradientLine::Draw() {
    m_Graphics = std::make_unique<cGraphics>();
    cGraphics& g = *m_Graphics;
    PassOver([&] { Pic1.Cls(); });
    PassOver([&] { Pic2.Cls(); });
    const float w = Width(), h = Height();
    if (m_GType == 0) {
        PassOver([&] { Pic2.Visible(forms::False); });
        PassOver([&] { Pic1.Move(0, 0, w, h); });
        PassOver([&] { g.DrawGradient(Pic1, m_StartColor, m_EndColor, m_Orientation == 0 ? 1 : 0); });
        return;
    }
    PassOver([&] { Pic2.Visible(forms::True); });
    // The second piece overlaps the first by 5 twips and overshoots the far
    // edge by 10, measured from the first piece's size as it came out.
    if (m_Orientation == 0) {
        PassOver([&] { Pic1.Move(0, 0, w / 5, h); });
        PassOver([&] { g.DrawGradient(Pic1, m_StartColor, m_EndColor, 1); });
        PassOver([&] { Pic2.Move(Pic1.Width() - 5, 0, w - Pic1.Width() + 15, h); });
        PassOver([&] { g.DrawGradient(Pic2, m_EndColor, m_StartColor, 1); });
    } else {
        PassOver([&] { Pic1.Move(0, 0, w, h / 5); });
        PassOver([&] { Pic2.Move(0, Pic1.Height() - 5, w, h - Pic1.Height() + 15); });
        PassOver([&] { g.DrawGradient(Pic1, m_StartColor, m_EndColor, 0); });
        PassOver([&] { g.DrawGradient(Pic2, m_EndColor, m_StartColor, 0); });
    }
}

void GradientLine::UserControl_InitProperties() {
    m_StartColor = kWhite;
    m_EndColor = kWhite;
    m_GType = 0;
    m_Orientation = 0;
}

void GradientLine::UserControl_ReadProperties(forms::PropertyBag& bag) {
    m_StartColor = bag.ReadProperty(L"StartColor", kWhite).AsLong();
    m_EndColor = bag.ReadProperty(L"EndColor", kWhite).AsLong();
    m_GType = bag.ReadProperty(L"GType", int32_t{0}).AsLong();
    m_Orientation = bag.ReadProperty(L"Orientation", int32_t{0}).AsLong();
}

void GradientLine::UserControl_WriteProperties(forms::PropertyBag& bag) {
    bag.WriteProperty(L"StartColor", m_StartColor, kWhite);
    bag.WriteProperty(L"EndColor", m_EndColor, kWhite);
    bag.WriteProperty(L"GType", m_GType, int32_t{0});
    bag.WriteProperty(L"Orientation", m_Orientation, int32_t{0});
}

void GradientLine::UserControl_Resize() { Draw(); }
void GradientLine::UserControl_Show() { UserControl_Resize(); }
