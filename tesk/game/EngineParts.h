#pragma once
// Small helpers shared by the engine's sources and the level's drawing.
#include <cstdint>

#include "tesk/toolkit/Dib16.h"

namespace engine_parts {

// Restores a value on every way out of a scope.
template <class T>
class tRestore {
public:
    explicit tRestore(T& target) : FTarget(target), FSaved(target) {}
    tRestore(T& target, T value) : FTarget(target), FSaved(target) { FTarget = value; }
    ~tRestore() { FTarget = FSaved; }
    tRestore(const tRestore&) = delete;
    tRestore& operator=(const tRestore&) = delete;

private:
    T& FTarget;
    T FSaved;
};

// Fills the part of a rectangle inside the surface with one pixel value.
void FillRectClipped(tDib16& dib, TRect rect, uint16_t pixel);

// A new surface of the frame's size (640 x 480 without a frame), clipped to itself.
std::unique_ptr<tDib16> NewFrameSizedDib();

// Copies the whole of one surface onto another of the same size.
void CopyWholeDib(tDib16& target, tDib16& source);

} // namespace engine_parts
