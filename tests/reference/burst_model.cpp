#include "tests/reference/burst_model.h"

#include <cstring>

namespace model {

namespace {

constexpr int kParticleLife = 100;
constexpr float kEmitRadius = 0.0f;
constexpr float kEmitSpeed = 1.0f;
constexpr float kWall = 40.0f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kPi = 3.1415927f;
constexpr std::size_t kScratchBytes = 30000;
const Vec kEye = {0.0f, 0.0f, 75.0f};

// Reads the file's bytes front to back, as one item at a time.
struct Reader {
    const std::uint8_t* bytes;
    std::size_t size;
    std::size_t at;
};

bool Take(Reader& r, std::size_t count, const std::uint8_t** out) {
    if (count == 0 || r.size - r.at < count) return false;
    *out = r.bytes + r.at;
    r.at += count;
    return true;
}

unsigned LittleU16(const std::uint8_t* p) { return p[0] + 256u * p[1]; }

std::int32_t LittleS16(const std::uint8_t* p) {
    const unsigned u = LittleU16(p);
    return u >= 32768u ? static_cast<std::int32_t>(u) - 65536 : static_cast<std::int32_t>(u);
}

float LittleF32(const std::uint8_t* p) {
    const std::uint32_t bits =
        p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void Prepare(MeshModel& mesh) {
    for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
        MeshVertexModel& v = mesh.vertices[i];
        v.direction = NormalizedCopy(v.direction);
        for (const MeshFaceModel& f : mesh.faces)
            for (int k = 0; k < 3; ++k)
                if (f.corner[k] == static_cast<std::int32_t>(i)) std::memcpy(v.colour, f.colour, 4);
    }
}

float TenDegreesOf(float draw) {
    const double degrees = static_cast<double>(draw) * 10.0;
    return static_cast<float>(degrees * static_cast<double>(kPi) / 180.0);
}

void Bounce(float& c, float& speed) {
    if (c > kWall) {
        c = kWall;
        speed = -speed;
    } else if (c < -kWall) {
        c = -kWall;
        speed = -speed;
    }
}

void MoveEmitter(BurstModel& b) {
    if (!AnyNonZero(b.velocity)) return;
    Vec p = Sum(b.position, b.velocity);
    Bounce(p.x, b.velocity.x);
    Bounce(p.y, b.velocity.y);
    Bounce(p.z, b.velocity.z);
    b.position = p;
}

void AdvanceRotation(BurstModel& b) {
    if (!AnyNonZero(b.spin)) return;
    b.rotation = Sum(b.rotation, b.spin);
    float* angles[3] = {&b.rotation.x, &b.rotation.y, &b.rotation.z};
    for (float* a : angles)
        while (*a > kTwoPi) *a = *a - kTwoPi;
    for (float* a : angles)
        while (*a < 0.0f) *a = *a + kTwoPi;
}

void Segment(GlCalls& calls, Vec a, Vec b, const std::uint8_t* colour) {
    Call(calls, "glColor3ubv", colour[0], colour[1], colour[2]);
    Call(calls, "glBegin", kGlLines);
    Call(calls, "glVertex3f", a.x, a.y, a.z);
    Call(calls, "glVertex3f", b.x, b.y, b.z);
    Call(calls, "glEnd");
}

void Retire(BurstModel& b, int n) {
    BurstParticleModel& p = b.pool[n];
    if (n == b.liveTail)
        b.liveTail = p.prev;
    else
        b.pool[p.next].prev = p.prev;
    if (n == b.liveHead)
        b.liveHead = p.next;
    else
        b.pool[p.prev].next = p.next;
    p.next = b.freeHead;
    b.freeHead = n;
}

void UpdateAndDraw(BurstModel& b, GlCalls& calls) {
    int n = b.liveHead;
    while (n != -1) {
        BurstParticleModel& p = b.pool[n];
        const int following = p.next;
        p.position = Sum(p.position, p.velocity);
        p.viewPosition = Difference(p.position, kEye);
        p.life = p.life - 1;
        if (p.trailLink != -1 && b.pool[p.trailLink].life > 0)
            Segment(calls, p.viewPosition, b.pool[p.trailLink].viewPosition, p.colour);
        if (p.life <= 0) Retire(b, n);
        n = following;
    }
}

void Emit(BurstModel& b, const MeshVertexModel& vertex, int& last) {
    if (b.freeHead == -1) return;
    const int n = b.freeHead;
    BurstParticleModel& q = b.pool[n];
    b.freeHead = q.next;
    q.prev = b.liveTail;
    q.next = -1;
    if (b.liveTail != -1) b.pool[b.liveTail].next = n;
    b.liveTail = n;
    if (b.liveHead == -1) b.liveHead = n;
    q.position = Sum(Times(vertex.direction, kEmitRadius), b.position);
    q.velocity = Times(vertex.rotatedDirection, kEmitSpeed);
    std::memcpy(q.colour, vertex.colour, 4);
    q.life = kParticleLife;
    q.trailLink = last;
    last = n;
}

}  // namespace

bool ReadMesh(const std::uint8_t* bytes, std::size_t size, MeshModel& mesh) {
    mesh = MeshModel();
    Reader r = {bytes, bytes != nullptr ? size : 0, 0};
    const std::uint8_t* item = nullptr;
    if (!Take(r, 2, &item)) return false;
    const unsigned vertexCount = LittleU16(item);
    if (!Take(r, 2, &item)) return false;
    const unsigned faceCount = LittleU16(item);
    if (vertexCount * 12u > kScratchBytes || faceCount * 9u > kScratchBytes) return false;

    MeshModel read;
    read.vertices.assign(vertexCount, MeshVertexModel{});
    read.faces.assign(faceCount, MeshFaceModel{});
    if (!Take(r, 12u * vertexCount, &item)) return false;
    for (unsigned i = 0; i < vertexCount; ++i) {
        const std::uint8_t* v = item + 12 * i;
        read.vertices[i].direction = MakeVec(LittleF32(v), LittleF32(v + 4), LittleF32(v + 8));
    }
    if (!Take(r, 9u * faceCount, &item)) return false;
    for (unsigned j = 0; j < faceCount; ++j) {
        const std::uint8_t* f = item + 9 * j;
        MeshFaceModel& face = read.faces[j];
        for (int k = 0; k < 3; ++k) face.corner[k] = LittleS16(f + 2 * k);
        face.colour[0] = f[6];
        face.colour[1] = f[7];
        face.colour[2] = f[8];
        face.colour[3] = 255;
    }
    Prepare(read);
    mesh = read;
    return true;
}

void StartBurst(BurstModel& b, RandomStream& stream, const MeshModel& mesh) {
    b.mesh = mesh;
    b.position = MakeVec(0.0f, 0.0f, 0.0f);
    b.velocity = MakeVec(0.5f, 1.0f, 0.25f);
    b.rotation = MakeVec(0.0f, 0.0f, 0.0f);
    const float d1 = DrawSigned(stream);
    const float d2 = DrawSigned(stream);
    const float d3 = DrawSigned(stream);
    b.spin = MakeVec(TenDegreesOf(d3), TenDegreesOf(d2), TenDegreesOf(d1));

    const std::size_t n = kParticleLife * mesh.vertices.size();
    b.pool.assign(n, BurstParticleModel{});
    b.liveHead = b.liveTail = b.freeHead = -1;
    for (std::size_t i = 0; i < n; ++i) {
        b.pool[i] = BurstParticleModel{};
        b.pool[i].prev = b.pool[i].trailLink = -1;
        b.pool[i].next = b.freeHead;
        b.freeHead = static_cast<int>(i);
    }
    b.lastEmitted.assign(mesh.vertices.size(), -1);
}

void BurstFrame(BurstModel& b, GlCalls& calls) {
    MoveEmitter(b);
    AdvanceRotation(b);
    for (MeshVertexModel& v : b.mesh.vertices) RotateByAngles(v.direction, v.rotatedDirection, b.rotation);
    UpdateAndDraw(b, calls);
    for (std::size_t i = 0; i < b.mesh.vertices.size(); ++i) Emit(b, b.mesh.vertices[i], b.lastEmitted[i]);
}

}  // namespace model
