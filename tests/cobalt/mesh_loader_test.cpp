#include <gtest/gtest.h>

#include <cstring>

#include "effects/cobalt/mesh.h"
#include "platform/headless/headless.h"
#include "tests/cobalt/mesh_bytes.h"
#include "tests/support/counting_memory.h"

using namespace cobalt;

namespace {

// Two vertices, two faces: the smallest mesh with every part of the layout.
std::vector<std::uint8_t> SmallMesh() {
    return MeshFileBytes({Vector3(0, 0, 3), Vector3(-4, 0, 0)}, {{0, 1, 1, 10, 20, 30}, {1, 0, 0, 40, 50, 60}});
}

class MeshLoader : public testing::Test {
protected:
    void SetUp() override { testmem::Reset(); }
    void TearDown() override {
        FreeSphereMesh();
        EXPECT_EQ(testmem::LiveBlocks(), 0);
    }

    bool LoadFile(const std::vector<std::uint8_t>& bytes) {
        const auto path = scratch.path / "mesh.3d";
        WriteBytes(path, bytes);
        return LoadSphereMeshFrom(path.c_str());
    }

    // The file path and the in-memory path agree on every input.
    bool LoadBoth(const std::vector<std::uint8_t>& bytes) {
        const bool fromBytes = LoadSphereMeshFromBytes(bytes.data(), bytes.size());
        const bool fromFile = LoadFile(bytes);
        EXPECT_EQ(fromBytes, fromFile);
        return fromFile;
    }

    void ExpectNothingLoaded() {
        EXPECT_EQ(sphereMesh.vertices, nullptr);
        EXPECT_EQ(sphereMesh.faces, nullptr);
        EXPECT_EQ(sphereMesh.vertexCount, 0);
        EXPECT_EQ(sphereMesh.faceCount, 0);
        EXPECT_EQ(testmem::LiveBlocks(), 0);
    }

    ScratchDirectory scratch;
};

TEST_F(MeshLoader, LoadsTheTwentyFiveByteExample) {
    const std::vector<std::uint8_t> bytes = {0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                             0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                             0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00};
    ASSERT_EQ(bytes.size(), 25u);
    ASSERT_TRUE(LoadBoth(bytes));
    ASSERT_EQ(sphereMesh.vertexCount, 1);
    ASSERT_EQ(sphereMesh.faceCount, 1);
    const MeshVertex& v = sphereMesh.vertices[0];
    EXPECT_EQ(v.direction.x, 0.0f);
    EXPECT_EQ(v.direction.y, 1.0f);
    EXPECT_EQ(v.direction.z, 0.0f);
    const std::uint8_t red[4] = {255, 0, 0, 255};
    EXPECT_EQ(std::memcmp(v.colour, red, 4), 0);
    const MeshFace& f = sphereMesh.faces[0];
    EXPECT_EQ(f.corner[0], 0);
    EXPECT_EQ(f.corner[1], 0);
    EXPECT_EQ(f.corner[2], 0);
    EXPECT_EQ(testmem::LiveBlocks(), 2);
}

TEST_F(MeshLoader, MissingFileFails) {
    EXPECT_FALSE(LoadSphereMeshFrom((scratch.path / "absent.3d").c_str()));
    ExpectNothingLoaded();
    headless::Config config;
    config.programPath = (scratch.path / "bin" / "cobalt").string();
    headless::Reset(config);
    const CurrentDirectory inScratch(scratch.path);
    EXPECT_FALSE(LoadSphereMesh());
    ExpectNothingLoaded();
}

TEST_F(MeshLoader, OpensSphere3dInTheCurrentDirectory) {
    WriteBytes(scratch.path / "sphere.3d", SmallMesh());
    const CurrentDirectory inScratch(scratch.path);
    ASSERT_TRUE(LoadSphereMesh());
    EXPECT_EQ(sphereMesh.vertexCount, 2);
}

TEST_F(MeshLoader, ZeroCountsFail) {
    // Zero vertices, one face that follows at once.
    EXPECT_FALSE(LoadBoth(HeaderAndZeros(0, 1, 9)));
    ExpectNothingLoaded();
    // One vertex, zero faces, plenty of bytes after.
    EXPECT_FALSE(LoadBoth(HeaderAndZeros(1, 0, 100)));
    ExpectNothingLoaded();
    EXPECT_FALSE(LoadBoth(HeaderAndZeros(0, 0, 0)));
    ExpectNothingLoaded();
}

TEST_F(MeshLoader, EveryTruncationFails) {
    const std::vector<std::uint8_t> whole = SmallMesh();
    ASSERT_EQ(whole.size(), 4u + 2 * 12 + 2 * 9);
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + length);
        EXPECT_FALSE(LoadBoth(cut)) << "cut to " << length << " bytes";
        ExpectNothingLoaded();
    }
    EXPECT_TRUE(LoadBoth(whole));
}

