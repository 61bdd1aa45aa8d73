// The GL calls the model expects, as a list: each call's entry point and its
// arguments as numbers. The enumerants are OpenGL 1.1's own values, written
// here rather than taken from the program's GL header.
#pragma once

#include <vector>

namespace model {

constexpr double kGlLines = 0x0001;
constexpr double kGlQuads = 0x0007;
constexpr double kGlSrcAlpha = 0x0302;
constexpr double kGlOne = 1;
constexpr double kGlBlend = 0x0BE2;
constexpr double kGlTexture2D = 0x0DE1;
constexpr double kGlS = 0x2000;
constexpr double kGlT = 0x2001;
constexpr double kGlTextureGenMode = 0x2500;
constexpr double kGlSphereMap = 0x2402;
constexpr double kGlTextureEnv = 0x2300;
constexpr double kGlTextureEnvMode = 0x2200;
constexpr double kGlModulate = 0x2100;
constexpr double kGlTextureMagFilter = 0x2800;
constexpr double kGlTextureMinFilter = 0x2801;
constexpr double kGlLinear = 0x2601;
constexpr double kGlRgba = 0x1908;
constexpr double kGlFloat = 0x1406;

struct GlCall {
    const char* name;
    int argCount;
    double args[8];
};

// Where the model puts the calls it expects: a list, or, to compare a long run
// without keeping it, a sink that sees each call as it is made.
struct GlCalls {
    std::vector<GlCall> list;
    void (*sink)(const GlCall& call, void* context) = nullptr;
    void* context = nullptr;

    void Add(const GlCall& call) {
        if (sink != nullptr)
            sink(call, context);
        else
            list.push_back(call);
    }
};

inline void Call(GlCalls& calls, const char* name) { calls.Add({name, 0, {}}); }
inline void Call(GlCalls& calls, const char* name, double a) { calls.Add({name, 1, {a}}); }
inline void Call(GlCalls& calls, const char* name, double a, double b) { calls.Add({name, 2, {a, b}}); }
inline void Call(GlCalls& calls, const char* name, double a, double b, double c) { calls.Add({name, 3, {a, b, c}}); }
inline void Call(GlCalls& calls, const char* name, double a, double b, double c, double d) {
    calls.Add({name, 4, {a, b, c, d}});
}

}  // namespace model
