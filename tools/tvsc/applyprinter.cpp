#include "applyprinter.h"

#include <string>
#include <vector>

#include "Awapi/model/model_node.h"
#include "Awapi/shape.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/defs/resourcecache.h"

namespace {

// Writes "name = value" lines at an indentation; Record opens a nested level.
class FieldPrinter {
public:
    FieldPrinter(std::FILE* out, int depth) : out_(out), indent_(static_cast<size_t>(depth) * 2, ' ') {}

    void Int(const char* name, int64_t value) { Line(name, std::to_string(value)); }
    void Bool(const char* name, bool value) { Line(name, value ? "yes" : "no"); }
    void Float(const char* name, float value) { Line(name, Number(value)); }
    void Vector(const char* name, const Vector3& v) { Line(name, Number(v.x) + " " + Number(v.y) + " " + Number(v.z)); }
    void Colour(const char* name, const ::Colour& c) {
        Line(name, Number(c.Red) + " " + Number(c.Green) + " " + Number(c.Blue) + " " + Number(c.Alpha));
    }
    void Text(const char* name, const char* text) { Line(name, Quoted(text)); }
    // The texts quoted and separated by blanks; none for no text.
    void Texts(const char* name, const std::vector<OwnedText>& texts) {
        std::string line;
        for (const OwnedText& text : texts) line += (line.empty() ? "" : " ") + Quoted(text.Get());
        Line(name, line.empty() ? "none" : line);
    }
    void Definition(const char* name, const ObjectDefinition* d) {
        Line(name, d ? "definition " + std::to_string(d->id) + " " + Quoted(d->name.Get()) : "none");
    }
    template <class T>
    void Cached(const char* name, const T* object) {
        const char* file = nullptr;
        const char* objectName = nullptr;
        if (!object)
            Line(name, "none");
        else if (ResourceCache::FindSource(object, &file, &objectName))
            Line(name, Quoted(file) + " " + Quoted(objectName));
        else
            Line(name, "(not cached)");
    }
    // "name = none", or "name" and a printer one level deeper for the record's fields.
    template <class T, class PrintFields>
    void Record(const char* name, const T* record, PrintFields fields) {
        if (!record) {
            Line(name, "none");
            return;
        }
        std::fprintf(out_, "%s%s\n", indent_.c_str(), name);
        FieldPrinter nested(out_, static_cast<int>(indent_.size() / 2) + 1);
        fields(nested, *record);
    }

private:
    static std::string Number(float value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.9g", value);
        return text;
    }
    static std::string Quoted(const char* text) { return text ? "\"" + std::string(text) + "\"" : "none"; }
    void Line(const char* name, const std::string& value) {
        std::fprintf(out_, "%s%s = %s\n", indent_.c_str(), name, value.c_str());
    }

