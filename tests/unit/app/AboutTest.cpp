// The about page inside the main window; the shell is stood in for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/FrmAbout.h"
#include "app/FrmMain.h"
#include "forms/Runtime.h"
#include "unit/common/TestSupport.h"

using app::FrmAbout;

TEST(About, ShowsProductVersionAndLinksThatOpenWhatTheyShow) {
    std::vector<std::string> opened;
    Link::ShellExecuteWith([&](HWND, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR, INT show) {
        opened.push_back(std::string(verb ? verb : "-") + "|" + file + "|" + (params ? params : "-") + std::to_string(show));
        return reinterpret_cast<HINSTANCE>(42);
    });
    app::FrmMain->Mnu_File_About_Click();
    testsupport::Pump(150);
    EXPECT_EQ(FrmAbout->Label2.Caption() + L"|" + FrmAbout->Label3.Caption(), L"Quorvane Capture|Version : 1.0");
    // The 234-pixel picture covers its 96-dpi twips at any scaling.
    EXPECT_NEAR(FrmAbout->Image1.Width(), 234 * 15, forms::Screen.TwipsPerPixelX());
    EXPECT_EQ(FrmAbout->LnkMail.ToolTip(), L"mailto: " + FrmAbout->LnkMail.Caption());
    const std::string site = forms::ToAnsi(FrmAbout->LnkSite.Caption());
    const std::string mail = forms::ToAnsi(FrmAbout->LnkMail.Caption());
    auto click = [](Link& link) {
        RECT r{};
        GetWindowRect(link.hWnd(), &r);
        testsupport::MoveMouse((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        testsupport::Pump(50);
        testsupport::MouseButton(true, true);
        testsupport::MouseButton(true, false);
        testsupport::Pump(80);
    };
    click(FrmAbout->LnkSite);
    click(FrmAbout->LnkMail);
    FrmAbout->LnkSite.Caption(L"http://example.invalid/other");  // a new caption is a new target
    click(FrmAbout->LnkSite);
    EXPECT_EQ(opened, (std::vector<std::string>{"Open|" + site + "|1", "-|mailto:" + mail + "|-1",
                                                 "Open|http://example.invalid/other|1"}));
    Link::ShellExecuteWith({});
    app::FrmMain->Visible(forms::False);
}
