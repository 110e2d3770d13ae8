#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "controls/HotKey.h"
#include "forms/Error.h"
#include "unit/common/TestSupport.h"

using forms::Variant;

namespace {

// What the field window was sent, in order.
struct Sent {
    UINT msg;
    WPARAM w;
    LPARAM l;
    bool oldFontAlive;  // for WM_SETFONT: the previous font still existed
};

struct FieldSpy {
    static inline std::vector<Sent> log;
    static inline WNDPROC original = nullptr;
    static inline HFONT previousFont = nullptr;

    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == HKM_SETHOTKEY || m == HKM_SETRULES || m == WM_SETFONT) {
            bool alive = previousFont && GetObjectType(previousFont) != 0;
            log.push_back({m, w, l, alive});
        }
        return CallWindowProcA(original, h, m, w, l);
    }
    static void Attach(HWND field) {
        log.clear();
        original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
    }
    static void Detach(HWND field) {
        if (original && IsWindow(field)) SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        original = nullptr;
    }
    static size_t Count(UINT m) {
        return std::count_if(log.begin(), log.end(), [m](const Sent& s) { return s.msg == m; });
    }
};

LOGFONTA FieldFont(HWND field) {
    LOGFONTA lf{};
    HFONT f = reinterpret_cast<HFONT>(SendMessageA(field, WM_GETFONT, 0, 0));
    if (f) GetObjectA(f, sizeof lf, &lf);
    return lf;
}

class HotKeyForm : public forms::Form {
public:
    HotKey HKey{this, L"HKey"};
    explicit HotKeyForm(std::optional<forms::PropertyBag> bag) {
        Caption(L"hotkey test");
        ClientSize(4000, 1500);
        HKey.Move(150, 150, 2400, 450);  // 160 x 30 pixels
        if (bag) HKey.DesignProperties(std::move(*bag));
    }
};

class HotKeyTest : public testing::Test {
protected:
    // Only a shown form takes the focus; a hidden one is quicker to end.
    void Open(std::optional<forms::PropertyBag> bag = forms::PropertyBag(), bool shown = false) {
        form = std::make_unique<HotKeyForm>(std::move(bag));
        form->Load();
        if (shown) form->Show();
        testsupport::Pump(30);
        ASSERT_NE(field(), nullptr);
        FieldSpy::Attach(field());
    }
    void TearDown() override {
        if (!form) return;
        FieldSpy::Detach(field());
        forms::Unload(*form);
        form.reset();
        testsupport::Pump(20);
    }
    HotKey& hk() { return form->HKey; }
    HWND field() { return hk().FieldWindow(); }
    size_t Changed(const wchar_t* name) {
        const auto& c = hk().ChangedProperties();
        return std::count(c.begin(), c.end(), std::wstring(name));
    }

    std::unique_ptr<HotKeyForm> form;
};

forms::PropertyBag Bag(std::optional<int32_t> key, std::optional<int32_t> modifier) {
    forms::PropertyBag bag;
    if (key) bag.WriteProperty(L"HotKey", *key, int32_t{-1});
    if (modifier) bag.WriteProperty(L"HotKeyModifier", *modifier, int32_t{-1});
    return bag;
}

TEST_F(HotKeyTest, ReadingFallsBackToAltAndNoKey) {
    Open(Bag(int32_t{'S'}, std::nullopt));
    EXPECT_EQ(hk().GetHotKey(), 'S');
    EXPECT_EQ(hk().HotKeyModifier(), 4);
    EXPECT_EQ(hk().HotKeyAndModifier(), 0x400 | 'S');
    TearDown();

    Open(Bag(std::nullopt, std::nullopt));
    EXPECT_EQ(hk().GetHotKey(), 0);
    EXPECT_EQ(hk().HotKeyModifier(), 4);

    TearDown();
    Open(Bag(int32_t{'P'}, 3));
    EXPECT_EQ(hk().HotKeyAndModifier(), 0x300 | 'P');
    EXPECT_EQ(forms::GetBy(hk(), L"HotKey").AsLong(), 'P');
    EXPECT_EQ(forms::GetBy(hk(), L"HotKeyModifier").AsLong(), 3);
}

