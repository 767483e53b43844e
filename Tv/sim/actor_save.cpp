// The saved game's actor block: the counter, the count and one entry per actor
// (actor_save.h).

#include <algorithm>
#include <vector>

#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/sim/actor_image.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/actor_save.h"
#include "Tv/sim/server_projectile.h"
#include "core/bytes.h"

namespace {

// The smallest entry: size, flag, the smallest image, definition id, actor id
// and a state record of three words.
constexpr size_t kEntryMinBytes = 4 + 4 + 288 + 4 + 4 + 12;

void WriteEntry(ByteWriter& out, ServerObject& actor, ActorImage& image) {
    WriteActorImage(actor, image);
    out.I32(image.Size);
    out.U32(actor.IsProjectile() ? 1 : 0);
    out.Bytes(image.Bytes.data(), static_cast<size_t>(image.Size));
    out.I32(actor.Definition ? actor.Definition->id : -1); // no definition: the loader refuses the entry
    out.I32(actor.Id);
}

// The actor an entry describes, built as the level would build it (a
// projectile as its shot was), or null.
ServerObject* BuildActor(const ActorImage& image, const ObjectDefinition* definition) {
    const int32_t team = image.Int(kImageTeam);
    const Quaternion orientation = image.QuaternionAt(kImageOrientation);
    if (IsProjectileTag(image.Tag()))
        return new ServerProjectile(team, definition, image.VectorAt(kImageOrigin), orientation, 0.0f,
                                    image.Int(kImageShooterId), -1, image.Int(kImageDamageKind), TvNextActorId());
    const int32_t id = TvCreateServerActor(team, definition, image.VectorAt(kImagePosition), orientation);
    return id < 0 ? nullptr : TvFindActor(id);
}

void Rekey(ServerObject& actor, int32_t id) {
    UnregisterActor(&actor);
    actor.Id = id;
    RegisterActor(&actor);
}

// Reads one entry and the actor it describes into `built`; false, leaving
// whatever it built in `built`, when the entry cannot be loaded.
bool LoadEntry(ByteReader& in, int32_t savedCounter, std::vector<ServerObject*>& built) {
    ActorImage image;
    uint32_t flag = 0;
    int32_t definitionId = 0, id = 0;
    if (!in.I32(image.Size) || !in.U32(flag) || image.Size < 4 || image.Size > kActorImageMaxSize ||
        !in.Bytes(image.Bytes.data(), static_cast<size_t>(image.Size)) || !in.I32(definitionId) || !in.I32(id))
        return false;
    // The flag's upper bytes carry no meaning.
    const uint8_t projectile = static_cast<uint8_t>(flag);
    if (projectile > 1 || !ActorImageValid(image) || IsProjectileTag(image.Tag()) != (projectile == 1)) return false;
    // No two actors under one id, and none the counter would hand out again.
    if (id < 0 || id >= savedCounter || TvFindActor(id)) return false;
    const ObjectDefinition* definition = DefinitionRegistry::FindById(definitionId);
    if (!definition) return false;
    ServerObject* actor = BuildActor(image, definition);
    if (!actor) return false;
    built.push_back(actor);
    Rekey(*actor, id);
    if (actor->GetSize() != image.Size || ActorTagOf(*actor) != image.Tag()) return false;
    if (!TvReadActorState(in, *actor, image)) return false;
    actor->Definition = definition;
    return true;
}

// Takes back what a failed load built, without telling anyone.
void Discard(const std::vector<ServerObject*>& built) {
    for (ServerObject* actor : built) {
        actor->ReleaseReferences();
        UnregisterActor(actor);
        actor->Release();
    }
}

} // namespace

bool TvSaveActors(ByteWriter& out) {
    out.I32(ActorIdCounter);
    out.U32(static_cast<uint32_t>(ServerActorHash.Count()));
    ActorImage image;
    bool written = true;
    ForEachActor([&](ServerObject* actor) {
        WriteEntry(out, *actor, image);
        written = written && TvWriteActorState(out, *actor);
    });
    return written;
}

bool TvLoadActors(ByteReader& in) {
    int32_t savedCounter = 0;
    uint32_t count = 0;
    if (!in.I32(savedCounter) || !in.U32(count) || count > in.remaining() / kEntryMinBytes) return false;
    const int32_t counterBefore = ActorIdCounter;
    // The ids the builds draw (and give up again) stay clear of every saved
    // id and of the actors already registered.
    ActorIdCounter = std::max(counterBefore, savedCounter);
    std::vector<ServerObject*> built;
    bool loaded = true;
    for (uint32_t i = 0; i < count && loaded; ++i) loaded = LoadEntry(in, savedCounter, built);
    // The saved counter continues only when it hands out no id an actor still
    // has.
    ForEachActor([&](ServerObject* actor) { loaded = loaded && actor->Id < savedCounter; });
    if (!loaded) {
        Discard(built);
        ActorIdCounter = counterBefore;
        return false;
    }
    ActorIdCounter = savedCounter;
    return true;
}
