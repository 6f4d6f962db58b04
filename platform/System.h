#pragma once
// System services of the platform: the tick count, the beep, fixed system metrics and
// the system font.
#include <cstdint>
#include <functional>

#include "platform/Graphics.h"
#include "platform/Types.h"

// Milliseconds since an arbitrary start, as a 32-bit count that wraps (about every 49.7
// days): compare ticks by their difference, never by their order.
uint32_t GetTickCount();

// The desktop's beep (silent headless).
void MessageBeep(UINT type = 0);

// System metrics: fixed values, not the style's, so that layouts built on them are the
// same everywhere; 0 for any other index.
constexpr int SM_CXSCREEN = 0;  // Screen->Width()
constexpr int SM_CYSCREEN = 1;  // Screen->Height()
constexpr int SM_CXVSCROLL = 2; // 16
constexpr int SM_CYHSCROLL = 3; // 16
constexpr int SM_CXBORDER = 5;  // 1
constexpr int SM_CYBORDER = 6;  // 1
constexpr int SM_CXEDGE = 45;   // 2
constexpr int SM_CYEDGE = 46;   // 2
int GetSystemMetrics(int index);

// The font that stands for the system font: the bundled face, cell height 16, regular.
TFont SystemFont();

namespace TestHooks {
// Replaces the clock GetTickCount reads (null: the real one), so that a busy wait on it
// runs in a test without waiting.
void SetTickCountSource(std::function<uint32_t()> source);
// The beeps MessageBeep gave since the last Reset.
int BeepCount();
} // namespace TestHooks
