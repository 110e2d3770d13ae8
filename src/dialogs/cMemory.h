#pragma once
// One block of the platform's global memory, owned by this object and freed
// at the latest when it goes, unless it was given away.
#include <windows.h>

class cMemory {
public:
    cMemory() = default;
    ~cMemory();
    cMemory(const cMemory&) = delete;
    cMemory& operator=(const cMemory&) = delete;

    HGLOBAL Handle() const { return handle_; }
    // Takes over hMem; a block held before is freed first.
    void Handle(HGLOBAL hMem);
    // The locked block's address; locks it on first read. Null without a block.
    void* Pointer();
    // The block's size in bytes, 0 without a block.
    SIZE_T Size() const;

    bool AllocateMemory(SIZE_T lSize, UINT dwFlags = GMEM_MOVEABLE | GMEM_ZEROINIT);
    // Only locks a block that is held and not yet locked.
    bool LockMemory();
    void UnlockMemory();
    void FreeMemory();
    // Gives the block away: the caller frees it.
    void ReleaseDontFreeMemory();

private:
    HGLOBAL handle_ = nullptr;
    void* pointer_ = nullptr;
};
