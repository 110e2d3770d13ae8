#include "support/FileReplace.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "forms/Values.h"

// The temporary name takes the long-path form just where a name beside the
// target could pass 259 characters. This platform takes long paths without
// it, so the writers' own tests cannot tell: the name is looked at here.
TEST(FileReplace, TheTemporaryNameTakesTheLongFormJustWhereItMust) {
    const std::wstring name = L"qc" + std::to_wstring(GetCurrentProcessId()) + L".0.tmp";
    const std::wstring shorter = L"C:\\" + std::wstring(235, L'd') + L"\\";  // 239 characters
    const std::wstring longer = L"C:\\" + std::wstring(236, L'd') + L"\\";   // 240
    const struct {
        std::wstring target, temp;
    } cases[] = {
        {shorter + L"pic.jpg", shorter + name},
        {longer + L"pic.jpg", L"\\\\?\\" + longer + name},
        {L"\\\\?\\" + longer + L"pic.jpg", L"\\\\?\\" + longer + name},
        {L"\\\\server\\share\\" + longer.substr(3) + L"pic.jpg", L"\\\\?\\UNC\\server\\share\\" + longer.substr(3) + name},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileReplace::TempNameBeside(c.target), c.temp) << forms::ToAnsi(c.target.substr(0, 12));
}