TEST_F(HotKeyTest, TheFieldCoversTheControlAndFollowsItsSize) {
    Open();
    RECT r{};
    GetWindowRect(field(), &r);
    EXPECT_EQ(r.right - r.left, 160);
    EXPECT_EQ(r.bottom - r.top, 30);
    wchar_t cls[64] = {};
    GetClassNameW(field(), cls, 64);
    EXPECT_STREQ(cls, L"msctls_hotkey32");
    EXPECT_EQ(GetParent(field()), hk().hWnd());

    hk().Move(150, 150, 3000, 600);
    testsupport::Pump(20);
    GetWindowRect(field(), &r);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 40);
}

TEST_F(HotKeyTest, LetOfTheShownValueSendsAndMarksNothing) {
    Open(Bag(int32_t{'S'}, 2));
    FieldSpy::log.clear();
    size_t before = hk().ChangedProperties().size();
    hk().LetHotKey('S');
    hk().HotKeyModifier(2);
    forms::LetBy(hk(), L"HotKey", int32_t{'S'});
    EXPECT_EQ(FieldSpy::Count(HKM_SETHOTKEY), 0u);
    EXPECT_EQ(hk().ChangedProperties().size(), before);

    hk().LetHotKey('T');
    ASSERT_EQ(FieldSpy::Count(HKM_SETHOTKEY), 1u);
    EXPECT_EQ(FieldSpy::log.back().w, static_cast<WPARAM>(0x200 | 'T'));  // the modifier byte stays
    EXPECT_EQ(Changed(L"HotKey"), 1u);
    EXPECT_EQ(Changed(L"HotKeyModifier"), 0u);
}

TEST_F(HotKeyTest, AKeyAboveByteRangeIsAlwaysSentAsItsLowByte) {
    Open(Bag(int32_t{'A'}, 1));
    FieldSpy::log.clear();
    for (int i = 0; i < 2; ++i) {
        hk().SaveProperties();  // the saved properties are up to date again
        hk().LetHotKey(0x100 + 'A');  // the same low byte as shown
        EXPECT_EQ(Changed(L"HotKey"), 1u);
    }
    ASSERT_EQ(FieldSpy::Count(HKM_SETHOTKEY), 2u);
    for (const Sent& s : FieldSpy::log) EXPECT_EQ(s.w, static_cast<WPARAM>(0x100 | 'A'));
    EXPECT_EQ(hk().HotKeyAndModifier(), 0x100 | 'A');
}

TEST_F(HotKeyTest, ModifierLetKeepsTheKey) {
    Open(Bag(int32_t{'S'}, 3));
    hk().HotKeyModifier(0);
    EXPECT_EQ(hk().HotKeyAndModifier(), 'S');
    EXPECT_EQ(Changed(L"HotKeyModifier"), 1u);
    // Only the low byte of the mask counts.
    hk().HotKeyModifier(0x7702);
    EXPECT_EQ(hk().HotKeyAndModifier(), 0x200 | 'S');
}

