// The test programs' entry: the platform's COM and common controls come up
// as they do in the program, End() unwinds instead of ending the process, and
// a dialog box no test waits for fails the test instead of holding the run.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>

#include "forms/Runtime.h"
#include "unit/common/DialogDriver.h"
#include "unit/common/TestSupport.h"

namespace {

// A pass at another scaling names it (--dpi=N): the display must report it
// before any test runs, or the pass would prove nothing but 96 dpi again.
class AskedDpi : public testing::Environment {
public:
    void SetUp() override {
        const std::wstring asked = testsupport::Arg("dpi");
        if (asked.empty()) return;
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        ASSERT_EQ(dpi, std::stoi(asked)) << "the display's dots per inch (LOGPIXELSX)";
    }
};

}  // namespace

int main(int argc, char** argv) {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    forms::SetEndHandler([] { throw testsupport::EndCalled{}; });
    testing::InitGoogleTest(&argc, argv);
    testsupport::ParseArgs(argc, argv);
    testsupport::GuardAgainstUnaskedDialogs();
    testing::AddGlobalTestEnvironment(new AskedDpi);
    int rc = RUN_ALL_TESTS();
    OleUninitialize();
    return rc;
}
