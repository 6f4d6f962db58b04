#pragma once
// One input of the sound-loading fuzzer: the bytes are loaded as a sample (with a
// header, and as raw PCM) and as a music module; whatever loads is played, mixed for a
// moment and freed. Shared by the libFuzzer target and the test that replays its corpus.
#include <cstddef>
#include <cstdint>

void SoundFuzzOneInput(const uint8_t* data, size_t size);
