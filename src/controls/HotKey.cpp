#include "controls/HotKey.h"

#include <commctrl.h>

#include <cstring>

#include "forms/Error.h"
#include "forms/Runtime.h"

using forms::Boolean;
using forms::NameIs;
using forms::Variant;

namespace {

constexpr int32_t kDefaultModifier = 4;  // Alt

std::shared_ptr<forms::StdFont> DefaultFieldFont() {
    return std::make_shared<forms::StdFont>(L"MS Sans Serif", 8.0f);
}

int32_t KeyByte(int32_t value) { return value & 0xFF; }
int32_t ModifierByte(int32_t value) { return forms::IntDiv(value, 0x100) & 0xFF; }

// A face name that does not fit is cut after the last whole character that
// does, so that a double-byte character is never split.
void CopyFaceName(const std::wstring& name, char (&face)[LF_FACESIZE]) {
    std::string ansi = forms::ToAnsi(name);
    size_t n = 0;
    while (n < ansi.size()) {
        size_t step = (IsDBCSLeadByte(static_cast<BYTE>(ansi[n])) && n + 1 < ansi.size()) ? 2 : 1;
        if (n + step > LF_FACESIZE - 1) break;
        n += step;
    }
    std::memset(face, 0, LF_FACESIZE);
    std::memcpy(face, ansi.data(), n);
}

}  // namespace

HotKey::HotKey(forms::Window* container, std::wstring name) : forms::UserControl(container, std::move(name)) {}

HotKey::~HotKey() { DestroyField(); }

void HotKey::DestroyField() {
    // The field goes first, so it never holds a deleted font.
    if (field_ && IsWindow(field_)) DestroyWindow(field_);
    field_ = nullptr;
    if (fontHandle_) DeleteObject(fontHandle_);
    fontHandle_ = nullptr;
    invalidCombinations_ = 0;
    replacementModifiers_ = 0;
}

// The form's unload ends this control; its next load makes it anew.
void HotKey::UserControl_Terminate() { DestroyField(); }

LRESULT HotKey::SendToField(UINT msg, WPARAM w, LPARAM l) {
    // Before the field exists a message reaches no window.
    return field_ ? SendMessageA(field_, msg, w, l) : 0;
}

Boolean HotKey::SetApplicationHotKey(HWND hwnd) {
    LRESULT answer = SendMessageA(hwnd, WM_SETHOTKEY, static_cast<WPARAM>(HotKeyAndModifier()), 0);
    return answer == 1 ? forms::True : forms::False;
}

void HotKey::InvalidHotKeyOperation(int32_t eInvalidModifier, int32_t eAlternateModifier, Boolean bState) {
    int32_t i = eInvalidModifier & 0xFF;
    int32_t a = eAlternateModifier & 0xFF;
    if (bState != 0) {
        invalidCombinations_ |= i;
        replacementModifiers_ |= a;
    } else {
        invalidCombinations_ &= ~i;
        replacementModifiers_ &= ~a;
    }
    SendToField(HKM_SETRULES, static_cast<WPARAM>(invalidCombinations_), static_cast<LPARAM>(replacementModifiers_));
}

int32_t HotKey::HotKeyAndModifier() { return static_cast<int32_t>(SendToField(HKM_GETHOTKEY, 0, 0)); }

int32_t HotKey::GetHotKey() { return KeyByte(HotKeyAndModifier()); }

void HotKey::LetHotKey(int32_t lKey) {
    int32_t cur = HotKeyAndModifier();
    // The whole argument is compared, so a value above 255 is always sent.
    if (lKey == KeyByte(cur)) return;
    SendToField(HKM_SETHOTKEY, static_cast<WPARAM>((cur & ~0xFF) | (lKey & 0xFF)), 0);
    PropertyChanged(L"HotKey");
}

int32_t HotKey::HotKeyModifier() { return ModifierByte(HotKeyAndModifier()); }

void HotKey::HotKeyModifier(int32_t eModifier) {
    int32_t cur = HotKeyAndModifier();
    int32_t m = eModifier & 0xFF;
    if (m == ModifierByte(cur)) return;
    SendToField(HKM_SETHOTKEY, static_cast<WPARAM>(m * 0x100 | KeyByte(cur)), 0);
    PropertyChanged(L"HotKeyModifier");
}

void HotKey::Font(std::shared_ptr<forms::StdFont> sFont) {
    // The same object again builds nothing, unless a reload of the form has
    // left the control without its platform font.
    if (sFont == Font() && fontHandle_) return;
    if (!sFont) forms::Raise(forms::err::ObjectNotSet);
    forms::UserControl::Font(sFont);
    HDC dc = hDC();
    HDC screen = dc ? nullptr : GetDC(nullptr);
    FontToLogFont(*sFont, dc ? dc : screen);
    if (screen) ReleaseDC(nullptr, screen);
    HFONT previous = fontHandle_;
    fontHandle_ = CreateFontIndirectA(&fontRecord_);
    SendToField(WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle_), 1);
    if (previous) DeleteObject(previous);
    PropertyChanged(L"Font");
}

