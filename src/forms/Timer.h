#pragma once
// The timer: raises Tick every Interval milliseconds while it is enabled
// and its form is loaded, on the user-interface thread.
#include <windows.h>

#include <functional>

#include "forms/Window.h"

namespace forms {

class Timer : public Component {
public:
    // A timer on a form runs while the form is loaded; one without a
    // container runs as soon as it is enabled with an interval.
    explicit Timer(Window* container = nullptr, std::wstring name = {});
    ~Timer() override;
    std::wstring TypeName() const override { return L"Timer"; }

    int32_t Interval() const { return interval_; }
    void Interval(int32_t ms);  // 0 to 65535; 0 stops the timer; others raise 380
    Boolean Enabled() const { return ToBoolean(enabled_); }
    void Enabled(Boolean v);
    bool Running() const { return id_ != 0; }

    // The timer event (its handler does not run again while it is running).
    std::function<void()> Tick;

    Variant GetProperty(std::wstring_view name) override;
    void LetProperty(std::wstring_view name, const Variant& value) override;

private:
    void Attach() override;
    void Detach() override;
    void Update();
    static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD);

    int32_t interval_ = 0;
    bool enabled_ = true;
    bool attached_ = false;
    bool inTick_ = false;
    UINT_PTR id_ = 0;
};

}  // namespace forms
