#include "tests/cobalt/recorded_segments.h"

#include <gtest/gtest.h>

#include "platform/gl.h"
#include "platform/headless/recording_gl.h"

namespace {

Vector3 VertexOf(const recgl::Call& call) {
    return Vector3(static_cast<float>(call.args[0]), static_cast<float>(call.args[1]),
                   static_cast<float>(call.args[2]));
}

}  // namespace

std::vector<RecordedSegment> RecordedSegments() {
    std::vector<RecordedSegment> segments;
    const std::size_t stored = recgl::Stored();
    EXPECT_EQ(stored, recgl::Count()) << "recording buffer too small";
    for (std::size_t i = 0; i + 5 <= stored; i += 5) {
        const recgl::Call& colour = recgl::At(i);
        const recgl::Call& begin = recgl::At(i + 1);
        const bool wellFormed = recgl::Is(colour, "glColor3ubv") && recgl::Is(begin, "glBegin") &&
                                begin.args[0] == GL_LINES && recgl::Is(recgl::At(i + 2), "glVertex3f") &&
                                recgl::Is(recgl::At(i + 3), "glVertex3f") && recgl::Is(recgl::At(i + 4), "glEnd");
        if (!wellFormed) {
            ADD_FAILURE() << "call " << i << " (" << colour.name << ") does not start a segment";
            return segments;
        }
        segments.push_back({static_cast<std::uint8_t>(colour.args[0]), static_cast<std::uint8_t>(colour.args[1]),
                            static_cast<std::uint8_t>(colour.args[2]), VertexOf(recgl::At(i + 2)),
                            VertexOf(recgl::At(i + 3))});
    }
    EXPECT_EQ(stored % 5, 0u) << "a segment was cut off";
    return segments;
}

int CountWithColour(const std::vector<RecordedSegment>& segments, std::uint8_t red, std::uint8_t green,
                    std::uint8_t blue) {
    int count = 0;
    for (const RecordedSegment& s : segments) {
        if (s.red == red && s.green == green && s.blue == blue) ++count;
    }
    return count;
}
