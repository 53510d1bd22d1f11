#include "support/win32/thread_timer.h"

#include <map>

namespace autolabel::support::win32 {

namespace {

std::map<UINT_PTR, TimerTick*>& ThreadTimers() {
    static thread_local std::map<UINT_PTR, TimerTick*> timers;
    return timers;
}

void CALLBACK OnThreadTimer(HWND, UINT, UINT_PTR id, DWORD) {
    const auto found = ThreadTimers().find(id);
    if (found != ThreadTimers().end()) found->second->OnTick();
}

}  // namespace

void ThreadTimerTraits::Close(UINT_PTR id) noexcept {
    ::KillTimer(nullptr, id);
    ThreadTimers().erase(id);
}

UniqueThreadTimer StartThreadTimer(UINT periodMs, TimerTick& tick) {
    const UINT_PTR id = ::SetTimer(nullptr, 0, periodMs, &OnThreadTimer);
    if (id) ThreadTimers()[id] = &tick;
    return UniqueThreadTimer(id);
}

}  // namespace autolabel::support::win32
