// The capture road from hotkey to file, for bench/road_bench.sh.
//   --serve --exe=<program> --dir=<images folder> --format=bmp|jpeg
//       writes the program's Config.ini beside it (full screen, pointer on,
//       Ctrl+S, automatic names Shot-<n> in the folder, JPEG quality 90),
//       starts it, hides its window, then answers each line "press <n>" on
//       standard input: holds Ctrl+S down through SendInput until
//       Shot-<n>.Bmp/.Jpg is complete, and prints the milliseconds; "quit"
//       ends the program.
//   --steps --dir=<folder> --format=bmp|jpeg --runs=<n>
//       the road's own work in this process, step by step as the program
//       takes it (clear the canvas, grab, pointer, then BMP: write; JPEG:
//       copy into a DIB section, encode, write), and prints each step's times.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "app/FrmMain.h"
#include "capture/cCapture.h"
#include "capture/cDIBSection.h"
#include "capture/mIntelJPEGLibrary.h"
#include "controls/cGraphics.h"
#include "forms/Picture.h"
#include "forms/Runtime.h"
#include "jpeglib/JpegEncoder.h"

namespace {

std::wstring Arg(int argc, wchar_t** argv, const std::wstring& name) {
    const std::wstring prefix = L"--" + name + L"=";
    for (int i = 1; i < argc; ++i)
        if (std::wstring(argv[i]).rfind(prefix, 0) == 0) return std::wstring(argv[i]).substr(prefix.size());
    return {};
}
bool Flag(int argc, wchar_t** argv, const std::wstring& name) {
    for (int i = 1; i < argc; ++i)
        if (std::wstring(argv[i]) == L"--" + name) return true;
    return false;
}

void Key(WORD vk, bool down) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &in, sizeof in);
}

// Whether the file is there, closed by its writer and whole.
bool Complete(const std::wstring& path, bool bmp) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    GetFileSizeEx(f, &size);
    bool whole = false;
    DWORD got = 0;
    if (bmp) {
        uint8_t head[6] = {};
        whole = ReadFile(f, head, 6, &got, nullptr) && got == 6 && head[0] == 'B' &&
                static_cast<LONGLONG>(head[2] | head[3] << 8 | head[4] << 16 | static_cast<uint32_t>(head[5]) << 24) ==
                    size.QuadPart;
    } else if (size.QuadPart >= 4) {
        uint8_t tail[2] = {};
        LARGE_INTEGER at;
        at.QuadPart = size.QuadPart - 2;
        whole = SetFilePointerEx(f, at, nullptr, FILE_BEGIN) && ReadFile(f, tail, 2, &got, nullptr) && got == 2 &&
                tail[0] == 0xFF && tail[1] == 0xD9;
    }
    CloseHandle(f);
    return whole;
}

struct Visible {
    DWORD pid;
    HWND found = nullptr;
};
BOOL CALLBACK FindVisible(HWND h, LPARAM l) {
    auto* v = reinterpret_cast<Visible*>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t text[64] = {};
    GetWindowTextW(h, text, 64);
    if (pid == v->pid && IsWindowVisible(h) && std::wcscmp(text, L"Quorvane Capture 1.0") == 0) v->found = h;
    return TRUE;
}

int Serve(const std::wstring& exe, const std::wstring& dir, bool bmp) {
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    const std::string images(dir.begin(), dir.end());
    const std::string ini = "[main]\r\nmb=1\r\ncm=1\r\n[hkeys]\r\nhk=83\r\nmdf=2\r\n[sav]\r\nmsl=2\r\ncn=0\r\nct=" +
                            std::string(bmp ? "0" : "1") + "\r\ncq=8\r\ntp=Shot-\r\ntpa=" + images + "\r\n";
    HANDLE f = CreateFileW((folder + L"\\Config.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, ini.data(), static_cast<DWORD>(ini.size()), &written, nullptr);
    CloseHandle(f);

    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) {
        std::printf("cannot start the program\n");
        return 1;
    }
    Visible v{pi.dwProcessId};
    for (int i = 0; i < 300 && !v.found; ++i) {
        Sleep(50);
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&v));
    }
    if (!v.found) {
        std::printf("no window\n");
        TerminateProcess(pi.hProcess, 1);
        return 1;
    }
    Sleep(500);
    PostMessageW(v.found, WM_CLOSE, 0, 0);  // hides it behind its tray icon
    for (int i = 0; i < 100 && IsWindowVisible(v.found); ++i) Sleep(50);
    Sleep(500);
    std::printf("ready\n");
    std::fflush(stdout);

    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.rfind("press ", 0) != 0) break;
        const std::wstring file =
            dir + L"\\Shot-" + std::to_wstring(std::atoi(line.c_str() + 6)) + (bmp ? L".Bmp" : L".Jpg");
        const double t0 = bench::NowMs();
        Key(VK_CONTROL, true);
        Key('S', true);
        bool done = false;
        while (!(done = Complete(file, bmp)) && bench::NowMs() - t0 < 5000) Sleep(1);
        const double t1 = bench::NowMs();
        Key('S', false);
        Key(VK_CONTROL, false);
        Sleep(60);  // the program sees the keys go up before the next press
        if (done)
            std::printf("%.2f\n", t1 - t0);
        else
            std::printf("timeout\n");
        std::fflush(stdout);
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return 0;
}

