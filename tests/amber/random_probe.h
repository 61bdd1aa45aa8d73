// How far the shared random generator has advanced since it was seeded.
#pragma once

#include <cstdint>

#include "toolkit/random.h"

// Number of Random15 steps between SeedRandom(seed) and the generator's state now,
// found by locating the next three outputs in the stream from the seed. Reseeds
// and leaves the generator somewhere past that point.
inline int DrawsSince(std::uint32_t seed) {
    const int next[3] = {Random15(), Random15(), Random15()};
    SeedRandom(seed);
    int window[3] = {Random15(), Random15(), Random15()};
    for (int n = 0; n < 200000; ++n) {
        if (window[0] == next[0] && window[1] == next[1] && window[2] == next[2]) return n;
        window[0] = window[1];
        window[1] = window[2];
        window[2] = Random15();
    }
    return -1;
}
