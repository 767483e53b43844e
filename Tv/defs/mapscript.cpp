#include "Tv/defs/mapscript.h"

#include "Tv/defs/diagnostics.h"

UseEntry::UseEntry(const char* object, const char* variable, ScriptObject* r, int32_t t, bool i)
    : objectName(object), variableName(OwnedText::FromNullable(variable)), role(r), team(t), inherited(i) {
    role->AddRef();
}

UseEntry::~UseEntry() { role->Release(); }

MapScriptObject::MapScriptObject() : LevelScriptObject(&Create) {
    DeclareString("name", 0, false, false, nullptr);
    DeclareString("file", 1, false, false, nullptr);
    DeclareString("bitmap", 2, true, false, nullptr);
    DeclareString("camera plane", 80, true, false, nullptr);
    DeclareReal("max camera distance", 81, 10, 500, false, 0);
    DeclareString("max camera focus height", 82, true, true, nullptr);
    DeclareString("min camera focus height", 83, true, true, nullptr);
    DeclareString("shadow object qif", 84, true, true, nullptr);
    DeclareString("shadow object name", 85, true, true, nullptr);
    DeclareInt("max vertices per section", 121, 10, 10000, true, 200);
}

MapScriptObject::~MapScriptObject() { ClearPlacements(); }

bool MapScriptObject::ReferencesValid() const {
    if (!ScriptObject::ReferencesValid()) return false;
    UseTable::Iterator it;
    for (it.Begin(placements_); !it.AtEnd(); it.Next())
        if (!it.Current()->Payload->role->ReferencesValid()) return false;
    return true;
}

void MapScriptObject::InheritFrom(const ScriptObject& base) {
    ScriptObject::InheritFrom(base);
    UseTable::Iterator it;
    for (it.Begin(static_cast<const MapScriptObject&>(base).placements_); !it.AtEnd(); it.Next()) {
        const UseEntry& entry = *it.Current()->Payload;
        AddPlacement(new UseEntry(entry.objectName.Get(), entry.variableName.Get(), entry.role, entry.team, true));
    }
}

void MapScriptObject::AssignValue(const PropertyValue& value) {
    if (value.kind != PropertyValueKind::Use) {
        ScriptObject::AssignValue(value);
        return;
    }
    const auto& use = static_cast<const UseValue&>(value);
    for (const Binding* binding : use.bindings)
        AddPlacement(new UseEntry(binding->objectName.Get(), binding->variableName.Get(), use.role, use.team, false));
}

void MapScriptObject::AddPlacement(UseEntry* entry) {
    const char* name = entry->objectName.Get();
    uint32_t key = HashStringUpper(name);
    auto* existing = placements_.Find(key, [&](UseEntry* e) { return NameEquals(e->objectName.Get(), name); });
    if (!existing) {
        placements_.Insert(entry, key);
    } else if (existing->Payload->inherited) {
        delete existing->Payload; // replaced in its place
        existing->Payload = entry;
    } else {
        CompilerError("object '%s' has already been used", name);
        delete entry;
    }
}

void MapScriptObject::DropReferences() {
    ScriptObject::DropReferences();
    ClearPlacements();
}

void MapScriptObject::ClearPlacements() {
    UseTable::Iterator it;
    for (it.Begin(placements_); !it.AtEnd(); it.Next()) delete it.Current()->Payload;
    placements_.Clear();
}
