#include "forms/Controls.h"

#include <algorithm>

#include "forms/Error.h"
#include "forms/Form.h"

namespace forms {

namespace err {
inline constexpr int32_t InvalidArrayIndex = 381;
}

// ---- Control ----

Control::Control(Window* container, std::wstring name, int32_t backColor, int32_t foreColor)
    : Window(container, std::move(name)), backColor_(backColor), foreColor_(foreColor) {}

Control::~Control() {
    if (brush_) DeleteObject(brush_);
}

void Control::BackColor(int32_t c) {
    TranslateColour(c);
    backColor_ = c;
    if (brush_) {
        DeleteObject(brush_);
        brush_ = nullptr;
    }
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::ForeColor(int32_t c) {
    TranslateColour(c);
    foreColor_ = c;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::Font(std::shared_ptr<StdFont> f) {
    if (!f) Raise(err::ObjectNotSet);
    font_ = std::move(f);
    ApplyFont();
}

void Control::ApplyFont() {
    if (hwnd_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), TRUE);
}

void Control::Refresh() {
    ApplyFont();
    Window::Refresh();
}

void Control::OnCreated() {
    Window::OnCreated();
    ApplyFont();
}

void Control::SetText(const std::wstring& v) {
    text_ = v;
    if (hwnd_) SetWindowTextW(hwnd_, v.c_str());
}

bool Control::OnReflected(UINT m, WPARAM w, LPARAM l, LRESULT& result) {
    switch (m) {
        case WM_COMMAND:
            OnCommand(HIWORD(w));
            result = 0;
            return true;
        case WM_HSCROLL:
        case WM_VSCROLL:
            OnScroll(LOWORD(w));
            result = 0;
            return true;
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX: {
            HDC dc = reinterpret_cast<HDC>(w);
            SetTextColor(dc, TranslateColour(foreColor_));
            SetBkColor(dc, TranslateColour(backColor_));
            if (!brush_) brush_ = CreateSolidBrush(TranslateColour(backColor_));
            result = reinterpret_cast<LRESULT>(brush_);
            return true;
        }
        default:
            return false;
    }
}

Variant Control::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"BackColor")) return BackColor();
    if (NameIs(n, L"ForeColor")) return ForeColor();
    if (NameIs(n, L"Font")) return Variant(ObjectPtr(font_));
    return Window::GetProperty(n);
}

void Control::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"BackColor")) return BackColor(v.AsLong());
    if (NameIs(n, L"ForeColor")) return ForeColor(v.AsLong());
    if (NameIs(n, L"Font")) {
        auto f = std::dynamic_pointer_cast<StdFont>(v.AsObject());
        if (!f) Raise(err::TypeMismatch);
        return Font(f);
    }
    Window::LetProperty(n, v);
}

// ---- buttons ----

ButtonControl::ButtonControl(Window* container, std::wstring name, std::wstring caption)
    : Control(container, std::move(name), vbButtonFace, vbButtonText) {
    text_ = std::move(caption);
}

Variant ButtonControl::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"Caption")) return Caption();
    return Control::GetProperty(n);
}

void ButtonControl::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"Caption")) return Caption(v.AsString());
    Control::LetProperty(n, v);
}

CommandButton::CommandButton(Window* container, std::wstring name, std::wstring caption)
    : ButtonControl(container, std::move(name), std::move(caption)) {}

DWORD CommandButton::Style() const {
    return Window::Style() | WS_TABSTOP | (default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void CommandButton::Default(Boolean v) {
    default_ = v != 0;
    if (default_) {
        if (Form* f = HostForm())
            for (Component* c : f->Controls())
                if (auto* b = dynamic_cast<CommandButton*>(c); b && b != this && b->default_) b->Default(False);
    }
    if (hwnd_) SendMessageW(hwnd_, BM_SETSTYLE, default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void CommandButton::Value(Boolean v) {
    if (v) OnClick();
}

void CommandButton::Press() {
    if (enabled_) OnClick();
}

void CommandButton::OnCommand(WORD code) {
    if (code == BN_CLICKED) OnClick();
}

Variant CommandButton::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"Default")) return Variant::FromBoolean(Default());
    if (NameIs(n, L"Cancel")) return Variant::FromBoolean(Cancel());
    if (NameIs(n, L"Value")) return Variant::FromBoolean(False);
    return ButtonControl::GetProperty(n);
}

void CommandButton::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"Default")) return Default(v.AsBoolean());
    if (NameIs(n, L"Cancel")) return Cancel(v.AsBoolean());
    if (NameIs(n, L"Value")) return Value(v.AsBoolean());
    ButtonControl::LetProperty(n, v);
}

