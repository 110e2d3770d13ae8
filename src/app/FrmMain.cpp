#include "app/FrmMain.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/FrmAbout.h"
#include "app/FrmExport.h"
#include "app/FrmGeneral.h"
#include "app/FrmObjectSelect.h"
#include "app/FrmSave.h"
#include "app/FrmSelect.h"
#include "app/FrmTemp.h"
#include "app/ModGeneral.h"
#include "app/ModPreventCrash.h"
#include "app/Skin.h"
#include "app/cTray.h"
#include "controls/cGraphics.h"
#include "forms/Error.h"
#include "forms/Runtime.h"
#include "res/resource_ids.h"
#include "support/cFilesFolders.h"
#include "support/cPressedKey.h"

namespace app {

namespace {
constexpr float kPageWidth = Skin::PageWidth, kPageHeight = Skin::PageHeight;
constexpr int32_t kHiddenFrame = 0x3B96FF;
}  // namespace

CFrmMain::CFrmMain() {
    Caption(L"Quorvane Capture 1.0");
    BorderStyle(forms::vbFixedSingle);
    MinButton = true;
    StartUpPosition(forms::vbStartUpScreen);
    ClientSize(Skin::StripWidth + kPageWidth, kPageHeight);
    forms::PassOver([this] { Icon(forms::LoadResPicture(IDI_APP, forms::resIcon)); });

    PicPanel.BorderStyle(0);
    PicPanel.Move(0, 0, Skin::StripWidth, Skin::PageHeight);
    PicPanel.BackColor(Skin::StripColour);

    BtnHover* buttons[] = {&BtnHover1, &BtnHover2, &BtnHover3, &BtnHover4};
    forms::Label* labels[] = {&LblPage1, &LblPage2, &LblPage3, &LblPage4};
    const wchar_t* names[] = {L"Profiles", L"Settings", L"Options", L"About"};
    for (int i = 0; i < 4; ++i) {
        float top = Skin::NavTop + i * Skin::NavStep;
        Skin::ImageButton(*buttons[i], Skin::PageButton(i, false), Skin::PageButton(i, true), names[i], kHiddenFrame,
                          Skin::NavLeft, top, Skin::NavSize, Skin::NavSize, 2);
        Skin::Caption(*labels[i], names[i], 0, top + Skin::NavSize + 15, Skin::StripWidth, 0xFFFFFF, 8, true);
        labels[i]->Alignment(2);
    }
    BtnHover1.Click = [this] { BtnHover1_Click(); };
    BtnHover2.Click = [this] { BtnHover2_Click(); };
    BtnHover3.Click = [this] { BtnHover3_Click(); };
    BtnHover4.Click = [this] { BtnHover4_Click(); };

    for (forms::PictureBox* p : {&P1, &P2, &P3, &P4}) {
        p->BorderStyle(0);
        p->Visible(forms::False);
    }

    Pic.Visible(forms::False);
    Pic.AutoSize(forms::True);
    Pic.AutoRedraw(forms::True);
    Pic.ScaleMode(forms::vbPixels);
    Pic.BorderStyle(0);

    Tm.Interval(10);
    Tm.Enabled(forms::False);
    Tm.Tick = [this] { Tm_Timer(); };
    TmBusy.Interval(10);
    TmBusy.Enabled(forms::False);
    TmBusy.Tick = [this] { TmBusy_Timer(); };

    Mnu_File.Visible = forms::False;
    Mnu_Select.Visible = forms::False;
    Mnu_File_Profiles.Click = [this] { Mnu_File_Profiles_Click(); };
    Mnu_File_Input.Click = [this] { Mnu_File_Input_Click(); };
    Mnu_File_Output.Click = [this] { Mnu_File_Output_Click(); };
    Mnu_File_ImagesFolder.Click = [this] { Mnu_File_ImagesFolder_Click(); };
    Mnu_File_About.Click = [this] { Mnu_File_About_Click(); };
    Mnu_File_Exit.Click = [this] { Mnu_File_Exit_Click(); };

    MouseMove = [this](int16_t, int16_t, float X, float) { TrayCallback(X); };
}

CFrmMain::~CFrmMain() = default;

cTray& CFrmMain::Tray() { return forms::OnFirstUse(m_Tray); }
cPressedKey& CFrmMain::PressedKey() { return forms::OnFirstUse(m_PressedKey); }
cGraphics& CFrmMain::Graphics() { return forms::OnFirstUse(m_Graphics); }
cFilesFolders& CFrmMain::FilesFolders() { return forms::OnFirstUse(m_FilesFolders); }

void CFrmMain::Form_Initialize() {
    InitCommonControls();
    if (forms::App.PrevInstance() == forms::True) {
        forms::MsgBox(L"Can,t open another copy of Quorvane Capture", forms::vbExclamation, L"Quorvane Capture");
        forms::End();
    }
}

void CFrmMain::Form_Load() {
    for (forms::PictureBox* p : {&P1, &P2, &P3, &P4})
        forms::PassOver([&] { p->Move(PicPanel.Width(), 0, kPageWidth, kPageHeight); });
    forms::PassOver([this] { Graphics().MoveLayer(FrmGeneral->Pic, P1, 0, 0); });
    forms::PassOver([this] { Graphics().MoveLayer(FrmTemp->Pic, P2, 0, 0); });
    forms::PassOver([this] { Graphics().MoveLayer(FrmSave->Pic, P3, 0, 0); });
    forms::PassOver([this] { Graphics().MoveLayer(FrmAbout->Controls()[L"Pic"], P4, 0, 0); });
    forms::PassOver([this] { P1.Refresh(); });
    forms::PassOver([this] { SelectPanel(1); });
    forms::PassOver([this] { Tm.Enabled(forms::True); });
}

void CFrmMain::SelectPanel(int16_t Index) {
    forms::PictureBox* pages[] = {&P1, &P2, &P3, &P4};
    BtnHover* buttons[] = {&BtnHover1, &BtnHover2, &BtnHover3, &BtnHover4};
    if (Index != m_Page) {
        for (auto* p : pages) p->Visible(forms::False);
        for (auto* b : buttons) b->Selected(forms::False);
        if (Index >= 1 && Index <= 4) {
            pages[Index - 1]->Visible(forms::True);
            buttons[Index - 1]->Selected(forms::True);
        }
    }
    m_Page = Index;
}

void CFrmMain::BtnHover1_Click() { SelectPanel(1); }
void CFrmMain::BtnHover2_Click() { SelectPanel(2); }
void CFrmMain::BtnHover3_Click() { SelectPanel(3); }
void CFrmMain::BtnHover4_Click() { SelectPanel(4); }

void CFrmMain::Tm_Timer() {
    // One capture at a time: the busy poll watches the hotkey meanwhile.
    if (Capturing()) return;
    using namespace ModGeneral;
    try {
        // The key that was down after the last hotkey capture must go up first.
        if (PressedKey().IsPressed(g_LastKey) == forms::True) return;
        if (FrmGeneral->CanCapture() != forms::True) return;
        if (Visible() == forms::True) return;
        // Keys typed into the preview or its save dialog are theirs.
        if (PreviewInFront()) return;
    } catch (const std::exception&) {
        return;
    }
    g_CapturedByHotkey = forms::True;
    forms::PassOver([] { FrmGeneral->DoCapture(); });
    forms::PassOver([this] { g_LastKey = HotkeyKeyDown(); });
}

int32_t CFrmMain::HotkeyKeyDown() {
    HotKey& field = FrmSave->HKey;
    const int32_t m = field.HotKeyModifier();
    std::vector<int32_t> keys{field.GetHotKey()};
    // The mask names modifiers only where the hotkey test heeds them.
    if (m >= 1 && m <= 7) {
        if (m & 1) keys.push_back(VK_SHIFT);
        if (m & 2) keys.push_back(VK_CONTROL);
        if (m & 4) keys.push_back(VK_MENU);
    }
    std::sort(keys.begin(), keys.end());
    for (int32_t k : keys)
        if (PressedKey().IsPressed(k) == forms::True) return k;
    return 0;
}

bool CFrmMain::PreviewInFront() {
    if (!FrmExport.Loaded()) return false;
    const HWND preview = FrmExport->hWnd();
    // The save dialog is owned by the preview, its boxes by the dialog.
    for (HWND h = GetForegroundWindow(); h; h = GetWindow(h, GW_OWNER))
        if (h == preview) return true;
    return false;
}

void CFrmMain::HideForm() {
    Visible(forms::False);
    Tray().AddToTray(*this, Icon(), Caption());
}

void CFrmMain::ShowForm() {
    forms::PassOver([this] { Show(); });
}

void CFrmMain::TrayCallback(float X) {
    forms::PassOver([&] {
        auto message = static_cast<int32_t>(forms::RoundHalfEven(X / forms::Screen.TwipsPerPixelX()));
        if (message != WM_LBUTTONDBLCLK && message != WM_RBUTTONUP) return;
        if (Capturing()) {
            // Served once it has ended: a menu or a restore now would act in
            // its middle (Exit would end it unreported), or under an overlay.
            m_TrayWaiting = message;
            return;
        }
        if (message == WM_LBUTTONDBLCLK) {
            WindowState(forms::vbNormal);
            SetForegroundWindow(hWnd());
            ShowForm();
        } else {
            SetForegroundWindow(hWnd());
            PopupMenu(Mnu_File);
        }
    });
}

CFrmMain::CaptureUnderWay::CaptureUnderWay() : m_Main(*FrmMain) {
    if (m_Main.m_Captures++ == 0) forms::PassOver([this] { m_Main.TmBusy.Enabled(forms::True); });
}

CFrmMain::CaptureUnderWay::~CaptureUnderWay() {
    if (--m_Main.m_Captures > 0) return;
    forms::PassOver([this] { m_Main.TmBusy.Enabled(forms::False); });
    m_Main.CaptureEnded();
}

bool CFrmMain::Capturing() const {
    if (m_Captures > 0) return true;
    // Shown, not merely loaded: an overlay that failed to show must not
    // keep the tray waiting for a close that never comes.
    auto shown = [](forms::Form* overlay) { return overlay && overlay->Loaded() && IsWindowVisible(overlay->hWnd()); };
    return shown(FrmSelect.Instance()) || shown(FrmObjectSelect.Instance());
}

void CFrmMain::CaptureEnded() {
    if (m_Captures > 0) return;
    // Through the queue again, as if the icon had been clicked now; it is
    // kept again should an overlay still be open by then.
    if (int32_t message = std::exchange(m_TrayWaiting, 0))
        PostMessageW(hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(message, 0));
}

void CFrmMain::TmBusy_Timer() {
    // A report box is open inside the capture: a capture started now would
    // run inside one that has not ended, on the same canvas. The press brings
    // the report to the front instead, where it cannot be missed.
    HWND box = forms::ShownMsgBox();
    if (!box || Visible() == forms::True) return;
    if (FrmGeneral->CanCapture() != forms::True) return;
    SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(box);
}

void CFrmMain::Mnu_File_Profiles_Click() {
    BtnHover1_Click();
    ShowForm();
}
void CFrmMain::Mnu_File_Input_Click() {
    BtnHover2_Click();
    ShowForm();
}
void CFrmMain::Mnu_File_Output_Click() {
    BtnHover3_Click();
    ShowForm();
}
void CFrmMain::Mnu_File_About_Click() {
    BtnHover4_Click();
    ShowForm();
}

void CFrmMain::Mnu_File_ImagesFolder_Click() {
    forms::PassOver([this] { FilesFolders().OpenFileFolder(*this, FrmSave->TxtPath.Text()); });
}

void CFrmMain::Mnu_File_Exit_Click() {
    Tray().RemoveFromTray();
    m_Exit = forms::True;
    forms::Unload(FrmGeneral);
    forms::Unload(FrmSave);
    forms::Unload(*this);
}

LRESULT CFrmMain::WndProc(UINT m, WPARAM w, LPARAM l) {
    // The session ends: the settings are kept and the icon goes, as at Exit.
    if (m == WM_ENDSESSION && w) forms::PassOver([this] { Mnu_File_Exit_Click(); });
    return Form::WndProc(m, w, l);
}

void CFrmMain::Form_Unload(int16_t& Cancel) {
    if (m_Exit != forms::True) {
        // Closing only hides the window behind its tray icon.
        Cancel = forms::True;
        HideForm();
        return;
    }
    forms::Unload(FrmGeneral);
    forms::Unload(FrmObjectSelect);
    forms::Unload(FrmSave);
    forms::Unload(FrmSelect);
    forms::Unload(FrmExport);
    forms::Unload(FrmAbout);
    ModPreventCrash::PreventCrashOnExit();
    forms::End();
}

}  // namespace app
