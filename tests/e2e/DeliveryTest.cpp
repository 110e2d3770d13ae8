// Every capture reaches its file or the clipboard, or the user is told: names
// taken by folders, an images folder removed or blocked while the program
// runs, the running number at its limit, a prefix that would leave the
// folder, and a clipboard that another program holds.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "e2e/ProgramDriver.h"
#include "unit/common/TestSupport.h"

using namespace e2e;
using namespace testsupport;

namespace {

// A clean folder of the test's own under the temp folder.
std::wstring CleanDir(const std::wstring& name) {
    std::wstring dir = TempDir(name);
    RemoveTree(dir);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

// "Config.ini" beside the program for one test: full-screen captures with
// the hotkey Ctrl+S, then the given "sav" lines; the old file comes back at
// the end.
class Config {
public:
    Config(const std::string& sav, const std::string& an = {})
        : file_("[main]\r\nmb=1\r\ncm=0\r\n" + (an.empty() ? "" : "an=" + an + "\r\n") +
                "[hkeys]\r\nhk=83\r\nmdf=2\r\n[sav]\r\n" + sav) {}
    std::string Value(const char* section, const char* key) const {
        char buf[256] = {};
        std::string p = Ansi(ProgramFolder() + L"\\Config.ini");
        GetPrivateProfileStringA(section, key, "<missing>", buf, sizeof buf, p.c_str());
        return buf;
    }
    // File settings: automatic names, format ct, prefix and folder.
    static std::string File(const std::string& ct, const std::string& prefix, const std::wstring& folder) {
        return "msl=2\r\ncn=0\r\nct=" + ct + "\r\ncq=8\r\ntp=" + prefix + "\r\ntpa=" + Ansi(folder) + "\r\n";
    }
    static std::string Ansi(const std::wstring& s) { return std::string(s.begin(), s.end()); }

private:
    ConfigFile file_;
};

// The program started and hidden behind its tray icon, where the hotkey
// captures.
class Hidden {
public:
    Hidden() {
        main_ = MainWindowOf(program_);
        if (main_) HideMainWindow(main_);
    }
    bool Ready() const { return main_ && !IsWindowVisible(main_); }
    HWND main() const { return main_; }
    DWORD pid() const { return program_.pid(); }
    void Capture() const { PressKeys({VK_CONTROL, 'S'}); }

private:
    Program program_;
    HWND main_ = nullptr;
};

}  // namespace

TEST(Delivery, ANameTakenByAFolderIsPassedOverAndARemovedFolderIsMadeAgain) {
    std::wstring images = CleanDir(L"delivery_taken");
    WriteFileBytes(images + L"\\Shot-2.Bmp", "x");
    ASSERT_TRUE(CreateDirectoryW((images + L"\\Shot-3.Bmp").c_str(), nullptr));
    Config config(Config::File("0", "Shot-", images), " 2");
    Hidden program;
    ASSERT_TRUE(program.Ready());

    program.Capture();
    ASSERT_TRUE(WaitFile(images + L"\\Shot-4.Bmp", 5000)) << "the folder named like the next file is passed over";
    EXPECT_TRUE(GetFileAttributesW((images + L"\\Shot-3.Bmp").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(ReadFileBytes(images + L"\\Shot-2.Bmp"), "x");

    // The user removes the images folder while the program runs.
    RemoveTree(images);
    ASSERT_FALSE(Exists(images));
    program.Capture();
    EXPECT_TRUE(WaitFile(images + L"\\Shot-1.Bmp", 5000)) << "the folder is made again at the next save";
    EXPECT_EQ(WaitMessageBox(program.pid(), 300), nullptr);
}

TEST(Delivery, TheRunningNumberAtItsLimitGoesOnFromTheLowestFreeNumber) {
    std::wstring images = CleanDir(L"delivery_limit");
    WriteFileBytes(images + L"\\Shot-2147483647.Bmp", "x");
    WriteFileBytes(images + L"\\Shot-1.Bmp", "x");
    Config config(Config::File("0", "Shot-", images), "2147483647");
    Hidden program;
    ASSERT_TRUE(program.Ready());

    program.Capture();
    ASSERT_TRUE(WaitFile(images + L"\\Shot-2.Bmp", 5000));
    EXPECT_EQ(ReadFileBytes(images + L"\\Shot-2147483647.Bmp"), "x");
}

TEST(Delivery, APrefixThatWouldLeaveTheImagesFolderIsRefusedWithAMessage) {
    std::wstring root = CleanDir(L"delivery_prefix");
    std::wstring images = root + L"\\a\\b";
    CreateDirectoryW((root + L"\\a").c_str(), nullptr);
    CreateDirectoryW(images.c_str(), nullptr);
    Config config(Config::File("0", "..\\..\\x-", images));
    Hidden program;
    ASSERT_TRUE(program.Ready());

    program.Capture();
    HWND box = WaitMessageBox(program.pid(), 5000);
    ASSERT_NE(box, nullptr) << "the user is told";
    std::wstring text = MessageText(box);
    EXPECT_NE(text.find(L"The capture was not saved to the images folder \"" + images + L"\"."), std::wstring::npos)
        << Config::Ansi(text);
    EXPECT_NE(text.find(L"\\ / : * ? \" < > |"), std::wstring::npos) << Config::Ansi(text);
    EXPECT_TRUE(DismissMessageBox(box));
    Pump(500);
    EXPECT_FALSE(Exists(root + L"\\x-1.Bmp")) << "nothing is written outside the images folder";
}

TEST(Delivery, AFileThatCannotBeWrittenIsReportedOncePerCapture) {
    std::wstring root = CleanDir(L"delivery_blocked");
    std::wstring images = root + L"\\Images";
    CreateDirectoryW(images.c_str(), nullptr);
    Config config(Config::File("1", "Shot-", images));
    Hidden program;
    ASSERT_TRUE(program.Ready());

    // While the program runs, a file takes the images folder's place.
    RemoveTree(images);
    WriteFileBytes(images, "not a folder");
    for (int capture = 1; capture <= 2; ++capture) {
        program.Capture();
        HWND box = WaitMessageBox(program.pid(), 8000);
        ASSERT_NE(box, nullptr) << "capture " << capture;
        EXPECT_EQ(MessageText(box), L"The capture was not saved to the file \"" + images + L"\\Shot-1.Jpg\".");
        EXPECT_TRUE(HasIcon(box));
        EXPECT_EQ(config.Value("Main", "an"), "1") << "the number is stored before the write";
        ASSERT_TRUE(DismissMessageBox(box));
        EXPECT_EQ(WaitMessageBox(program.pid(), 1000), nullptr) << "one message per capture";
    }
    EXPECT_EQ(ReadFileBytes(images), "not a folder");
}

TEST(Delivery, ABusyClipboardLeavesTheWindowsAnsweringAndIsReported) {
    Config config("msl=1\r\n");
    Hidden program;
    ASSERT_TRUE(program.Ready());

    // Another program holds the clipboard for 10 s and meanwhile measures how
    // long the main window takes to answer.
    const wchar_t held[] = L"qc_e2e_clipboard_held";
    HANDLE heldEvent = CreateEventW(nullptr, TRUE, FALSE, held);
    std::wstring cmd = L"\"" + ArgPath("holder") + L"\" " +
                       std::to_wstring(reinterpret_cast<uintptr_t>(program.main())) + L" 10000 " + held;
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION holder{};
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &holder));
    ASSERT_EQ(WaitForSingleObject(heldEvent, 10000), WAIT_OBJECT_0) << "the helper holds the clipboard";

    program.Capture();
    HWND box = WaitMessageBox(program.pid(), 12000);
    EXPECT_NE(box, nullptr) << "the capture that missed the clipboard is reported";
    if (box) {
        EXPECT_EQ(MessageText(box), L"The capture was not saved to the clipboard.");
        EXPECT_TRUE(DismissMessageBox(box));
    }
    ASSERT_EQ(WaitForSingleObject(holder.hProcess, 20000), WAIT_OBJECT_0);
    DWORD slowest = 0;
    GetExitCodeProcess(holder.hProcess, &slowest);
    CloseHandle(holder.hProcess);
    CloseHandle(holder.hThread);
    CloseHandle(heldEvent);
    RecordProperty("slowest_reply_ms", static_cast<int>(slowest));
    EXPECT_LT(slowest, 250u) << "the slowest reply of the main window, in ms";
}
