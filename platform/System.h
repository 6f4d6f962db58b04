#pragma once
// System services of the platform: the tick count.
#include <cstdint>
#include <functional>

#include "platform/Types.h"

// Milliseconds since an arbitrary start, as a 32-bit count that wraps (about every 49.7
// days): compare ticks by their difference, never by their order.
uint32_t GetTickCount();

namespace TestHooks {
// Replaces the clock GetTickCount reads (null: the real one), so that a busy wait on it
// runs in a test without waiting.
void SetTickCountSource(std::function<uint32_t()> source);
} // namespace TestHooks
