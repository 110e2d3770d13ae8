#include "app/FrmSave.h"

#include <algorithm>
#include <cwchar>
#include <optional>

#include <shlwapi.h>

#include "app/FrmExport.h"
#include "app/FrmMain.h"
#include "app/FrmTemp.h"
#include "app/ModGeneral.h"
#include "app/Skin.h"
#include "capture/cDIBSection.h"
#include "capture/mIntelJPEGLibrary.h"
#include "forms/Error.h"
#include "forms/Runtime.h"
#include "support/Settings.h"
#include "support/cFilesFolders.h"
#include "support/cIniSettings.h"

namespace app {

using forms::PassOver;

namespace {
constexpr int32_t kGreyText = static_cast<int32_t>(0x80000010);  // button shadow
constexpr int32_t kPlainText = static_cast<int32_t>(0x80000012); // button text

constexpr wchar_t kPrefixRule[] = L"The file name prefix may not hold any of these characters: \\ / : * ? \" < > |";

// Without these an automatic name is one file directly in the images folder.
bool FitsInName(wchar_t ch) { return ch >= 32 && !std::wcschr(L"\\/:*?\"<>|", ch); }
bool PrefixStaysInFolder(const std::wstring& prefix) {
    return std::all_of(prefix.begin(), prefix.end(), FitsInName);
}

// Taken by anything at all: a file, a folder, a device.
bool Taken(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Makes a folder and the missing folders above it; a folder removed while
// the program runs comes back at the next save.
void MakeFolder(std::wstring path) {
    while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    if (path.empty() || Taken(path)) return;
    size_t cut = path.find_last_of(L"\\/");
    if (cut != std::wstring::npos && cut > 0) MakeFolder(path.substr(0, cut));
    CreateDirectoryW(path.c_str(), nullptr);
}
}  // namespace

CFrmSave::CFrmSave() {
    Caption(L"Options");
    BorderStyle(forms::vbBSNone);
    ShowInTaskbar = false;
    ClientSize(Skin::PageWidth, Skin::PageHeight + 900);

    Skin::PagePanel(Pic);
    Skin::Heading(LblTitle, L"Options");
    auto font = [] { return std::make_shared<forms::StdFont>(L"Verdana", 9); };

    Skin::Caption(LblNaming, L"File names:", 420, 1020, 3000, Skin::HeadingColour, 9, true);
    CmbName.Font(font());
    CmbName.Move(600, 1380, 3600, 315);
    Skin::Caption(L4, L"Prefix:", 600, 1920, 900, kPlainText);
    TxtPrefix.Font(font());
    TxtPrefix.Move(1500, 1860, 2700, 330);
    TxtPrefix.Enabled(forms::False);

    Skin::Caption(LblFolder, L"Images folder:", 420, 2520, 3000, Skin::HeadingColour, 9, true);
    TxtPath.Font(font());
    TxtPath.Move(600, 2880, 4800, 330);
    BtnBrowse.Font(font());
    BtnBrowse.Move(5520, 2865, 1080, 360);

    Skin::Caption(LblHotKey, L"Capture hotkey (works while the window is hidden):", 420, 3540, 6200,
                  Skin::HeadingColour, 9, true);
    // The font goes with the stored properties: the field reads them as it
    // loads, and a font set here alone would give way to its small default.
    forms::PropertyBag keyDesign;
    keyDesign.WriteProperty(L"Font", forms::Variant(forms::ObjectPtr(font())), forms::Variant());
    keyDesign.WriteProperty(L"HotKey", int32_t{83}, int32_t{0});
    keyDesign.WriteProperty(L"HotKeyModifier", int32_t{2}, int32_t{0});
    HKey.DesignProperties(keyDesign);
    HKey.Move(600, 3900, 2400, 330);

    // Out of sight below the page: they only carry the destination's look.
    BtnCopy.Caption(L"Windows Clipboard");
    BtnCopy.Move(0, Skin::PageHeight + 60, 1800, 360);
    BtnSave.Caption(L"Save to File");
    BtnSave.Move(1920, Skin::PageHeight + 60, 1800, 360);

    TxtPrefix.Change = [this] { TxtPrefix_Change(); };
    CmbName.Click = [this] { CmbName_Click(); };
    BtnBrowse.Click = [this] { BtnBrowse_Click(); };
    BtnCopy.Click = [this] { BtnCopy_Click(); };
    BtnSave.Click = [this] { BtnSave_Click(); };
}

CFrmSave::~CFrmSave() = default;

cIniSettings& CFrmSave::Ini() { return forms::OnFirstUse(m_Ini); }
cFilesFolders& CFrmSave::FilesFolders() { return forms::OnFirstUse(m_FilesFolders); }

void CFrmSave::Form_Load() {
    PassOver([this] { CmbName.AddItem(L"Use Automatic File Name"); });
    PassOver([this] { CmbName.AddItem(L"Ask for File Name"); });
    LoadSettings();
}

void CFrmSave::Form_Unload(int16_t&) { SaveSettings(); }

void CFrmSave::BtnCopy_Click() {
    PassOver([this] {
        forms::Boolean off = forms::False;
        BtnSave.SelectButton(off);
    });
    PassOver([] { FrmTemp->OClibpoard.Value(forms::True); });
    PassOver([this] { L4.ForeColor(kGreyText); });
    PassOver([this] { CmbName.Enabled(forms::False); });
    PassOver([] { FrmTemp->OBitMap.Enabled(forms::False); });
    PassOver([] { FrmTemp->OJpg.Enabled(forms::False); });
    PassOver([] { FrmTemp->CmbQ.Enabled(forms::False); });
    PassOver([this] { TxtPrefix.Enabled(forms::False); });
    PassOver([this] { BtnBrowse.Enabled(forms::False); });
    PassOver([this] { TxtPath.Enabled(forms::False); });
    Mselection = 1;
}

void CFrmSave::BtnSave_Click() {
    PassOver([this] {
        forms::Boolean off = forms::False;
        BtnCopy.SelectButton(off);
    });
    PassOver([] { FrmTemp->OFile.Value(forms::True); });
    PassOver([this] {
        if (CmbName.ListIndex() == 0) {
            L4.ForeColor(kPlainText);
            TxtPrefix.Enabled(forms::True);
        }
    });
    PassOver([this] { CmbName.Enabled(forms::True); });
    PassOver([] { FrmTemp->OBitMap.Enabled(forms::True); });
    PassOver([] { FrmTemp->OJpg.Enabled(forms::True); });
    PassOver([] { FrmTemp->CmbQ.Enabled(forms::True); });
    PassOver([this] { BtnBrowse.Enabled(forms::True); });
    PassOver([this] { TxtPath.Enabled(forms::True); });
    Mselection = 2;
}

void CFrmSave::CmbName_Click() {
    PassOver([this] {
        bool ask = CmbName.ListIndex() == 1;
        L4.ForeColor(ask ? kGreyText : kPlainText);
        TxtPrefix.Enabled(ask ? forms::False : forms::True);
    });
}

void CFrmSave::TxtPrefix_Change() {
    // Typed or pasted characters that would take names out of the images
    // folder are refused at once. A prefix set from the settings file is
    // left as it is, for the check at save time to explain.
    HWND box = TxtPrefix.hWnd();
    if (!box || GetFocus() != box) return;
    const std::wstring text = TxtPrefix.Text();
    if (PrefixStaysInFolder(text)) return;
    DWORD caret = 0;
    SendMessageW(box, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    std::wstring kept;
    DWORD keptCaret = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!FitsInName(text[i])) continue;
        kept += text[i];
        if (i < caret) ++keptCaret;
    }
    MessageBeep(MB_ICONWARNING);
    TxtPrefix.Text(kept);
    SendMessageW(box, EM_SETSEL, keptCaret, keptCaret);
}

void CFrmSave::BtnBrowse_Click() {
    PassOver([this] {
        cFilesFolders& files = FilesFolders();
        std::wstring path = files.BrowseForFolder(*FrmMain, L"Images Folder", forms::False, forms::False, forms::True);
        if (!forms::IsTrue(files.IsText(path))) return;
        if (files.GetDrvType(path.substr(0, 2) + L"\\") == DRIVE_CDROM) {
            forms::MsgBox(L"Can't save images to this folder, Please select another folder", forms::vbExclamation,
                          L"Quorvane Capture");
            return;
        }
        TxtPath.Text(path);
    });
}

std::wstring CFrmSave::GetExt() {
    std::wstring ext;
    PassOver([&] {
        if (forms::IsTrue(FrmTemp->OBitMap.Value())) ext = L".Bmp";
        else if (forms::IsTrue(FrmTemp->OJpg.Value())) ext = L".Jpg";
    });
    return ext;
}

bool CFrmSave::NamesFormat(const std::wstring& path) {
    const wchar_t* ext = PathFindExtensionW(path.c_str());
    return _wcsicmp(ext, L".bmp") == 0 || _wcsicmp(ext, L".jpg") == 0 || _wcsicmp(ext, L".jpeg") == 0;
}

std::wstring CFrmSave::AutoName(int32_t k) {
    return FilesFolders().AddSlash(TxtPath.Text()) + TxtPrefix.Text() + std::to_wstring(k) + GetExt();
}

void CFrmSave::SaveImageToFile() {
    if (CmbName.ListIndex() == 1) {
        // Ask road: the preview window writes the file when the user names it.
        CFrmExport& preview = *FrmExport;
        PassOver([&] {
            forms::Object& viewer = preview.Controls()[L"Pic"];
            forms::CallBy(viewer, L"Clear");
            viewer.LetProperty(L"Picture", forms::Variant(FrmMain->Pic.Picture()));
        });
        PassOver([&] { preview.Show(); });
        PassOver([&] { ModGeneral::SetFormOnTop(preview, forms::True); });
        return;
    }
    PassOver([this] {
        if (!PrefixStaysInFolder(TxtPrefix.Text())) {
            ModGeneral::ReportNotSaved(L"the images folder \"" + TxtPath.Text() + L"\"", kPrefixRule);
            return;
        }
        MakeFolder(TxtPath.Text());
        int32_t c = 0;
        PassOver([&] { c = GetImageCounter(); });
        // Numbering goes on above a stored number whose name is taken, else
        // (and past the largest number) takes the lowest free number from 1.
        // A name taken by anything, file or folder, is never chosen.
        std::optional<int32_t> n;
        if (Taken(AutoName(c))) {
            for (int32_t k = c; !n && k < INT32_MAX;)
                if (!Taken(AutoName(++k))) n = k;
        }
        if (!n) {
            int32_t k = 1;
            while (Taken(AutoName(k))) {
                if (k == INT32_MAX) forms::Raise(6);
                ++k;
            }
            n = k;
        }
        SetImageCounter(*n);
        SaveFinalImage(AutoName(*n));
    });
}

void CFrmSave::SaveFinalImage(std::wstring iPath) {
    forms::Picture canvas;
    PassOver([&] { canvas = FrmMain->Pic.Picture(); });
    SaveFinalImage(std::move(iPath), canvas);
}

void CFrmSave::SaveFinalImage(std::wstring iPath, const forms::Picture& picture) {
    bool saved = false;
    PassOver([&] {
        // A name's own extension decides the format, so that the bytes
        // always match it; any other name takes the chosen format.
        const bool bitmap = NamesFormat(iPath) ? _wcsicmp(PathFindExtensionW(iPath.c_str()), L".bmp") == 0
                                               : forms::IsTrue(FrmTemp->OBitMap.Value());
        if (bitmap) {
            forms::SavePicture(picture, iPath);
            saved = true;
            return;
        }
        cDIBSection dib;
        dib.CreateFromPicture(picture);
        PassOver([&] { FrmMain->Pic.Refresh(); });
        forms::ComboBox& quality = FrmTemp->CmbQ;
        int32_t q = forms::CLng(quality.List(quality.ListIndex()));
        saved = forms::IsTrue(mIntelJPEGLibrary::SaveJpegFile(dib, iPath, q));
    });
    if (!saved) ModGeneral::ReportNotSaved(L"the file \"" + iPath + L"\"");
}

int32_t CFrmSave::GetImageCounter() {
    return forms::CLng(Settings::ReadText(Ini(), Settings::RunningNumber));
}

void CFrmSave::SetImageCounter(int32_t n) {
    Settings::Write(Ini(), Settings::RunningNumber, n);
}

void CFrmSave::LoadSettings() {
    cIniSettings& ini = Ini();
    int16_t msl = Settings::Destination.OutOfRange, cn = Settings::Naming.OutOfRange;
    int16_t ct = Settings::Format.OutOfRange, cq = Settings::Quality.OutOfRange;
    PassOver([&] { msl = Settings::ReadNumber(ini, Settings::Destination); });
    PassOver([&] { cn = Settings::ReadNumber(ini, Settings::Naming); });
    PassOver([&] { ct = Settings::ReadNumber(ini, Settings::Format); });
    PassOver([&] { cq = Settings::ReadNumber(ini, Settings::Quality); });
    PassOver([&] { CmbName.ListIndex(cn); });
    CmbName_Click();
    PassOver([&] {
        if (ct == 0) FrmTemp->OBitMap.Value(forms::True);
        else FrmTemp->OJpg.Value(forms::True);
    });
    PassOver([&] { FrmTemp->CmbQ.ListIndex(cq); });
    PassOver([&] { TxtPrefix.Text(Settings::ReadText(ini, Settings::Prefix)); });
    PassOver([&] {
        std::wstring fallback = Settings::DefaultText(Settings::ImagesFolder);
        std::wstring stored = Settings::ReadText(ini, Settings::ImagesFolder);
        auto fso = FilesFolders().Fso();
        if (!forms::IsTrue(fso.FolderExists(stored))) {
            if (!forms::IsTrue(fso.FolderExists(fallback))) fso.CreateFolder(fallback);
            TxtPath.Text(fallback);
        } else {
            TxtPath.Text(stored);
        }
    });
    forms::Boolean on = forms::True;
    if (msl == 1) {
        PassOver([&] { BtnCopy.SelectButton(on); });
        BtnCopy_Click();
    } else {
        PassOver([&] { BtnSave.SelectButton(on); });
        BtnSave_Click();
    }
}

void CFrmSave::SaveSettings() {
    cIniSettings& ini = Ini();
    PassOver([&] { Settings::Write(ini, Settings::Destination, Mselection); });
    PassOver([&] { Settings::Write(ini, Settings::Naming, CmbName.ListIndex()); });
    PassOver([&] { Settings::Write(ini, Settings::Prefix, TxtPrefix.Text()); });
    PassOver([&] { Settings::Write(ini, Settings::Format, forms::IsTrue(FrmTemp->OBitMap.Value()) ? 0 : 1); });
    PassOver([&] { Settings::Write(ini, Settings::Quality, FrmTemp->CmbQ.ListIndex()); });
    PassOver([&] { Settings::Write(ini, Settings::ImagesFolder, TxtPath.Text()); });
}

}  // namespace app
