// cobalt against the model: the mesh tables read from many files, and the burst
// (emitter, mesh rotation, every pool record with its links, the live list and
// free stack, the GL calls of every frame) bit for bit over a thousand frames,
// for several meshes and seeds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "effects/cobalt/burst.h"
#include "effects/cobalt/mesh.h"
#include "host/effect_hooks.h"
#include "platform/headless/recording_gl.h"
#include "tests/reference/burst_model.h"
#include "tests/reference/side_by_side.h"
#include "toolkit/random.h"
#include "tools/make_sphere/icosphere.h"
#include "tools/make_sphere/sphere_file.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes CorpusFile(const char* name) {
    std::ifstream file(std::filesystem::path(COBALT_CORPUS_DIR) / name, std::ios::binary);
    EXPECT_TRUE(file.good()) << name;
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A mesh with a vertex at the origin, a vertex no face uses and corners out of
// range.
Bytes OddMesh() {
    SphereModel m;
    m.points = {{0, 0, 0}, {3, 0, 4}, {0, -2, 0}, {1, 1, 1}, {-5, 0.5f, 0}};
    m.faces = {{{0, 1, 2}, {200, 10, 10}}, {{2, 4, -1}, {10, 200, 10}}, {{4, 9, 1}, {10, 10, 200}}};
    return EncodeSphereFile(m);
}

std::string CompareMesh(const model::MeshModel& m) {
    const cobalt::SphereMesh& s = cobalt::sphereMesh;
    model::Mismatch d;
    d.Int("vertexCount", 0, s.vertexCount, static_cast<long long>(m.vertices.size()));
    d.Int("faceCount", 0, s.faceCount, static_cast<long long>(m.faces.size()));
    for (int i = 0; i < s.vertexCount && d.what.empty(); ++i) {
        for (int c = 0; c < 4; ++c) d.Int("vertex colour", i, s.vertices[i].colour[c], m.vertices[i].colour[c]);
        d.Vector("vertex direction", i, s.vertices[i].direction, m.vertices[i].direction);
        d.Vector("vertex rotatedDirection", i, s.vertices[i].rotatedDirection, m.vertices[i].rotatedDirection);
    }
    for (int j = 0; j < s.faceCount && d.what.empty(); ++j) {
        for (int k = 0; k < 3; ++k) d.Int("face corner", j, s.faces[j].corner[k], m.faces[j].corner[k]);
        for (int c = 0; c < 4; ++c) d.Int("face colour", j, s.faces[j].colour[c], m.faces[j].colour[c]);
    }
    return d.what;
}

std::string CompareLoad(const Bytes& bytes) {
    const bool loaded = cobalt::LoadSphereMeshFromBytes(bytes.data(), bytes.size());
    model::MeshModel m;
    if (loaded != model::ReadMesh(bytes.data(), bytes.size(), m)) return loaded ? "loads, expected not" : "fails";
    const std::string difference = CompareMesh(m);
    cobalt::FreeSphereMesh();
    return difference;
}

TEST(CobaltMeshModel, TablesAgreeForEveryFileCutAndScrambledByte) {
    std::vector<Bytes> files = {OddMesh(), EncodeSphereFile(BuildIcosphere(0)), EncodeSphereFile(BuildIcosphere(3))};
    for (const char* name : {"example_25.3d", "trailing_bytes.3d", "shared_and_bad_corners.3d", "small_sphere.3d",
                             "truncated_header.3d", "truncated_vertices.3d", "truncated_faces.3d", "zero_vertices.3d",
                             "zero_faces.3d", "oversized_vertices.3d", "oversized_faces.3d", "huge_counts.3d"})
        files.push_back(CorpusFile(name));
    std::mt19937 scramble(77);
    for (const Bytes& file : files) {
        ASSERT_EQ(CompareLoad(file), "") << "file of " << file.size() << " bytes";
        for (std::size_t cut = 0; cut < file.size() && cut < 200; ++cut)
            ASSERT_EQ(CompareLoad(Bytes(file.begin(), file.begin() + cut)), "") << "cut to " << cut;
        for (int trial = 0; trial < 50 && !file.empty(); ++trial) {
            Bytes changed = file;
            changed[scramble() % changed.size()] = static_cast<std::uint8_t>(scramble());
            ASSERT_EQ(CompareLoad(changed), "") << "trial " << trial;
        }
    }
}

int Index(const cobalt::TrailParticle* p) { return p == nullptr ? -1 : static_cast<int>(p - cobalt::burst.pool); }

