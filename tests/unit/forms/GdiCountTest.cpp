#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "unit/common/TestSupport.h"

using testsupport::GdiCount;

// The leak tests lean on this count; it must follow objects made and deleted.
TEST(GdiCount, FollowsBrushesBitmapsAndDcsMadeAndDeleted) {
    const DWORD before = GdiCount();
    ASSERT_GT(before, 0u);
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < 10; ++i) brushes.push_back(CreateSolidBrush(RGB(i, 2 * i, 3 * i)));
    EXPECT_EQ(GdiCount(), before + 10);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateBitmap(8, 8, 1, 32, nullptr);
    EXPECT_EQ(GdiCount(), before + 12);
    for (HBRUSH b : brushes) DeleteObject(b);
    DeleteObject(bmp);
    DeleteDC(dc);
    EXPECT_EQ(GdiCount(), before);
}
