#include "tools/make_sphere/sphere_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "effects/cobalt/mesh.h"
#include "tests/support/counting_memory.h"
#include "tools/make_sphere/icosphere.h"

using namespace cobalt;

namespace {

class SphereFile : public testing::TestWithParam<int> {
protected:
    void TearDown() override { FreeSphereMesh(); }
};

TEST_P(SphereFile, WrittenSphereLoadsWithUnitDirectionsAndEveryVertexColoured) {
    const int subdivisions = GetParam();
    const SphereModel model = BuildIcosphere(subdivisions);
    const std::size_t expectedVertices = 10u * (1u << (2 * subdivisions)) + 2u;
    ASSERT_EQ(model.points.size(), expectedVertices);
    ASSERT_EQ(model.faces.size(), 20u * (1u << (2 * subdivisions)));

    const std::vector<std::uint8_t> bytes = EncodeSphereFile(model);
    ASSERT_EQ(bytes.size(), 4 + 12 * model.points.size() + 9 * model.faces.size());
    ASSERT_TRUE(LoadSphereMeshFromBytes(bytes.data(), bytes.size()));
    ASSERT_EQ(sphereMesh.vertexCount, static_cast<int>(model.points.size()));

    std::set<std::uint32_t> colours;
    for (int i = 0; i < sphereMesh.vertexCount; ++i) {
        const MeshVertex& v = sphereMesh.vertices[i];
        EXPECT_NEAR(v.direction.Length(), 1.0f, 1e-6f) << "vertex " << i;
        EXPECT_EQ(v.colour[3], 255) << "vertex " << i << " is used by no face";
        colours.insert(v.colour[0] | (v.colour[1] << 8) | (v.colour[2] << 16));
    }
    EXPECT_GE(colours.size(), model.points.size() / 3) << "trails should be colourful";

    // Each face's corners are distinct and wind outwards.
    for (const SphereFace& face : model.faces) {
        const SpherePoint& a = model.points[face.corner[0]];
        const SpherePoint& b = model.points[face.corner[1]];
        const SpherePoint& c = model.points[face.corner[2]];
        const float nx = (b.y - a.y) * (c.z - a.z) - (b.z - a.z) * (c.y - a.y);
        const float ny = (b.z - a.z) * (c.x - a.x) - (b.x - a.x) * (c.z - a.z);
        const float nz = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        EXPECT_GT(nx * (a.x + b.x + c.x) + ny * (a.y + b.y + c.y) + nz * (a.z + b.z + c.z), 0.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(Subdivisions, SphereFile, testing::Values(0, 2, 3));

}  // namespace
