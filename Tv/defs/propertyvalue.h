#pragma once
// One property assignment of a definition block, as the grammar hands it to
// the block's object: the property number and a value of a definite kind. An
// object refuses a value whose kind is not its slot's type.

#include <cstdint>
#include <utility>

#include "Tv/defs/ownedtext.h"
#include "core/list.h"
#include "core/mem.h"

class ScriptObject;

enum class PropertyValueKind : uint8_t { String, Integer, Boolean, Real, Reference, Life, Use };

class PropertyValue : public MemObject {
public:
    virtual ~PropertyValue() = default;
    PropertyValue(const PropertyValue&) = delete;
    PropertyValue& operator=(const PropertyValue&) = delete;

    const int32_t number;
    const PropertyValueKind kind;

protected:
    PropertyValue(int32_t n, PropertyValueKind k) : number(n), kind(k) {}
};

class StringValue final : public PropertyValue {
public:
    // `text` none for "none".
    StringValue(int32_t n, OwnedText t) : PropertyValue(n, PropertyValueKind::String), text(std::move(t)) {}
    const OwnedText text;
};

class IntegerValue final : public PropertyValue {
public:
    IntegerValue(int32_t n, int32_t v) : PropertyValue(n, PropertyValueKind::Integer), value(v) {}
    const int32_t value;
};

class BooleanValue final : public PropertyValue {
public:
    BooleanValue(int32_t n, bool v) : PropertyValue(n, PropertyValueKind::Boolean), value(v) {}
    const bool value;
};

class RealValue final : public PropertyValue {
public:
    RealValue(int32_t n, double v) : PropertyValue(n, PropertyValueKind::Real), value(v) {}
    const double value;
};

// A name or "none"; the object is not counted here (the symbol table keeps it alive).
class ReferenceValue final : public PropertyValue {
public:
    ReferenceValue(int32_t n, ScriptObject* o) : PropertyValue(n, PropertyValueKind::Reference), object(o) {}
    ScriptObject* const object;
};

// Property 66: how long a particle generator lives.
enum LifeKind : int32_t { kLifeInfinite = 0, kLifeTicks = 1, kLifeParticles = 2 };

class LifeValue final : public PropertyValue {
public:
    static constexpr int32_t kProperty = 66;
    LifeValue(int32_t k, int32_t v) : PropertyValue(kProperty, PropertyValueKind::Life), lifeKind(k), value(v) {}
    const int32_t lifeKind;
    const int32_t value; // clock ticks or particles
};

// One object name of a use statement, with the console variable that receives
// the created object's id (none when the statement gives none).
struct Binding : MemObject {
    OwnedText objectName;
    OwnedText variableName;
};

// Property 9: objects of the level model that become actors of a role.
class UseValue final : public PropertyValue {
public:
    static constexpr int32_t kProperty = 9;
    // Takes a reference on `role` and the bindings (cleared).
    UseValue(ScriptObject* role, int32_t team, List<Binding*>& bindings);
    ~UseValue() override;

    ScriptObject* const role;
    const int32_t team;
    List<Binding*> bindings;
};

// Owns the records of a list: deletes every one when it goes.
template <class T>
class OwnedRecords {
public:
    OwnedRecords() = default;
    ~OwnedRecords() {
        for (T* record : list) delete record;
    }
    OwnedRecords(const OwnedRecords&) = delete;
    OwnedRecords& operator=(const OwnedRecords&) = delete;

    List<T*> list;
};
