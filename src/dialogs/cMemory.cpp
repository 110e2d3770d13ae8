#include "dialogs/cMemory.h"

cMemory::~cMemory() { FreeMemory(); }

void cMemory::Handle(HGLOBAL hMem) {
    if (handle_) FreeMemory();
    handle_ = hMem;
}

void* cMemory::Pointer() {
    if (!handle_) return nullptr;
    if (!pointer_) LockMemory();
    return pointer_;
}

SIZE_T cMemory::Size() const { return handle_ ? GlobalSize(handle_) : 0; }

bool cMemory::AllocateMemory(SIZE_T lSize, UINT dwFlags) {
    FreeMemory();
    handle_ = GlobalAlloc(dwFlags, lSize);
    return handle_ != nullptr;
}

bool cMemory::LockMemory() {
    if (!handle_ || pointer_) return false;
    pointer_ = GlobalLock(handle_);
    return pointer_ != nullptr;
}

void cMemory::UnlockMemory() {
    if (!handle_ || !pointer_) return;
    GlobalUnlock(handle_);
    pointer_ = nullptr;
}

void cMemory::FreeMemory() {
    if (handle_) {
        UnlockMemory();
        GlobalFree(handle_);
    }
    handle_ = nullptr;
}

void cMemory::ReleaseDontFreeMemory() {
    UnlockMemory();
    handle_ = nullptr;
}