// ---- CheckBox ----

CheckBox::CheckBox(Window* container, std::wstring name, std::wstring caption)
    : ButtonControl(container, std::move(name), std::move(caption)) {}

DWORD CheckBox::Style() const { return Window::Style() | WS_TABSTOP | BS_3STATE; }

void CheckBox::OnCreated() {
    Control::OnCreated();
    SendMessageW(hwnd_, BM_SETCHECK, static_cast<WPARAM>(value_), 0);
}

void CheckBox::Value(int16_t v) {
    if (v < vbUnchecked || v > vbGrayed) Raise(err::InvalidPropertyValue);
    if (v == value_) return;
    value_ = v;
    if (hwnd_) SendMessageW(hwnd_, BM_SETCHECK, static_cast<WPARAM>(v), 0);
    OnClick();
}

void CheckBox::OnCommand(WORD code) {
    // A click checks an unchecked (or greyed) box and clears a checked one.
    if (code == BN_CLICKED) Value(value_ == vbChecked ? vbUnchecked : vbChecked);
}

Variant CheckBox::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"Value")) return Value();
    return ButtonControl::GetProperty(n);
}

void CheckBox::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"Value")) return Value(v.AsInteger());
    ButtonControl::LetProperty(n, v);
}

// ---- OptionButton ----

OptionButton::OptionButton(Window* container, std::wstring name, std::wstring caption)
    : ButtonControl(container, std::move(name), std::move(caption)) {}

DWORD OptionButton::Style() const { return Window::Style() | WS_TABSTOP | BS_RADIOBUTTON; }

void OptionButton::OnCreated() {
    Control::OnCreated();
    SendMessageW(hwnd_, BM_SETCHECK, value_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void OptionButton::Value(Boolean v) {
    const bool set = v != 0;
    if (set == value_) return;
    value_ = set;
    if (hwnd_) SendMessageW(hwnd_, BM_SETCHECK, set ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!set) return;
    if (container_)
        for (Component* c : container_->Children())
            if (auto* o = dynamic_cast<OptionButton*>(c); o && o != this && o->value_) o->Value(False);
    OnClick();
}

void OptionButton::OnCommand(WORD code) {
    if (code == BN_CLICKED) Value(True);
}

Variant OptionButton::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"Value")) return Variant::FromBoolean(Value());
    return ButtonControl::GetProperty(n);
}

void OptionButton::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"Value")) return Value(v.AsBoolean());
    ButtonControl::LetProperty(n, v);
}

// ---- TextBox ----

TextBox::TextBox(Window* container, std::wstring name)
    : Control(container, std::move(name), vbWindowBackground, vbWindowText) {}

DWORD TextBox::Style() const {
    return Window::Style() | WS_TABSTOP | ES_AUTOHSCROLL | (locked_ ? ES_READONLY : 0);
}

std::wstring TextBox::Text() const {
    if (!hwnd_) return text_;
    int n = GetWindowTextLengthW(hwnd_);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    s.resize(static_cast<size_t>(GetWindowTextW(hwnd_, s.data(), n + 1)));
    return s;
}

void TextBox::Text(const std::wstring& v) {
    if (v == Text()) return;
    text_ = v;
    if (hwnd_)
        SetWindowTextW(hwnd_, v.c_str());  // the control's change notice raises Change
    else if (Change)
        Change();
}

void TextBox::Locked(Boolean v) {
    locked_ = v != 0;
    if (hwnd_) SendMessageW(hwnd_, EM_SETREADONLY, locked_, 0);
}

void TextBox::OnCommand(WORD code) {
    if (code != EN_CHANGE) return;
    text_ = Text();
    if (Change) Change();
}

Variant TextBox::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"Text")) return Text();
    if (NameIs(n, L"Locked")) return Variant::FromBoolean(Locked());
    return Control::GetProperty(n);
}

void TextBox::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"Text")) return Text(v.AsString());
    if (NameIs(n, L"Locked")) return Locked(v.AsBoolean());
    Control::LetProperty(n, v);
}

// ---- ComboBox ----

ComboBox::ComboBox(Window* container, std::wstring name)
    : Control(container, std::move(name), vbWindowBackground, vbWindowText) {}

DWORD ComboBox::Style() const { return Window::Style() | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST; }

