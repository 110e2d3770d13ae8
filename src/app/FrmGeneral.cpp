#include "app/FrmGeneral.h"

#include "app/FrmMain.h"
#include "app/FrmObjectSelect.h"
#include "app/FrmSave.h"
#include "app/FrmSelect.h"
#include "app/FrmTemp.h"
#include "app/ModGeneral.h"
#include "app/Skin.h"
#include "capture/cCapture.h"
#include "controls/cGraphics.h"
#include "forms/Error.h"
#include "forms/Runtime.h"
#include "support/Settings.h"
#include "support/cIniSettings.h"
#include "support/cPressedKey.h"

namespace app {

using forms::PassOver;
using namespace ModGeneral;

CFrmGeneral::CFrmGeneral() {
    Caption(L"Profiles");
    BorderStyle(forms::vbBSNone);
    ShowInTaskbar = false;
    ClientSize(Skin::PageWidth, Skin::PageHeight + 900);

    Skin::PagePanel(Pic);
    Skin::Heading(LblTitle, L"Capture Profiles");
    Skin::Caption(LblModes, L"Choose what to capture:", 420, 1020, 6000);

    BtnHover* modes[] = {&BtnFullScreen, &BtnActiveWindow, &BtnRegion, &BtnObject};
    forms::Label* labels[] = {&LblFullScreen, &LblActiveWindow, &LblRegion, &LblObject};
    const wchar_t* names[] = {L"Full Screen", L"Active Window", L"Region", L"Object"};
    for (int i = 0; i < 4; ++i) {
        float left = 540 + i * 1560;
        Skin::ImageButton(*modes[i], Skin::ModeButton(i, false), Skin::ModeButton(i, true), names[i],
                          Skin::PageColour, left, 1440, Skin::ModeSize, Skin::ModeSize);
        Skin::Caption(*labels[i], names[i], left - 240, 1440 + Skin::ModeSize + 90, Skin::ModeSize + 480);
        labels[i]->Alignment(2);
    }
    Skin::Caption(LblHint, L"While this window is hidden, the hotkey set on the Options page takes a capture.",
                  420, 3240, 6100);
    LblHint.WordWrap(forms::True);
    LblHint.Height(540);

    const wchar_t* actions[] = {L"Capture now", L"Hide to the notification area", L"Exit"};
    BtnHover* acts[] = {&BtnCap, &BtnMin, &BtnEx};
    const float lefts[] = {420, Skin::PageWidth - 420 - 2 * Skin::ActionSize - 180, Skin::PageWidth - 420 - Skin::ActionSize};
    for (int i = 0; i < 3; ++i)
        Skin::ImageButton(*acts[i], Skin::ActionButton(i, false), Skin::ActionButton(i, true), actions[i],
                          Skin::PageColour, lefts[i], 4320, Skin::ActionSize, Skin::ActionSize);
    Skin::Caption(LblCap, L"Capture", 420 + Skin::ActionSize + 150, 4320 + 200, 2000, Skin::HeadingColour, 11, true);

    // Out of sight below the page: they only carry their events.
    BtnCapture.Move(0, Skin::PageHeight + 60, 1200, 360);
    BtnMinimize.Move(1320, Skin::PageHeight + 60, 1200, 360);
    TmFastCapture.Interval(100);
    TmFastCapture.Enabled(forms::False);

    BtnFullScreen.Click = [this] { BtnFullScreen_Click(); };
    BtnActiveWindow.Click = [this] { BtnActiveWindow_Click(); };
    BtnRegion.Click = [this] { BtnRegion_Click(); };
    BtnObject.Click = [this] { BtnObject_Click(); };
    BtnCap.Click = [this] { BtnCap_Click(); };
    BtnMin.Click = [this] { BtnMin_Click(); };
    BtnEx.Click = [this] { BtnEx_Click(); };
    BtnCapture.Click = [this] { BtnCapture_Click(); };
    BtnMinimize.Click = [this] { BtnMinimize_Click(); };
    TmFastCapture.Tick = [this] { TmFastCapture_Timer(); };
}

CFrmGeneral::~CFrmGeneral() = default;

cIniSettings& CFrmGeneral::Ini() { return forms::OnFirstUse(m_Ini); }
cPressedKey& CFrmGeneral::PressedKey() { return forms::OnFirstUse(m_PressedKey); }
cGraphics& CFrmGeneral::Graphics() { return forms::OnFirstUse(m_Graphics); }
cCapture& CFrmGeneral::Capture() { return forms::OnFirstUse(m_Capture); }

void CFrmGeneral::Form_Load() {
    LoadSettings();
    PassOver([this] { Pic.BackColor(RGB(197, 186, 141)); });
}

void CFrmGeneral::Form_Unload(int16_t&) { SaveSettings(); }

void CFrmGeneral::SetCaptureMode(int16_t Mode) {
    BtnHover* buttons[] = {&BtnFullScreen, &BtnActiveWindow, &BtnRegion, &BtnObject};
    for (auto* b : buttons) b->Selected(forms::False);
    if (Mode >= 1 && Mode <= 4) buttons[Mode - 1]->Selected(forms::True);
    m_Mode = Mode;
}

void CFrmGeneral::BtnFullScreen_Click() { SetCaptureMode(1); }
void CFrmGeneral::BtnActiveWindow_Click() { SetCaptureMode(2); }
void CFrmGeneral::BtnRegion_Click() { SetCaptureMode(3); }
void CFrmGeneral::BtnObject_Click() { SetCaptureMode(4); }

void CFrmGeneral::BtnCap_Click() {
    BtnCapture_Click();
    BtnCap.Selected(forms::False);
}

void CFrmGeneral::BtnCapture_Click() {
    TmFastCapture.Enabled(forms::True);
    forms::DoEvents();
    forms::Boolean off = forms::False;
    BtnCapture.SelectButton(off);
    forms::DoEvents();
    FrmMain->HideForm();
    g_CapturedByHotkey = forms::False;
}

void CFrmGeneral::BtnMin_Click() {
    FrmMain->HideForm();
    BtnMin.Selected(forms::False);
}

void CFrmGeneral::BtnMinimize_Click() {
    FrmMain->HideForm();
    forms::Boolean off = forms::False;
    BtnMinimize.SelectButton(off);
}

void CFrmGeneral::BtnEx_Click() { FrmMain->Mnu_File_Exit_Click(); }

void CFrmGeneral::TmFastCapture_Timer() {
    DoCapture();
    TmFastCapture.Enabled(forms::False);
}

forms::Boolean CFrmGeneral::CanCapture() {
    forms::Boolean result = forms::False;
    PassOver([&] {
        HotKey& field = FrmSave->HKey;
        int32_t m = field.HotKeyModifier();
        cPressedKey& keys = PressedKey();
        if (m >= 1 && m <= 7) {
            forms::Boolean modifier = forms::False;
            switch (m) {
                case 1: modifier = keys.Shift_Key(); break;
                case 2: modifier = keys.Ctrl_Key(); break;
                case 3: modifier = keys.Ctrl_Shift_Key(); break;
                case 4: modifier = keys.Alt_Key(); break;
                case 5: modifier = keys.Alt_Shift_Key(); break;
                case 6: modifier = keys.Alt_Ctrl_Key(); break;
                default: modifier = keys.Alt_Ctrl_Shift_Key(); break;
            }
            int32_t vk = field.GetHotKey();
            forms::Boolean k = keys.IsPressed(vk);  // asked every time: a query consumes a tap
            bool down = forms::IsTrue(modifier) && forms::IsTrue(k);
            if (!down) {
                g_LastKey = 0;
            } else if (m <= 2) {
                // A single modifier fires once until the keys go up.
                result = g_LastKey != m ? forms::True : forms::False;
                g_LastKey = m;
            } else {
                result = forms::True;
                g_LastKey = m;
            }
        } else {
            int32_t vk = field.GetHotKey();
            if (forms::IsTrue(keys.IsPressed(vk))) {
                result = forms::True;
                g_LastKey = 8;
            } else {
                g_LastKey = 0;
            }
        }
    });
    return result;
}

forms::Boolean CFrmGeneral::MouseWanted() {
    forms::Boolean wanted = forms::False;
    PassOver([&] { wanted = FrmTemp->ChkMouse.Value() == 1 ? forms::True : forms::False; });
    return wanted;
}

void CFrmGeneral::DoCapture() {
    CFrmMain::CaptureUnderWay underWay;
    CFrmMain& main = *FrmMain;
    forms::PictureBox& canvas = main.Pic;
    PassOver([&] { canvas.Cls(); });
    switch (m_Mode) {
        case 1: {
            PassOver([&] {
                canvas.Move(0, 0, static_cast<float>(forms::Screen.Width()), static_cast<float>(forms::Screen.Height()));
            });
            PassOver([&] { canvas.Picture(Capture().Capture_Screen()); });
            if (forms::IsTrue(MouseWanted())) {
                PassOver([&] {
                    int32_t x = Graphics().GetCurPos(0);
                    int32_t y = Graphics().GetCurPos(1);
                    Capture().DrawCur(x, y, canvas);
                });
            }
            PassOver([&] { DoSave(); });
            break;
        }
        case 2: {
            PassOver([&] { FitPictureToActiveWindow(); });
            forms::Boolean noPicture = forms::False;
            PassOver([&] { canvas.Picture(Capture().Capture_ActiveWindow(noPicture)); });
            PassOver([&] { DrawCursorOnActiveWindowShot(canvas); });
            if (forms::IsTrue(noPicture)) {
                PassOver([] { forms::MsgBox(L"Can't find active windows", forms::vbInformation, L"Quorvane Capture"); });
            } else {
                PassOver([&] { DoSave(); });
            }
            break;
        }
        case 3: PassOver([&] { StartRegionCapture(); }); break;
        case 4: PassOver([&] { StartObjectCapture(); }); break;
        default: break;
    }
}

void CFrmGeneral::DoSave() {
    CFrmMain::CaptureUnderWay underWay;
    if (FrmSave->Mselection == 1) {
        CFrmMain& main = *FrmMain;
        forms::Boolean copied = forms::False;
        PassOver([&] { copied = Capture().CopyImageToClibpard(main.hWnd(), main.Pic.Image()); });
        if (!forms::IsTrue(copied)) ReportNotSaved(L"the clipboard");
    } else {
        FrmSave->SaveImageToFile();
    }
}

void CFrmGeneral::FitPictureToActiveWindow() {
    RECT r{};
    GetWindowRect(GetForegroundWindow(), &r);
    float tx = forms::Screen.TwipsPerPixelX(), ty = forms::Screen.TwipsPerPixelY();
    // The canvas lives in twips on the main window; the size follows the window.
    FrmMain->Pic.Move(0, 0, static_cast<float>(r.right - r.left) * tx, static_cast<float>(r.bottom - r.top) * ty);
}

void CFrmGeneral::DrawCursorOnActiveWindowShot(forms::Object& Canvas) {
    if (!forms::IsTrue(MouseWanted())) return;
    RECT r{};
    GetWindowRect(GetForegroundWindow(), &r);
    int64_t x = static_cast<int64_t>(Graphics().GetCurPos(0)) - r.left;
    int64_t y = static_cast<int64_t>(Graphics().GetCurPos(1)) - r.top;
    if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) forms::Raise(6);
    Capture().DrawCur(static_cast<int32_t>(x), static_cast<int32_t>(y), Canvas);
}

