#pragma once
// What the dialog tests share: typing a name into a file dialog from the
// driver's thread, and an event sink that records the calls it gets by name.
#include <windows.h>

#include <string>
#include <vector>

#include "forms/Object.h"
#include "unit/common/DialogDriver.h"

namespace dialogtest {

// Types text into the file dialog's name field.
inline void TypeName(HWND dlg, const std::wstring& text) {
    HWND edit = testsupport::DialogDriver::Child(dlg, L"Edit");
    if (edit) SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

inline bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// An event sink as the hook sees it: methods reached by name.
class RecordingSink : public forms::Object {
public:
    struct Call {
        std::wstring name;
        std::vector<forms::Variant> args;
    };
    std::vector<Call> calls;
    forms::Variant confirm = forms::Variant::FromBoolean(forms::True);
    forms::Variant initResult = int32_t{0};

    forms::Variant CallMethod(std::wstring_view name, const std::vector<forms::Variant>& args) override {
        calls.push_back({std::wstring(name), args});
        if (forms::NameIs(name, L"ConfirmOK")) return confirm;
        if (forms::NameIs(name, L"InitDialog")) return initResult;
        if (forms::NameIs(name, L"DialogClose") || forms::NameIs(name, L"WMCommand")) return {};
        return int32_t{0};
    }
    size_t Count(std::wstring_view name) const {
        size_t n = 0;
        for (const Call& c : calls)
            if (forms::NameIs(c.name, name)) ++n;
        return n;
    }
};

}  // namespace dialogtest
