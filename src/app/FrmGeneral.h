#pragma once
// The capture page: the capture mode, the capture and hide buttons, and the
// three operations of every capture: CanCapture, DoCapture and DoSave.
// Reads and writes the settings of sections "main" and "hkeys".
#include <cstdint>
#include <memory>

#include "controls/BtnHover.h"
#include "controls/cTButton.h"
#include "forms/Forms.h"

class cIniSettings;
class cPressedKey;
class cGraphics;
class cCapture;

namespace app {

class CFrmGeneral : public forms::Form {
public:
    CFrmGeneral();
    ~CFrmGeneral() override;

    // The page's content, moved into the main window's first page area.
    forms::PictureBox Pic{this, L"Pic"};
    forms::Label LblTitle{&Pic, L"LblTitle"};
    forms::Label LblModes{&Pic, L"LblModes"};
    BtnHover BtnFullScreen{&Pic, L"BtnFullScreen"};
    BtnHover BtnActiveWindow{&Pic, L"BtnActiveWindow"};
    BtnHover BtnRegion{&Pic, L"BtnRegion"};
    BtnHover BtnObject{&Pic, L"BtnObject"};
    forms::Label LblFullScreen{&Pic, L"LblFullScreen"};
    forms::Label LblActiveWindow{&Pic, L"LblActiveWindow"};
    forms::Label LblRegion{&Pic, L"LblRegion"};
    forms::Label LblObject{&Pic, L"LblObject"};
    BtnHover BtnCap{&Pic, L"BtnCap"};
    BtnHover BtnEx{&Pic, L"BtnEx"};
    BtnHover BtnMin{&Pic, L"BtnMin"};
    forms::Label LblCap{&Pic, L"LblCap"};
    forms::Label LblHint{&Pic, L"LblHint"};
    // Never on screen: they carry the capture start and the hide.
    cTButton BtnCapture{this, L"BtnCapture"};
    cTButton BtnMinimize{this, L"BtnMinimize"};
    forms::Timer TmFastCapture{this, L"TmFastCapture"};

    // True when the configured hotkey is down now and may fire.
    forms::Boolean CanCapture();
    // Takes the picture for the current mode into the capture canvas.
    void DoCapture();
    // Delivers the canvas to the clipboard or to a file.
    void DoSave();
    void StartRegionCapture();
    void StartObjectCapture();

    int16_t CaptureMode() const { return m_Mode; }

    void BtnFullScreen_Click();
    void BtnActiveWindow_Click();
    void BtnRegion_Click();
    void BtnObject_Click();
    void BtnCap_Click();
    void BtnCapture_Click();
    void BtnMin_Click();
    void BtnMinimize_Click();
    void BtnEx_Click();
    void TmFastCapture_Timer();

protected:
    void Form_Load() override;
    void Form_Unload(int16_t& Cancel) override;

private:
    void SetCaptureMode(int16_t Mode);
    void LoadSettings();
    void SaveSettings();
    void FitPictureToActiveWindow();
    void DrawCursorOnActiveWindowShot(forms::Object& Canvas);
    forms::Boolean MouseWanted();

    cIniSettings& Ini();
    cPressedKey& PressedKey();
    cGraphics& Graphics();
    cCapture& Capture();

    int16_t m_Mode = 0;
    std::unique_ptr<cIniSettings> m_Ini;
    std::unique_ptr<cPressedKey> m_PressedKey;
    std::unique_ptr<cGraphics> m_Graphics;
    std::unique_ptr<cCapture> m_Capture;
};

inline forms::FormRef<CFrmGeneral> FrmGeneral;

}  // namespace app
