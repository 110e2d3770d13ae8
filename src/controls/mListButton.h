#pragma once
// The list push button: the toolbar push button with its picture centred
// above the caption, one selected button at a time among the mListButton
// controls of its form, and a mouse pointer of its own.
#include "controls/PushButtonCore.h"

class mListButton : public PushButtonCore {
public:
    explicit mListButton(forms::Window* container, std::wstring name = L"mListButton");
    std::wstring TypeName() const override { return L"mListButton"; }

    // True first deselects every mListButton of the form, this one included.
    void SelectButton(forms::Boolean& Selection) override;
    int32_t MousePointer() const { return PushButtonCore::MousePointer(); }
    // Outside the 16-bit range raises the overflow error and changes nothing.
    void MousePointer(int32_t v);
    const forms::Picture& MouseIcon() const { return PushButtonCore::MouseIcon(); }
    void MouseIcon(const forms::Picture& p);

    forms::Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const forms::Variant& value) override;

protected:
    pushbutton::Placement PlaceContent(const pushbutton::PlacementInput& in) const override;
    void UserControl_ReadProperties(forms::PropertyBag& bag) override;
    void UserControl_WriteProperties(forms::PropertyBag& bag) override;
};
