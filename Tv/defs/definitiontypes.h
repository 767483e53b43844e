#pragma once
// The definition types: one ScriptObject class per type keyword, whose
// factory (Create) declares the type's properties. `map` and `pgenerator`
// have behaviour of their own and live in mapscript.h and pgeneratorscript.h.

#include <memory>

#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/keywords.h"
#include "Tv/defs/scriptobject.h"

class AwModel;
class AwShape;
struct ObjectDefinition;

// The factory of a type keyword.
ScriptFactory ScriptTypeFactory(ScriptTypeId type);
// The type whose factory made an object.
ScriptTypeId ScriptTypeOf(const ScriptObject& object);

class DirectoryScriptObject final : public ScriptObject {
public:
    static ScriptObject* Create() { return new DirectoryScriptObject; }
    bool AllowedInMode(uint32_t mode) const override { return (mode & kScriptModeDirectory) != 0; }
    // Stores the path into the data directory table entry the name selects
    // (datadirectory.h); other names are ignored.
    void Apply() override;

private:
    DirectoryScriptObject();
};

// "name" and "file": an object of a chunk file.
class NamedFileScriptObject : public LevelScriptObject {
protected:
    explicit NamedFileScriptObject(ScriptFactory factory);
};

class ShapeScriptObject final : public NamedFileScriptObject {
public:
    static ScriptObject* Create() { return new ShapeScriptObject; }
    // The object's shape through the resource cache, with one use for the
    // caller; null when the block is incomplete or the object is not found.
    AwShape* GetShape() const;

private:
    ShapeScriptObject() : NamedFileScriptObject(&Create) {}
};

class HierarchyScriptObject final : public NamedFileScriptObject {
public:
    static ScriptObject* Create() { return new HierarchyScriptObject; }
    // The hierarchy's model through the resource cache, with one use for the
    // caller; null when the block is incomplete or the model is not found.
    AwModel* GetModel() const;

private:
    HierarchyScriptObject();
};

// A kind of game object: applying it builds its ObjectDefinition (rolescript.cpp).
class RoleScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new RoleScriptObject; }
    void Apply() override { BuildDefinition(); }
    // The role's definition, built by the first call (also from blocks that
    // refer to the role before its turn) and returned by every later one.
    // Null when the block is incomplete or names the script effect without a
    // script; such a definition is destroyed again and its id stays used.
    ObjectDefinition* BuildDefinition();

private:
    RoleScriptObject();
    ObjectDefinition* definition_ = nullptr; // owned by the registry
};

class LightScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new LightScriptObject; }
    // Null when the block is incomplete.
    std::unique_ptr<LightRecord> MakeLight() const;

private:
    LightScriptObject();
};

// Declares one (weapon type, ammunition type) pair: applying it fills the
// pair's WeaponTable row unless an earlier block did (ammoscript.cpp).
class AmmoScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new AmmoScriptObject; }
    void Apply() override;

private:
    AmmoScriptObject();
};

// An ammunition type's inventory look: applying it overwrites the type's
// AmmoTypeTable row (ammoscript.cpp).
class AmmoInfoScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new AmmoInfoScriptObject; }
    void Apply() override;

private:
    AmmoInfoScriptObject();
};

class CameraTrackScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new CameraTrackScriptObject; }
    // Once the level world exists, a level cutscene (level_cutscene.h) with
    // the generators of "pgen" and "pgen2", filled from the cutscene "name"
    // of the level model "file" (its ".loc" twin when there is one) at the
    // level's origin; deleted again when the file does not open or has no
    // such cutscene (cameratrack.cpp). Nothing when the block is incomplete.
    void Apply() override;

private:
    CameraTrackScriptObject();
};

// A robot's or creature's behaviour numbers; each role naming the block gets
// a record of its own (characterscript.cpp).
class CharacterScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new CharacterScriptObject; }
    // Null when the block is incomplete. Bounds and stride stay 0: the role sets them.
    std::unique_ptr<CharacterRecord> MakeCharacterRecord() const;

private:
    CharacterScriptObject();
};

class ProjectileScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new ProjectileScriptObject; }
    // Null when the block is incomplete.
    std::unique_ptr<ProjectileRecord> MakeProjectile() const;

private:
    ProjectileScriptObject();
};

// The three types a role's "destructibility" may name.
class DestructionScriptObject : public LevelScriptObject {
public:
    using LevelScriptObject::LevelScriptObject;
    // A new record for the role that names the block; null when the block is incomplete.
    virtual std::unique_ptr<DestructionRecord> MakeDestructionRecord() = 0;
};

class DestructibilityScriptObject final : public DestructionScriptObject {
public:
    static ScriptObject* Create() { return new DestructibilityScriptObject; }
    std::unique_ptr<DestructionRecord> MakeDestructionRecord() override;

private:
    DestructibilityScriptObject();
};

class FragDataScriptObject final : public DestructionScriptObject {
public:
    static ScriptObject* Create() { return new FragDataScriptObject; }
    // Builds the definitions of the roles it names.
    std::unique_ptr<DestructionRecord> MakeDestructionRecord() override;

private:
    FragDataScriptObject();
};

class FragScriptScriptObject final : public DestructionScriptObject {
public:
    static ScriptObject* Create() { return new FragScriptScriptObject; }
    std::unique_ptr<DestructionRecord> MakeDestructionRecord() override;

private:
    FragScriptScriptObject();
};