void ComboBox::OnCreated() {
    Control::OnCreated();
    for (const auto& item : items_) SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(listIndex_), 0);
    ApplyRect();
}

void ComboBox::ApplyRect() {
    if (!hwnd_) return;
    // The platform's height includes the dropped list; ours is the closed box.
    RECT r = rect_;
    const int list = 8 * std::max<int>(16, static_cast<int>(SendMessageW(hwnd_, CB_GETITEMHEIGHT, 0, 0)));
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top + list, SWP_NOZORDER | SWP_NOACTIVATE);
    rect_ = r;
}

void ComboBox::AddItem(const std::wstring& item, std::optional<int16_t> index) {
    const int16_t at = index.value_or(ListCount());
    if (at < 0 || at > ListCount()) Raise(err::InvalidCall);
    items_.insert(items_.begin() + at, item);
    if (listIndex_ >= at && index) ++listIndex_;
    if (hwnd_) SendMessageW(hwnd_, CB_INSERTSTRING, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(item.c_str()));
}

void ComboBox::RemoveItem(int16_t index) {
    if (index < 0 || index >= ListCount()) Raise(err::InvalidCall);
    items_.erase(items_.begin() + index);
    if (listIndex_ == index)
        listIndex_ = -1;
    else if (listIndex_ > index)
        --listIndex_;
    if (hwnd_) {
        SendMessageW(hwnd_, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
        SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(listIndex_), 0);
    }
}

void ComboBox::Clear() {
    items_.clear();
    listIndex_ = -1;
    if (hwnd_) SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
}

std::wstring ComboBox::List(int16_t index) const {
    if (index < -1) Raise(err::InvalidArrayIndex);
    if (index == -1) return Text();
    return index < ListCount() ? items_[index] : std::wstring();
}

void ComboBox::ListIndex(int16_t v) {
    if (v < -1 || v >= ListCount()) Raise(err::InvalidPropertyValue);
    if (v == listIndex_) return;
    listIndex_ = v;
    if (hwnd_) SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(v), 0);
    OnClick();
}

void ComboBox::OnCommand(WORD code) {
    if (code != CBN_SELCHANGE) return;
    int sel = static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
    if (sel == listIndex_) return;
    listIndex_ = static_cast<int16_t>(sel);
    OnClick();
}

Variant ComboBox::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"ListIndex")) return ListIndex();
    if (NameIs(n, L"ListCount")) return ListCount();
    if (NameIs(n, L"Text")) return Text();
    return Control::GetProperty(n);
}

void ComboBox::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"ListIndex")) return ListIndex(v.AsInteger());
    Control::LetProperty(n, v);
}

Variant ComboBox::CallMethod(std::wstring_view n, const std::vector<Variant>& a) {
    if (NameIs(n, L"AddItem")) {
        AddItem(ArgAt(a, 0).AsString(),
                ArgAt(a, 1).IsEmpty() ? std::nullopt : std::optional<int16_t>(ArgAt(a, 1).AsInteger()));
        return {};
    }
    if (NameIs(n, L"RemoveItem")) {
        RemoveItem(ArgAt(a, 0).AsInteger());
        return {};
    }
    if (NameIs(n, L"Clear")) {
        Clear();
        return {};
    }
    if (NameIs(n, L"List")) return List(ArgAt(a, 0).AsInteger());
    return Control::CallMethod(n, a);
}

// ---- ScrollBar ----

ScrollBar::ScrollBar(Window* container, std::wstring name, bool vertical)
    : Control(container, std::move(name), vbButtonFace, vbButtonText), vertical_(vertical) {}

DWORD ScrollBar::Style() const { return Window::Style() | WS_TABSTOP | (vertical_ ? SBS_VERT : SBS_HORZ); }

void ScrollBar::OnCreated() {
    Control::OnCreated();
    ApplyRange();
}

void ScrollBar::ApplyRange() {
    if (!hwnd_) return;
    // The platform wants min <= max; a reversed range runs the other way.
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_POS | SIF_PAGE};
    si.nMin = std::min(min_, max_);
    si.nMax = std::max(min_, max_);
    si.nPage = 0;
    si.nPos = min_ <= max_ ? value_ : min_ + max_ - value_;
    SetScrollInfo(hwnd_, SB_CTL, &si, TRUE);
}

void ScrollBar::Min(int16_t v) {
    min_ = v;
    if (value_ < std::min(min_, max_) || value_ > std::max(min_, max_)) value_ = min_;
    ApplyRange();
}

