#pragma once
// Script objects: the compiled form of one definition block, a typed property
// set of kScriptPropertyCount numbered slots.
//
// A type's factory constructs the object and declares the slots the type uses,
// each with a type, limits, a default and a display name (used in messages
// only). The grammar then hands the block's values to AssignValue, which checks
// and stores them, and finishes the block with FinishDefinition. Objects are
// reference counted: the symbol table, the compiled list and the reference
// slots of other objects each hold one.

#include <cstdint>

#include "Tv/defs/keywords.h"
#include "Tv/defs/propertyvalue.h"
#include "core/list.h"
#include "core/refcounted.h"

class ScriptObject;

// A type's factory: a new object with reference count 1 and its slots
// declared. The factory is the type's identity.
using ScriptFactory = ScriptObject* (*)();

enum PropertyType : uint8_t {
    kPropertyNone = 0, // not declared by the object's type
    kPropertyBool = 1,
    kPropertyInt = 2,
    kPropertyReal = 3,
    kPropertyReference = 4,
    kPropertyString = 5,
};

// The ScriptMode bits of a compilation.
constexpr uint32_t kScriptModeLevel = 1;
constexpr uint32_t kScriptModeDirectory = 2;

class ScriptObject : public RefCounted {
public:
    explicit ScriptObject(ScriptFactory factory);
    ~ScriptObject() override;

    // --- Declaration (by the type's factory) ---
    void DeclareBool(const char* name, int number, bool hasDefault, bool value);
    void DeclareInt(const char* name, int number, int32_t minimum, int32_t maximum, bool hasDefault, int32_t value);
    void DeclareReal(const char* name, int number, double minimum, double maximum, bool hasDefault, double value);
    // A default makes the slot hold none.
    void DeclareReference(const char* name, int number, ScriptFactory accepted, bool noneAllowed, bool hasDefault);
    void AddAcceptedType(int number, ScriptFactory accepted);
    // A default copies `value` (null: none).
    void DeclareString(const char* name, int number, bool noneAllowed, bool hasDefault, const char* value);

    // --- Reading ---
    PropertyType SlotType(int number) const { return types_[number]; }
    const char* SlotName(int number) const { return names_[number]; }
    bool HasValue(int number) const { return hasValue_[number]; }
    // The value came from a script (directly or through a base that had it set).
    bool IsSet(int number) const { return set_[number]; }
    bool GetBool(int number) const { return values_[number].boolean; }
    int32_t GetValue(int number) const { return values_[number].integer; }
    double GetReal(int number) const { return values_[number].real; }
    ScriptObject* GetReference(int number) const { return values_[number].reference; }
    const char* GetString(int number) const { return values_[number].text; }

    // --- The operations of every type ---
    // Every declared slot has a value.
    virtual bool IsComplete() const;
    // This object and every object its reference slots hold are complete.
    virtual bool ReferencesValid() const;
    virtual bool AllowedInMode(uint32_t mode) const = 0;
    // Copies every slot of `base` (an object of the same type) but the
    // assigned-in-this-block flags.
    virtual void InheritFrom(const ScriptObject& base);
    // Checks and stores one value; errors reject the one value.
    virtual void AssignValue(const PropertyValue& value);
    virtual void AfterDefinition() {}
    virtual void Apply() {}
    // Releases every object this one holds; the compilation's objects are
    // freed through it so that objects naming each other are freed too.
    virtual void DropReferences();

    // Marks the object defined, warns "default value assumed for '%s'" for
    // each slot that holds only its default, then runs AfterDefinition.
    void FinishDefinition();

    ScriptFactory Factory() const { return factory_; }
    bool IsAnonymous() const { return anonymous_; }
    void SetAnonymous() { anonymous_ = true; }
    bool IsDefined() const { return defined_; }
    // The name the script gave the object (null for an anonymous one).
    const char* Name() const { return name_.Get(); }
    void SetName(std::string_view name) { name_ = OwnedText(name); }

    // Link in the set of objects one compilation made (see ScriptObjectFamily).
    ListLink<ScriptObject> familyLink{this};

private:
    union SlotValue {
        bool boolean;
        int32_t integer;
        double real;
        ScriptObject* reference; // one reference held
        char* text;              // owned
    };
    union SlotLimit {
        int32_t integer;
        double real;
        bool noneAllowed; // reference and string slots (minimum only)
    };
    struct AcceptedType {
        int32_t number;
        ScriptFactory factory;
    };

    void Declare(const char* name, int number, PropertyType type, bool hasDefault);
    bool Accepts(int number, ScriptFactory factory) const;
    // Frees what a slot holds (a reference or a text) and clears its value flag.
    void ClearValue(int number);
    void MarkHasValue(int number);

    ScriptFactory factory_;
    int32_t missing_ = 0; // declared slots without a value
    bool anonymous_ = false;
    bool defined_ = false;
    OwnedText name_;
    PropertyType types_[kScriptPropertyCount] = {};
    SlotValue values_[kScriptPropertyCount] = {};
    SlotLimit minimums_[kScriptPropertyCount] = {};
    SlotLimit maximums_[kScriptPropertyCount] = {};
    bool hasValue_[kScriptPropertyCount] = {};
    bool set_[kScriptPropertyCount] = {};
    bool setHere_[kScriptPropertyCount] = {};
    const char* names_[kScriptPropertyCount] = {};
    List<AcceptedType> accepted_;
};

// Objects allowed in level scripts only: every type but `directory`.
class LevelScriptObject : public ScriptObject {
public:
    using ScriptObject::ScriptObject;
    bool AllowedInMode(uint32_t mode) const override { return (mode & kScriptModeLevel) != 0; }
};

// A counted hold on a script object: takes no reference of its own when
// adopting, releases the one it has when it goes.
class ScriptObjectRef {
public:
    ScriptObjectRef() = default;
    explicit ScriptObjectRef(ScriptObject* adopted) : object_(adopted) {}
    ~ScriptObjectRef() { Reset(); }
    ScriptObjectRef(const ScriptObjectRef&) = delete;
    ScriptObjectRef& operator=(const ScriptObjectRef&) = delete;

    ScriptObject* Get() const { return object_; }
    ScriptObject* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Hands the reference over.
    ScriptObject* Release() {
        ScriptObject* object = object_;
        object_ = nullptr;
        return object;
    }
    void Reset() {
        if (object_) object_->Release();
        object_ = nullptr;
    }

private:
    ScriptObject* object_ = nullptr;
};

// Every object one compilation made, without holding them: freeing the
// family drops the references of the members still alive, so objects that
// name each other (a role and its fragment data) are freed as well.
class ScriptObjectFamily : public MemObject {
public:
    ScriptObjectFamily() { members_.Init(nullptr); }
    ~ScriptObjectFamily() { Free(); }
    ScriptObjectFamily(const ScriptObjectFamily&) = delete;
    ScriptObjectFamily& operator=(const ScriptObjectFamily&) = delete;

    void Adopt(ScriptObject* object) { object->familyLink.MoveAfter(members_.Prev); }
    bool IsEmpty() const { return members_.Next == &members_; }
    // Drops the references every living member holds; members nothing else
    // holds are deleted.
    void Free();

private:
    ListSentinel<ScriptObject> members_;
};
