#include "app/FrmAbout.h"

#include "app/Skin.h"
#include "forms/Error.h"
#include "forms/Runtime.h"

namespace app {

namespace {

constexpr int32_t kLinkColour = 0x8B3A00;    // dark blue
constexpr int32_t kOverColour = 0xFF;        // red under the pointer
constexpr int16_t kLinkMaxWidth = 3500;

const wchar_t kSite[] = L"http://www.quorvane.com";
const wchar_t kMail[] = L"support@quorvane.com";
const wchar_t kRights[] = L"Copyright \u00A9 2026 Quorvane. All rights reserved.";

forms::PropertyBag LinkDesign(const std::wstring& caption, const std::wstring& tip) {
    forms::PropertyBag bag;
    bag.WriteProperty(L"BackColor", Skin::PageColour, 0);
    bag.WriteProperty(L"Font", forms::Variant(forms::ObjectPtr(std::make_shared<forms::StdFont>(L"Verdana", 9))),
                      forms::Variant());
    bag.WriteProperty(L"ForeColor", kLinkColour, 0);
    bag.WriteProperty(L"Caption", caption, L"");
    bag.WriteProperty(L"OverColor", kOverColour, 0);
    bag.WriteProperty(L"AutoSize", forms::Variant::FromBoolean(forms::True), forms::Variant());
    bag.WriteProperty(L"MaxWidth", kLinkMaxWidth, int16_t{0});
    bag.WriteProperty(L"ToolTip", tip, L"");
    return bag;
}

}  // namespace

CFrmAbout::CFrmAbout() {
    Caption(L"About");
    BorderStyle(forms::vbFixedSingle);
    ShowInTaskbar = false;
    ClientSize(Skin::PageWidth, Skin::PageHeight);
    Skin::PagePanel(Pic);

    Skin::Heading(Label2, L"Quorvane Capture");
    forms::PassOver([this] { Image1.Picture(Skin::AboutPicture()); });
    Image1.Move(420, 1080);  // sized by its picture
    Skin::Caption(Label3, L"Version : 1.0", 4200, 1140, 2600);
    Skin::Caption(Label4, kRights, 4200, 1560, 2600);
    Label4.WordWrap(forms::True);
    Label4.Height(Label4.Height() * 3);
    Skin::Caption(Label1, L"Support:", 420, 4200, 1100, Skin::HeadingColour, 9, true);

    LnkSite.DesignProperties(LinkDesign(kSite, L""));
    LnkSite.Move(1560, 4200, kLinkMaxWidth, 300);
    LnkMail.DesignProperties(LinkDesign(kMail, std::wstring(L"mailto: ") + kMail));
    LnkMail.Move(1560, 4560, kLinkMaxWidth, 300);
    LnkSite.Click = [this] { LnkSite_Click(); };
    LnkMail.Click = [this] { LnkMail_Click(); };
}

void CFrmAbout::LnkMail_Click() { LnkMail.SendEmail(LnkMail.Caption()); }

void CFrmAbout::LnkSite_Click() { LnkSite.OpenPath(LnkSite.Caption(), 1); }

}  // namespace app