TEST_F(MeshLoader, TrailingBytesAreIgnored) {
    std::vector<std::uint8_t> bytes = SmallMesh();
    bytes.insert(bytes.end(), {0xDE, 0xAD, 0xBE, 0xEF, 0x01});
    ASSERT_TRUE(LoadBoth(bytes));
    EXPECT_EQ(sphereMesh.vertexCount, 2);
    EXPECT_EQ(sphereMesh.faceCount, 2);
}

TEST_F(MeshLoader, CountsThatFitTheScratchAreaLoad) {
    // 2500 x 12 and 3333 x 9 bytes are the largest blocks of 30000 bytes or less.
    EXPECT_TRUE(LoadBoth(HeaderAndZeros(2500, 3333, 2500 * 12 + 3333 * 9)));
    EXPECT_EQ(sphereMesh.vertexCount, 2500);
    EXPECT_EQ(sphereMesh.faceCount, 3333);
}

TEST_F(MeshLoader, OversizedCountsFailEvenWhenTheBytesArePresent) {
    EXPECT_FALSE(LoadBoth(HeaderAndZeros(2501, 1, 2501 * 12 + 9)));
    ExpectNothingLoaded();
    EXPECT_FALSE(LoadBoth(HeaderAndZeros(1, 3334, 12 + 3334 * 9)));
    ExpectNothingLoaded();
    EXPECT_FALSE(LoadBoth(HeaderAndZeros(65535, 65535, 65535 * 21)));
    ExpectNothingLoaded();
}

TEST_F(MeshLoader, DirectionsAreNormalised) {
    ASSERT_TRUE(LoadBoth(MeshFileBytes({Vector3(2, 0, 0), Vector3(0.5f, 0, 0), Vector3(0, 0, 0), Vector3(3, 0, 4)},
                                       {{0, 1, 2, 1, 1, 1}})));
    const MeshVertex* v = sphereMesh.vertices;
    EXPECT_EQ(v[0].direction.x, 1.0f);
    EXPECT_EQ(v[1].direction.x, 1.0f);
    EXPECT_EQ(v[0].direction.y, 0.0f);
    EXPECT_EQ(v[1].direction.z, 0.0f);
    EXPECT_FALSE(IsNonZero(v[2].direction));
    EXPECT_EQ(v[3].direction.x, 0.6f);
    EXPECT_EQ(v[3].direction.z, 0.8f);
}

TEST_F(MeshLoader, LastFaceInFileOrderColoursAVertex) {
    ASSERT_TRUE(LoadBoth(MeshFileBytes({Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1)},
                                       {{0, 1, 1, 200, 0, 0}, {1, 0, 0, 0, 200, 0}, {1, 1, 1, 0, 0, 200}})));
    const std::uint8_t green[4] = {0, 200, 0, 255};
    const std::uint8_t blue[4] = {0, 0, 200, 255};
    const std::uint8_t none[4] = {0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(sphereMesh.vertices[0].colour, green, 4), 0);
    EXPECT_EQ(std::memcmp(sphereMesh.vertices[1].colour, blue, 4), 0);
    EXPECT_EQ(std::memcmp(sphereMesh.vertices[2].colour, none, 4), 0) << "no face uses vertex 2";
    EXPECT_EQ(sphereMesh.faces[2].colour[3], 255);
}

TEST_F(MeshLoader, CornersAreSignExtendedAndOutOfRangeOnesMatchNothing) {
    ASSERT_TRUE(LoadBoth(MeshFileBytes({Vector3(1, 0, 0), Vector3(0, 1, 0)},
                                       {{0, 0, 0, 9, 9, 9}, {-1, 2, 32767, 50, 60, 70}, {-32768, 1, -2, 1, 2, 3}})));
    const MeshFace* f = sphereMesh.faces;
    EXPECT_EQ(f[1].corner[0], -1);
    EXPECT_EQ(f[1].corner[1], 2);
    EXPECT_EQ(f[1].corner[2], 32767);
    EXPECT_EQ(f[2].corner[0], -32768);
    EXPECT_EQ(f[2].corner[2], -2);
    const std::uint8_t first[4] = {9, 9, 9, 255};
    const std::uint8_t third[4] = {1, 2, 3, 255};
    EXPECT_EQ(std::memcmp(sphereMesh.vertices[0].colour, first, 4), 0);
    EXPECT_EQ(std::memcmp(sphereMesh.vertices[1].colour, third, 4), 0);
}