// One run of the road's own work, each step's milliseconds appended to its row.
void StepsOnce(cCapture& cap, cGraphics& graphics, const std::wstring& file, bool bmp,
               std::vector<std::vector<double>>& ms) {
    forms::PictureBox& canvas = app::FrmMain->Pic;
    double t[8];
    int n = 0;
    t[n++] = bench::NowMs();
    canvas.Cls();
    t[n++] = bench::NowMs();
    canvas.Move(0, 0, static_cast<float>(forms::Screen.Width()), static_cast<float>(forms::Screen.Height()));
    canvas.Picture(cap.Capture_Screen());
    t[n++] = bench::NowMs();
    cap.DrawCur(graphics.GetCurPos(0), graphics.GetCurPos(1), canvas);
    t[n++] = bench::NowMs();
    if (bmp) {
        forms::SavePicture(canvas.Picture(), file);
        t[n++] = bench::NowMs();
    } else {
        cDIBSection dib;
        dib.CreateFromPicture(canvas.Picture());
        canvas.Refresh();
        t[n++] = bench::NowMs();
        // The encoding alone, then the writer's whole work (encoding again and writing).
        std::vector<uint8_t> out;
        const int32_t h = dib.Height();
        const ptrdiff_t stride = dib.BytesPerScanLine();
        jpeglib::EncodeJpeg({dib.DIBSectionBitsPtr() + stride * (h - 1), -stride, dib.Width(), h}, 90, out);
        t[n++] = bench::NowMs();
        mIntelJPEGLibrary::SaveJpegFile(dib, file, 90);
        t[n++] = bench::NowMs();
        t[n - 1] -= t[n - 2] - t[n - 3];  // the write alone: the writer's time less one encoding
    }
    for (int i = 1; i < n; ++i) ms[i - 1].push_back(t[i] - t[i - 1]);
    ms.back().push_back(t[n - 1] - t[0]);
}

int Steps(const std::wstring& dir, bool bmp, int runs) {
    OleInitialize(nullptr);
    cCapture cap;
    cGraphics graphics;
    const std::vector<const char*> names =
        bmp ? std::vector<const char*>{"clear", "grab", "pointer", "write", "all"}
            : std::vector<const char*>{"clear", "grab", "pointer", "dib", "encode", "write", "all"};
    std::vector<std::vector<double>> ms(names.size());
    const std::wstring file = dir + (bmp ? L"\\steps.Bmp" : L"\\steps.Jpg");
    std::vector<std::vector<double>> warm(names.size());
    for (int i = 0; i < 3; ++i) StepsOnce(cap, graphics, file, bmp, warm);
    for (int i = 0; i < runs; ++i) StepsOnce(cap, graphics, file, bmp, ms);
    for (size_t s = 0; s < names.size(); ++s) {
        std::printf("step-%s", names[s]);
        for (double v : ms[s]) std::printf(" %.3f", v);
        std::printf("\n");
    }
    std::fflush(stdout);
    OleUninitialize();
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const bool bmp = Arg(argc, argv, L"format") != L"jpeg";
    const std::wstring dir = Arg(argc, argv, L"dir");
    if (Flag(argc, argv, L"serve")) return Serve(Arg(argc, argv, L"exe"), dir, bmp);
    if (Flag(argc, argv, L"steps")) return Steps(dir, bmp, std::max(1, _wtoi(Arg(argc, argv, L"runs").c_str())));
    std::printf("usage: road_bench.exe --serve|--steps ... (see bench/road_bench.sh)\n");
    return 2;
}