void CFrmGeneral::StartRegionCapture() {
    if (forms::IsTrue(g_RegionSelecting)) return;
    auto& overlay = *FrmSelect;  // touching it loads it
    PassOver([&] {
        overlay.Move(0, 0, static_cast<float>(forms::Screen.Width()), static_cast<float>(forms::Screen.Height()));
    });
    // The overlay starts from a clean surface before the frozen screen goes in.
    PassOver([&] { overlay.Cls(); });
    PassOver([&] { overlay.Picture(Capture().Capture_Screen()); });
    if (forms::IsTrue(MouseWanted()))
        PassOver([&] { Capture().DrawCur(Graphics().GetCurPos(0), Graphics().GetCurPos(1), overlay); });
    PassOver([&] { overlay.Visible(forms::True); });
    PassOver([&] { SetFormOnTop(overlay, forms::True); });
    PassOver([&] { ::SetFocus(overlay.hWnd()); });
    g_RegionSelecting = forms::True;
}

void CFrmGeneral::StartObjectCapture() {
    if (forms::IsTrue(g_ObjectSelecting)) return;
    auto& overlay = *FrmObjectSelect;
    PassOver([&] {
        overlay.Move(0, 0, static_cast<float>(forms::Screen.Width()), static_cast<float>(forms::Screen.Height()));
    });
    PassOver([&] { overlay.Picture(Capture().Capture_Screen()); });
    if (forms::IsTrue(MouseWanted()))
        PassOver([&] { Capture().DrawCur(Graphics().GetCurPos(0), Graphics().GetCurPos(1), overlay); });
    PassOver([&] { overlay.Show(); });
    g_ObjectSelecting = forms::True;
}