std::string CompareBurst(const model::BurstModel& m) {
    const cobalt::BurstState& b = cobalt::burst;
    model::Mismatch d;
    d.Vector("emitter position", 0, cobalt::emitter.position, m.position);
    d.Vector("emitter velocity", 0, cobalt::emitter.velocity, m.velocity);
    d.Vector("emitter rotation", 0, cobalt::emitter.rotation, m.rotation);
    d.Vector("emitter spin", 0, cobalt::emitter.spin, m.spin);
    d.Int("poolSize", 0, b.poolSize, static_cast<long long>(m.pool.size()));
    d.Int("liveHead", 0, Index(b.liveHead), m.liveHead);
    d.Int("liveTail", 0, Index(b.liveTail), m.liveTail);
    d.Int("freeHead", 0, Index(b.freeHead), m.freeHead);
    if (!d.what.empty()) return d.what;
    for (std::size_t i = 0; i < m.lastEmitted.size(); ++i)
        d.Int("lastEmitted", static_cast<long>(i), Index(b.lastEmitted[i]), m.lastEmitted[i]);
    for (int i = 0; i < b.poolSize && d.what.empty(); ++i) {
        const cobalt::TrailParticle& p = b.pool[i];
        const model::BurstParticleModel& q = m.pool[i];
        d.Vector("record position", i, p.position, q.position);
        d.Vector("record viewPosition", i, p.viewPosition, q.viewPosition);
        d.Vector("record velocity", i, p.velocity, q.velocity);
        for (int c = 0; c < 4; ++c) d.Int("record colour", i, p.colour[c], q.colour[c]);
        d.Int("record life", i, p.life, q.life);
        d.Int("record prev", i, Index(p.prev), q.prev);
        d.Int("record next", i, Index(p.next), q.next);
        d.Int("record trailLink", i, Index(p.trailLink), q.trailLink);
    }
    if (d.what.empty()) d.what = CompareMesh(m.mesh);
    return d.what;
}

struct BurstRun {
    const char* mesh;
    std::uint32_t seed;
    int frames;
    std::uint64_t golden;
};

Bytes MeshBytes(const std::string& name) {
    if (name == "odd") return OddMesh();
    if (name.rfind("icosphere", 0) == 0) return EncodeSphereFile(BuildIcosphere(name.back() - '0'));
    return CorpusFile(name.c_str());
}

class CobaltBurstModel : public ::testing::TestWithParam<BurstRun> {
protected:
    void TearDown() override { EffectFree(); }
};

TEST_P(CobaltBurstModel, EveryFrameAndEveryRecordAgreeWithTheModel) {
    const BurstRun run = GetParam();
    const Bytes bytes = MeshBytes(run.mesh);
    ASSERT_TRUE(cobalt::LoadSphereMeshFromBytes(bytes.data(), bytes.size()));
    SeedRandom(run.seed);
    ASSERT_TRUE(cobalt::InitParticles());

    model::MeshModel mesh;
    ASSERT_TRUE(model::ReadMesh(bytes.data(), bytes.size(), mesh));
    model::RandomStream stream{run.seed};
    model::BurstModel burst;
    model::StartBurst(burst, stream, mesh);
    ASSERT_EQ(CompareBurst(burst), "") << "after InitParticles";

    const std::size_t capacity = 6 * static_cast<std::size_t>(burst.pool.size()) + 16;
    model::GlCalls calls;
    model::CallChecker checker;
    const int frames = run.frames / model::kFrameShare;
    for (int frame = 1; frame < frames; ++frame) {
        recgl::Reset(capacity);
        EffectDraw();
        checker.Watch(calls);
        model::BurstFrame(burst, calls);
        ASSERT_EQ(checker.Verdict(), "") << "frame " << frame;
        ASSERT_EQ(CompareBurst(burst), "") << "after frame " << frame;
    }

    // One more frame, kept, and a checksum over it and the whole pool guards
    // against the program and the model drifting together.
    recgl::Reset(capacity);
    EffectDraw();
    model::GlCalls last;
    model::BurstFrame(burst, last);
    ASSERT_EQ(model::FirstCallDifference(last), "") << "frame " << frames;
    ASSERT_EQ(CompareBurst(burst), "") << "after frame " << frames;
    model::Checksum sum;
    sum.AddCalls(last);
    sum.AddCalls(calls);
    for (const model::BurstParticleModel& p : burst.pool) sum.Add(&p, sizeof p);
    if (model::kFrameShare == 1) {
        EXPECT_EQ(sum.value, run.golden) << run.mesh << ", seed " << run.seed << ": 0x" << std::hex << sum.value;
    }
}

std::string RunName(const ::testing::TestParamInfo<BurstRun>& info) {
    std::string name;
    for (const char* c = info.param.mesh; *c != '\0' && *c != '.'; ++c)
        if (*c != '_') name += *c;
    return name + "Seed" + std::to_string(info.param.seed);
}

INSTANTIATE_TEST_SUITE_P(Meshes, CobaltBurstModel,
                         ::testing::Values(BurstRun{"icosphere2", 7, 1100, 0x209bf482873cf0bfull},
                                           BurstRun{"icosphere0", 86400123, 1100, 0xfff4c2a75bc682f8ull},
                                           BurstRun{"small_sphere.3d", 1117, 400, 0x8d8dfbdf5f9acd50ull},
                                           BurstRun{"odd", 3, 400, 0x7595d3989e51c1ull}),
                         RunName);

}  // namespace
