#pragma once
// The main window: the start-up form, the program's shell and the owner of
// the hidden capture canvas. Hosts the four pages, polls the capture hotkey
// while hidden, hides behind the tray icon instead of closing.
#include <cstdint>
#include <memory>

#include "controls/BtnHover.h"
#include "forms/Forms.h"

class cTray;
class cPressedKey;
class cGraphics;
class cFilesFolders;

namespace app {

class CFrmMain : public forms::Form {
public:
    CFrmMain();
    ~CFrmMain() override;

    // Navigation strip with the four page buttons.
    forms::PictureBox PicPanel{this, L"PicPanel"};
    BtnHover BtnHover1{&PicPanel, L"BtnHover1"};
    BtnHover BtnHover2{&PicPanel, L"BtnHover2"};
    BtnHover BtnHover3{&PicPanel, L"BtnHover3"};
    BtnHover BtnHover4{&PicPanel, L"BtnHover4"};
    forms::Label LblPage1{&PicPanel, L"LblPage1"};
    forms::Label LblPage2{&PicPanel, L"LblPage2"};
    forms::Label LblPage3{&PicPanel, L"LblPage3"};
    forms::Label LblPage4{&PicPanel, L"LblPage4"};
    // Page areas: each receives one page form's content box.
    forms::PictureBox P1{this, L"P1"};
    forms::PictureBox P2{this, L"P2"};
    forms::PictureBox P3{this, L"P3"};
    forms::PictureBox P4{this, L"P4"};
    // The capture canvas: hidden, sized by each picture assigned, drawn on
    // in pixels into its persistent image.
    forms::PictureBox Pic{this, L"Pic"};
    // Hotkey poll.
    forms::Timer Tm{this, L"Tm"};
    // Runs only while a capture is under way, when the hotkey poll cannot.
    forms::Timer TmBusy{this, L"TmBusy"};

    // The tray icon's pop-up menu (never shown on the window).
    forms::Menu Mnu_File{nullptr, L"&File", L"Mnu_File"};
    forms::Menu Mnu_File_Profiles{&Mnu_File, L"Profiles", L"Mnu_File_Profiles"};
    forms::Menu Mnu_File_Input{&Mnu_File, L"&Settings", L"Mnu_File_Input"};
    forms::Menu Mnu_File_Output{&Mnu_File, L"&Options", L"Mnu_File_Output"};
    forms::Menu Mnu_File_Sp1{&Mnu_File, L"-", L"Mnu_File_Sp1"};
    forms::Menu Mnu_File_ImagesFolder{&Mnu_File, L"Images Folder", L"Mnu_File_ImagesFolder"};
    forms::Menu Mnu_File_Sp2{&Mnu_File, L"-", L"Mnu_File_Sp2"};
    forms::Menu Mnu_File_About{&Mnu_File, L"&About", L"Mnu_File_About"};
    forms::Menu Mnu_File_Exit{&Mnu_File, L"E&xit", L"Mnu_File_Exit"};
    forms::Menu Mnu_Select{nullptr, L"?", L"Mnu_Select"};

    void BtnHover1_Click();
    void BtnHover2_Click();
    void BtnHover3_Click();
    void BtnHover4_Click();
    void ShowForm();
    // Hides the window and (again) adds the tray icon.
    void HideForm();
    void Mnu_File_Profiles_Click();
    void Mnu_File_Input_Click();
    void Mnu_File_Output_Click();
    void Mnu_File_About_Click();
    void Mnu_File_ImagesFolder_Click();
    // Removes the tray icon, unloads the pages and the window: ends the program.
    void Mnu_File_Exit_Click();
    // True from the start of the exit above: the window is ending, not hiding.
    bool Exiting() const { return m_Exit == forms::True; }

    // Shows page 1 to 4; the page already shown changes nothing.
    void SelectPanel(int16_t Index);
    int16_t CurrentPage() const { return m_Page; }
    // One tick of the hotkey poll.
    void Tm_Timer();
    // The tray icon's mouse message arrives as a mouse move with X = message.
    void TrayCallback(float X);

    // Marks a capture under way, from its start to its delivery or report;
    // nests. Meanwhile tray clicks wait for its end and a hotkey press brings
    // its open report to the front. A region or object overlay on the screen
    // counts as a capture under way too (Capturing), from its showing to its
    // close: a window shown under it would take no clicks.
    class CaptureUnderWay {
    public:
        CaptureUnderWay();
        ~CaptureUnderWay();
        CaptureUnderWay(const CaptureUnderWay&) = delete;
        CaptureUnderWay& operator=(const CaptureUnderWay&) = delete;

    private:
        CFrmMain& m_Main;
    };
    bool Capturing() const;
    // A capture or an overlay has ended: a tray click kept meanwhile goes
    // through the queue again.
    void CaptureEnded();

    cTray& Tray();

protected:
    void Form_Initialize() override;
    void Form_Load() override;
    void Form_Unload(int16_t& Cancel) override;
    LRESULT WndProc(UINT m, WPARAM w, LPARAM l) override;

private:
    // The preview or a window it owns is the foreground window.
    static bool PreviewInFront();
    // The lowest of the hotkey's own keys (its key and the modifiers its
    // mask names) down now, 0 when none: keys held beside the combination
    // must neither hold up the next capture nor, let go first, allow one.
    int32_t HotkeyKeyDown();
    void TmBusy_Timer();
    cPressedKey& PressedKey();
    cGraphics& Graphics();
    cFilesFolders& FilesFolders();

    int16_t m_Page = 0;
    forms::Boolean m_Exit = forms::False;
    int m_Captures = 0;
    // The tray message that came during a capture, 0 when none.
    int32_t m_TrayWaiting = 0;
    std::unique_ptr<cTray> m_Tray;
    std::unique_ptr<cPressedKey> m_PressedKey;
    std::unique_ptr<cGraphics> m_Graphics;
    std::unique_ptr<cFilesFolders> m_FilesFolders;
};

inline forms::FormRef<CFrmMain> FrmMain;

}  // namespace app
