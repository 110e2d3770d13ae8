#include "app/Skin.h"

#include "forms/Error.h"
#include "forms/Runtime.h"
#include "res/resource_ids.h"

namespace Skin {

namespace {
forms::Picture Resource(int id) {
    forms::Picture p;
    forms::PassOver([&] { p = forms::LoadResPicture(id, forms::resBitmap); });
    return p;
}
}  // namespace

forms::Picture PageButton(int index, bool hover) { return Resource(IDB_PAGE_FIRST + index * 2 + (hover ? 1 : 0)); }
forms::Picture ModeButton(int index, bool hover) { return Resource(IDB_MODE_FIRST + index * 2 + (hover ? 1 : 0)); }
forms::Picture ActionButton(int index, bool hover) { return Resource(IDB_ACTION_FIRST + index * 2 + (hover ? 1 : 0)); }

void PagePanel(forms::PictureBox& pic) {
    pic.BorderStyle(0);
    pic.Move(0, 0, PageWidth, PageHeight);
    pic.BackColor(PageColour);
}

void Heading(forms::Label& label, const std::wstring& text) {
    Caption(label, text, 420, 300, 6000, HeadingColour, 16, true);
}

void Caption(forms::Label& label, const std::wstring& text, float left, float top, float width, int32_t colour,
             float size, bool bold) {
    label.BackStyle(0);
    label.ForeColor(colour);
    label.Font(std::make_shared<forms::StdFont>(L"Verdana", size, bold));
    label.Caption(text);
    label.Move(left, top, width, size * 20 * 1.6f);
}

void ImageButton(BtnHover& button, const forms::Picture& normal, const forms::Picture& over, const std::wstring& tip,
                 int32_t back, float left, float top, float width, float height, int16_t offset) {
    forms::PropertyBag bag;
    bag.WriteProperty(L"BackColor", back, 0);
    bag.WriteProperty(L"FrameColor", back, 0);
    bag.WriteProperty(L"FrameOverColor", back, 0);
    bag.WriteProperty(L"NormalPic", normal, forms::Picture());
    bag.WriteProperty(L"OverPic", over, forms::Picture());
    bag.WriteProperty(L"ToolTips", tip, L"");
    bag.WriteProperty(L"PicTop", offset, int16_t{0});
    bag.WriteProperty(L"PicLeft", offset, int16_t{0});
    button.DesignProperties(bag);
    button.Move(left, top, width, height);
}

}  // namespace Skin
