#include "support/ScriptHost.h"

#include <ole2.h>
#include <oleauto.h>
#include <shlobj.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "forms/Error.h"

namespace ScriptHost {

namespace {

constexpr int32_t CantCreateObject = 429;

// One argument or result of a late-bound call, cleared on destruction.
struct Var {
    VARIANT v;
    Var() { VariantInit(&v); }
    explicit Var(const std::wstring& s) {
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    }
    explicit Var(bool b) {
        VariantInit(&v);
        v.vt = VT_BOOL;
        v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
    }
    Var(Var&& o) noexcept : v(o.v) { VariantInit(&o.v); }
    Var(const Var&) = delete;
    Var& operator=(const Var&) = delete;
    ~Var() { VariantClear(&v); }
};

// The runtime's error number for a failed call: the object's own number
// when it gives one in the control facility, else the result code itself.
int32_t ErrorNumber(HRESULT code) {
    if (HRESULT_FACILITY(code) == FACILITY_CONTROL) return HRESULT_CODE(code);
    if (code == E_NOTIMPL) return 445;  // object doesn't support this action
    return static_cast<int32_t>(code);
}

// Calls a member by name; returns the call's effective result code (the
// object's own code when it raised an exception).
HRESULT TryInvoke(IDispatch* d, const wchar_t* name, WORD flags, std::initializer_list<const Var*> args,
                  VARIANT* out, std::wstring* description) {
    if (!d) return E_POINTER;
    DISPID id;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    HRESULT hr = d->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    // The call takes its arguments last first.
    std::vector<VARIANT> rev;
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) rev.push_back((*it)->v);
    DISPPARAMS dp{rev.data(), nullptr, static_cast<UINT>(rev.size()), 0};
    DISPID put = DISPID_PROPERTYPUT;
    if (flags & DISPATCH_PROPERTYPUT) {
        dp.rgdispidNamedArgs = &put;
        dp.cNamedArgs = 1;
    }
    EXCEPINFO ei{};
    UINT argErr = 0;
    hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &dp, out, &ei, &argErr);
    if (hr == DISP_E_EXCEPTION) {
        if (ei.pfnDeferredFillIn) ei.pfnDeferredFillIn(&ei);
        if (ei.scode) hr = ei.scode;
        else if (ei.wCode) hr = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, ei.wCode);
        else hr = E_FAIL;
        if (description && ei.bstrDescription) *description = ei.bstrDescription;
    }
    SysFreeString(ei.bstrSource);
    SysFreeString(ei.bstrDescription);
    SysFreeString(ei.bstrHelpFile);
    return hr;
}

[[noreturn]] void RaiseFrom(HRESULT code, const std::wstring& description) {
    forms::Raise(ErrorNumber(code), {}, description);
}

void Invoke(IDispatch* d, const wchar_t* name, WORD flags, std::initializer_list<const Var*> args, Var& out) {
    std::wstring description;
    HRESULT hr = TryInvoke(d, name, flags, args, &out.v, &description);
    if (FAILED(hr)) RaiseFrom(hr, description);
}

Var Call(const Dispatch& d, const wchar_t* name, std::initializer_list<const Var*> args = {}) {
    Var out;
    Invoke(d.get(), name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, out);
    return out;
}

template <class T>
T As(Var& r, VARTYPE vt, T VARIANT::*field) {
    if (r.v.vt != vt) {
        HRESULT hr = VariantChangeType(&r.v, &r.v, 0, vt);
        if (FAILED(hr)) forms::Raise(forms::err::TypeMismatch);
    }
    return r.v.*field;
}

std::wstring Text(Var&& r) {
    BSTR b = As(r, VT_BSTR, &VARIANT::bstrVal);
    return b ? std::wstring(b, SysStringLen(b)) : std::wstring();
}
double Number(Var&& r) { return As(r, VT_R8, &VARIANT::dblVal); }
forms::Boolean Bool(Var&& r) { return As(r, VT_BOOL, &VARIANT::boolVal) ? forms::True : forms::False; }
Dispatch Object(Var&& r) {
    if (r.v.vt != VT_DISPATCH || !r.v.pdispVal) forms::Raise(forms::err::ObjectNotSet);
    IDispatch* p = r.v.pdispVal;
    p->AddRef();
    return Dispatch(p);
}

Dispatch Create(const wchar_t* progId) {
    CLSID clsid;
    IDispatch* p = nullptr;
    if (FAILED(CLSIDFromProgID(progId, &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&p))) ||
        !p)
        forms::Raise(CantCreateObject, {}, L"ActiveX component can't create object");
    return Dispatch(p);
}

