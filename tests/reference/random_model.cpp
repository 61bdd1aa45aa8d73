#include "tests/reference/random_model.h"

namespace model {

int Draw15(RandomStream& stream) {
    stream.state = static_cast<std::uint32_t>(std::uint64_t{stream.state} * 214013u + 2531011u);
    return static_cast<int>((stream.state >> 16) % 32768u);
}

float DrawUnit(RandomStream& stream) {
    const double quotient = static_cast<double>(Draw15(stream)) / 32767.0;
    return static_cast<float>(quotient);
}

float DrawSigned(RandomStream& stream) {
    const float unit = DrawUnit(stream);
    const float doubled = unit * 2.0f;
    return doubled - 1.0f;
}

int DrawBit(RandomStream& stream) { return Draw15(stream) % 2; }

Vec DrawSignedVec(RandomStream& stream) {
    const float first = DrawSigned(stream);
    const float second = DrawSigned(stream);
    const float third = DrawSigned(stream);
    Vec v;
    v.z = first;
    v.y = second;
    v.x = third;
    return v;
}

}  // namespace model
