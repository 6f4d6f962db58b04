#pragma once
// Window regions: the platform's region-data layout and shaped windows.
//
// Region data: a 32-byte header (header size 32, type 1 = rectangles, rectangle count,
// data size, bounding rectangle) and then that many rectangles (left, top, right,
// bottom as little-endian int32; right and bottom just outside).
#include <cstddef>
#include <vector>

#include "platform/Types.h"

class TForm;

// Reads region data. False (and no rectangles) when the header is short or not a
// rectangle list, or when the count asks for more bytes than there are. A count of 0
// gives true and no rectangles. Empty rectangles are dropped.
bool ParseRegionData(const void* data, size_t size, std::vector<TRect>& rects);

// Shapes the form's window to the union of the rectangles (client coordinates); no
// rectangles give the window back its full rectangle.
void SetWindowRegion(TForm* form, const std::vector<TRect>& rects);

// The rectangles the form's window is shaped to; empty when it keeps its full rectangle.
std::vector<TRect> GetWindowRegion(TForm* form);
