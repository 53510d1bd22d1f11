// A thread timer (SetTimer without a window), killed by its holder. Such a
// timer carries nothing of its own to its procedure, so the thread keeps a
// registry of its timers by id, which the holder maintains: an entry from
// the start until the kill. A tick already posted when the timer was
// killed (KillTimer leaves it in the queue) finds no entry and runs
// nothing, or, when the system has given the id to a timer started since,
// runs that one's handler once early: a handler takes any extra tick.
#pragma once

#include <windows.h>

#include "support/unique_any.h"

namespace autolabel::support::win32 {

// What a thread timer runs at each tick.
class TimerTick {
  public:
    virtual void OnTick() = 0;

  protected:
    ~TimerTick() = default;
};

struct ThreadTimerTraits {
    using Type = UINT_PTR;
    static UINT_PTR None() noexcept { return 0; }
    static bool IsNone(UINT_PTR id) noexcept { return id == 0; }
    static void Close(UINT_PTR id) noexcept;  // KillTimer, and out of the registry
};
using UniqueThreadTimer = UniqueAny<ThreadTimerTraits>;

// A timer of the calling thread that runs `tick` every `periodMs`; empty
// when the system gives none. `tick` outlives the holder.
UniqueThreadTimer StartThreadTimer(UINT periodMs, TimerTick& tick);

}  // namespace autolabel::support::win32
