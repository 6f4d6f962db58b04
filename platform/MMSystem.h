#pragma once
// Periodic timer events on a timer thread of their own, as the multimedia timer
// service gives them: the callback runs once per period, on that thread, until the
// event is killed. Used by components that count periods and post them to the UI
// thread; the callback must be short and must not throw.
#include <cstdint>

#include "platform/Types.h"

using DWORD_PTR = uintptr_t;
using MMRESULT = UINT;

// Callback of a timer event: the event's id, a message number (0), the user value.
using LPTIMECALLBACK = void (*)(UINT id, UINT msg, DWORD_PTR user, DWORD_PTR dw1, DWORD_PTR dw2);

constexpr UINT TIME_ONESHOT = 0x0000;
constexpr UINT TIME_PERIODIC = 0x0001;
constexpr MMRESULT TIMERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;

// Starts an event that calls callback every delay milliseconds (once, for
// TIME_ONESHOT). resolution is accepted and ignored: the thread sleeps until each
// period's deadline. Returns the event's id, never 0; 0 when delay is 0 or no thread
// can be started.
UINT timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user,
                  UINT flags);

// Stops the event. When it returns, the callback is not running and will not run
// again (unless called from the callback itself, which only stops further calls).
// MMSYSERR_INVALPARAM for an id that names no running event (a one-shot event that has
// fired is gone). Events still running when the program ends are stopped then.
MMRESULT timeKillEvent(UINT id);
