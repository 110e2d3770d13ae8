// The global memory block and the hook object slot.
#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include "dialogs/GCommonDialog.h"
#include "dialogs/cMemory.h"
#include "dialogs/mDialogHook.h"

namespace {

TEST(Memory, EmptyBlockReadsAsNothing) {
    cMemory m;
    EXPECT_EQ(m.Pointer(), nullptr);
    EXPECT_EQ(m.Size(), 0u);
    EXPECT_FALSE(m.LockMemory());
    m.UnlockMemory();
    m.FreeMemory();
    EXPECT_EQ(m.Handle(), nullptr);
}

TEST(Memory, ZeroFilledBlockLocksOnce) {
    cMemory m;
    ASSERT_TRUE(m.AllocateMemory(26, GMEM_ZEROINIT));
    EXPECT_GE(m.Size(), 26u);
    auto* p = static_cast<unsigned char*>(m.Pointer());
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 26; ++i) EXPECT_EQ(p[i], 0) << i;
    EXPECT_EQ(m.Pointer(), p);
    EXPECT_FALSE(m.LockMemory());  // already locked: nothing changes
    EXPECT_EQ(m.Pointer(), p);
    m.UnlockMemory();
    m.FreeMemory();
    EXPECT_EQ(m.Handle(), nullptr);
    EXPECT_EQ(m.Pointer(), nullptr);
}

TEST(Memory, MoveableBlockIsUnlockedAndRelocked) {
    cMemory m;
    ASSERT_TRUE(m.AllocateMemory(64, GMEM_MOVEABLE | GMEM_ZEROINIT));
    auto* p = static_cast<char*>(m.Pointer());
    ASSERT_NE(p, nullptr);
    p[0] = 'q';
    m.UnlockMemory();
    EXPECT_EQ(GlobalFlags(m.Handle()) & GMEM_LOCKCOUNT, 0u);
    EXPECT_TRUE(m.LockMemory());
    EXPECT_EQ(static_cast<char*>(m.Pointer())[0], 'q');
    EXPECT_EQ(GlobalFlags(m.Handle()) & GMEM_LOCKCOUNT, 1u);
}

TEST(Memory, AllocatingAgainOrAssigningReplacesTheBlock) {
    cMemory m;
    ASSERT_TRUE(m.AllocateMemory(16, GMEM_MOVEABLE));
    ASSERT_NE(m.Pointer(), nullptr);
    ASSERT_TRUE(m.AllocateMemory(4096, GMEM_MOVEABLE));
    EXPECT_GE(m.Size(), 4096u);
    EXPECT_EQ(GlobalFlags(m.Handle()) & GMEM_LOCKCOUNT, 0u);  // the new block starts unlocked

    HGLOBAL other = GlobalAlloc(GMEM_MOVEABLE, 8);
    m.Handle(other);
    EXPECT_EQ(m.Handle(), other);
    EXPECT_EQ(m.Size(), GlobalSize(other));
    EXPECT_NE(m.Pointer(), nullptr);
}

TEST(Memory, GivenAwayBlockOutlivesTheObject) {
    HGLOBAL kept = nullptr;
    {
        cMemory m;
        ASSERT_TRUE(m.AllocateMemory(10, GMEM_MOVEABLE | GMEM_ZEROINIT));
        ASSERT_NE(m.Pointer(), nullptr);
        kept = m.Handle();
        m.ReleaseDontFreeMemory();
        EXPECT_EQ(m.Handle(), nullptr);
        EXPECT_EQ(m.Pointer(), nullptr);
    }
    EXPECT_GE(GlobalSize(kept), 10u);
    EXPECT_EQ(GlobalFlags(kept) & GMEM_LOCKCOUNT, 0u);  // unlocked before it was given away
    EXPECT_EQ(GlobalFree(kept), nullptr);
}

TEST(Memory, ObjectFreesItsBlockWhenItGoes) {
    HGLOBAL h = nullptr;
    {
        cMemory m;
        ASSERT_TRUE(m.AllocateMemory(10, GMEM_MOVEABLE));
        h = m.Handle();
        ASSERT_NE(m.Pointer(), nullptr);
    }
    EXPECT_EQ(GlobalSize(h), 0u);
}

TEST(Memory, ImpossibleAllocationReportsFalse) {
    cMemory m;
    EXPECT_FALSE(m.AllocateMemory(static_cast<SIZE_T>(-1) / 2, GMEM_FIXED));
    EXPECT_EQ(m.Pointer(), nullptr);
}

// -- hook slot ---------------------------------------------------------------

struct SlotGuard {
    ~SlotGuard() { mDialogHook::ClearHookObject(); }
};

TEST(HookSlot, GetRaisesTheCountOnceForTheCaller) {
    SlotGuard g;
    auto obj = std::make_shared<GCommonDialog>();
    EXPECT_EQ(mDialogHook::GetHookObject(), nullptr);
    mDialogHook::SetHookObject(*obj);
    EXPECT_EQ(obj.use_count(), 1);  // the slot holds no reference
    {
        auto got = mDialogHook::GetHookObject();
        EXPECT_EQ(got.get(), obj.get());
        EXPECT_EQ(obj.use_count(), 2);
    }
    EXPECT_EQ(obj.use_count(), 1);
    mDialogHook::ClearHookObject();
    EXPECT_EQ(mDialogHook::GetHookObject(), nullptr);
}

TEST(HookSlot, EveryProcedureReturnsZeroWithAnEmptySlot) {
    mDialogHook::ClearHookObject();
    NMHDR hdr{nullptr, 0, static_cast<UINT>(CDN_FILEOK)};
    const auto lp = reinterpret_cast<LPARAM>(&hdr);
    for (auto proc : {mDialogHook::FileDialogHookProc, mDialogHook::PrintHookProc, mDialogHook::PrintSetupHookProc,
                      mDialogHook::PageSetupHookProc, mDialogHook::ColorHookProc, mDialogHook::FontHookProc}) {
        EXPECT_EQ(proc(nullptr, WM_INITDIALOG, 0, 0), 0u);
        EXPECT_EQ(proc(nullptr, WM_NOTIFY, 0, lp), 0u);
    }
}

// The records this layer hands to the platform have the sizes the 32-bit
// platform expects.
TEST(Records, ThirtyTwoBitSizes) {
#ifndef _WIN64
    EXPECT_EQ(OPENFILENAME_SIZE_VERSION_400W, 76u);
    EXPECT_EQ(sizeof(CHOOSECOLORW), 36u);
    EXPECT_EQ(sizeof(CHOOSEFONTW), 60u);
    EXPECT_EQ(sizeof(LOGFONTW), 92u);  // its face name is 32 wide characters
    EXPECT_EQ(sizeof(PRINTDLGW), 66u);
    EXPECT_EQ(sizeof(PAGESETUPDLGW), 84u);
    EXPECT_EQ(sizeof(NMHDR), 12u);
#endif
    EXPECT_EQ(sizeof(DEVNAMES), 8u);
    EXPECT_GE(sizeof(DEVMODEW), 122u + CCHDEVICENAME + CCHFORMNAME);
}

}  // namespace
