#include "toolkit/random.h"

static std::uint32_t randomState = 1;

namespace {

constexpr std::uint32_t kMultiplier = 214013u;
constexpr std::uint32_t kIncrement = 2531011u;

// The output of the draw that left the generator in `state`.
int OutputOf(std::uint32_t state) { return static_cast<int>((state >> 16) & 32767u); }

// Multiplying by 1/32767 rounds each of the 32768 outputs to the same float as
// dividing by 32767 does, and costs a fraction of a division.
float UnitOf(int output) { return static_cast<float>(output * (1.0 / 32767.0)); }

float SignedOf(int output) { return UnitOf(output) * 2.0f - 1.0f; }

// n steps of x -> a x + c are one step x -> a^n x + c (a^(n-1) + ... + a + 1).
struct RandomJump {
    std::uint32_t multiplier;
    std::uint32_t increment;
};

constexpr RandomJump JumpOf(int draws) {
    RandomJump jump = {1u, 0u};
    for (int i = 0; i < draws; ++i) jump = {jump.multiplier * kMultiplier, jump.increment * kMultiplier + kIncrement};
    return jump;
}

constexpr int kLongestJump = 16;
constexpr RandomJump kJumps[kLongestJump + 1] = {JumpOf(0),  JumpOf(1),  JumpOf(2),  JumpOf(3),  JumpOf(4),  JumpOf(5),
                                                 JumpOf(6),  JumpOf(7),  JumpOf(8),  JumpOf(9),  JumpOf(10), JumpOf(11),
                                                 JumpOf(12), JumpOf(13), JumpOf(14), JumpOf(15), JumpOf(16)};

std::uint32_t Jump(std::uint32_t state, int draws) {
    return state * kJumps[draws].multiplier + kJumps[draws].increment;
}

}  // namespace

void SeedRandom(std::uint32_t seed) { randomState = seed; }

int Random15() {
    randomState = randomState * kMultiplier + kIncrement;
    return OutputOf(randomState);
}

float RandUnit() { return UnitOf(Random15()); }

float RandSigned() { return SignedOf(Random15()); }

int RandBit() { return Random15() & 1; }

Vector3 RandSignedVector() {
    const float u1 = RandSigned();
    const float u2 = RandSigned();
    const float u3 = RandSigned();
    return Vector3(u3, u2, u1);
}

void RandSignedSeries(float* values, int count) {
    // Each state is one jump from the first, so the draws need not wait on each other.
    for (; count > kLongestJump; count -= kLongestJump, values += kLongestJump) {
        for (int i = 0; i < kLongestJump; ++i) values[i] = SignedOf(OutputOf(Jump(randomState, i + 1)));
        randomState = Jump(randomState, kLongestJump);
    }
    for (int i = 0; i < count; ++i) values[i] = SignedOf(OutputOf(Jump(randomState, i + 1)));
    if (count > 0) randomState = Jump(randomState, count);
}

void SkipRandom(int draws) {
    for (; draws > kLongestJump; draws -= kLongestJump) randomState = Jump(randomState, kLongestJump);
    if (draws > 0) randomState = Jump(randomState, draws);
}
