#pragma once
// Tesk's one pseudo-random generator: a permuted congruential generator with 64 bits of
// state and 32-bit outputs, the same sequence for a seed on every build. It runs from a
// fixed seed until Randomize or SetRandomSeed is called.
#include <cstdint>

// A value in [0, 1).
double Random();
// A value in 0 .. n - 1; 0 when n <= 0.
int32_t Random(int32_t n);
// Seeds from the clock (the program's start-up calls it once).
void Randomize();
// Seeds for a repeatable sequence (tests).
void SetRandomSeed(uint64_t seed);
// The next raw 32-bit output.
uint32_t RandomBits();
