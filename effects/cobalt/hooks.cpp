// The four effect hooks of cobalt. The host switches additive blending on before
// EffectSetupGL and clears colour and depth before every EffectDraw.
#include "effects/cobalt/burst.h"
#include "effects/cobalt/mesh.h"
#include "host/effect_hooks.h"
#include "platform/platform.h"
#include "toolkit/random.h"

void EffectSetupGL() {}

bool EffectInit() {
    EffectFree();
    SeedRandom(plat::timeGetTime());
    if (!cobalt::LoadSphereMesh()) return false;
    if (!cobalt::InitParticles()) {
        cobalt::FreeSphereMesh();
        return false;
    }
    return true;
}

void EffectDraw() {
    cobalt::MoveEmitter();
    cobalt::AdvanceRotation();
    cobalt::RotateMesh();
    cobalt::UpdateAndDrawParticles();
    cobalt::EmitAll();
}

void EffectFree() {
    cobalt::FreeParticles();
    cobalt::FreeSphereMesh();
}