void ScrollBar::Max(int16_t v) {
    max_ = v;
    if (value_ < std::min(min_, max_) || value_ > std::max(min_, max_)) value_ = min_;
    ApplyRange();
}

void ScrollBar::SmallChange(int16_t v) {
    if (v < 1) Raise(err::InvalidPropertyValue);
    small_ = v;
}

void ScrollBar::LargeChange(int16_t v) {
    if (v < 1) Raise(err::InvalidPropertyValue);
    large_ = v;
}

void ScrollBar::Value(int16_t v) {
    if (v < std::min(min_, max_) || v > std::max(min_, max_)) Raise(err::InvalidPropertyValue);
    SetValue(v, false);
}

void ScrollBar::SetValue(int v, bool scrolling) {
    v = std::clamp<int>(v, std::min(min_, max_), std::max(min_, max_));
    if (v == value_) return;
    value_ = static_cast<int16_t>(v);
    ApplyRange();
    if (scrolling) {
        if (Scroll) Scroll();
    } else if (Change) {
        Change();
    }
}

void ScrollBar::OnScroll(WORD code) {
    const int dir = min_ <= max_ ? 1 : -1;
    switch (code) {
        case SB_LINEUP: SetValue(value_ - dir * small_, false); break;
        case SB_LINEDOWN: SetValue(value_ + dir * small_, false); break;
        case SB_PAGEUP: SetValue(value_ - dir * large_, false); break;
        case SB_PAGEDOWN: SetValue(value_ + dir * large_, false); break;
        case SB_TOP: SetValue(min_, false); break;
        case SB_BOTTOM: SetValue(max_, false); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO si{sizeof si, SIF_TRACKPOS};
            GetScrollInfo(hwnd_, SB_CTL, &si);
            int v = min_ <= max_ ? si.nTrackPos : min_ + max_ - si.nTrackPos;
            SetValue(v, code == SB_THUMBTRACK);
            break;
        }
        case SB_ENDSCROLL:
            break;
    }
}

Variant ScrollBar::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"Min")) return Min();
    if (NameIs(n, L"Max")) return Max();
    if (NameIs(n, L"Value")) return Value();
    if (NameIs(n, L"SmallChange")) return SmallChange();
    if (NameIs(n, L"LargeChange")) return LargeChange();
    return Control::GetProperty(n);
}

void ScrollBar::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"Min")) return Min(v.AsInteger());
    if (NameIs(n, L"Max")) return Max(v.AsInteger());
    if (NameIs(n, L"Value")) return Value(v.AsInteger());
    if (NameIs(n, L"SmallChange")) return SmallChange(v.AsInteger());
    if (NameIs(n, L"LargeChange")) return LargeChange(v.AsInteger());
    Control::LetProperty(n, v);
}

// ---- keys of the message loop ----

bool DialogKeys(MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE && msg.wParam != VK_TAB) return false;
    Window* target = nullptr;
    for (HWND h = msg.hwnd; h && !target; h = GetParent(h)) target = Window::FromHandle(h);
    Form* form = target ? target->HostForm() : nullptr;
    if (!form || !form->hWnd()) return false;
    // An open drop-down list takes its own Enter and Esc.
    if (auto* combo = dynamic_cast<ComboBox*>(target); combo && SendMessageW(combo->hWnd(), CB_GETDROPPEDSTATE, 0, 0))
        return false;
    if (msg.wParam == VK_TAB) {
        // Among the controls on the screen window, wherever their form's content was moved.
        HWND root = GetAncestor(msg.hwnd, GA_ROOT);
        HWND next = GetNextDlgTabItem(root, GetFocus(), GetKeyState(VK_SHIFT) < 0);
        if (!next) return false;
        SetFocus(next);
        return true;
    }
    auto usable = [](CommandButton* b) { return IsWindowVisible(b->hWnd()) && IsWindowEnabled(b->hWnd()); };
    if (msg.wParam == VK_RETURN)
        if (auto* focused = dynamic_cast<CommandButton*>(target); focused && usable(focused)) {
            focused->Press();
            return true;
        }
    for (Component* c : form->Controls()) {
        auto* b = dynamic_cast<CommandButton*>(c);
        if (!b || !usable(b)) continue;
        if ((msg.wParam == VK_RETURN && b->Default()) || (msg.wParam == VK_ESCAPE && b->Cancel())) {
            b->Press();
            return true;
        }
    }
    return false;
}

}  // namespace forms
