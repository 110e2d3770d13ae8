#pragma once
// The "About" page: product, version, rights notice, a picture and the
// maker's web and mail links. Its Pic panel is moved into the main window.
#include "controls/Link.h"
#include "forms/Forms.h"

namespace app {

class CFrmAbout : public forms::Form {
public:
    CFrmAbout();

    forms::PictureBox Pic{this, L"Pic"};
    forms::Image Image1{&Pic, L"Image1"};
    forms::Label Label2{&Pic, L"Label2"};
    forms::Label Label3{&Pic, L"Label3"};
    forms::Label Label4{&Pic, L"Label4"};
    forms::Label Label1{&Pic, L"Label1"};
    Link LnkSite{&Pic, L"LnkSite"};
    Link LnkMail{&Pic, L"LnkMail"};

    // Each link opens what it shows.
    void LnkMail_Click();
    void LnkSite_Click();
};

inline forms::FormRef<CFrmAbout> FrmAbout;

}  // namespace app
