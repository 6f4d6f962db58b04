#pragma once
// Shows 16-bit frames in a window. The window keeps the last frame (converted to 32 bits
// and scaled to its client area in device pixels by nearest neighbour, never smoothed)
// and paints it whenever it is exposed. The window is the platform's window object (a
// QWidget) passed as a pointer.
#include <cstdint>

#include "platform/Graphics.h"

using TPresentWindow = void*;
class TForm;

// The window object of a form, for the calls below and the DirectDraw clipper.
TPresentWindow PresentWindowOf(TForm* form);
// Shows a 16-bit bitmap in the form's client area: an unscaled copy when the sizes
// match, else stretched to fill it (nearest neighbour).
void PresentBitmap(TForm* form, TBitmap& frame);

// Writes the frame into the window's kept picture at destRect (client coordinates; the
// whole client area when null), scaled to that rectangle, and schedules a repaint.
void PresentFrame(TPresentWindow window, const uint8_t* bits, int32_t width, int32_t height,
                  int32_t pitch, const TBitFields& fields, const TRect* destRect = nullptr);
// Shows a rectangle (client coordinates) of what was drawn on the form's own surface over
// the kept frame, until the next frame; without a kept frame the surface shows anyway.
void ShowSurfaceOverFrame(TForm* form, const TRect& rect);
// Forgets the window's kept picture (it paints black until the next frame).
void ForgetPresentedFrame(TPresentWindow window);
// Makes the window's top-level window cover the screen without a frame, or gives it back
// its normal frame and place.
void SetWindowFullScreen(TPresentWindow window, bool fullScreen);
// Renders the window as it would appear and returns the colour of one client pixel
// (clNone outside it); for checks of what the window shows.
TColor GrabWindowPixel(TPresentWindow window, int32_t x, int32_t y);
// The window's client area: its size, and its origin in screen coordinates.
TRect WindowClientRect(TPresentWindow window);
TPoint WindowClientOrigin(TPresentWindow window);
