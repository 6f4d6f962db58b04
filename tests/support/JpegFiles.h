#pragma once
// JPEG files made on the spot for tests (quality 100, no chroma subsampling, so flat
// colours come back within a step or two of each channel).
#include <functional>
#include <string>

#include "platform/Graphics.h"

// A baseline JPEG file whose pixel (x, y) has color(x, y) (0x00BBGGRR).
std::string MakeJpegFile(int width, int height, const std::function<TColor(int x, int y)>& color);
