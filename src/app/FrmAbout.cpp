#include "app/FrmAbout.h"

#include <windows.h>

#include "app/Skin.h"
#include "forms/Error.h"
#include "forms/Runtime.h"

namespace app {

namespace {

constexpr int32_t kLinkColour = 0x8B3A00;    // dark blue
constexpr int32_t kOverColour = 0xFF;        // red under the pointer
constexpr int16_t kLinkMaxWidth = 3500;
constexpr int kPictureWidth = 234, kPictureHeight = 177;

const wchar_t kSite[] = L"http://www.quorvane.com";
const wchar_t kMail[] = L"support@quorvane.com";
const wchar_t kRights[] = L"Copyright \u00A9 2026 Quorvane. All rights reserved.";

// The maker's picture: a camera over an orange wash, drawn once per load.
forms::Picture AboutPicture() {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, kPictureWidth, kPictureHeight);
    ReleaseDC(nullptr, screen);
    if (!dc || !bmp) {
        if (dc) DeleteDC(dc);
        if (bmp) DeleteObject(bmp);
        return {};
    }
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    for (int y = 0; y < kPictureHeight; ++y) {
        // From the strip's orange at the top to white at the bottom.
        int t = y * 255 / (kPictureHeight - 1);
        HBRUSH b = CreateSolidBrush(RGB(255, 150 + (105 * t) / 255, 59 + (196 * t) / 255));
        RECT row{0, y, kPictureWidth, y + 1};
        FillRect(dc, &row, b);
        DeleteObject(b);
    }
    HBRUSH body = CreateSolidBrush(RGB(60, 60, 70));
    HBRUSH lens = CreateSolidBrush(RGB(200, 220, 240));
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(255, 255, 255));
    HGDIOBJ oldBrush = SelectObject(dc, body);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    RoundRect(dc, 92, 28, 122, 44, 6, 6);
    RoundRect(dc, 52, 38, 182, 128, 18, 18);
    SelectObject(dc, lens);
    Ellipse(dc, 87, 53, 147, 113);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(lens);
    DeleteObject(body);
    HFONT font = CreateFontW(-18, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Verdana");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(60, 60, 70));
    RECT text{0, 136, kPictureWidth, 166};
    DrawTextW(dc, L"Quorvane", -1, &text, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBmp);
    DeleteDC(dc);
    return forms::Picture::FromBitmap(bmp);
}

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
    forms::PassOver([this] { Image1.Picture(AboutPicture()); });
    Image1.Move(420, 1080, kPictureWidth * 15.0f, kPictureHeight * 15.0f);
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