void HotKey::FontToLogFont(const forms::StdFont& font, HDC dc) {
    fontRecord_ = LOGFONTA{};
    CopyFaceName(font.Name(), fontRecord_.lfFaceName);
    int points = static_cast<int>(forms::RoundHalfEven(font.Size()));
    fontRecord_.lfHeight = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    fontRecord_.lfWeight = forms::IsTrue(font.Bold()) ? FW_BOLD : FW_NORMAL;
    fontRecord_.lfItalic = font.Italic() ? 1 : 0;
    fontRecord_.lfUnderline = font.Underline() ? 1 : 0;
    fontRecord_.lfStrikeOut = font.Strikethrough() ? 1 : 0;
}

SIZE HotKey::FieldSize() const {
    return SIZE{forms::IntDiv(ScaleWidth(), forms::Screen.TwipsPerPixelX()),
                forms::IntDiv(ScaleHeight(), forms::Screen.TwipsPerPixelY())};
}

void HotKey::CreateHotKeyWindow() {
    if (!forms::IsTrue(commonControlsReady_)) {
        InitCommonControls();
        commonControlsReady_ = forms::True;
    }
    SIZE s = FieldSize();
    field_ = CreateWindowExA(0, "msctls_hotkey32", "", WS_CHILD | WS_VISIBLE, 0, 0, s.cx, s.cy, hWnd(), nullptr,
                             forms::App.hInstance(), nullptr);
    if (field_) ::SetFocus(field_);
}

void HotKey::UserControl_InitProperties() {
    Font(Ambient().Font);
    CreateHotKeyWindow();
}

void HotKey::UserControl_ReadProperties(forms::PropertyBag& bag) {
    CreateHotKeyWindow();
    auto font = std::dynamic_pointer_cast<forms::StdFont>(bag.ReadProperty(L"Font", Variant(forms::ObjectPtr(DefaultFieldFont()))).AsObject());
    Font(font ? font : DefaultFieldFont());
    LetHotKey(bag.ReadProperty(L"HotKey", int32_t{0}).AsLong());
    HotKeyModifier(bag.ReadProperty(L"HotKeyModifier", kDefaultModifier).AsLong());
}

void HotKey::UserControl_WriteProperties(forms::PropertyBag& bag) {
    bag.WriteProperty(L"Font", Variant(forms::ObjectPtr(Font())), Variant(forms::ObjectPtr(DefaultFieldFont())));
    bag.WriteProperty(L"HotKey", GetHotKey(), int32_t{0});
    bag.WriteProperty(L"HotKeyModifier", HotKeyModifier(), kDefaultModifier);
}

void HotKey::UserControl_Resize() {
        if (!field_) return;
    SIZE s = FieldSize();
    MoveWindow(field_, 0, 0, s.cx, s.cy, TRUE);
}

void HotKey::UserControl_GotFocus() {
        if (field_) ::SetFocus(field_);
}

Variant HotKey::GetProperty(std::wstring_view name) {
    if (NameIs(name, L"HotKey")) return GetHotKey();
    if (NameIs(name, L"HotKeyModifier")) return HotKeyModifier();
    if (NameIs(name, L"HotKeyAndModifier")) return HotKeyAndModifier();
    if (NameIs(name, L"Font")) return Variant(forms::ObjectPtr(Font()));
    return forms::UserControl::GetProperty(name);
}

void HotKey::LetProperty(std::wstring_view name, const Variant& value) {
    if (NameIs(name, L"HotKey")) return LetHotKey(value.AsLong());
    if (NameIs(name, L"HotKeyModifier")) return HotKeyModifier(value.AsLong());
    if (NameIs(name, L"Font")) {
        forms::ObjectPtr object = value.AsObject();
        auto font = std::dynamic_pointer_cast<forms::StdFont>(object);
        if (object && !font) forms::Raise(forms::err::TypeMismatch);
        return Font(font);
    }
    forms::UserControl::LetProperty(name, value);
}

Variant HotKey::CallMethod(std::wstring_view name, const std::vector<Variant>& args) {
    if (NameIs(name, L"SetApplicationHotKey")) {
        HWND h = reinterpret_cast<HWND>(static_cast<intptr_t>(forms::ArgAt(args, 0).AsLong()));
        return Variant::FromBoolean(SetApplicationHotKey(h));
    }
    if (NameIs(name, L"InvalidHotKeyOperation")) {
        InvalidHotKeyOperation(forms::ArgAt(args, 0).AsLong(), forms::ArgAt(args, 1).AsLong(),
                               forms::ArgAt(args, 2).AsBoolean());
        return {};
    }
    return forms::UserControl::CallMethod(name, args);
}
