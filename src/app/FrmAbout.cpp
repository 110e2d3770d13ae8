#include "app/FrmAbout.h"

#include <windows.h>

#include "forms/Error.h"
#include "forms/Runtime.h"

namespace app {

namespace {

constexpr int32_t kPageColour = 0xE9F1F4;    // BGR, as the other pages
constexpr int32_t kTextColour = 0x5A3A1E;
constexpr int32_t kLinkColour = 0xB05A00;
constexpr int32_t kOverColour = 0xFF;        // red under the pointer
constexpr int16_t kLinkMaxWidth = 3500;
constexpr int kPictureWidth = 234, kPictureHeight = 177;

const wchar_t kSite[] = L"http://www.quorvane.com";
const wchar_t kMail[] = L"support@quorvane.com";
const wchar_t kRights[] = L"Copyright \u00A9 2026 Quorvane. All rights reserved.";

std::shared_ptr<forms::StdFont> Verdana(float size, bool bold = false) {
    return std::make_shared<forms::StdFont>(L"Verdana", size, bold);
}

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
    bag.WriteProperty(L"BackColor", kPageColour, 0);
    bag.WriteProperty(L"Font", forms::Variant(forms::ObjectPtr(Verdana(8))), forms::Variant());
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
    ClientSize(7005, 5540);

    Pic.BorderStyle(0);
    Pic.Move(0, 0, 7005, 5540);
    Pic.BackColor(kPageColour);

    forms::PassOver([this] { Image1.Picture(AboutPicture()); });
    Image1.Move(480, 600, kPictureWidth * 15.0f, kPictureHeight * 15.0f);

    struct Text {
        forms::Label& label;
        float left, top, width, height, size;
        bool bold;
    };
    Label4.Caption(kRights);
    for (const Text& t : {Text{Label2, 4320, 720, 2500, 360, 12, true}, Text{Label3, 4320, 1140, 2500, 255, 8, false},
                          Text{Label4, 4320, 1500, 2500, 720, 8, false}, Text{Label1, 480, 3720, 1000, 255, 8, true}}) {
        t.label.Font(Verdana(t.size, t.bold));
        t.label.BackStyle(0);
        t.label.ForeColor(kTextColour);
        t.label.WordWrap(forms::True);
        t.label.Move(t.left, t.top, t.width, t.height);
    }

    LnkSite.DesignProperties(LinkDesign(kSite, L""));
    LnkSite.Move(1560, 3720, kLinkMaxWidth, 255);
    LnkMail.DesignProperties(LinkDesign(kMail, std::wstring(L"mailto: ") + kMail));
    LnkMail.Move(1560, 4050, kLinkMaxWidth, 255);
    LnkSite.Click = [this] { LnkSite_Click(); };
    LnkMail.Click = [this] { LnkMail_Click(); };
}

void CFrmAbout::LnkMail_Click() { LnkMail.SendEmail(LnkMail.Caption()); }

void CFrmAbout::LnkSite_Click() { LnkSite.OpenPath(LnkSite.Caption(), 1); }

}  // namespace app
