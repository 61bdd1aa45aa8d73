// The savers' own 15-bit random source: one process-wide linear congruential
// generator (multiplier 214013, increment 2531011, modulo 2^32, output bits 16-30).
#pragma once

#include <cstdint>

#include "toolkit/vector3.h"

void SeedRandom(std::uint32_t seed);
int Random15();              // 0 .. 32767
float RandUnit();            // Random15 / 32767, in [0, 1]
float RandSigned();          // Random15 / 32767 * 2 - 1, in [-1, 1], never 0
int RandBit();               // Random15 & 1
Vector3 RandSignedVector();  // three RandSigned draws; the first lands in z

// `count` RandSigned draws into values, in order, in one call.
void RandSignedSeries(float* values, int count);
// Advances the generator as `draws` calls of Random15 would, without making the draws.
void SkipRandom(int draws);
