#pragma once
// TMMTimer: the component that drives the main loop and every animated pop-up. A
// periodic timer thread counts the periods that pass and hands them to the UI thread
// as one posted message at a time; periods that pass while a delivery is pending are
// folded into the next delivery's count, so a slow UI never builds up a backlog.
#include <atomic>
#include <cstdint>
#include <functional>

#include "platform/Classes.h"
#include "platform/MMSystem.h"
#include "platform/Messages.h"
#include "platform/Types.h"

// The tick message of the component's hidden window: lParam = periods delivered.
constexpr UINT WM_MMTIMERTICK = 0x7800;

using TMMTimerEvent = std::function<void(TObject* Sender, int32_t Ticks)>;

class TMMTimer : public TComponent {
public:
    // Enabled, Interval 1000, Resolution 1; no timer runs until a setter starts one.
    explicit TMMTimer(TComponent* AOwner = nullptr);
    // Stops the timer thread (waiting for a running callback) and drops the ticks
    // still queued for the component.
    ~TMMTimer() override;
    TMMTimer(const TMMTimer&) = delete;
    TMMTimer& operator=(const TMMTimer&) = delete;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    int32_t Interval() const { return FInterval; }
    void SetInterval(int32_t value);
    int32_t Resolution() const { return FResolution; }
    void SetResolution(int32_t value);

    // UI thread: the periods delivered by one message.
    TMMTimerEvent OnTimer;
    // Timer thread, once per period. Nothing in the programs assigns it.
    TNotifyEvent OnTick;

    // The timer thread's step, once per period (public so tests can drive it as the
    // timer thread would, faster than real time).
    static void TimerCallback(UINT id, UINT msg, DWORD_PTR user, DWORD_PTR dw1, DWORD_PTR dw2);

    // For tests: the hidden window and whether a timer runs.
    HWND WindowHandle() const { return FWindowHandle; }
    bool Running() const { return FTimerID != 0; }
    UINT TimerID() const { return FTimerID; }

protected:
    virtual void DoTimer(int32_t ticks);
    virtual void DoTick();

private:
    void UpdateTimer();
    void WndProc(TMessage& message);

    HWND FWindowHandle = nullptr;
    UINT FTimerID = 0;
    std::atomic<int32_t> FPendingTicks{0};
    std::atomic<bool> FReady{true};
    bool FEnabled = true;
    int32_t FInterval = 1000;
    int32_t FResolution = 1;
};
