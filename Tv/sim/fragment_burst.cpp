#include "Tv/sim/fragment_burst.h"

#include "Tv/defs/definitionregistry.h"
#include "Tv/server/projectile_launch.h"
#include "core/random.h"

namespace {

constexpr int32_t kFragmentDamageKind = 33;
constexpr Real kFragmentSpeed = 10.0f;

// The product of two successive uniform draws in [-1, 1).
Real RandomProduct() {
    const Real a = RandomSigned();
    const Real b = RandomSigned();
    return a * b;
}

} // namespace

void TvFireFragments(const Vector3& origin, int32_t count) {
    const ObjectDefinition* fragment = DefinitionRegistry::FindByName("frag_projectile");
    if (!fragment) return;
    for (int32_t i = 0; i < count; ++i) {
        Vector3 v;
        v.z = RandomProduct();
        v.y = RandomProduct();
        v.x = RandomProduct();
        if (v.y > 0) v.y = -v.y;
        TvFireProjectile(fragment, origin + Vector3(0, -0.3f, 0), origin + 20.0f * v + Vector3(0, -3.0f, 0), -1, -1, 0,
                         kFragmentDamageKind, kFragmentSpeed);
    }
}
