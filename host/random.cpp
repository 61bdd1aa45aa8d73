#include "host/random.h"

static std::uint32_t randomState = 1;

void SeedRandom(std::uint32_t seed) { randomState = seed; }

int Random15() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 32767u);
}

float RandUnit() { return static_cast<float>(Random15() / 32767.0); }

float RandSigned() { return RandUnit() * 2.0f - 1.0f; }

int RandBit() { return Random15() & 1; }

Vector3 RandSignedVector() {
    const float u1 = RandSigned();
    const float u2 = RandSigned();
    const float u3 = RandSigned();
    return Vector3(u3, u2, u1);
}
