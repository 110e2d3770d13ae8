// The test programs' entry: the platform's COM and common controls come up
// as they do in the program, End() unwinds instead of ending the process, and
// a dialog box no test waits for fails the test instead of holding the run.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include "forms/Runtime.h"
#include "unit/common/DialogDriver.h"
#include "unit/common/TestSupport.h"

int main(int argc, char** argv) {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    forms::SetEndHandler([] { throw testsupport::EndCalled{}; });
    testing::InitGoogleTest(&argc, argv);
    testsupport::ParseArgs(argc, argv);
    testsupport::GuardAgainstUnaskedDialogs();
    int rc = RUN_ALL_TESTS();
    OleUninitialize();
    return rc;
}
