#include "tools/make_sphere/icosphere.h"

#include <cmath>
#include <map>
#include <utility>

namespace {

struct Triangle {
    int a, b, c;
};

SpherePoint OnSphere(double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    return {static_cast<float>(x / length), static_cast<float>(y / length), static_cast<float>(z / length)};
}

// Index of the point halfway along edge (a, b), created once per edge.
int Midpoint(std::vector<SpherePoint>& points, std::map<std::pair<int, int>, int>& cache, int a, int b) {
    const std::pair<int, int> key = a < b ? std::make_pair(a, b) : std::make_pair(b, a);
    const auto found = cache.find(key);
    if (found != cache.end()) return found->second;
    const SpherePoint& p = points[a];
    const SpherePoint& q = points[b];
    points.push_back(OnSphere(p.x + q.x, p.y + q.y, p.z + q.z));
    const int index = static_cast<int>(points.size()) - 1;
    cache.emplace(key, index);
    return index;
}

std::uint8_t Channel(double v) {
    const double clamped = v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
    return static_cast<std::uint8_t>(std::lround(clamped * 255.0));
}

// Hue follows the heading around Y and the poles are paler and brighter, so
// neighbouring trails differ slowly and the whole burst spans the colour wheel.
std::array<std::uint8_t, 3> ColourFor(SpherePoint centre) {
    const double pi = 3.14159265358979323846;
    const double hue = (std::atan2(centre.z, centre.x) + pi) / (2.0 * pi) * 6.0;
    const double saturation = 0.85 - 0.35 * std::fabs(centre.y);
    const double value = 0.75 + 0.25 * centre.y * centre.y;
    const int sector = static_cast<int>(hue) % 6;
    const double f = hue - std::floor(hue);
    const double p = value * (1.0 - saturation);
    const double q = value * (1.0 - saturation * f);
    const double t = value * (1.0 - saturation * (1.0 - f));
    double r, g, b;
    switch (sector) {
        case 0:
            r = value, g = t, b = p;
            break;
        case 1:
            r = q, g = value, b = p;
            break;
        case 2:
            r = p, g = value, b = t;
            break;
        case 3:
            r = p, g = q, b = value;
            break;
        case 4:
            r = t, g = p, b = value;
            break;
        default:
            r = value, g = p, b = q;
            break;
    }
    return {Channel(r), Channel(g), Channel(b)};
}

}  // namespace

SphereModel BuildIcosphere(int subdivisions) {
    const double t = (1.0 + std::sqrt(5.0)) / 2.0;
    std::vector<SpherePoint> points = {
        OnSphere(-1, t, 0), OnSphere(1, t, 0), OnSphere(-1, -t, 0), OnSphere(1, -t, 0),
        OnSphere(0, -1, t), OnSphere(0, 1, t), OnSphere(0, -1, -t), OnSphere(0, 1, -t),
        OnSphere(t, 0, -1), OnSphere(t, 0, 1), OnSphere(-t, 0, -1), OnSphere(-t, 0, 1),
    };
    std::vector<Triangle> triangles = {
        {0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
        {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
        {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1},
    };
    for (int level = 0; level < subdivisions; ++level) {
        std::map<std::pair<int, int>, int> cache;
        std::vector<Triangle> finer;
        finer.reserve(triangles.size() * 4);
        for (const Triangle& tri : triangles) {
            const int ab = Midpoint(points, cache, tri.a, tri.b);
            const int bc = Midpoint(points, cache, tri.b, tri.c);
            const int ca = Midpoint(points, cache, tri.c, tri.a);
            finer.push_back({tri.a, ab, ca});
            finer.push_back({tri.b, bc, ab});
            finer.push_back({tri.c, ca, bc});
            finer.push_back({ab, bc, ca});
        }
        triangles.swap(finer);
    }

    SphereModel model;
    model.points = points;
    model.faces.reserve(triangles.size());
    for (const Triangle& tri : triangles) {
        const SpherePoint& a = points[tri.a];
        const SpherePoint& b = points[tri.b];
        const SpherePoint& c = points[tri.c];
        const SpherePoint centre = OnSphere(a.x + b.x + c.x, a.y + b.y + c.y, a.z + b.z + c.z);
        SphereFace face;
        face.corner = {static_cast<std::int16_t>(tri.a), static_cast<std::int16_t>(tri.b),
                       static_cast<std::int16_t>(tri.c)};
        face.colour = ColourFor(centre);
        model.faces.push_back(face);
    }
    return model;
}
