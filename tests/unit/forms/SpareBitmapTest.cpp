// The spare screen bitmap ends with the runtime's statics; a picture that a
// static going later still holds must then simply delete its own bitmap.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "forms/Picture.h"
#include "unit/common/TestSupport.h"

namespace {

// Made before every static of the runtime, so that it goes after them: it
// holds a picture past the spare's end and writes down what its release did.
struct LateHolder {
    LateHolder() {}  // made when the program starts, not at compile time
    ~LateHolder() {
        if (report.empty()) return;
        const bool spareEnded = GetObjectType(spareBitmap) == 0;
        const HBITMAP own = held.Bitmap();
        held.Reset();
        const std::string text = std::string(spareEnded ? "spare ended" : "spare alive") +
                                 (GetObjectType(own) == 0 ? ", own bitmap deleted" : ", own bitmap kept");
        testsupport::WriteFileBytes(report, text);
    }
    forms::Picture held;
    HBITMAP spareBitmap = nullptr;
    std::wstring report;
};
__attribute__((init_priority(101))) LateHolder late;

forms::Picture ScreenPicture() {
    return forms::Picture::FromScreenBitmap(64, 48, [](HBITMAP) {});
}

}  // namespace

TEST(SpareBitmap, APictureReleasedAfterItsEndDeletesItsOwnBitmap) {
    const std::wstring report = testsupport::Arg("late-report");
    if (!report.empty()) {  // the child's side: the release happens at its exit
        forms::Picture spare = ScreenPicture(), held = ScreenPicture();
        late.spareBitmap = spare.Bitmap();
        late.held = held;
        late.report = report;
        return;  // spare's bitmap is kept for the next picture
    }

    const std::wstring path = testsupport::TempDir(L"spare") + L"\\report.txt";
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring cmd = L"\"" + std::wstring(self) + L"\" --gtest_filter=SpareBitmap.* --late-report=" + path;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(nul);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(testsupport::ReadFileBytes(path), "spare ended, own bitmap deleted");
}
