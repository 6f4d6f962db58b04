#pragma once
// Mouse cursors read from ".cur" files: the first image of the file (a bitmap info
// header whose height counts both masks, 1, 4, 8, 24 or 32 bits per pixel followed by
// the AND mask; 32-bit images may carry alpha instead; a PNG image is decoded too) with
// the hot spot of its directory entry, held inside the image. Anything malformed gives
// null: the reader never raises and never reads past the bytes it is given.
//
// A cursor lives as long as the program; the screen's registry (Screen->SetCursors in
// platform/Forms.h) names cursors by id.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"

struct TCursorImage;
using HCURSOR = const TCursorImage*;

HCURSOR LoadCursorFromBytes(std::string_view bytes);
// The program's "CURSOR" resource of that name; null when there is none or it is malformed.
HCURSOR LoadCursorFromResourceName(const std::string& name);

TPoint CursorHotSpot(HCURSOR cursor);
TSize CursorSize(HCURSOR cursor);
// The pixels as 0xAARRGGBB, rows top-down (empty for null).
const std::vector<uint32_t>& CursorPixels(HCURSOR cursor);
