// User controls and property bags: persistence through the host's bag,
// PropertyChanged, Ambient, Extender, ParentControls and the Show event.
#include <gtest/gtest.h>

#include "forms/Error.h"
#include "forms/Forms.h"
#include "unit/common/TestSupport.h"

using namespace forms;

TEST(PropertyBag, MissingKeysGiveTheDefaultAndDefaultsAreNotStored) {
    PropertyBag bag;
    EXPECT_EQ(bag.ReadProperty(L"Caption", L"none").AsString(), L"none");
    EXPECT_TRUE(bag.ReadProperty(L"Caption").IsEmpty());
    bag.WriteProperty(L"PicTop", int16_t(2), int16_t(0));
    bag.WriteProperty(L"PicLeft", int16_t(0), int16_t(0));
    bag.WriteProperty(L"Caption", L"", L"");
    EXPECT_EQ(bag.Count(), 1u);
    EXPECT_EQ(bag.ReadProperty(L"pictop", int16_t(0)).AsInteger(), 2);
    // A number equal to its default in another width is still the default.
    bag.WriteProperty(L"BackColor", int32_t(0x8000000F), static_cast<int32_t>(0x8000000F));
    bag.WriteProperty(L"Selected", Variant::FromBoolean(False), int16_t(0));
    EXPECT_FALSE(bag.Contains(L"BackColor"));
    EXPECT_FALSE(bag.Contains(L"Selected"));
    // Writing the default over a stored value removes it.
    bag.WriteProperty(L"PicTop", int32_t(0), int16_t(0));
    EXPECT_EQ(bag.Count(), 0u);
    // Pictures are stored by reference; an empty picture is the default.
    Picture p = LoadResPicture(1, resCursor);
    bag.WriteProperty(L"NormalPic", p, Picture());
    EXPECT_EQ(bag.ReadProperty(L"NormalPic").AsPicture(), p);
    bag.WriteProperty(L"OverPic", Picture(), Picture());
    EXPECT_FALSE(bag.Contains(L"OverPic"));
}

TEST(PropertyBag, FontsAreComparedByTheirDescriptionAndStoredAsCopies) {
    PropertyBag bag;
    auto font = std::make_shared<StdFont>();
    bag.WriteProperty(L"Font", ObjectPtr(font), ObjectPtr(StdFont::Default()));
    EXPECT_FALSE(bag.Contains(L"Font"));
    font->Bold(True);
    bag.WriteProperty(L"Font", ObjectPtr(font), ObjectPtr(StdFont::Default()));
    ASSERT_TRUE(bag.Contains(L"Font"));
    font->Size(20);
    auto stored = std::dynamic_pointer_cast<StdFont>(bag.ReadProperty(L"Font").AsObject());
    ASSERT_TRUE(stored);
    EXPECT_TRUE(IsTrue(stored->Bold()));
    EXPECT_FLOAT_EQ(stored->Size(), 8.25f);
}

namespace {

std::vector<std::wstring> g_log;

class cProbe : public UserControl {
public:
    using UserControl::UserControl;
    PictureBox Inner{this, L"Inner"};
    std::wstring caption;
    int16_t picTop = 0;
    std::shared_ptr<StdFont> font;

    void SetCaption(const std::wstring& v) {
        caption = v;
        PropertyChanged(L"Caption");
    }
    Variant GetProperty(std::wstring_view n) override {
        if (NameIs(n, L"Caption")) return caption;
        return UserControl::GetProperty(n);
    }
    void LetProperty(std::wstring_view n, const Variant& v) override {
        if (NameIs(n, L"Caption")) return SetCaption(v.AsString());
        UserControl::LetProperty(n, v);
    }

protected:
    void UserControl_Initialize() override { g_log.push_back(L"Initialize:" + Name); }
    void UserControl_InitProperties() override {
        g_log.push_back(L"InitProperties");
        font = Ambient().Font;
        caption = L"";
    }
    void UserControl_ReadProperties(PropertyBag& bag) override {
        g_log.push_back(L"ReadProperties");
        caption = bag.ReadProperty(L"Caption", L"").AsString();
        picTop = bag.ReadProperty(L"PicTop", int16_t(0)).AsInteger();
        // The child controls exist by now.
        EXPECT_NE(Inner.hWnd(), nullptr);
    }
    void UserControl_WriteProperties(PropertyBag& bag) override {
        bag.WriteProperty(L"Caption", caption, L"");
        bag.WriteProperty(L"PicTop", picTop, int16_t(0));
    }
    void UserControl_Resize() override { g_log.push_back(L"Resize"); }
    void UserControl_Show() override { g_log.push_back(L"Show"); }
    void UserControl_Terminate() override { g_log.push_back(L"Terminate"); }
    void UserControl_MouseUp(int16_t, int16_t, float, float) override {
        // Raised to the host as the control's own Click.
        if (Click) Click();
    }
};

class HostForm : public Form {
public:
    cProbe A{this, L"A"};
    cProbe B{this, L"B"};
    PictureBox Box{this, L"Box"};
    cProbe C{&Box, L"C"};
    HostForm() {
        auto f = std::make_shared<StdFont>(L"Arial", 10, true);
        Font(f);
        A.Move(120, 240, 1500, 600);
        PropertyBag bag;
        bag.WriteProperty(L"Caption", L"Hello", L"");
        bag.WriteProperty(L"PicTop", int16_t(2), int16_t(0));
        B.DesignProperties(bag);
    }
    void Form_Load() override { g_log.push_back(L"Form_Load"); }
};

}  // namespace