TEST_F(MeshLoader, ReadsLittleEndianRegardlessOfAlignment) {
    // Vertex floats start at offset 4 and faces at odd offsets: nothing relies on
    // the host's struct layout or alignment.
    ASSERT_TRUE(LoadBoth(MeshFileBytes({Vector3(0, -7.5f, 0)}, {{0, 0, 0, 1, 2, 3}, {0, 0, 0, 4, 5, 6}})));
    EXPECT_EQ(sphereMesh.vertices[0].direction.y, -1.0f);
    EXPECT_EQ(sphereMesh.vertices[0].colour[0], 4);
    EXPECT_EQ(sphereMesh.vertices[0].colour[2], 6);
}

TEST_F(MeshLoader, FailedTableAllocationsLeakNothing) {
    const std::vector<std::uint8_t> bytes = SmallMesh();
    for (int nth = 1; nth <= 2; ++nth) {
        testmem::FailAllocation(nth);
        EXPECT_FALSE(LoadSphereMeshFromBytes(bytes.data(), bytes.size())) << "allocation " << nth << " failed";
        ExpectNothingLoaded();
        testmem::FailAllocation(nth);
        EXPECT_FALSE(LoadFile(bytes)) << "allocation " << nth << " failed";
        ExpectNothingLoaded();
    }
    EXPECT_TRUE(LoadBoth(bytes));
}

TEST_F(MeshLoader, ReloadingReplacesTheTables) {
    ASSERT_TRUE(LoadBoth(SmallMesh()));
    ASSERT_TRUE(LoadBoth(MeshFileBytes({Vector3(1, 0, 0)}, {{0, 0, 0, 1, 1, 1}})));
    EXPECT_EQ(sphereMesh.vertexCount, 1);
    EXPECT_EQ(testmem::LiveBlocks(), 2);
    EXPECT_FALSE(LoadBoth(HeaderAndZeros(1, 1, 3)));
    ExpectNothingLoaded();
}

TEST_F(MeshLoader, TheFileIsClosedOnEveryPath) {
    const std::vector<std::uint8_t> whole = SmallMesh();
    const int before = OpenFileDescriptors();
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        LoadFile(std::vector<std::uint8_t>(whole.begin(), whole.begin() + length));
    }
    LoadFile(HeaderAndZeros(0, 1, 9));
    LoadFile(HeaderAndZeros(2501, 1, 2501 * 12 + 9));
    testmem::FailAllocation(1);
    LoadFile(whole);
    EXPECT_EQ(OpenFileDescriptors(), before);
}

}  // namespace

namespace {

// The fuzzing seeds double as regression inputs; each says what is wrong with it.
TEST_F(MeshLoader, CorpusFilesLoadOrFailAsNamed) {
    const std::filesystem::path corpus = COBALT_CORPUS_DIR;
    const struct {
        const char* name;
        bool loads;
        const char* problem;
    } cases[] = {
        {"example_25.3d", true, ""},
        {"trailing_bytes.3d", true, ""},
        {"shared_and_bad_corners.3d", true,
         "4 face corners name no vertex and colour nothing (the first: vertex -1 in face 1; there are 3 vertices)"},
        {"small_sphere.3d", true, ""},
        {"truncated_header.3d", false, "cut short in its 4-byte header"},
        {"truncated_vertices.3d", false, "cut short in its vertex block, which takes 12 bytes"},
        {"truncated_faces.3d", false, "cut short in its face block, which takes 9 bytes"},
        {"zero_vertices.3d", false, "it has no vertices"},
        {"zero_faces.3d", false, "it has no faces"},
        {"oversized_vertices.3d", false, "2501 vertices, more than the 2500 it can hold"},
        {"oversized_faces.3d", false, "3334 faces, more than the 3333 it can hold"},
        {"huge_counts.3d", false, "65535 vertices, more than the 2500 it can hold"},
    };
    for (const auto& c : cases) {
        const std::filesystem::path path = corpus / c.name;
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        EXPECT_EQ(LoadSphereMeshFrom(path.c_str()), c.loads) << c.name;
        EXPECT_EQ(testmem::LiveBlocks(), c.loads ? 2 : 0) << c.name;
        EXPECT_STREQ(SphereMeshProblem(), c.problem) << c.name;
    }
}

}  // namespace
