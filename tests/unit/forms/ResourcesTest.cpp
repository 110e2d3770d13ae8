#include <gtest/gtest.h>

#include "forms/Error.h"
#include "forms/Picture.h"
#include "res/resource_ids.h"

using namespace forms;

TEST(Resources, TheProgramIconAndTheThreeCursorsLoad) {
    Picture icon = LoadResPicture(IDI_APP, resIcon);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon.Type(), picIcon);
    struct Expect {
        int id;
        DWORD hx, hy;
    };
    for (Expect e : {Expect{IDC_HAND_POINT, 5, 0}, Expect{IDC_HAND_OPEN, 0, 0}, Expect{IDC_HAND_CLOSED, 0, 0}}) {
        Picture cur = LoadResPicture(e.id, resCursor);
        ASSERT_TRUE(cur) << e.id;
        ICONINFO ii{};
        ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(static_cast<uintptr_t>(cur.Handle())), &ii));
        EXPECT_FALSE(ii.fIcon);
        EXPECT_EQ(ii.xHotspot, e.hx) << e.id;
        EXPECT_EQ(ii.yHotspot, e.hy) << e.id;
        BITMAP bm{};
        GetObjectW(ii.hbmMask, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, 32);
        EXPECT_EQ(bm.bmHeight, 64) << "monochrome: AND and XOR masks";
        EXPECT_EQ(ii.hbmColor, nullptr);
        DeleteObject(ii.hbmMask);
    }
}

TEST(Resources, AMissingResourceRaises) {
    try {
        LoadResPicture(999, resCursor);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Number, 326);
    }
}
