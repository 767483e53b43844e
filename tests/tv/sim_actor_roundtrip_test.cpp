// The sample level saved in mid-fight and loaded into a fresh load of the same
// level, as the saved-game code does it: the actor block, the simulation's
// start, the inventory block, the fix-up. The level load needs a running
// server, so a driven one is started, but it makes no pass: everything runs
// on the test thread holding the server lock.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <string>
#include <typeinfo>
#include <vector>

#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_options.h"
#include "Tv/server/projectile_launch.h"
#include "Tv/server/server.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/actor_save.h"
#include "Tv/sim/ai_tick.h"
#include "Tv/sim/equipped_item.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/server_pickup.h"
#include "Tv/sim/server_popup.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/sim/server_track_object.h"
#include "Tv/world/level_world.h"
#include "core/bytes.h"
#include "core/clock.h"
#include "core/hashtable.h"
#include "tests/support/temp_dir.h"
#include "tests/tv/defs_level_fixture.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr Real kStepSeconds = 0.1f;

// The definition tests' level directory, engine and level load, beside the server's fixture.
class SampleLevel : public LevelTest {
public:
    void TestBody() override {}
    using LevelTest::CopySample;
    using LevelTest::Load;
    using LevelTest::SetUp;
    using LevelTest::TearDown;
};

