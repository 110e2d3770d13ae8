#include "app/FrmSelect.h"

#include "app/FrmGeneral.h"
#include "app/FrmMain.h"
#include "app/ModGeneral.h"
#include "controls/cGraphics.h"
#include "forms/Error.h"
#include "forms/Runtime.h"

namespace app {

namespace {
// The band's size is judged and shown in screen pixels, at any scaling.
float UnitX() { return forms::Screen.TwipsPerPixelX(); }
float UnitY() { return forms::Screen.TwipsPerPixelY(); }
constexpr int32_t kOrange = 0x0080FF;
constexpr int32_t kPanelGrey = 0x4E4E4E;
}  // namespace

CFrmSelect::CFrmSelect() {
    BorderStyle(forms::vbBSNone);
    ShowInTaskbar = false;
    MousePointer(forms::vbCrosshair);
    KeyPreview(forms::True);

    Btn.Visible(forms::False);
    Btn.Click = [this] { Btn_Click(); };
    Btn.MouseMove = [this](int16_t b, int16_t s, float x, float y) { Btn_MouseMove(b, s, x, y); };

    Pic.Visible(forms::False);
    Pic.BorderStyle(0);
    Pic.ScaleMode(forms::vbTwips);
    Pic.AutoSize(forms::False);
    Pic.AutoRedraw(forms::True);

    BtnOld.Visible(forms::False);

    Tm.Interval(10);
    Tm.Enabled(forms::True);
    Tm.Tick = [this] { Tm_Timer(); };

    Panel.BorderStyle(0);
    Panel.BackColor(kPanelGrey);
    Panel.ForeColor(0xFFFFFF);
    Panel.Font(std::make_shared<forms::StdFont>(L"Verdana", 8.25f));
    // Drawn into its persistent image so that the 10 ms refresh does not flicker.
    Panel.AutoRedraw(forms::True);
    Panel.Move(0, 0, 6900, 375);
    Panel.Click = [this] { Panel_Click(); };
    Panel.MouseMove = [this](int16_t b, int16_t s, float x, float y) { Panel_MouseMove(b, s, x, y); };

    forms::PropertyBag line;
    line.WriteProperty(L"StartColor", kPanelGrey);
    line.WriteProperty(L"EndColor", kOrange);
    line.WriteProperty(L"GType", 1);
    Ln1.DesignProperties(line);
    Ln1.Move(0, 330, 6900, 45);
    // The rule is the panel's to the mouse: reaching it moves the panel away
    // like reaching the panel does, instead of swallowing the press.
    Ln1.Enabled(forms::False);

    Sh.Visible(forms::False);
    Sh.BorderColor(0);
    Sh.BorderStyle(forms::vbBSDot);

    KeyDown = [this](int16_t& k, int16_t s) { Form_KeyDown(k, s); };
    MouseDown = [this](int16_t b, int16_t s, float x, float y) { Form_MouseDown(b, s, x, y); };
    MouseMove = [this](int16_t b, int16_t s, float x, float y) { Form_MouseMove(b, s, x, y); };
    MouseUp = [this](int16_t b, int16_t s, float x, float y) { Form_MouseUp(b, s, x, y); };
}

CFrmSelect::~CFrmSelect() = default;

cGraphics& CFrmSelect::Graphics() { return forms::OnFirstUse(m_Graphics); }

void CFrmSelect::Form_Load() {
    // The instance outlives an unload: a drag cut short by a cancel, or the
    // small red band, must not come back with the next opening.
    m_Dragging = forms::False;
    Sh.Visible(forms::False);
    int32_t top = 0;
    SetPanel(top);
}

void CFrmSelect::SetPanel(int32_t& Pos) {
    const auto screenWidth = static_cast<float>(forms::Screen.Width());
    if (Pos != 0) {
        Panel.Move(0, Height() - Panel.Height(), screenWidth);
        Ln1.Move(0, 0, Panel.Width());
        m_PanelAtBottom = 1;
    } else {
        Panel.Move(0, 0, screenWidth);
        Ln1.Move(0, Panel.Height() - Ln1.Height(), Panel.Width());
        m_PanelAtBottom = 0;
    }
}

void CFrmSelect::Panel_MouseMove(int16_t, int16_t, float, float) {
    int32_t pos = m_PanelAtBottom == 0 ? 1 : 0;
    SetPanel(pos);
}

void CFrmSelect::Panel_Click() { forms::Unload(*this); }

void CFrmSelect::Form_KeyDown(int16_t& KeyCode, int16_t) {
    if (KeyCode == VK_ESCAPE) forms::Unload(*this);
}

void CFrmSelect::Form_MouseDown(int16_t Button, int16_t, float X, float Y) {
    if (Button != forms::vbLeftButton) {
        forms::PassOver([this] { forms::Unload(*this); });
        return;
    }
    m_Dragging = forms::True;
    forms::PassOver([this] { Sh.Move(0, 0, 0, 0); });
    forms::PassOver([this] { Sh.BorderColor(0); });
    forms::PassOver([&] { m_StartX = forms::CLng(X); });
    forms::PassOver([&] { m_StartY = forms::CLng(Y); });
}

void CFrmSelect::Form_MouseMove(int16_t, int16_t, float X, float Y) {
    forms::PassOver([this] { MousePointer(forms::vbCrosshair); });
    if (!forms::IsTrue(m_Dragging)) return;
    const float startX = static_cast<float>(m_StartX), startY = static_cast<float>(m_StartY);
    const float left = X >= startX ? startX : X, width = X >= startX ? X - startX : startX - X;
    const float top = Y >= startY ? startY : Y, height = Y >= startY ? Y - startY : startY - Y;
    forms::PassOver([&] { Sh.Move(left, top, width, height); });
    forms::PassOver([this] { Sh.Visible(forms::True); });
}

void CFrmSelect::Form_MouseUp(int16_t Button, int16_t, float, float) {
    if (Button != forms::vbLeftButton) return;
    m_Dragging = forms::False;
    Sh.BorderColor(255);
    const float w = Sh.Width() / UnitX(), h = Sh.Height() / UnitY();
    // A band with no area has nothing to capture, however long its other side.
    if ((w > 1 || h > 1) && w > 0 && h > 0) {
        SaveRegion();
        forms::Unload(*this);
    }
}

void CutOutToCanvas(forms::PictureBox& Work, const forms::Shape& Band, const forms::Picture& Frozen) {
    const float left = Band.Left(), top = Band.Top(), width = Band.Width(), height = Band.Height();
    forms::PassOver([&] { Work.Move(0, 0, width, height); });
    forms::PassOver([&] { FrmMain->Pic.Move(0, 0, width, height); });
    forms::PassOver([&] { Work.PaintPicture(Frozen, 0, 0, width, height, left, top, width, height, SRCCOPY); });
    forms::PassOver([&] { FrmMain->Pic.Picture(Work.Image()); });
}

void CFrmSelect::SaveRegion() {
    CutOutToCanvas(Pic, Sh, Picture());
    forms::PassOver([this] { Hide(); });
    forms::PassOver([] { FrmGeneral->DoSave(); });
}

void CFrmSelect::Tm_Timer() {
    forms::PassOver([this] { Panel.Cls(); });
    Panel.CurrentX = 135;
    Panel.CurrentY = m_PanelAtBottom != 0 ? 110.0f : 70.0f;
    int32_t x = 0, y = 0;
    forms::PassOver([&] { x = Graphics().GetCurPos(0); });
    forms::PassOver([&] { y = Graphics().GetCurPos(1); });
    std::wstring text = L"X= " + std::to_wstring(x) + L"  Y= " + std::to_wstring(y);
    if (forms::IsTrue(m_Dragging))
        text += L"  Width= " + forms::SingleText(Sh.Width() / UnitX()) + L" Height= " +
                forms::SingleText(Sh.Height() / UnitY());
    forms::PassOver([&] { Panel.Print(text); });
}

void CFrmSelect::Btn_Click() {}

void CFrmSelect::Btn_MouseMove(int16_t, int16_t, float, float) { MousePointer(forms::vbDefault); }

void CFrmSelect::Form_Unload(int16_t&) {
    ModGeneral::g_RegionSelecting = forms::False;
    // Tray clicks waited for the overlay to close.
    if (FrmMain.Loaded()) FrmMain->CaptureEnded();
}

}  // namespace app
