#pragma once
// The "Save As" window of the ask-for-name road: shows the capture fitted or
// at actual size and saves it, as often as wanted, under a name chosen in
// the save dialog. Filled and shown by the Options page.
#include <memory>

#include "controls/GradientLine.h"
#include "controls/sPicture.h"
#include "forms/Forms.h"

class cFilesFolders;

namespace app {

class CFrmExport : public forms::Form {
public:
    CFrmExport();
    ~CFrmExport() override;

    sPicture Pic{this, L"Pic"};
    GradientLine GradientLine1{this, L"GradientLine1"};
    forms::PictureBox BotPan{this, L"BotPan"};
    forms::CommandButton CmdSize{&BotPan, L"CmdSize", L"Actual Size"};
    forms::CommandButton CmdSave{&BotPan, L"CmdSave", L"Save"};
    forms::CommandButton CmdCancel{&BotPan, L"CmdCancel", L"Cancel"};

    void CmdSave_Click();
    void CmdSize_Click();
    void CmdCancel_Click();
    void Pic_AfterPainting();

protected:
    void Form_Load() override;
    void Form_Unload(int16_t& Cancel) override;

private:
    cFilesFolders& FilesFolders();

    std::unique_ptr<cFilesFolders> m_FilesFolders;
};

inline forms::FormRef<CFrmExport> FrmExport;

}  // namespace app