std::string Text(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Text(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

// Exact, so that a value that comes back changed in its last bit shows.
std::string Of(const Vector3& v) { return Text("(%a %a %a)", v.x, v.y, v.z); }
std::string Of(const Quaternion& q) { return Text("(%a %a %a %a)", q.x, q.y, q.z, q.w); }
int32_t IdOf(const ServerObject* actor) { return actor ? actor->Id : -1; }

int32_t PolygonIndex(const CollisionPolygon* polygon) {
    const auto& table = LevelWorldInstance->polygonTable;
    const auto at = std::find(table.begin(), table.end(), polygon);
    return polygon && at != table.end() ? static_cast<int32_t>(at - table.begin()) : -1;
}

std::string Of(const List<Waypoint*>& waypoints) {
    std::string out;
    for (const Waypoint* w : waypoints) out += Of(w->Position) + Text(" %d %d %d;", w->Keep, w->Tag, w->Word);
    return out;
}

// Everything of an actor that must come back as it was saved (the AI's
// working state is set afresh by the fix-up and is left out).
std::string Describe(const ServerObject& actor) {
    std::string out = Text("%s team %d def %d heap %d aitarget %d", typeid(actor).name(), actor.Team,
                           actor.Definition ? actor.Definition->id : -1,
                           actor.HeapContents ? actor.HeapContents->id : -1, IdOf(actor.AiTarget));
    out += " at " + Of(actor.Position);
    out += " facing " + Of(actor.Orientation);
    out +=
        Text(" strength %a armour %a shield %a core %d", actor.Strength, actor.Armour, actor.GetShield(), actor.AiCore);
    const List<ServerObject*>* teamList = TeamActorListOf(actor.Team);
    out +=
        Text(" listed %d", teamList ? static_cast<int32_t>(std::count(teamList->begin(), teamList->end(), &actor)) : 0);
    if (actor.IsUnit()) {
        const auto& unit = static_cast<const ServerUnit&>(actor);
        out += Text(" crouched %d concealed %d disabled %d path %d goal %d orders:", unit.Crouched, unit.Concealed,
                    unit.Disabled, unit.PathState, PolygonIndex(unit.GoalPolygon));
        for (const UnitOrder* o : unit.Orders)
            out += Text(" %d %d %d %d %d %d %d ", o->Type, o->TargetId, o->ItemKey, o->Role, PolygonIndex(o->Polygon),
                        o->AttackWord, o->GiveCount) +
                   Of(o->Position);
        out += " waypoints " + Of(unit.Waypoints) + " stored " + Of(unit.StoredWaypoints);
    }
    if (actor.IsBot()) {
        const auto& bot = static_cast<const ServerBot&>(actor);
        out += Text(" weapon %d ammo %d magazine %u firetarget %d ammoitem %d",
                    bot.Weapon ? bot.Weapon->WeaponType : kNoWeapon, bot.Weapon ? bot.Weapon->AmmoType : -1,
                    bot.MagazineCount, IdOf(bot.FireTarget), bot.AmmoItem ? bot.AmmoItem->ItemId : -1);
    }
    if (actor.IsProjectile()) {
        const auto& shot = static_cast<const ServerProjectile&>(actor);
        out += " from " + Of(shot.Origin) + " velocity " + Of(shot.Velocity) +
               Text(" shooter %d kind %d target %d", shot.ShooterId, shot.DamageKind, IdOf(shot.Target));
    }
    if (actor.IsPickup()) {
        const auto& pickup = static_cast<const ServerPickup&>(actor);
        out += Text(" taken %d script '%s' once %d has %d key '%s'", pickup.Taken, pickup.Script.Get(),
                    pickup.ScriptOnce, pickup.HasScript, pickup.KeyName.Get());
    }
    if (actor.IsTrackObject()) {
        const auto& track = static_cast<const ServerTrackObject&>(actor);
        out += Text(" running %d reversed %d runstart %llu riders", track.Running, track.Reversed,
                    static_cast<unsigned long long>(track.RunStart));
        for (const ServerObject* rider : track.Riders) out += Text(" %d", rider->Id);
    }
    if (actor.IsTurret()) out += Text(" los %d", static_cast<const ServerTurret&>(actor).GetLosTesting());
    return out;
}

std::map<int32_t, std::string> DescribeAll() {
    std::map<int32_t, std::string> all;
    ForEachActor([&](const ServerObject* actor) { all[actor->Id] = Describe(*actor); });
    return all;
}

std::vector<int32_t> ItemIds(const Inventory& inventory) {
    std::vector<int32_t> ids;
    for (const InventoryItem* item : inventory.Items) ids.push_back(IsEndMarker(item) ? -1 : item->ItemId);
    return ids;
}

class ActorRoundTripTest : public SimTest {
protected:
    void SetUp() override {
        // The engine's start measures the clock: before the server fixture stops it.
        level.SetUp();
        SimTest::SetUp();
        for (const char* model : {"Robot.qif", "Box.qif", "Level.qif", "Lift.qif", "Emplacement.qif"})
            level.CopySample(model);
        savedStatus_ = GameOptions.LevelStatus;
        StartServer(); // the level load places actors on a running server; its passes never run here
        LoadSample(kLevelRunning);
    }
    void TearDown() override {
        TvStopServer();
        TvReleaseAllActors();
        GameOptions.LevelStatus = savedStatus_;
        level.TearDown();
        SimTest::TearDown();
    }

    void LoadSample(int32_t status) {
        GameOptions.LevelStatus = status;
        level.Load(TempDir::Read(TAVRIN_SOURCE_DIR "/data/levels/sample.tvs"), "sample.tvs");
    }
    // The first registered actor of the definition of that name.
    static ServerObject* Named(const char* name) {
        ServerObject* found = nullptr;
        ForEachActor([&](ServerObject* actor) {
            if (!found && actor->Definition && NameEquals(actor->Definition->name.Get(), name)) found = actor;
        });
        return found;
    }
    template <class T>
    static T* NamedAs(const char* name) {
        return static_cast<T*>(Named(name));
    }
    // The AI and the world, pass by pass.
    void Run(Real seconds) {
        for (Real run = 0; run < seconds; run += kStepSeconds) {
            Step(kStepSeconds);
            TvAiTick(Now());
        }
    }
    static const ObjectDefinition* Definition(const char* name) { return DefinitionRegistry::FindByName(name); }

    SampleLevel level;

private:
    int32_t savedStatus_ = 0;
};

TEST_F(ActorRoundTripTest, AMidFightLevelComesBackWithEveryActorAndReference) {
    ServerLockHold hold;
    ASSERT_NE(LevelWorldInstance, nullptr);
    TvStartAllActors();
    Run(1.0f);

    // The fight as it stands, with a piece of every kind of state.
    auto* drone = NamedAs<ServerBot>("Drone");
    auto* fitted = NamedAs<ServerBot>("Fitted");
    auto* pickup = NamedAs<ServerPickup>("PlasmaBolts");
    auto* lift = NamedAs<ServerTrackObject>("Lift");
    auto* popup = NamedAs<ServerPopup>("Popup");
    auto* turret = NamedAs<ServerTurret>("Turret");
    ServerObject* crate = Named("Crate");
    ASSERT_TRUE(drone && fitted && pickup && lift && popup && turret && crate);
    std::vector<ServerUnit*> scouts;
    ForEachActor([&](ServerObject* actor) {
        if (actor->Definition && NameEquals(actor->Definition->name.Get(), "Scout"))
            scouts.push_back(static_cast<ServerUnit*>(actor));
    });
    ASSERT_GE(scouts.size(), 3u);
    ServerUnit* walker = scouts[0];
    ServerUnit* croucher = scouts[1];
    ServerUnit* disabled = scouts[2];

    ASSERT_TRUE(TvFireProjectile(Definition("TurretShot"), turret->Position, walker->Position, turret->Id, walker->Id,
                                 turret->Team, 0, 5.0f));
    walker->HeadForPoint(Vector3(11, 0, 17), NowSeconds());
    walker->QueueMove(LevelWorldInstance->polygonTable[0], -1);
    walker->AddStoredWaypoint(Vector3(2, 0, 3), 1, 5);
    croucher->Crouched = 1; // the sample robot has no crouch sequence to toggle it with
    disabled->Disable();
    pickup->SetScript("bolts.tcs", true);
    pickup->SetKey("BLUEKEY");
    turret->SetLosTesting(1);
    popup->PopUp(false);

    const ObjectDefinition* pistol = Definition("PlasmaPistol");
    const ObjectDefinition* shieldItem = Definition("shield_pickup");
    ASSERT_TRUE(fitted->Inventory && pistol && shieldItem && pistol->character);
    const int32_t pistolKey = TakeInventoryItemId();
    const int32_t shieldKey = TakeInventoryItemId();
    fitted->Inventory->AddItem(IK_WEAPON, pistol, pistolKey, -1);
    fitted->Inventory->AddItem(IK_SHIELD, shieldItem, shieldKey, -1);
    fitted->Inventory->AddAmmo(DefaultAmmoType(pistol->character->weapon), 30, TakeInventoryItemId());
    fitted->EquipItem(kMountRightArm, pistolKey, false);
    fitted->EquipItem(kMountFirstPoint, shieldKey, false);
    fitted->ReloadWeapon();
    ASSERT_EQ(fitted->Equipment.Count(), 2);

    const Vector3 track[4] = {lift->Position, lift->Position + Vector3(2, 0, 0), lift->Position + Vector3(4, 0, 0),
                              lift->Position + Vector3(6, 0, 0)};
    lift->SetTrack(track, lift->Orientation, true);
    lift->AddRider(*crate);
    lift->RunTrack();
    Run(2.0f);
    ASSERT_TRUE(lift->Running) << "caught mid-run";
    ASSERT_TRUE(popup->Raised);
    drone->AttackTarget(walker, NowSeconds(), 0, 0);
    drone->SetAiTarget(walker);
    drone->HeapContents = Definition("PlasmaBolts");
    ASSERT_NE(drone->FireTarget, nullptr);

    // Save, with the crate listed twice among the riders; the shield leaves
    // the inventory between the actor block and the inventory block, so its
    // worn record names a key the file does not hold.
    const uint64_t savedTime = ServerClock.GetTime();
    const int32_t savedCounter = ActorIdCounter;
    crate->AddRef();
    lift->Riders.PushBack(crate);
    ByteWriter out;
    ASSERT_TRUE(TvSaveActors(out));
    lift->Riders.RemoveValue(crate);
    crate->Release();
    const std::map<int32_t, std::string> saved = DescribeAll();
    fitted->RemoveItem(fitted->FindEquippedItem(shieldKey));
    fitted->Inventory->RemoveItemById(shieldKey);
    ASSERT_TRUE(TvSaveInventories(out));
    const std::vector<int32_t> fittedItems = ItemIds(*fitted->Inventory);
    const int32_t liftId = lift->Id, popupId = popup->Id, croucherId = croucher->Id, disabledId = disabled->Id,
                  fittedId = fitted->Id;

    // Where the lift gets to when the level plays on.
    Run(1.0f);
    const Vector3 liftLater = lift->Position;

    // A fresh load of the same level, without the actors the map places.
    TvReleaseAllActors();
    LoadSample(kLevelOver);
    ASSERT_EQ(ServerActorHash.Count(), 0);
    ServerClock.SetTime(savedTime);
    recorder.Clear();
    ByteReader in(out.bytes().data(), out.size());
    ASSERT_TRUE(TvLoadActors(in));
    EXPECT_EQ(ActorIdCounter, savedCounter);
    TvStartAllActors();
    ASSERT_TRUE(TvLoadInventories(in));
    ASSERT_TRUE(TvFixUpLoadedActors());
    EXPECT_EQ(in.remaining(), 0u);

    const std::map<int32_t, std::string> loaded = DescribeAll();
    EXPECT_EQ(loaded.size(), saved.size());
    for (const auto& [id, description] : saved) {
        SCOPED_TRACE(id);
        const auto at = loaded.find(id);
        ASSERT_NE(at, loaded.end());
        EXPECT_EQ(at->second, description);
    }

    auto* fittedBack = static_cast<ServerBot*>(TvFindActor(fittedId));
    ASSERT_TRUE(fittedBack && fittedBack->Inventory);
    std::vector<int32_t> reversed(fittedItems.rbegin() + 1, fittedItems.rend());
    reversed.push_back(-1);
    EXPECT_EQ(ItemIds(*fittedBack->Inventory), reversed) << "reverse order, ahead of the end marker";
    ASSERT_EQ(fittedBack->Equipment.Count(), 1) << "the record whose item is gone is dropped";
    EXPECT_EQ(fittedBack->Equipment.Front()->Item, fittedBack->Inventory->FindItem(pistolKey));

    EXPECT_EQ(TvFindActor(disabledId)->AiTickCallback, nullptr);
    EXPECT_EQ(SentFor(77, croucherId).size(), 1u);
    EXPECT_EQ(SentFor(75, popupId).size(), 1u);
    EXPECT_EQ(recorder.Sent(138).size(), 5u) << "the centipede's chain";

    // The lift runs on from where it stood.
    Run(1.0f);
    const Vector3 liftNow = TvFindActor(liftId)->Position;
    EXPECT_NEAR(liftNow.x, liftLater.x, 1e-3f);
    EXPECT_NEAR(liftNow.z, liftLater.z, 1e-3f);
    EXPECT_EQ(TvNextActorId(), savedCounter) << "new ids continue from the stored counter";
}

} // namespace
