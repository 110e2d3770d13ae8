#include "forms/PictureBox.h"

namespace forms {

PictureBox::PictureBox(Window* container, std::wstring name) : Surface(container, std::move(name)) {
    borderStyle_ = 1;
}

void PictureBox::AutoSize(Boolean v) {
    autoSize_ = v != 0;
    if (autoSize_) FitToPicture();
}

void PictureBox::FitToPicture() {
    if (!autoSize_ || !picture_) return;
    // The client area takes the picture's size; the frame comes on top.
    SIZE frame = FrameSize();
    SetPixelRect(rect_.left, rect_.top, picture_.PixelWidth() + frame.cx, picture_.PixelHeight() + frame.cy);
}

void PictureBox::Picture(const forms::Picture& p) {
    picture_ = p;
    // Size first, so that the persistent image starts again at the new size.
    FitToPicture();
    Surface::Picture(p);
}

Variant PictureBox::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"AutoSize")) return Variant::FromBoolean(AutoSize());
    return Surface::GetProperty(n);
}

void PictureBox::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"AutoSize")) return AutoSize(v.AsBoolean());
    Surface::LetProperty(n, v);
}

}  // namespace forms
