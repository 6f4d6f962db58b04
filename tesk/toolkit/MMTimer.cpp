#include "tesk/toolkit/MMTimer.h"

#include "platform/Application.h"
#include "platform/Exceptions.h"

TMMTimer::TMMTimer(TComponent* AOwner) : TComponent(AOwner)
{
    FWindowHandle = AllocateHWnd([this](TMessage& message) { WndProc(message); });
}

TMMTimer::~TMMTimer()
{
    FEnabled = false;
    try {
        UpdateTimer();
    } catch (...) {
        // Stopping never starts a timer, so nothing can be raised here.
    }
    DeallocateHWnd(FWindowHandle);
}

void TMMTimer::SetEnabled(bool value)
{
    if (value == FEnabled)
        return;
    FEnabled = value;
    UpdateTimer();
}

void TMMTimer::SetInterval(int32_t value)
{
    if (value == FInterval)
        return;
    FInterval = value;
    UpdateTimer();
}

void TMMTimer::SetResolution(int32_t value)
{
    if (value == FResolution)
        return;
    FResolution = value;
    UpdateTimer();
}

void TMMTimer::UpdateTimer()
{
    if (FTimerID != 0) {
        timeKillEvent(FTimerID);
        FTimerID = 0;
    }
    if (FInterval <= 0 || !FEnabled)
        return;
    FTimerID = timeSetEvent(static_cast<UINT>(FInterval), static_cast<UINT>(FResolution),
                            &TMMTimer::TimerCallback, reinterpret_cast<DWORD_PTR>(this),
                            TIME_PERIODIC);
    if (FTimerID == 0)
        throw EOutOfResources("Couldn't Create Timer");
}

void TMMTimer::TimerCallback(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR)
{
    auto* self = reinterpret_cast<TMMTimer*>(user);
    self->FPendingTicks.fetch_add(1);
    // Ready is cleared before the post, so the UI thread's re-arm after handling the
    // message can never be overwritten by this thread.
    if (self->FReady.exchange(false)) {
        const int32_t ticks = self->FPendingTicks.exchange(0);
        if (!PostMessage(self->FWindowHandle, WM_MMTIMERTICK, 0, ticks)) {
            // Nobody to deliver to (no message loop yet): keep the periods and try again
            // on the next one.
            self->FPendingTicks.fetch_add(ticks);
            self->FReady.store(true);
        }
    }
    try {
        self->DoTick();
    } catch (...) {
        // Nothing may escape onto the timer thread.
    }
}

void TMMTimer::DoTimer(int32_t ticks)
{
    if (OnTimer)
        OnTimer(this, ticks);
}

void TMMTimer::DoTick()
{
    if (OnTick)
        OnTick(this);
}

void TMMTimer::WndProc(TMessage& message)
{
    if (message.Msg != WM_MMTIMERTICK) {
        DefWindowProc(message);
        return;
    }
    if (FEnabled)
        CallProtected([&] { DoTimer(static_cast<int32_t>(message.LParam)); });
    FReady.store(true);
}
