#pragma once
// The "Options" page: file naming, prefix, images folder and the capture
// hotkey; keeps the output destination and writes image files.
#include <cstdint>
#include <memory>
#include <string>

#include "controls/HotKey.h"
#include "controls/cTButton.h"
#include "forms/Forms.h"

class cIniSettings;
class cFilesFolders;

namespace app {

class CFrmSave : public forms::Form {
public:
    CFrmSave();
    ~CFrmSave() override;

    forms::PictureBox Pic{this, L"Pic"};
    forms::Label LblTitle{&Pic, L"LblTitle"};
    forms::Label LblNaming{&Pic, L"LblNaming"};
    forms::ComboBox CmbName{&Pic, L"CmbName"};
    forms::Label L4{&Pic, L"L4", L"Prefix:"};
    forms::TextBox TxtPrefix{&Pic, L"TxtPrefix"};
    forms::Label LblFolder{&Pic, L"LblFolder"};
    forms::TextBox TxtPath{&Pic, L"TxtPath"};
    forms::CommandButton BtnBrowse{&Pic, L"BtnBrowse", L"Browse..."};
    forms::Label LblHotKey{&Pic, L"LblHotKey"};
    HotKey HKey{&Pic, L"HKey"};
    // Never on screen: they carry the destination's selected look.
    cTButton BtnCopy{this, L"BtnCopy"};
    cTButton BtnSave{this, L"BtnSave"};

    // Output destination: 1 clipboard, 2 file.
    int16_t Mselection = 0;

    void BtnCopy_Click();
    void BtnSave_Click();
    // Writes the capture canvas to the next automatic name, or opens the
    // preview window when names are asked for.
    void SaveImageToFile();
    // Writes the capture canvas, or the picture given, to iPath: as a BMP
    // for ".bmp", a JPEG for ".jpg" and ".jpeg", else in the chosen format.
    void SaveFinalImage(std::wstring iPath);
    void SaveFinalImage(std::wstring iPath, const forms::Picture& picture);
    // ".Bmp", ".Jpg" or "".
    std::wstring GetExt();
    // Whether a name's extension is one of the formats' (".bmp", ".jpg" or
    // ".jpeg", in any case), which then decides the format written.
    static bool NamesFormat(const std::wstring& path);

    void CmbName_Click();
    // Refuses characters typed into the prefix box that no name in the
    // images folder may hold.
    void TxtPrefix_Change();
    void BtnBrowse_Click();

protected:
    void Form_Load() override;
    void Form_Unload(int16_t& Cancel) override;

private:
    void LoadSettings();
    void SaveSettings();
    int32_t GetImageCounter();
    void SetImageCounter(int32_t n);
    std::wstring AutoName(int32_t k);

    cIniSettings& Ini();
    cFilesFolders& FilesFolders();

    std::unique_ptr<cIniSettings> m_Ini;
    std::unique_ptr<cFilesFolders> m_FilesFolders;
};

inline forms::FormRef<CFrmSave> FrmSave;

}  // namespace app
