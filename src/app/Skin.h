#pragma once
// The skinned look shared by the main window and its pages: colours, the
// geometry of the pages (twips) and the pictures drawn at build time.
#include <cstdint>

#include "controls/BtnHover.h"
#include "forms/Forms.h"

namespace Skin {

constexpr int32_t StripColour = 0x3B96FF;    // navigation strip (red in the low byte: orange)
constexpr int32_t PageColour = 0x8DBAC5;     // RGB(197, 186, 141), the capture page's own colour
constexpr int32_t HeadingColour = 0x1E3A5A;  // dark brown
constexpr int32_t TextColour = 0x202830;
constexpr float PageWidth = 7005, PageHeight = 5540;
constexpr float StripWidth = 1530;
constexpr float NavLeft = 285, NavTop = 300, NavStep = 1290, NavSize = 960;
constexpr float ModeSize = 1080;
constexpr float ActionSize = 720;

// Pictures from the program's resources, drawn for 96 dpi and stretched to
// the screen's scaling; an empty picture when missing.
forms::Picture PageButton(int index, bool hover);
forms::Picture ModeButton(int index, bool hover);
forms::Picture ActionButton(int index, bool hover);
forms::Picture AboutPicture();

// A page's content box: page size, no border, the page colour.
void PagePanel(forms::PictureBox& pic);
// The big title at the top of a page.
void Heading(forms::Label& label, const std::wstring& text);
// A plain transparent caption.
void Caption(forms::Label& label, const std::wstring& text, float left, float top, float width,
             int32_t colour = TextColour, float size = 9, bool bold = false);
// An image hover button with its pictures, tooltip and frames in the skin's
// colours; the picture's offset is given in 96-dpi pixels.
void ImageButton(BtnHover& button, const forms::Picture& normal, const forms::Picture& over, const std::wstring& tip,
                 int32_t back, float left, float top, float width, float height, int16_t offset = 0);

}  // namespace Skin
