#pragma once
// The standard font object: a description that makes its platform font on
// demand and makes it again after a change.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "forms/Object.h"
#include "forms/Values.h"

namespace forms {

class StdFont : public Object {
public:
    StdFont() = default;
    StdFont(std::wstring name, float size, bool bold = false);
    ~StdFont() override;
    StdFont(const StdFont& o);
    StdFont& operator=(const StdFont& o);

    std::wstring TypeName() const override { return L"StdFont"; }

    // The runtime's default font for forms and controls.
    static std::shared_ptr<StdFont> Default();
    std::shared_ptr<StdFont> Clone() const { return std::make_shared<StdFont>(*this); }

    const std::wstring& Name() const { return name_; }
    void Name(const std::wstring& v);
    float Size() const { return size_; }
    void Size(float points);  // not above 0 or over 2160 raises 380
    // The size in the screen's pixels at its real dots per inch; rounded as
    // the platform rounds, the height its fonts take.
    float PixelSize() const;
    LONG PixelHeight() const;
    Boolean Bold() const { return ToBoolean(weight_ >= FW_BOLD); }
    void Bold(Boolean v);
    Boolean Italic() const { return ToBoolean(italic_); }
    void Italic(Boolean v);
    Boolean Underline() const { return ToBoolean(underline_); }
    void Underline(Boolean v);
    Boolean Strikethrough() const { return ToBoolean(strike_); }
    void Strikethrough(Boolean v);
    int16_t Weight() const { return weight_; }
    void Weight(int16_t v);
    int16_t Charset() const { return charset_; }
    void Charset(int16_t v);

    // The platform font (owned by this object); valid until the next change.
    HFONT Handle() const;
    // Counts changes, so that users of the handle know when to fetch it again.
    uint32_t Version() const { return version_; }

    bool SameAs(const StdFont& o) const;

    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;

private:
    void Changed();

    std::wstring name_ = L"MS Sans Serif";
    float size_ = 8.25f;
    int16_t weight_ = FW_NORMAL;
    bool italic_ = false, underline_ = false, strike_ = false;
    int16_t charset_ = DEFAULT_CHARSET;
    mutable HFONT font_ = nullptr;
    uint32_t version_ = 0;
};

}  // namespace forms