// Bytes of every file below a folder, for platforms whose folder object
// has no Size.
uint64_t TreeBytes(const std::wstring& folder) {
    uint64_t total = 0;
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((base + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) forms::Raise(forms::err::PathNotFound);
    do {
        std::wstring n = fd.cFileName;
        if (n == L"." || n == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A linked folder is counted where it really lives, not twice.
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) total += TreeBytes(base + n);
        } else {
            total += (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return total;
}

// A shortcut's target read through the shell's link object.
std::wstring LinkTarget(const std::wstring& path) {
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return {};  // a new, empty shortcut
    IShellLinkW* link = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link));
    if (FAILED(hr)) RaiseFrom(hr, {});
    IPersistFile* file = nullptr;
    hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) {
        hr = file->Load(path.c_str(), STGM_READ);
        file->Release();
    }
    std::wstring target;
    if (SUCCEEDED(hr)) {
        std::vector<wchar_t> buf(MAX_PATH + 1, L'\0');
        hr = link->GetPath(buf.data(), MAX_PATH, nullptr, 0);
        if (SUCCEEDED(hr)) target = buf.data();
        if (hr == S_FALSE) hr = S_OK;  // a link with no file target
    }
    link->Release();
    if (FAILED(hr)) RaiseFrom(hr, {});
    return target;
}

}  // namespace

Dispatch::Dispatch(const Dispatch& o) : p_(o.p_) {
    if (p_) p_->AddRef();
}
Dispatch& Dispatch::operator=(Dispatch o) noexcept {
    std::swap(p_, o.p_);
    return *this;
}
Dispatch::~Dispatch() {
    if (p_) p_->Release();
}

std::wstring File::Name() const { return Text(Call(d_, L"Name")); }
double File::Size() const { return Number(Call(d_, L"Size")); }
DATE File::DateLastModified() const {
    Var r = Call(d_, L"DateLastModified");
    return As(r, VT_DATE, &VARIANT::date);
}

double Folder::Size() const {
    Var out;
    std::wstring description;
    HRESULT hr = TryInvoke(d_.get(), L"Size", DISPATCH_PROPERTYGET, {}, &out.v, &description);
    if (hr == E_NOTIMPL) return static_cast<double>(TreeBytes(path_));
    if (FAILED(hr)) RaiseFrom(hr, description);
    return Number(std::move(out));
}

FileSystemObject::FileSystemObject() : d_(Create(L"Scripting.FileSystemObject")) {}

forms::Boolean FileSystemObject::FileExists(const std::wstring& path) const {
    Var a(path);
    return Bool(Call(d_, L"FileExists", {&a}));
}
forms::Boolean FileSystemObject::FolderExists(const std::wstring& path) const {
    Var a(path);
    return Bool(Call(d_, L"FolderExists", {&a}));
}
void FileSystemObject::CreateFolder(const std::wstring& path) const {
    Var a(path);
    Call(d_, L"CreateFolder", {&a});
}
File FileSystemObject::GetFile(const std::wstring& path) const {
    Var a(path);
    return File(Object(Call(d_, L"GetFile", {&a})));
}
Folder FileSystemObject::GetFolder(const std::wstring& path) const {
    Var a(path);
    return Folder(Object(Call(d_, L"GetFolder", {&a})), path);
}
std::wstring FileSystemObject::GetParentFolderName(const std::wstring& path) const {
    Var a(path);
    return Text(Call(d_, L"GetParentFolderName", {&a}));
}
void FileSystemObject::DeleteFile(const std::wstring& path, forms::Boolean force) const {
    Var a(path), f(forms::IsTrue(force));
    Call(d_, L"DeleteFile", {&a, &f});
}
void FileSystemObject::MoveFile(const std::wstring& source, const std::wstring& destination) const {
    Var a(source), b(destination);
    Call(d_, L"MoveFile", {&a, &b});
}
void FileSystemObject::DeleteFolder(const std::wstring& path, forms::Boolean force) const {
    Var a(path), f(forms::IsTrue(force));
    Call(d_, L"DeleteFolder", {&a, &f});
}

std::wstring Shortcut::TargetPath() const {
    Var out;
    std::wstring description;
    HRESULT hr = TryInvoke(d_.get(), L"TargetPath", DISPATCH_PROPERTYGET, {}, &out.v, &description);
    if (hr == E_NOTIMPL) return LinkTarget(path_);
    if (FAILED(hr)) RaiseFrom(hr, description);
    return Text(std::move(out));
}
void Shortcut::SetTargetPath(const std::wstring& target) const {
    Var a(target), out;
    Invoke(d_.get(), L"TargetPath", DISPATCH_PROPERTYPUT, {&a}, out);
}
void Shortcut::Save() const { Call(d_, L"Save"); }

WshShell::WshShell() : d_(Create(L"WScript.Shell")) {}

Shortcut WshShell::CreateShortcut(const std::wstring& path) const {
    Var a(path);
    return Shortcut(Object(Call(d_, L"CreateShortcut", {&a})), path);
}

}  // namespace ScriptHost