void CFrmGeneral::LoadSettings() {
    cIniSettings& ini = Ini();
    PassOver([&] { SetCaptureMode(Settings::ReadNumber(ini, Settings::CaptureMode)); });
    PassOver([&] {
        int16_t mouse = Settings::ReadNumber(ini, Settings::DrawPointer);
        FrmTemp->ChkMouse.Value(mouse);
    });
    PassOver([&] {
        int16_t key = Settings::ReadNumber(ini, Settings::HotKey);
        HotKey& field = FrmSave->HKey;
        field.LetHotKey(key);
    });
    PassOver([&] {
        int16_t m = Settings::ReadNumber(ini, Settings::HotKeyModifier);
        // 0 is what exit writes for a key alone, and for a cleared field
        // (key 0): after a key of the file's own it means no modifiers, else
        // the field keeps its modifier.
        const Settings::Key& hk = Settings::HotKey;
        const bool keyStored =
            ini.GetIniVal(ini.ReadIni(cIniSettings::ConfigFile, hk.Section, hk.Name, L""), hk.Min, hk.Max, -1) != -1;
        if (m >= 1 || keyStored) FrmSave->HKey.HotKeyModifier(m);
    });
}

void CFrmGeneral::SaveSettings() {
    cIniSettings& ini = Ini();
    PassOver([&] { Settings::Write(ini, Settings::CaptureMode, m_Mode); });
    PassOver([&] { Settings::Write(ini, Settings::DrawPointer, FrmTemp->ChkMouse.Value()); });
    PassOver([&] { Settings::Write(ini, Settings::HotKey, FrmSave->HKey.GetHotKey()); });
    PassOver([&] { Settings::Write(ini, Settings::HotKeyModifier, FrmSave->HKey.HotKeyModifier()); });
}

}  // namespace app
