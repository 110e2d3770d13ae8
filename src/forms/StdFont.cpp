#include "forms/StdFont.h"

#include <cmath>

#include "forms/Error.h"
#include "forms/Window.h"

namespace forms {

StdFont::StdFont(std::wstring name, float size, bool bold) : name_(std::move(name)) {
    Size(size);
    weight_ = bold ? FW_BOLD : FW_NORMAL;
}

StdFont::~StdFont() {
    if (font_) DeleteObject(font_);
}

StdFont::StdFont(const StdFont& o)
    : Object(), name_(o.name_), size_(o.size_), weight_(o.weight_), italic_(o.italic_), underline_(o.underline_),
      strike_(o.strike_), charset_(o.charset_) {}

StdFont& StdFont::operator=(const StdFont& o) {
    if (this != &o) {
        name_ = o.name_;
        size_ = o.size_;
        weight_ = o.weight_;
        italic_ = o.italic_;
        underline_ = o.underline_;
        strike_ = o.strike_;
        charset_ = o.charset_;
        Changed();
    }
    return *this;
}

std::shared_ptr<StdFont> StdFont::Default() { return std::make_shared<StdFont>(); }

void StdFont::Changed() {
    if (font_) {
        DeleteObject(font_);
        font_ = nullptr;
    }
    ++version_;
}

void StdFont::Name(const std::wstring& v) {
    if (v.empty() || v.size() >= LF_FACESIZE) Raise(err::InvalidPropertyValue);
    name_ = v;
    Changed();
}

void StdFont::Size(float points) {
    if (!(points > 0) || points > 2160) Raise(err::InvalidPropertyValue);
    size_ = points;
    Changed();
}

void StdFont::Bold(Boolean v) {
    weight_ = v ? FW_BOLD : FW_NORMAL;
    Changed();
}
void StdFont::Italic(Boolean v) {
    italic_ = v != 0;
    Changed();
}
void StdFont::Underline(Boolean v) {
    underline_ = v != 0;
    Changed();
}
void StdFont::Strikethrough(Boolean v) {
    strike_ = v != 0;
    Changed();
}
void StdFont::Weight(int16_t v) {
    if (v < 0 || v > 1000) Raise(err::InvalidPropertyValue);
    weight_ = v;
    Changed();
}
void StdFont::Charset(int16_t v) {
    if (v < 0 || v > 255) Raise(err::InvalidPropertyValue);
    charset_ = v;
    Changed();
}

float StdFont::PixelSize() const {
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return size_ * static_cast<float>(dpi) / 72.0f;
}

LONG StdFont::PixelHeight() const { return static_cast<LONG>(std::lround(PixelSize())); }

HFONT StdFont::Handle() const {
    if (!font_) {
        LOGFONTW lf{};
        lf.lfHeight = -PixelHeight();
        lf.lfWeight = weight_;
        lf.lfItalic = italic_;
        lf.lfUnderline = underline_;
        lf.lfStrikeOut = strike_;
        lf.lfCharSet = static_cast<BYTE>(charset_);
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
        wcsncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
        font_ = CreateFontIndirectW(&lf);
        if (!font_) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    return font_;
}

bool StdFont::SameAs(const StdFont& o) const {
    return NameIs(name_, o.name_) && size_ == o.size_ && weight_ == o.weight_ && italic_ == o.italic_ &&
           underline_ == o.underline_ && strike_ == o.strike_ && charset_ == o.charset_;
}

Variant StdFont::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"Name")) return name_;
    if (NameIs(n, L"Size")) return size_;
    if (NameIs(n, L"Bold")) return Variant::FromBoolean(Bold());
    if (NameIs(n, L"Italic")) return Variant::FromBoolean(Italic());
    if (NameIs(n, L"Underline")) return Variant::FromBoolean(Underline());
    if (NameIs(n, L"Strikethrough")) return Variant::FromBoolean(Strikethrough());
    if (NameIs(n, L"Weight")) return weight_;
    if (NameIs(n, L"Charset")) return charset_;
    return Object::GetProperty(n);
}

void StdFont::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"Name")) return Name(v.AsString());
    if (NameIs(n, L"Size")) return Size(v.AsSingle());
    if (NameIs(n, L"Bold")) return Bold(v.AsBoolean());
    if (NameIs(n, L"Italic")) return Italic(v.AsBoolean());
    if (NameIs(n, L"Underline")) return Underline(v.AsBoolean());
    if (NameIs(n, L"Strikethrough")) return Strikethrough(v.AsBoolean());
    if (NameIs(n, L"Weight")) return Weight(v.AsInteger());
    if (NameIs(n, L"Charset")) return Charset(v.AsInteger());
    Object::LetProperty(n, v);
}

}  // namespace forms
