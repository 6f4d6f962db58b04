#pragma once
// One input of the picture-loading fuzzer: the bytes are read as a JPEG picture, as a
// Windows bitmap file and as a bitmap without its file header; whatever loads is converted
// into a 16-bit picture or blitted over one as a mask. Shared by the libFuzzer target and
// the test that replays its corpus.
#include <cstddef>
#include <cstdint>

void PictureFuzzOneInput(const uint8_t* data, size_t size);