TEST_F(HotKeyTest, RuleMasksAccumulateOverCalls) {
    Open();
    FieldSpy::log.clear();
    hk().InvalidHotKeyOperation(HKCOMB_A, HOTKEYF_CONTROL, forms::True);
    hk().InvalidHotKeyOperation(HKCOMB_S | 0x1200, HOTKEYF_SHIFT, 1);  // any non-zero state sets
    hk().InvalidHotKeyOperation(HKCOMB_A, HOTKEYF_CONTROL, forms::False);
    forms::CallBy(hk(), L"InvalidHotKeyOperation", {int32_t{HKCOMB_NONE}, int32_t{HOTKEYF_ALT}, Variant::FromBoolean(forms::True)});
    ASSERT_EQ(FieldSpy::log.size(), 4u);
    EXPECT_EQ(FieldSpy::log[0].w, static_cast<WPARAM>(HKCOMB_A));
    EXPECT_EQ(FieldSpy::log[0].l, HOTKEYF_CONTROL);
    EXPECT_EQ(FieldSpy::log[1].w, static_cast<WPARAM>(HKCOMB_A | HKCOMB_S));
    EXPECT_EQ(FieldSpy::log[1].l, HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    EXPECT_EQ(FieldSpy::log[2].w, static_cast<WPARAM>(HKCOMB_S));
    EXPECT_EQ(FieldSpy::log[2].l, HOTKEYF_SHIFT);
    EXPECT_EQ(FieldSpy::log[3].w, static_cast<WPARAM>(HKCOMB_S | HKCOMB_NONE));
    EXPECT_EQ(FieldSpy::log[3].l, HOTKEYF_SHIFT | HOTKEYF_ALT);
}

TEST_F(HotKeyTest, TheSameFontTwiceBuildsNothingAndANewOneReplacesTheOld) {
    Open();
    auto font = std::make_shared<forms::StdFont>(L"Tahoma", 10.0f, true);
    hk().Font(font);
    HFONT first = reinterpret_cast<HFONT>(SendMessageA(field(), WM_GETFONT, 0, 0));
    ASSERT_NE(first, nullptr);
    FieldSpy::log.clear();
    hk().SaveProperties();
    DWORD gdi = testsupport::GdiCount();
    hk().Font(font);
    EXPECT_EQ(FieldSpy::Count(WM_SETFONT), 0u);
    EXPECT_EQ(testsupport::GdiCount(), gdi);
    EXPECT_EQ(Changed(L"Font"), 0u);

    FieldSpy::previousFont = first;
    auto bigger = std::make_shared<forms::StdFont>(L"Tahoma", 12.0f);
    bigger->Handle();  // the font object's own platform font, apart from the field's
    gdi = testsupport::GdiCount();
    hk().Font(bigger);
    ASSERT_EQ(FieldSpy::Count(WM_SETFONT), 1u);
    EXPECT_TRUE(FieldSpy::log[0].oldFontAlive);  // the field had the new one before the old went
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(testsupport::GdiCount(), gdi);
    EXPECT_EQ(Changed(L"Font"), 1u);
    FieldSpy::previousFont = nullptr;
}

TEST_F(HotKeyTest, TheFieldFontFollowsTheFontObject) {
    Open();
    auto font = std::make_shared<forms::StdFont>(L"Arial", 10.5f, true);
    font->Italic(forms::True);
    font->Strikethrough(forms::True);
    hk().Font(font);
    LOGFONTA lf = FieldFont(field());
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfHeight, -MulDiv(10, dpi, 72));  // 10.5 rounds to the even 10
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_NE(lf.lfItalic, 0);
    EXPECT_EQ(lf.lfUnderline, 0);
    EXPECT_NE(lf.lfStrikeOut, 0);
    EXPECT_EQ(lf.lfCharSet, 0);
    EXPECT_EQ(lf.lfWidth, 0);
}

TEST_F(HotKeyTest, ALongFaceNameIsCutToTheFaceField) {
    Open();
    std::wstring name = L"Quorvane Extraordinarily Long Face Name 1234";
    hk().Font(std::make_shared<forms::StdFont>(name, 9.0f));
    LOGFONTA lf = FieldFont(field());
    EXPECT_EQ(std::string(lf.lfFaceName), forms::ToAnsi(name.substr(0, 31)));
}

TEST_F(HotKeyTest, NoFontObjectIsRefused) {
    Open();
    auto before = hk().Font();
    try {
        hk().Font(nullptr);
        FAIL() << "no error";
    } catch (const forms::Error& e) {
        EXPECT_EQ(e.Number, forms::err::ObjectNotSet);
    }
    EXPECT_EQ(hk().Font(), before);
}

// A window that answers WM_SETHOTKEY with a chosen value.
struct Answerer {
    static inline LRESULT answer = 0;
    static inline WPARAM received = 0;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_SETHOTKEY) {
            received = w;
            return answer;
        }
        return DefWindowProcA(h, m, w, l);
    }
};

