// Keyboard state through the platform's asynchronous key state, with keys
// sent as a user's would be.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "support/cPressedKey.h"
#include "unit/common/TestSupport.h"

using namespace testsupport;

namespace {

constexpr WORD kShift = VK_SHIFT, kCtrl = VK_CONTROL, kAlt = VK_MENU, kS = 'S';

// Holds keys down for the life of the object, then lets them go and clears
// the pressed-since reports they leave behind.
class Held {
public:
    Held(std::initializer_list<WORD> keys) : keys_(keys) {
        for (WORD k : keys_) KeyDown(k);
        Pump(30);
    }
    ~Held() {
        for (auto it = keys_.rbegin(); it != keys_.rend(); ++it) KeyUp(*it);
        Pump(30);
        for (int k = 0; k < 256; ++k) GetAsyncKeyState(k);
    }

private:
    std::vector<WORD> keys_;
};

class PressedKey : public testing::Test {
protected:
    void SetUp() override {
        Pump(20);
        for (int k = 0; k < 256; ++k) GetAsyncKeyState(k);
    }
    cPressedKey keys;
};

}  // namespace

TEST_F(PressedKey, NothingHeld) {
    EXPECT_EQ(keys.GetPressedKey(), 0);
    EXPECT_EQ(keys.IsPressed(0), forms::False);
    EXPECT_EQ(keys.Ctrl_Key(), forms::False);
    EXPECT_EQ(keys.Ctrl_Shift_Key(), forms::False);
}

TEST_F(PressedKey, CtrlAndSHeldGiveCtrlAsTheLowestCode) {
    Held held{kCtrl, kS};
    EXPECT_EQ(keys.GetPressedKey(), 17);
    EXPECT_EQ(keys.IsPressed(83), forms::True);
    EXPECT_EQ(keys.Ctrl_Key(), forms::True);
    EXPECT_EQ(keys.Alt_Key(), forms::False);
    EXPECT_EQ(keys.Shift_Key(), forms::False);
}

TEST_F(PressedKey, SingleKeyWithoutModifiers) {
    Held held{kS};
    EXPECT_EQ(keys.GetPressedKey(), 83);
    EXPECT_EQ(keys.Ctrl_Key(), forms::False);
}

TEST_F(PressedKey, EachCombinationWantsAllItsKeysAndAllowsMore) {
    struct Case {
        const char* name;
        forms::Boolean (cPressedKey::*test)();
        std::vector<WORD> keys;
    };
    const std::vector<Case> cases = {
        {"Alt_Key", &cPressedKey::Alt_Key, {kAlt}},
        {"Ctrl_Key", &cPressedKey::Ctrl_Key, {kCtrl}},
        {"Shift_Key", &cPressedKey::Shift_Key, {kShift}},
        {"Alt_Ctrl_Key", &cPressedKey::Alt_Ctrl_Key, {kAlt, kCtrl}},
        {"Alt_Ctrl_Shift_Key", &cPressedKey::Alt_Ctrl_Shift_Key, {kAlt, kCtrl, kShift}},
        {"Alt_Shift_Key", &cPressedKey::Alt_Shift_Key, {kAlt, kShift}},
        {"Ctrl_Shift_Key", &cPressedKey::Ctrl_Shift_Key, {kCtrl, kShift}},
    };
    auto hold = [](const std::vector<WORD>& ks) {
        for (WORD k : ks) KeyDown(k);
        Pump(20);
    };
    auto release = [](const std::vector<WORD>& ks) {
        for (WORD k : ks) KeyUp(k);
        Pump(20);
        for (int k = 0; k < 256; ++k) GetAsyncKeyState(k);
    };
    for (const Case& c : cases) {
        hold(c.keys);
        EXPECT_EQ((keys.*c.test)(), forms::True) << c.name << " with its own keys";
        release(c.keys);

        // Every key of the three held: still reported.
        hold({kShift, kCtrl, kAlt});
        EXPECT_EQ((keys.*c.test)(), forms::True) << c.name << " with all modifiers";
        release({kShift, kCtrl, kAlt});

        // Any one of its keys missing: not reported.
        for (size_t miss = 0; miss < c.keys.size(); ++miss) {
            std::vector<WORD> some;
            for (size_t i = 0; i < c.keys.size(); ++i)
                if (i != miss) some.push_back(c.keys[i]);
            hold(some);
            EXPECT_EQ((keys.*c.test)(), forms::False) << c.name << " without key " << c.keys[miss];
            release(some);
        }
    }
}

TEST_F(PressedKey, TapBetweenQueriesIsReportedOnce) {
    KeyDown(kS);
    KeyUp(kS);
    Pump(30);
    EXPECT_EQ(keys.IsPressed(83), forms::True);
    EXPECT_EQ(keys.IsPressed(83), forms::False);
}

TEST_F(PressedKey, TapIsSeenByTheScanOnce) {
    KeyDown(kS);
    KeyUp(kS);
    Pump(30);
    EXPECT_EQ(keys.GetPressedKey(), 83);
    EXPECT_EQ(keys.GetPressedKey(), 0);
}

// Each query uses up that key's tap, so a combination asks for every key, in
// order, even when an earlier one is up. Seen through the key-state query:
// the platform here leaves no tap report for the modifiers.
namespace {
std::vector<int> asked;
short __stdcall NoneDown(int key) {
    asked.push_back(key);
    return 0;
}
}  // namespace

TEST_F(PressedKey, CombinationQueriesEveryKeyEvenWhenTheFirstIsUp) {
    const struct {
        forms::Boolean (cPressedKey::*test)();
        std::vector<int> keys;
    } cases[] = {{&cPressedKey::Alt_Ctrl_Key, {kAlt, kCtrl}},
                 {&cPressedKey::Alt_Ctrl_Shift_Key, {kAlt, kCtrl, kShift}},
                 {&cPressedKey::Alt_Shift_Key, {kAlt, kShift}},
                 {&cPressedKey::Ctrl_Shift_Key, {kCtrl, kShift}}};
    const auto platform = cPressedKey::KeyState;
    cPressedKey::KeyState = NoneDown;
    for (const auto& c : cases) {
        asked.clear();
        EXPECT_EQ((keys.*c.test)(), forms::False);
        EXPECT_EQ(asked, c.keys);
    }
    cPressedKey::KeyState = platform;
}
