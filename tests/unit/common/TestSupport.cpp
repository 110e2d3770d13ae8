#include "unit/common/TestSupport.h"

#include <cstdint>
#include <cstring>
#include <map>

#include "unit/common/ScreenshotImage.h"

namespace testsupport {

namespace {
std::map<std::string, std::wstring>& Args() {
    static std::map<std::string, std::wstring> a;
    return a;
}
}  // namespace

void ParseArgs(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string s = argv[i];
        if (s.rfind("--", 0) != 0) continue;
        size_t eq = s.find('=');
        if (eq == std::string::npos) continue;
        std::string v = s.substr(eq + 1);
        Args()[s.substr(2, eq - 2)] = std::wstring(v.begin(), v.end());
    }
}

std::wstring Arg(const std::string& name) {
    auto it = Args().find(name);
    return it == Args().end() ? std::wstring() : it->second;
}

void Pump(int ms) {
    DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

COLORREF PixelOf(HBITMAP bmp, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

COLORREF ScreenPixel(int x, int y) {
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c;
}

namespace {
// GetGuiResources reports 0 under Wine 8, so the GDI handle table is counted
// instead. Found by experiment (same for 32- and 64-bit processes): 65536
// entries of 24 bytes in the process's own memory, indexed by the handle's low
// word; bytes 8-11 an owner process id (left 0 by Wine 8), 12-13 the handle's
// high word, 14-15 the object type, 0 for a free entry.
struct GdiEntry {
    uint64_t object;
    uint32_t pid;
    uint16_t upper;
    uint16_t type;
    uint64_t user;
};
static_assert(sizeof(GdiEntry) == 24);
constexpr size_t kGdiEntries = 0x10000;
constexpr size_t kGdiTableBytes = kGdiEntries * sizeof(GdiEntry);

bool Readable(const MEMORY_BASIC_INFORMATION& m) {
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                           PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return m.State == MEM_COMMIT && (m.Protect & readable) && !(m.Protect & (PAGE_GUARD | PAGE_NOACCESS));
}

// True when the stock objects sit in the table where their handles say.
bool LooksLikeGdiTable(const void* p) {
    MEMORY_BASIC_INFORMATION m{};
    if (!p || !VirtualQuery(p, &m, sizeof m) || !Readable(m) || m.BaseAddress != p ||
        m.RegionSize < kGdiTableBytes)
        return false;
    const auto* table = static_cast<const GdiEntry*>(p);
    for (int stock : {WHITE_BRUSH, BLACK_PEN, SYSTEM_FONT, DEFAULT_PALETTE}) {
        const auto h = reinterpret_cast<uintptr_t>(GetStockObject(stock));
        const GdiEntry& e = table[h & 0xFFFF];
        if (!h || e.type == 0 || e.upper != ((h >> 16) & 0xFFFF)) return false;
    }
    return true;
}

const GdiEntry* FindGdiTable() {
    // The PEB's GdiSharedHandleTable holds it in 64-bit processes; 32-bit
    // Wine leaves that null, so the address space is searched instead.
    GetStockObject(WHITE_BRUSH);  // GDI set up first: the table comes with it.
#ifdef _WIN64
    const auto* teb = reinterpret_cast<const unsigned char*>(NtCurrentTeb());
    const auto* peb = *reinterpret_cast<const unsigned char* const*>(teb + 0x60);
    const void* fromPeb = peb ? *reinterpret_cast<const void* const*>(peb + 0xF8) : nullptr;
#else
    // Read through fs directly: NtCurrentTeb() trips a false -Warray-bounds in GCC.
    const unsigned char* peb = nullptr;
    asm("movl %%fs:0x30, %0" : "=r"(peb));
    const void* fromPeb = peb ? *reinterpret_cast<const void* const*>(peb + 0x94) : nullptr;
#endif
    if (LooksLikeGdiTable(fromPeb)) return static_cast<const GdiEntry*>(fromPeb);
    const unsigned char* p = nullptr;
    MEMORY_BASIC_INFORMATION m{};
    while (VirtualQuery(p, &m, sizeof m) == sizeof m) {
        if (m.BaseAddress == m.AllocationBase && LooksLikeGdiTable(m.BaseAddress))
            return static_cast<const GdiEntry*>(m.BaseAddress);
        const auto* next = static_cast<const unsigned char*>(m.BaseAddress) + m.RegionSize;
        if (next <= p) break;
        p = next;
    }
    return nullptr;
}
}  // namespace

DWORD GdiCount() {
    static const GdiEntry* const table = FindGdiTable();
    if (table) {
        const DWORD pid = GetCurrentProcessId();
        DWORD n = 0;
        for (size_t i = 0; i < kGdiEntries; ++i) {
            const GdiEntry& e = table[i];
            if (e.type != 0 && (e.pid == 0 || e.pid == pid)) ++n;
        }
        // The stock objects alone are more than this; fewer means the table is not what it seemed.
        if (n >= 4) return n;
    }
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

std::wstring TempDir(const std::wstring& name) {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::wstring dir = std::wstring(tmp) + L"qc_" + name;
    // Empty it: remove files, then the folder, then make it again.
    std::wstring pattern = dir + L"\\*";
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(pattern.c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring n = fd.cFileName;
            if (n == L"." || n == L"..") continue;
            std::wstring p = dir + L"\\" + n;
            SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveDirectoryW(p.c_str());
            else DeleteFileW(p.c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::wstring> FilesIn(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring n = fd.cFileName;
        if (n != L"." && n != L"..") names.push_back(n);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return names;
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string out(GetFileSize(f, nullptr), '\0');
    DWORD got = 0;
    ReadFile(f, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
    CloseHandle(f);
    out.resize(got);
    return out;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD put = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(f);
}

namespace {
void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}
}  // namespace

void KeyDown(WORD vk) { SendKey(vk, false); }
void KeyUp(WORD vk) { SendKey(vk, true); }

void MoveMouse(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

void MouseButton(bool left, bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = left ? (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP)
                         : (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP);
    SendInput(1, &in, sizeof in);
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return L"<not opened>";
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(h));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return text;
}

bool PutClipboardText(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(mem), text.c_str(), bytes);
    GlobalUnlock(mem);
    const bool put = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
    CloseClipboard();
    return put;
}

namespace {
constexpr COLORREF kCorners = CornersFill(0);

LRESULT CALLBACK ColourProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(h, &r);
        const auto fill = static_cast<COLORREF>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (fill & kCorners) {
            const std::vector<uint32_t> px = CornersPixels(r.right, r.bottom, fill & ~kCorners);
            BITMAPINFO bi{};
            bi.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB};
            SetDIBitsToDevice(reinterpret_cast<HDC>(w), 0, 0, r.right, r.bottom, 0, 0, 0, r.bottom, px.data(), &bi,
                              DIB_RGB_COLORS);
            return 1;
        }
        HBRUSH b = CreateSolidBrush(fill);
        FillRect(reinterpret_cast<HDC>(w), &r, b);
        DeleteObject(b);
        return 1;
    }
    return DefWindowProcW(h, m, w, l);
}
}  // namespace

std::vector<uint32_t> CornersPixels(int w, int h, uint32_t seed) {
    auto rgb = [](uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; };
    std::vector<uint32_t> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t along = w > 1 ? x * 255 / (w - 1) : 0, down = h > 1 ? y * 255 / (h - 1) : 0;
            const uint32_t k = ScreenshotHash(x / 8, y / 8, seed);
            px.push_back(y == 0       ? rgb(255, along, 0)
                         : y == h - 1 ? rgb(0, along, 255)
                         : x == 0     ? rgb(255 - down, 0, down)
                         : x == w - 1 ? rgb(255 - down, 255, down)
                                      : rgb(64 + 64 * (k % 3), 64 + 64 * (k / 3 % 3), 64 + 64 * (k / 9 % 3)));
        }
    return px;
}

ColourWindow::ColourWindow(int x, int y, int w, int h, COLORREF colour, DWORD style, DWORD exStyle) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ColourProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QcTestColour";
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        RegisterClassW(&wc);
        registered = true;
    }
    hwnd_ = CreateWindowExW(exStyle, L"QcTestColour", L"colour", style, x, y, w, h, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    SetForegroundWindow(hwnd_);
    Pump(100);
}

ColourWindow::~ColourWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    Pump(20);
}

ArrowInFront::ArrowInFront()
    : window_(450, 350, 100, 100, RGB(255, 255, 255)), arrow_(LoadCursorW(nullptr, IDC_ARROW)) {
    SetForegroundWindow(window_.hwnd());
    SetCursorPos(500, 400);
    SetCursor(arrow_);
    Pump(30);
}

}  // namespace testsupport
