#pragma once
// The `pgenerator` definition type: a particle generator, whose "life" (a
// time, a particle count, or infinite) is kept beside the property slots.

#include <memory>

#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/scriptobject.h"

class PGeneratorScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new PGeneratorScriptObject; }

    // Incomplete until "life" is given.
    bool IsComplete() const override;
    void InheritFrom(const ScriptObject& base) override;
    // Takes "life" itself (once per block: "value for life defined more than
    // once"); every other value goes to the property slots.
    void AssignValue(const PropertyValue& value) override;

    // The generator the block describes; null when the block is incomplete.
    std::unique_ptr<ParticleGeneratorRecord> MakeGenerator() const;

    bool HasLife() const { return lifeGiven_; }
    // A LifeKind and its clock ticks or particle count.
    int32_t LifeKindValue() const { return lifeKind_; }
    int32_t LifeAmount() const { return lifeValue_; }

private:
    PGeneratorScriptObject();

    int32_t lifeKind_ = kLifeInfinite;
    int32_t lifeValue_ = 0;
    bool lifeGiven_ = false;
    bool lifeGivenHere_ = false;
};
