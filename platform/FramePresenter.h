#pragma once
// Shows 16-bit frames in a window. The window keeps the last frame (converted to 32 bits
// and scaled to its client area by nearest neighbour) and paints it whenever it is
// exposed. The window is the platform's window object (a QWidget) passed as a pointer.
#include <cstdint>

#include "platform/Graphics.h"

using TPresentWindow = void*;

// Writes the frame into the window's kept picture at destRect (client coordinates; the
// whole client area when null), scaled to that rectangle, and schedules a repaint.
void PresentFrame(TPresentWindow window, const uint8_t* bits, int32_t width, int32_t height,
                  int32_t pitch, const TBitFields& fields, const TRect* destRect = nullptr);
// Forgets the window's kept picture (it paints black until the next frame).
void ForgetPresentedFrame(TPresentWindow window);
// Makes the window's top-level window cover the screen without a frame, or gives it back
// its normal frame and place.
void SetWindowFullScreen(TPresentWindow window, bool fullScreen);
// The window's client area: its size, and its origin in screen coordinates.
TRect WindowClientRect(TPresentWindow window);
TPoint WindowClientOrigin(TPresentWindow window);
