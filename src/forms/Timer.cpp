#include "forms/Timer.h"

#include <map>
#include <set>

#include "forms/Error.h"

namespace forms {

namespace {
// Never destroyed: forms held by global references end after every static,
// and their timers still unregister then.
std::map<UINT_PTR, Timer*>& Timers() {
    static auto* m = new std::map<UINT_PTR, Timer*>;
    return *m;
}
std::set<const Timer*>& Live() {
    static auto* s = new std::set<const Timer*>;
    return *s;
}
}  // namespace

Timer::Timer(Window* container, std::wstring name) : Component(container, std::move(name)) {
    attached_ = container == nullptr || container->hWnd() != nullptr;
    Live().insert(this);
}

Timer::~Timer() {
    Live().erase(this);
    attached_ = false;
    Update();
}

void Timer::Interval(int32_t ms) {
    if (ms < 0 || ms > 65535) Raise(err::InvalidPropertyValue);
    interval_ = ms;
    if (id_) {
        // A new interval starts counting again.
        KillTimer(nullptr, id_);
        Timers().erase(id_);
        id_ = 0;
    }
    Update();
}

void Timer::Enabled(Boolean v) {
    enabled_ = v != 0;
    Update();
}

void Timer::Attach() {
    attached_ = true;
    Update();
}

void Timer::Detach() {
    attached_ = false;
    Update();
}

void Timer::Update() {
    const bool run = attached_ && enabled_ && interval_ > 0;
    if (run && !id_) {
        id_ = SetTimer(nullptr, 0, static_cast<UINT>(interval_), &Timer::Fire);
        if (id_) Timers()[id_] = this;
    } else if (!run && id_) {
        KillTimer(nullptr, id_);
        Timers().erase(id_);
        id_ = 0;
    }
}

void CALLBACK Timer::Fire(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Timers().find(id);
    if (it == Timers().end()) return;
    Timer* t = it->second;
    if (t->inTick_ || !t->Tick) return;
    EventScope scope;
    t->inTick_ = true;
    // The handler may end the timer's life; nothing of it is touched after.
    auto tick = t->Tick;
    try {
        tick();
    } catch (const std::exception&) {
    }
    if (Live().count(t)) t->inTick_ = false;
}

Variant Timer::GetProperty(std::wstring_view n) {
    if (NameIs(n, L"Interval")) return Interval();
    if (NameIs(n, L"Enabled")) return Variant::FromBoolean(Enabled());
    if (NameIs(n, L"Name")) return Name;
    return Component::GetProperty(n);
}

void Timer::LetProperty(std::wstring_view n, const Variant& v) {
    if (NameIs(n, L"Interval")) return Interval(v.AsLong());
    if (NameIs(n, L"Enabled")) return Enabled(v.AsBoolean());
    Component::LetProperty(n, v);
}

}  // namespace forms
