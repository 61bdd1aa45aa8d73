// The model's random source, written from the rules alone and sharing nothing
// with toolkit/random: a 32-bit linear congruential generator (multiplier 214013,
// increment 2531011, modulo 2^32) whose draw is bits 16 to 30 of the new state.
// A record per stream, so the model never touches the program's generator.
#pragma once

#include <cstdint>

#include "tests/reference/vector_model.h"

namespace model {

struct RandomStream {
    std::uint32_t state = 1;  // before any seeding
};

int Draw15(RandomStream& stream);  // 0 .. 32767
// draw / 32767 divided in double and rounded to float.
float DrawUnit(RandomStream& stream);
// Left free by the rules, pinned here: the quotient is rounded to float first,
// then doubled and decreased by one in float.
float DrawSigned(RandomStream& stream);
int DrawBit(RandomStream& stream);
// Three signed draws; the first lands in z, the last in x.
Vec DrawSignedVec(RandomStream& stream);

}  // namespace model
