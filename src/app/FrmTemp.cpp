#include "app/FrmTemp.h"

#include "app/FrmSave.h"
#include "app/Skin.h"
#include "forms/Error.h"
#include "forms/Values.h"

namespace app {

namespace {
void PlainGroup(forms::PictureBox& box, float left, float top, float width, float height) {
    box.BorderStyle(0);
    box.BackColor(Skin::PageColour);
    box.Move(left, top, width, height);
}
void PlainButton(forms::ButtonControl& b, float left, float top, float width) {
    b.BackColor(Skin::PageColour);
    b.ForeColor(Skin::TextColour);
    b.Font(std::make_shared<forms::StdFont>(L"Verdana", 9));
    b.Move(left, top, width, 300);
}
}  // namespace

CFrmTemp::CFrmTemp() {
    Caption(L"Settings");
    BorderStyle(forms::vbBSNone);
    ShowInTaskbar = false;
    ClientSize(Skin::PageWidth, Skin::PageHeight);

    Skin::PagePanel(Pic);
    Skin::Heading(LblTitle, L"Settings");

    Skin::Caption(LblDestination, L"Send captures to:", 420, 1020, 3000, Skin::HeadingColour, 9, true);
    PlainGroup(FraDestination, 600, 1380, 5800, 360);
    PlainButton(OFile, 0, 30, 2400);
    PlainButton(OClibpoard, 2760, 30, 2800);
    OFile.Value(forms::True);

    Skin::Caption(LblFormat, L"Image format:", 420, 2040, 3000, Skin::HeadingColour, 9, true);
    PlainGroup(FraFormat, 600, 2400, 5800, 360);
    PlainButton(OJpg, 0, 30, 2400);
    PlainButton(OBitMap, 2760, 30, 2400);
    OJpg.Value(forms::True);

    Skin::Caption(LblQuality, L"Image Quality:", 420, 3060, 2400, Skin::HeadingColour, 9, true);
    CmbQ.Font(std::make_shared<forms::StdFont>(L"Verdana", 9));
    CmbQ.Move(2820, 3000, 1200, 315);

    Skin::Caption(LblPointer, L"Mouse pointer:", 420, 3840, 3000, Skin::HeadingColour, 9, true);
    PlainButton(ChkMouse, 600, 4200, 4200);

    OClibpoard.Click = [this] { OClibpoard_Click(); };
    OFile.Click = [this] { OFile_Click(); };
}

void CFrmTemp::Form_Load() {
    for (int q = 10; q <= 100; q += 10) CmbQ.AddItem(forms::Str(q));
    CmbQ.ListIndex(8);
}

void CFrmTemp::OClibpoard_Click() { FrmSave->BtnCopy_Click(); }
void CFrmTemp::OFile_Click() { FrmSave->BtnSave_Click(); }

}  // namespace app
