#pragma once
// One input of the data-package fuzzer: the bytes are mounted as the game mounts
// "Base.Tarvol", and every member is looked up, opened, read whole and read again after
// seeking. Damaged input may raise the reader's exceptions; anything else (a crash, a
// hang, a sanitizer report, an unbounded allocation, another exception) is a fault.
// An input starting "ZREP" grows into an archive of many entries first (see the source),
// so that small inputs reach large entry counts and size claims.
// Shared by the libFuzzer target and the test that replays its corpus.
#include <cstddef>
#include <cstdint>

void ZipFuzzOneInput(const uint8_t* data, size_t size);
