#pragma once
// The definition types: one ScriptObject class per type keyword, whose
// factory (Create) declares the type's properties. `map` and `pgenerator`
// have behaviour of their own and live in mapscript.h and pgeneratorscript.h.

#include "Tv/defs/keywords.h"
#include "Tv/defs/scriptobject.h"

// The factory of a type keyword.
ScriptFactory ScriptTypeFactory(ScriptTypeId type);
// The type whose factory made an object.
ScriptTypeId ScriptTypeOf(const ScriptObject& object);

class DirectoryScriptObject final : public ScriptObject {
public:
    static ScriptObject* Create() { return new DirectoryScriptObject; }
    bool AllowedInMode(uint32_t mode) const override { return (mode & kScriptModeDirectory) != 0; }

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

private:
    ShapeScriptObject() : NamedFileScriptObject(&Create) {}
};

class HierarchyScriptObject final : public NamedFileScriptObject {
public:
    static ScriptObject* Create() { return new HierarchyScriptObject; }

private:
    HierarchyScriptObject();
};

class RoleScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new RoleScriptObject; }

private:
    RoleScriptObject();
};

class LightScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new LightScriptObject; }

private:
    LightScriptObject();
};

class AmmoScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new AmmoScriptObject; }

private:
    AmmoScriptObject();
};

class AmmoInfoScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new AmmoInfoScriptObject; }

private:
    AmmoInfoScriptObject();
};

class CameraTrackScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new CameraTrackScriptObject; }

private:
    CameraTrackScriptObject();
};

class CharacterScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new CharacterScriptObject; }

private:
    CharacterScriptObject();
};

class ProjectileScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new ProjectileScriptObject; }

private:
    ProjectileScriptObject();
};

class DestructibilityScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new DestructibilityScriptObject; }

private:
    DestructibilityScriptObject();
};

class FragDataScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new FragDataScriptObject; }

private:
    FragDataScriptObject();
};

class FragScriptScriptObject final : public LevelScriptObject {
public:
    static ScriptObject* Create() { return new FragScriptScriptObject; }

private:
    FragScriptScriptObject();
};
