// ClientObjectHash, the local team's list, the current object, the id counter
// and the per-frame passes over every client object.

#include "Tv/client/client_object_parts.h"
#include "Tv/client/client_objects.h"
#include "Tv/client/teamtable.h"
#include "Tv/server/game_settings.h"
#include "sound/music_object_source.h"

HashTable<ClientObject*> ClientObjectHash{kClientObjectHashBuckets};
List<ClientObject*> LocalTeamObjects;
ClientObject* CurrentClientObject = nullptr;
int32_t ClientObjectIdCounter = 0;
List<OwnedText> ExhaustDummyNames;
List<ClientObject*> BackgroundCreatureList;
Vector3 UpperLeftBound{0, 0, 0}, LowerRightBound{0, 0, 0};

namespace {

constexpr const char* kExhaustDummyName = "dum exhaust";

template <class F> void ForEachInHash(const HashTable<ClientObject*>& table, F f) {
    HashSetIterator<ClientObject*> it;
    for (it.Begin(table); !it.AtEnd(); it.Next()) f(it.Current()->Payload);
}

// A copy of ClientObjectHash that stays valid while objects are created or
// removed during a walk; with references held every object outlives the walk.
class ClientObjectSnapshot {
public:
    explicit ClientObjectSnapshot(bool holdReferences) : hold_(holdReferences) {
        ForEachInHash(ClientObjectHash, [this](ClientObject* object) {
            table_.Insert(object, static_cast<uint32_t>(object->Id));
            if (hold_) object->AddRef();
        });
    }
    ~ClientObjectSnapshot() {
        if (hold_) ForEach([](ClientObject* object) { object->Release(); });
    }
    ClientObjectSnapshot(const ClientObjectSnapshot&) = delete;
    ClientObjectSnapshot& operator=(const ClientObjectSnapshot&) = delete;

    template <class F> void ForEach(F f) const { ForEachInHash(table_, f); }

private:
    HashTable<ClientObject*> table_{kClientObjectHashBuckets};
    const bool hold_;
};

// What the music reads: every object's state in the last frame, and LocalTeam.
class ClientMusicSource final : public MusicObjectSource {
public:
    void ForEachObject(const std::function<void(const MusicObjectView&)>& visit) override {
        ForEachInHash(ClientObjectHash, [&visit](ClientObject* object) {
            MusicObjectView view;
            view.alive = object->IsAlive();
            view.drawn = object->Visible != 0;
            view.unit = object->IsUnit();
            view.firing = TvIsClientObjectFiring(*object);
            view.team = object->Team;
            visit(view);
        });
    }
    int32_t LocalTeam() override { return ::LocalTeam; }
};

ClientMusicSource musicSource;

} // namespace

void RegisterClientObject(ClientObject* object) {
    ClientObjectHash.Insert(object, static_cast<uint32_t>(object->Id));
    object->InObjectHash = 1;
}

void UnregisterClientObject(ClientObject* object) {
    if (!object->InObjectHash) return;
    ClientObjectHash.Remove(object, static_cast<uint32_t>(object->Id));
    object->InObjectHash = 0;
}

ClientObject* TvFindClientObject(int32_t id) {
    HashSetIterator<ClientObject*> it;
    it.SeekKey(ClientObjectHash, static_cast<uint32_t>(id));
    for (; it.Current(); it.StepInChain())
        if (it.Current()->Payload->Id == id) return it.Current()->Payload;
    return nullptr;
}

void UpdateAllClientObjects(uint64_t ticks, Real seconds) {
    const ClientObjectSnapshot snapshot(true);
    snapshot.ForEach([ticks, seconds](ClientObject* object) { object->Update(ticks, seconds); });
}

void RenderAllClientObjects() {
    ForEachInHash(ClientObjectHash, [](ClientObject* object) { object->Render(); });
    TeamTable::DrawFlags();
}

void StartAllClientObjects() {
    const ClientObjectSnapshot snapshot(false);
    snapshot.ForEach([](ClientObject* object) { object->Start(0, 0.0f); });
}

void ReleaseAllClientObjects() {
    if (CurrentClientObject) CurrentClientObject->Release();
    CurrentClientObject = nullptr;
    const ClientObjectSnapshot snapshot(false);
    snapshot.ForEach([](ClientObject* object) {
        object->DropReferences();
        UnregisterClientObject(object);
        object->Release();
    });
    LocalTeamObjects.Clear();
}

void TvResetClientObjects() {
    ClientObjectIdCounter = 0;
    ExhaustDummyNames.Clear();
    ExhaustDummyNames.PushBack(OwnedText(kExhaustDummyName));
}

void TvClearExhaustDummyNames() { ExhaustDummyNames.Clear(); }

bool TvIsClientObjectFiring(const ClientObject& object) { return object.IsBot() && object.GetBotFlag(); }

void InstallClientMusicSource() { InstallMusicObjectSource(&musicSource); }