    std::FILE* out_;
    std::string indent_;
};

void PrintLight(FieldPrinter& p, const LightRecord& l) {
    p.Float("red", l.red);
    p.Float("green", l.green);
    p.Float("blue", l.blue);
    p.Float("specularRed", l.specularRed);
    p.Float("specularGreen", l.specularGreen);
    p.Float("specularBlue", l.specularBlue);
    p.Float("range", l.range);
}

void PrintProjectile(FieldPrinter& p, const ProjectileRecord& r) {
    p.Bool("gravity", r.gravity);
    p.Float("damage", r.damage);
    p.Int("sound", r.sound);
    p.Float("maxRange", r.maxRange);
    p.Float("blastDamage", r.blastDamage);
    p.Float("blastRange", r.blastRange);
    p.Float("blastRangeSquared", r.blastRangeSquared);
    p.Record("hitLight", r.hitLight.get(), PrintLight);
}

void PrintGenerator(FieldPrinter& p, const ParticleGeneratorRecord& g) {
    p.Int("type", g.type);
    p.Int("colourMode", g.colourMode);
    p.Int("state", g.state);
    p.Int("countdown", g.countdown);
    p.Float("rate", g.rate);
    p.Vector("particleVelocity", g.particleVelocity);
    p.Vector("emitterVelocity", g.emitterVelocity);
    p.Colour("colour1", g.colour1);
    p.Colour("colour2", g.colour2);
    p.Bool("light", g.light);
    p.Bool("flicker", g.flicker);
    p.Colour("lightDiffuse", g.lightDiffuse);
    p.Colour("lightSpecular", g.lightSpecular);
    p.Colour("colour3", g.colour3);
    p.Bool("trail", g.trail);
    p.Bool("childLight", g.childLight);
    p.Vector("lightPosition", g.lightPosition);
    p.Float("startSize", g.startSize);
    p.Float("endSize", g.endSize);
    p.Float("spin", g.spin);
    p.Int("lifeOverride", g.lifeOverride);
}

void PrintCharacter(FieldPrinter& p, const CharacterRecord& c) {
    p.Int("walkingSpeed", c.walkingSpeed);
    p.Float("turningSpeed", c.turningSpeed);
    p.Float("aim", c.aim);
    p.Float("angularScanRate", c.angularScanRate);
    p.Float("scanDelay", c.scanDelay);
    p.Float("scanAcceptanceAngle", c.scanAcceptanceAngle);
    p.Float("mineLayingTime", c.mineLayingTime);
    p.Bool("latchTrigger", c.latchTrigger);
    p.Bool("alertable", c.alertable);
    p.Int("generationLimit", c.generationLimit);
    p.Float("sightAngle", c.sightAngle);
    p.Float("sightRange", c.sightRange);
    p.Float("sightRangeSquared", c.sightRangeSquared);
    p.Float("hearingRange", c.hearingRange);
    p.Float("hearingRangeSquared", c.hearingRangeSquared);
    p.Float("alertRadius", c.alertRadius);
    p.Float("aggression", c.aggression);
    p.Float("gunYawAngle", c.gunYawAngle);
    p.Float("elevationAngle", c.elevationAngle);
    p.Float("collisionRadius", c.collisionRadius);
    p.Float("collisionHeight", c.collisionHeight);
    p.Float("size", c.size);
    p.Float("damageMultiplier", c.damageMultiplier);
    p.Float("shotSpeedMultiplier", c.shotSpeedMultiplier);
    p.Float("targetCycleTime", c.targetCycleTime);
    p.Float("alarmDelay", c.alarmDelay);
    p.Float("weaponCycleTime", c.weaponCycleTime);
    p.Float("weaponCycleTime2", c.weaponCycleTime2);
    p.Int("maxWeapon", c.maxWeapon);
    p.Int("maxAmmo", c.maxAmmo);
    p.Int("maxModule", c.maxModule);
    p.Float("initialFirstPersonRange", c.initialFirstPersonRange);
    p.Float("maximumFirstPersonRange", c.maximumFirstPersonRange);
    p.Bool("canTurn", c.canTurn);
    p.Bool("drawVisionCone", c.drawVisionCone);
    p.Bool("drawHearingRange", c.drawHearingRange);
    p.Cached("customisationModel", c.customisationModel);
    p.Cached("shadowModel", c.shadowModel);
    p.Int("blobShadow", c.blobShadow);
    p.Text("descriptionText", c.descriptionText);
    p.Float("boundsRadius", c.boundsRadius);
    p.Float("boundsHeight", c.boundsHeight);
    p.Float("strideLength", c.strideLength);
    p.Float("statusWindowV", c.statusWindowV);
    p.Float("statusWindowU", c.statusWindowU);
    p.Float("strength", c.strength);
    p.Int("weapon", c.weapon);
    p.Int("secondaryWeapon", c.secondaryWeapon);
    p.Bool("alwaysCpuControlled", c.alwaysCpuControlled);
}

void PrintPickup(FieldPrinter& p, const PickupRecord& r) {
    p.Cached("pickupModel", r.pickupModel);
    p.Cached("pickupShape", r.pickupShape);
    p.Text("descriptionText", r.descriptionText);
    p.Text("pickupNameText", r.pickupNameText);
    p.Float("pickupRadius", r.pickupRadius);
    p.Int("actionOnDeath", r.actionOnDeath);
}

void PrintDestruction(FieldPrinter& p, const DestructionRecord& r) {
    p.Int("kind", r.kind);
    if (const auto* frag = dynamic_cast<const FragDataRecord*>(&r)) {
        p.Definition("role", frag->role);
        p.Definition("replaceRole", frag->replaceRole);
        p.Text("remove", frag->remove.Get());
        p.Int("scale", frag->scale);
        p.Bool("replace", frag->replace);
        p.Bool("symmetric", frag->symmetric);
        p.Float("blastRange", frag->blastRange);
        p.Float("blastDamage", frag->blastDamage);
    } else if (const auto* script = dynamic_cast<const FragScriptRecord*>(&r)) {
        p.Text("name", script->name.Get());
        p.Bool("replace", script->replace);
    }
}

void PrintDefinition(std::FILE* out, const ObjectDefinition& d) {
    std::fprintf(out, "definition %d ", d.id);
    std::fputs(d.name.Get() ? ("\"" + std::string(d.name.Get()) + "\"\n").c_str() : "none\n", out);
    FieldPrinter p(out, 1);
    p.Text("reconName", d.reconName);
    p.Text("reconAiShort", d.reconAiShort);
    p.Int("reconAiNumber", d.reconAiNumber);
    p.Text("reconAiLong", d.reconAiLong);
    p.Text("reconAiLong2", d.reconAiLong2);
    p.Cached("shape", d.shape);
    p.Cached("model", d.model);
    p.Record("particleGenerator", d.particleGenerator.get(), PrintGenerator);
    p.Record("particleGenerator2", d.particleGenerator2.get(), PrintGenerator);
    p.Text("metaSound", d.metaSound.Get());
    p.Vector("hotspot", d.hotspot);
    p.Vector("alternateHotspot", d.alternateHotspot);
    p.Text("hotspotName", d.hotspotName.Get());
    p.Text("alternateHotspotName", d.alternateHotspotName.Get());
    p.Int("upperSequenceCount", d.upperSequenceCount);
    p.Int("lowerSequenceCount", d.lowerSequenceCount);
    p.Int("limit", d.limit);
    p.Record("light", d.light.get(), PrintLight);
    p.Record("projectile", d.projectile.get(), PrintProjectile);
    p.Record("character", d.character.get(), PrintCharacter);
    p.Record("pickup", d.pickup.get(), PrintPickup);
    p.Int("flags", d.flags);
    p.Int("flags2", d.flags2);
    p.Int("aiCore", d.aiCore);
    p.Int("interfaceBeamDelay", d.interfaceBeamDelay);
    p.Int("interfaceBeamEffect", d.interfaceBeamEffect);
    p.Text("interfaceBeamScript", d.interfaceBeamScript.Get());
    p.Int("interfaceBeamDuration", d.interfaceBeamDuration);
    p.Int("resistance", d.resistance);
    p.Float("resistanceFactor", d.resistanceFactor);
    p.Float("armour", d.armour);
    p.Float("shields", d.shields);
    p.Float("rechargeRate", d.rechargeRate);
    p.Float("alpha", d.alpha);
    p.Record("destruction", d.destruction.get(), PrintDestruction);
    p.Texts("severPoints", d.severPoints);
}

void PrintWeaponRow(std::FILE* out, int32_t weapon, int32_t ammo, const WeaponParameters& row) {
    std::fprintf(out, "weapon %d ammo %d\n", weapon, ammo);
    FieldPrinter p(out, 1);
    p.Float("roundTime", row.roundTime);
    p.Float("reloadTime", row.reloadTime);
    p.Int("lifeTimer", row.lifeTimer);
    p.Int("magazineSize", row.magazineSize);
    p.Int("sound", row.sound);
    p.Int("salvoSize", row.salvoSize);
    p.Text("fileName", row.fileName.Get());
    p.Text("name", row.name.Get());
    p.Definition("projectile", row.projectile);
    p.Float("firingSpeed", row.firingSpeed);
}

void PrintAmmoRow(std::FILE* out, int32_t type, const AmmoTypeRow& row) {
    std::fprintf(out, "ammo type %d\n", type);
    FieldPrinter p(out, 1);
    p.Cached("model", row.model);
    p.Cached("shape", row.shape);
    p.Int("nameStringId", row.nameStringId);
    p.Int("descriptionStringId", row.descriptionStringId);
    p.Int("maxPerSlot", row.maxPerSlot);
}

} // namespace

