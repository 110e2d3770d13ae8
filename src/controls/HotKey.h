#pragma once
// A user control in which the user types a key combination: the platform's
// hot-key edit control as a child window covering the control, reporting a
// virtual-key code and a modifier mask (Shift 1, Ctrl 2, Alt 4).
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "forms/Forms.h"

class HotKey : public forms::UserControl {
public:
    explicit HotKey(forms::Window* container, std::wstring name = L"HotKey");
    ~HotKey() override;

    std::wstring TypeName() const override { return L"HotKey"; }

    // Sends the whole hotkey value to hwnd as WM_SETHOTKEY; True only when
    // the platform answers 1.
    forms::Boolean SetApplicationHotKey(HWND hwnd);
    // Sets (bState non-zero) or clears bits of the two rule masks and sends
    // them; the masks accumulate over calls.
    void InvalidHotKeyOperation(int32_t eInvalidModifier, int32_t eAlternateModifier, forms::Boolean bState);
    // The property HotKey (a member may not share the class's name in C++).
    int32_t GetHotKey();
    void LetHotKey(int32_t lKey);
    int32_t HotKeyModifier();
    void HotKeyModifier(int32_t eModifier);
    int32_t HotKeyAndModifier();
    using forms::UserControl::Font;
    void Font(std::shared_ptr<forms::StdFont> sFont) override;

    // The child hot-key window, 0 until created.
    HWND FieldWindow() const { return field_; }

    forms::Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const forms::Variant& value) override;
    forms::Variant CallMethod(std::wstring_view name, const std::vector<forms::Variant>& args) override;

protected:
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(forms::PropertyBag& bag) override;
    void UserControl_WriteProperties(forms::PropertyBag& bag) override;
    void UserControl_Resize() override;
    void UserControl_GotFocus() override;
    void UserControl_Terminate() override;

private:
    void FontToLogFont(const forms::StdFont& font, HDC dc);
    void CreateHotKeyWindow();
    SIZE FieldSize() const;
    LRESULT SendToField(UINT msg, WPARAM w, LPARAM l);
    // The field goes, then its font.
    void DestroyField();

    HWND field_ = nullptr;
    int32_t invalidCombinations_ = 0;
    int32_t replacementModifiers_ = 0;
    LOGFONTA fontRecord_{};
    HFONT fontHandle_ = nullptr;
    forms::Boolean commonControlsReady_ = forms::False;
};
