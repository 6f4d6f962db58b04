#pragma once
// Pictures of the game's frame for the designer's tools.
#include <string>

class tDib16;

// Writes the 16-bit surface as a PNG file (replacing one of that name); EToolError when
// it cannot be written.
void WriteFramePicture(tDib16& frame, const std::string& file);
