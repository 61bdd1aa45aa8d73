// Reads the line segments that cobalt drew back out of the recording GL.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/vector3.h"

struct RecordedSegment {
    std::uint8_t red, green, blue;
    Vector3 from;  // newer particle
    Vector3 to;    // older particle
};

// Every call must belong to a segment: glColor3ubv, glBegin(GL_LINES), two
// glVertex3f, glEnd. Adds a test failure and stops at the first call that breaks it.
std::vector<RecordedSegment> RecordedSegments();

int CountWithColour(const std::vector<RecordedSegment>& segments, std::uint8_t red, std::uint8_t green,
                    std::uint8_t blue);
