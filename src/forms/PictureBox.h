#pragma once
// The picture box: a drawing surface inside a container; with AutoSize it
// takes the size of each picture assigned to it.
#include "forms/Surface.h"

namespace forms {

class PictureBox : public Surface {
public:
    explicit PictureBox(Window* container, std::wstring name = {});
    std::wstring TypeName() const override { return L"PictureBox"; }

    Boolean AutoSize() const { return ToBoolean(autoSize_); }
    void AutoSize(Boolean v);
    using Surface::Picture;
    void Picture(const forms::Picture& p) override;

    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;

private:
    void FitToPicture();
    bool autoSize_ = false;
};

}  // namespace forms
