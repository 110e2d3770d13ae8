// The test programs' guard against message boxes: one that no test waits for
// fails the running test by its caption and text and is closed; one that a
// driver waits for is the driver's to answer.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "forms/Runtime.h"
#include "unit/common/DialogDriver.h"

TEST(DialogGuard, AnUnaskedBoxFailsTheTestByNameAndIsAnsweredNo) {
    int32_t answer = 0;
    EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(
        answer = forms::MsgBox(L"Nobody waits for this box", forms::vbYesNo, L"Unasked"),
        "\"Unasked\": Nobody waits for this box");
    EXPECT_EQ(answer, IDNO);

    testsupport::DialogDriver yes(IDYES);
    EXPECT_EQ(forms::MsgBox(L"A driver waits for this box", forms::vbYesNo, L"Asked"), IDYES);
    EXPECT_TRUE(yes.Done());
}