TEST(UserControls, ReadTheHostsBagOrStartFromInitProperties) {
    g_log.clear();
    HostForm f;
    f.Load();
    // A has no bag: InitProperties; B reads its design values.
    EXPECT_EQ(f.A.caption, L"");
    EXPECT_EQ(f.B.caption, L"Hello");
    EXPECT_EQ(f.B.picTop, 2);
    auto at = [&](const std::wstring& s) { return std::find(g_log.begin(), g_log.end(), s) - g_log.begin(); };
    EXPECT_LT(at(L"Initialize:A"), at(L"InitProperties"));
    EXPECT_LT(at(L"Initialize:B"), at(L"ReadProperties"));
    EXPECT_LT(at(L"ReadProperties"), at(L"Form_Load"));
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), L"Show"), 0);
    f.Show();
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), L"Show"), 3);
    f.Hide();
    f.Show();
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), L"Show"), 6);

    // PropertyChanged marks the saved properties out of date until saved.
    EXPECT_FALSE(f.B.PropertiesOutOfDate());
    LetBy(f.B, L"Caption", L"Changed");
    EXPECT_TRUE(f.B.PropertiesOutOfDate());
    EXPECT_EQ(f.B.ChangedProperties(), std::vector<std::wstring>{L"Caption"});
    PropertyBag saved = f.B.SaveProperties();
    EXPECT_FALSE(f.B.PropertiesOutOfDate());
    EXPECT_EQ(saved.ReadProperty(L"Caption").AsString(), L"Changed");

    // The saved values come back at the next load; the control is made anew.
    Unload(f);
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), L"Terminate"), 3);
    f.B.caption = L"lost";
    f.Load();
    EXPECT_EQ(f.B.caption, L"Changed");
    Unload(f);
}

TEST(UserControls, SeeTheirContainerThroughAmbientExtenderAndParentControls) {
    HostForm f;
    f.Load();
    // Ambient font: a copy of the container's.
    ASSERT_TRUE(f.A.font);
    EXPECT_EQ(f.A.font->Name(), L"Arial");
    EXPECT_TRUE(IsTrue(f.A.font->Bold()));
    EXPECT_NE(f.A.font.get(), f.Font().get());
    // Extender: place and size in the container's scale.
    EXPECT_EQ(f.A.Extender().Left(), 120);
    EXPECT_EQ(f.A.Extender().Width(), 1500);
    EXPECT_EQ(GetBy(f.A, L"Height").AsSingle(), 600);
    f.A.Extender().Visible(False);
    EXPECT_FALSE(IsWindowVisible(f.A.hWnd()));
    // ParentControls: every control of the host form, by name, also from inside a box.
    Controls all = f.C.ParentControls();
    EXPECT_EQ(all.Count(), 7u);  // A, A.Inner, B, B.Inner, Box, C, C.Inner
    EXPECT_EQ(&all[L"B"], &f.B);
    int probes = 0;
    for (Component* c : all) probes += dynamic_cast<cProbe*>(c) != nullptr;
    EXPECT_EQ(probes, 3);
    EXPECT_EQ(GetBy(dynamic_cast<Object&>(all[L"B"]), L"Caption").AsString(), L"Hello");
}

TEST(UserControls, RaiseTheirOwnEventsToTheHost) {
    HostForm f;
    f.Load();
    int clicks = 0;
    f.B.Click = [&] { ++clicks; };
    SendMessageW(f.B.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(f.B.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    // Only the control's MouseUp raised Click; the runtime's own click went to the control.
    EXPECT_EQ(clicks, 1);
}

TEST(UserControls, ShowWhenMovedIntoAnotherFormsWindow) {
    g_log.clear();
    HostForm page;
    page.Load();
    Form shell;
    shell.Show();
    // The page form is never shown; its control reaches the screen inside the shell.
    SetParent(page.A.hWnd(), shell.hWnd());
    page.A.Visible(True);
    UpdateWindow(page.A.hWnd());
    testsupport::Pump(30);
    EXPECT_GE(std::count(g_log.begin(), g_log.end(), L"Show"), 1);
    // Going with the window it was moved into, the control ends properly.
    Unload(shell);
    EXPECT_EQ(page.A.hWnd(), nullptr);
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), L"Terminate"), 1);
    Unload(page);
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), L"Terminate"), 3);
}