TEST_F(HotKeyTest, SetApplicationHotKeyIsTrueOnlyForAnswerOne) {
    Open(Bag(int32_t{'Q'}, 6));
    WNDCLASSA wc{};
    wc.lpfnWndProc = Answerer::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QcHotKeyAnswer";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "QcHotKeyAnswer", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(w, nullptr);
    for (LRESULT a : {LRESULT(0), LRESULT(2), LRESULT(-1)}) {
        Answerer::answer = a;
        EXPECT_EQ(hk().SetApplicationHotKey(w), forms::False) << a;
    }
    Answerer::answer = 1;
    EXPECT_EQ(hk().SetApplicationHotKey(w), forms::True);
    EXPECT_EQ(Answerer::received, static_cast<WPARAM>(0x600 | 'Q'));
    DestroyWindow(w);
}

TEST_F(HotKeyTest, SavingLeavesDefaultsOut) {
    Open();
    forms::PropertyBag saved = hk().SaveProperties();
    EXPECT_FALSE(saved.Contains(L"HotKey"));
    EXPECT_FALSE(saved.Contains(L"HotKeyModifier"));
    EXPECT_FALSE(saved.Contains(L"Font"));  // the default font's description
    hk().LetHotKey(VK_F5);
    hk().HotKeyModifier(2);
    hk().Font(std::make_shared<forms::StdFont>(L"Tahoma", 8.0f));
    saved = hk().SaveProperties();
    EXPECT_EQ(saved.ReadProperty(L"HotKey").AsLong(), VK_F5);
    EXPECT_EQ(saved.ReadProperty(L"HotKeyModifier").AsLong(), 2);
    auto font = std::dynamic_pointer_cast<forms::StdFont>(saved.ReadProperty(L"Font").AsObject());
    ASSERT_TRUE(font);
    EXPECT_EQ(font->Name(), L"Tahoma");
}

TEST_F(HotKeyTest, ANewControlTakesTheAmbientFontAndGetsFocus) {
    Open(std::nullopt, true);
    ASSERT_NE(hk().Font(), nullptr);
    // Made before the field existed: the field keeps its own default font.
    EXPECT_NE(forms::FromAnsi(FieldFont(field()).lfFaceName), hk().Font()->Name());
    EXPECT_EQ(hk().HotKeyAndModifier(), 0);
    hk().SetFocus();
    testsupport::Pump(20);
    EXPECT_EQ(GetFocus(), field());
}

TEST_F(HotKeyTest, ThePlatformFontGoesWithTheControl) {
    Open();
    hk().Font(std::make_shared<forms::StdFont>(L"Tahoma", 11.0f));
    HFONT f = reinterpret_cast<HFONT>(SendMessageA(field(), WM_GETFONT, 0, 0));
    ASSERT_NE(GetObjectType(f), 0u);
    HWND fieldWindow = field();
    FieldSpy::Detach(fieldWindow);
    forms::Unload(*form);
    form.reset();
    EXPECT_FALSE(IsWindow(fieldWindow));
    EXPECT_EQ(GetObjectType(f), 0u);
}

TEST(HotKeyBeforeItsField, ReadsZeroAndStillMarksALet) {
    HotKeyForm notLoaded{forms::PropertyBag()};
    HotKey& hk = notLoaded.HKey;
    EXPECT_EQ(hk.FieldWindow(), nullptr);
    EXPECT_EQ(hk.HotKeyAndModifier(), 0);
    hk.LetHotKey(0);  // the value "shown"
    EXPECT_TRUE(hk.ChangedProperties().empty());
    hk.LetHotKey('K');
    hk.HotKeyModifier(2);
    EXPECT_EQ(hk.GetHotKey(), 0);
    EXPECT_EQ(hk.ChangedProperties(), (std::vector<std::wstring>{L"HotKey", L"HotKeyModifier"}));
    hk.InvalidHotKeyOperation(HKCOMB_A, HOTKEYF_ALT, forms::True);
}

}  // namespace