void PrintDataDirectories(std::FILE* out) {
    static constexpr const char* kNames[kDataDirectoryCount] = {"scripts", "fmvs",  "qifs", "graphics",
                                                                "sounds",  "fonts", "dumps"};
    for (int32_t i = 0; i < kDataDirectoryCount; ++i) {
        const char* path = DataDirGet(i);
        if (path)
            std::fprintf(out, "directory %d %s \"%s\"\n", i, kNames[i], path);
        else
            std::fprintf(out, "directory %d %s none\n", i, kNames[i]);
    }
}

void PrintAppliedLevel(std::FILE* out) {
    for (int32_t id = 0; id < DefinitionNextId; ++id)
        if (const ObjectDefinition* d = DefinitionRegistry::FindById(id)) PrintDefinition(out, *d);
    for (int32_t w = 0; w < kWeaponTypeCount; ++w)
        for (int32_t a = 0; a < kAmmoTypeCount; ++a)
            if (const WeaponParameters* row = WeaponTableRow(w, a)) PrintWeaponRow(out, w, a, *row);
    for (int32_t t = 0; t < kAmmoTypeCount; ++t) {
        const AmmoTypeRow& row = AmmoTypeTable[t];
        if (row.model || row.shape || row.nameStringId || row.descriptionStringId || row.maxPerSlot)
            PrintAmmoRow(out, t, row);
    }
}
