#pragma once
// The plain value types the programs share with the platform layer: fixed-size
// integers under their customary names, window handles and message parameters,
// points, sizes and rectangles, and the root class of event senders.
#include <cstdint>
#include <functional>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using LONG = int32_t;
using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

// A window handle: an opaque, pointer-sized name of a form or a hidden message
// window. It is never dereferenced; a handle is never reused within a run, so a
// stale handle names nothing rather than somebody else's window.
struct HWND__;
using HWND = HWND__*;

// The root of the programs' polymorphic classes: what an event's Sender points to.
class TObject {
public:
    virtual ~TObject() = default;
};

// An event with only its sender, such as a click or a form's creation.
using TNotifyEvent = std::function<void(TObject* Sender)>;

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int32_t cx = 0;
    int32_t cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

// Left and Top are inside the rectangle, Right and Bottom just outside it.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return TRect{left, top, right, bottom};
}
inline TRect Bounds(int32_t left, int32_t top, int32_t width, int32_t height)
{
    return TRect{left, top, left + width, top + height};
}
inline TPoint Point(int32_t x, int32_t y) { return TPoint{x, y}; }
