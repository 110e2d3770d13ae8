#pragma once
// The "Settings" page: output destination, image format, JPEG quality and
// the pointer check box. Its values are loaded and saved by the capture and
// Options pages.
#include "forms/Forms.h"

namespace app {

class CFrmTemp : public forms::Form {
public:
    CFrmTemp();

    forms::PictureBox Pic{this, L"Pic"};
    forms::Label LblTitle{&Pic, L"LblTitle"};
    forms::Label LblDestination{&Pic, L"LblDestination"};
    // Each group sits in a holder of its own: one set button per holder.
    forms::PictureBox FraDestination{&Pic, L"FraDestination"};
    forms::OptionButton OFile{&FraDestination, L"OFile", L"Image File"};
    forms::OptionButton OClibpoard{&FraDestination, L"OClibpoard", L"Windows Clipboard"};
    forms::Label LblFormat{&Pic, L"LblFormat"};
    forms::PictureBox FraFormat{&Pic, L"FraFormat"};
    forms::OptionButton OJpg{&FraFormat, L"OJpg", L"Jpeg"};
    forms::OptionButton OBitMap{&FraFormat, L"OBitMap", L"Bitmap"};
    forms::Label LblQuality{&Pic, L"LblQuality", L"Image Quality:"};
    forms::ComboBox CmbQ{&Pic, L"CmbQ"};
    forms::Label LblPointer{&Pic, L"LblPointer"};
    forms::CheckBox ChkMouse{&Pic, L"ChkMouse", L"Include mouse pointer"};

    void OClibpoard_Click();
    void OFile_Click();

protected:
    void Form_Load() override;
};

inline forms::FormRef<CFrmTemp> FrmTemp;

}  // namespace app
