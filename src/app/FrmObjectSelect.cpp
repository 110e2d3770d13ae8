#include "app/FrmObjectSelect.h"

#include <cmath>

#include "app/FrmGeneral.h"
#include "app/FrmMain.h"
#include "app/FrmSelect.h"
#include "app/ModGeneral.h"
#include "forms/Error.h"
#include "forms/Runtime.h"
#include "res/resource_ids.h"

namespace app {

CFrmObjectSelect::CFrmObjectSelect() {
    BorderStyle(forms::vbBSNone);
    ShowInTaskbar = false;

    Pic.Visible(forms::False);
    Pic.BorderStyle(0);
    Pic.ScaleMode(forms::vbTwips);
    Pic.AutoSize(forms::False);
    Pic.AutoRedraw(forms::True);
    // A window partly off the screen has nothing frozen there: black.
    Pic.BackColor(0);

    Tm.Interval(10);
    Tm.Enabled(forms::False);
    Tm.Tick = [this] { Tm_Timer(); };

    Sh.Visible(forms::False);
    Sh.BorderColor(255);
    Sh.BorderWidth(2);

    KeyDown = [this](int16_t& k, int16_t s) { Form_KeyDown(k, s); };
    MouseUp = [this](int16_t b, int16_t s, float x, float y) { Form_MouseUp(b, s, x, y); };
}

HWND CFrmObjectSelect::Grid(int32_t Column, int32_t Row) const {
    if (Column < 0 || Column >= m_Columns || Row < 0 || Row >= m_Rows) forms::Raise(forms::err::Subscript);
    return m_Grid[static_cast<size_t>(Column) * m_Rows + Row];
}

void CFrmObjectSelect::Form_Load() {
    forms::PassOver([this] { Sh.Visible(forms::False); });
    forms::PassOver([this] {
        m_TwipsPerPixelX = forms::CLng(forms::Screen.TwipsPerPixelX());
        m_TwipsPerPixelY = forms::CLng(forms::Screen.TwipsPerPixelY());
    });
    m_GridStep = 20;
    forms::PassOver([this] {
        const int32_t c = forms::CLng(static_cast<double>(forms::Screen.Width()) / (m_TwipsPerPixelX * 20.0));
        const int32_t r = forms::CLng(static_cast<double>(forms::Screen.Height()) / (m_TwipsPerPixelY * 20.0));
        m_Grid.assign(static_cast<size_t>(c + 1) * (r + 1), nullptr);
        m_Columns = c + 1;
        m_Rows = r + 1;
    });
    for (int32_t i = 0; i < m_Columns; ++i) {
        for (int32_t j = 0; j < m_Rows; ++j) {
            m_Grid[static_cast<size_t>(i) * m_Rows + j] = WindowFromPoint(POINT{i * m_GridStep, j * m_GridStep});
            forms::DoEvents();
            forms::DoEvents();
        }
    }
    forms::PassOver([this] { MousePointer(forms::vbCustom); });
    forms::PassOver([this] { MouseIcon(forms::LoadResPicture(IDC_HAND_POINT, forms::resCursor)); });
    forms::PassOver([this] { Tm.Enabled(forms::True); });
}

void CFrmObjectSelect::Tm_Timer() {
    RECT r{0, 0, 0, 0};
    forms::PassOver([&] {
        POINT p{};
        if (!GetCursorPos(&p)) return;
        const auto col = static_cast<int32_t>(std::floor(static_cast<double>(p.x) / m_GridStep));
        const auto row = static_cast<int32_t>(std::floor(static_cast<double>(p.y) / m_GridStep));
        RECT found{};
        if (GetWindowRect(Grid(col, row), &found)) r = found;
    });
    forms::PassOver([&] {
        const float fx = forms::Screen.TwipsPerPixelX(), fy = forms::Screen.TwipsPerPixelY();
        Sh.Move(static_cast<float>(r.left) * fx, static_cast<float>(r.top) * fy,
                static_cast<float>(r.right - r.left) * fx, static_cast<float>(r.bottom - r.top) * fy);
    });
    forms::PassOver([this] { Sh.Visible(forms::True); });
}

void CFrmObjectSelect::Form_MouseUp(int16_t Button, int16_t, float, float) {
    if (Button == forms::vbLeftButton) forms::PassOver([this] { SaveObject(); });
    forms::PassOver([this] { Close(); });
}

void CFrmObjectSelect::Form_KeyDown(int16_t& KeyCode, int16_t) {
    if (KeyCode == VK_ESCAPE) forms::PassOver([this] { Close(); });
}

void CFrmObjectSelect::SaveObject() {
    CutOutToCanvas(Pic, Sh, Picture());
    forms::PassOver([] { FrmGeneral->DoSave(); });
}

void CFrmObjectSelect::Close() {
    if (FrmObjectSelect.Instance() == this)
        FrmObjectSelect.Release();
    else
        forms::Unload(*this);
}

void CFrmObjectSelect::Form_Unload(int16_t&) {
    ModGeneral::g_ObjectSelecting = forms::False;
    // Tray clicks waited for the overlay to close.
    if (FrmMain.Loaded()) FrmMain->CaptureEnded();
}

}  // namespace app
