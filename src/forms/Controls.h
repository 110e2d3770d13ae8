#pragma once
// The platform's own controls as the runtime offers them: text box,
// drop-down list, check box, option button, command button and scroll bars.
#include <memory>
#include <string>
#include <vector>

#include "forms/StdFont.h"
#include "forms/Surface.h"

namespace forms {

// The common part: colours, font and caption text of a platform control.
class Control : public Window {
public:
    Control(Window* container, std::wstring name, int32_t backColor, int32_t foreColor);
    ~Control() override;

    int32_t BackColor() const { return backColor_; }
    void BackColor(int32_t c);
    int32_t ForeColor() const { return foreColor_; }
    void ForeColor(int32_t c);
    const std::shared_ptr<StdFont>& Font() const { return font_; }
    void Font(std::shared_ptr<StdFont> f);
    // Shows the font object's current state too.
    void Refresh() override;

    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;

protected:
    std::wstring WindowText() const override { return text_; }
    void OnCreated() override;
    bool OnReflected(UINT m, WPARAM w, LPARAM l, LRESULT& result) override;
    // A notification the control sent its container (WM_COMMAND's code).
    virtual void OnCommand(WORD code) {}
    virtual void OnScroll(WORD code) {}
    void SetText(const std::wstring& v);
    void ApplyFont();

    std::wstring text_;
    int32_t backColor_;
    int32_t foreColor_;
    std::shared_ptr<StdFont> font_ = StdFont::Default();
    HBRUSH brush_ = nullptr;
};

// The platform's button in its three kinds: a caption and a click.
class ButtonControl : public Control {
public:
    ButtonControl(Window* container, std::wstring name, std::wstring caption);
    const std::wstring& Caption() const { return text_; }
    void Caption(const std::wstring& v) { SetText(v); }

    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;

protected:
    const wchar_t* PlatformClass() const override { return L"BUTTON"; }
};

class CommandButton : public ButtonControl {
public:
    explicit CommandButton(Window* container, std::wstring name = {}, std::wstring caption = {});
    std::wstring TypeName() const override { return L"CommandButton"; }
    // One default button per form: Enter presses it (setting one clears the others).
    Boolean Default() const { return ToBoolean(default_); }
    void Default(Boolean v);
    // Esc presses the cancel button.
    Boolean Cancel() const { return ToBoolean(cancel_); }
    void Cancel(Boolean v) { cancel_ = v != 0; }
    // Value = True presses the button (Click).
    void Value(Boolean v);
    // Presses the button as the user would: Click, when it is enabled.
    void Press();

    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;

protected:
    DWORD Style() const override;
    void OnCommand(WORD code) override;

private:
    bool default_ = false;
    bool cancel_ = false;
};

enum CheckBoxValue : int16_t { vbUnchecked = 0, vbChecked = 1, vbGrayed = 2 };

class CheckBox : public ButtonControl {
public:
    explicit CheckBox(Window* container, std::wstring name = {}, std::wstring caption = {});
    std::wstring TypeName() const override { return L"CheckBox"; }
    int16_t Value() const { return value_; }
    // 0, 1 or 2 (others raise 380); a change raises Click.
    void Value(int16_t v);

    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;

protected:
    DWORD Style() const override;
    void OnCreated() override;
    void OnCommand(WORD code) override;

private:
    int16_t value_ = vbUnchecked;
};

// Option buttons in the same container form one group with at most one set.
class OptionButton : public ButtonControl {
public:
    explicit OptionButton(Window* container, std::wstring name = {}, std::wstring caption = {});
    std::wstring TypeName() const override { return L"OptionButton"; }
    Boolean Value() const { return ToBoolean(value_); }
    // True clears the others of the group and raises Click (when it was not set).
    void Value(Boolean v);

    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;

protected:
    DWORD Style() const override;
    void OnCreated() override;
    void OnCommand(WORD code) override;

private:
    bool value_ = false;
};

class TextBox : public Control {
public:
    explicit TextBox(Window* container, std::wstring name = {});
    std::wstring TypeName() const override { return L"TextBox"; }
    std::wstring Text() const;
    // A different text raises Change.
    void Text(const std::wstring& v);
    Boolean Locked() const { return ToBoolean(locked_); }
    void Locked(Boolean v);
    std::function<void()> Change;

    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;

protected:
    const wchar_t* PlatformClass() const override { return L"EDIT"; }
    DWORD Style() const override;
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
    void OnCommand(WORD code) override;

private:
    bool locked_ = false;
};

// A drop-down list: the user picks one of the items, no typing.
class ComboBox : public Control {
public:
    explicit ComboBox(Window* container, std::wstring name = {});
    std::wstring TypeName() const override { return L"ComboBox"; }

    // Adds at the end or before index (0..ListCount, others raise 5).
    void AddItem(const std::wstring& item, std::optional<int16_t> index = {});
    void RemoveItem(int16_t index);
    void Clear();
    // The item's text; beyond the end ""; below -1 raises 381. List(-1) is Text.
    std::wstring List(int16_t index) const;
    int16_t ListCount() const { return static_cast<int16_t>(items_.size()); }
    int16_t ListIndex() const { return listIndex_; }
    // -1 (none) to ListCount - 1, others raise 380; a change raises Click.
    void ListIndex(int16_t v);
    // The selected item's text, "" when none.
    std::wstring Text() const { return listIndex_ >= 0 ? items_[listIndex_] : std::wstring(); }

    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;
    Variant CallMethod(std::wstring_view name, const std::vector<Variant>& args) override;

protected:
    const wchar_t* PlatformClass() const override { return L"COMBOBOX"; }
    DWORD Style() const override;
    void OnCreated() override;
    void ApplyRect() override;
    void OnCommand(WORD code) override;

private:
    std::vector<std::wstring> items_;
    int16_t listIndex_ = -1;
};

class ScrollBar : public Control {
public:
    ScrollBar(Window* container, std::wstring name, bool vertical);
    std::wstring TypeName() const override { return vertical_ ? L"VScrollBar" : L"HScrollBar"; }

    int16_t Min() const { return min_; }
    void Min(int16_t v);
    int16_t Max() const { return max_; }
    void Max(int16_t v);
    int16_t Value() const { return value_; }
    // Outside Min..Max raises 380; a change raises Change.
    void Value(int16_t v);
    int16_t SmallChange() const { return small_; }
    void SmallChange(int16_t v);  // 1 to 32767
    int16_t LargeChange() const { return large_; }
    void LargeChange(int16_t v);

    // Change: the value has changed (by code or at the end of a scroll);
    // Scroll: the thumb is being dragged.
    std::function<void()> Change, Scroll;

    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;

protected:
    const wchar_t* PlatformClass() const override { return L"SCROLLBAR"; }
    DWORD Style() const override;
    void OnCreated() override;
    void OnScroll(WORD code) override;

private:
    void SetValue(int v, bool scrolling);
    void ApplyRange();
    bool vertical_;
    int16_t min_ = 0, max_ = 32767, value_ = 0, small_ = 1, large_ = 1;
};

class HScrollBar : public ScrollBar {
public:
    explicit HScrollBar(Window* container, std::wstring name = {}) : ScrollBar(container, std::move(name), false) {}
};
class VScrollBar : public ScrollBar {
public:
    explicit VScrollBar(Window* container, std::wstring name = {}) : ScrollBar(container, std::move(name), true) {}
};

// The keys a form's controls get from the message loop: Enter presses the
// default button, Esc the cancel button, Tab moves the focus.
bool DialogKeys(MSG& msg);

}  // namespace forms
