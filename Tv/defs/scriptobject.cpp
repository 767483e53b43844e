#include "Tv/defs/scriptobject.h"

#include "Tv/defs/diagnostics.h"

ScriptObject::ScriptObject(ScriptFactory factory) : factory_(factory) {}

ScriptObject::~ScriptObject() {
    for (int n = 0; n < kScriptPropertyCount; ++n) ClearValue(n);
    familyLink.Unlink();
}

void ScriptObject::Declare(const char* name, int number, PropertyType type, bool hasDefault) {
    types_[number] = type;
    names_[number] = name;
    hasValue_[number] = hasDefault;
    if (!hasDefault) ++missing_;
    set_[number] = false;
    setHere_[number] = false;
}

void ScriptObject::DeclareBool(const char* name, int number, bool hasDefault, bool value) {
    Declare(name, number, kPropertyBool, hasDefault);
    values_[number].boolean = value;
}

void ScriptObject::DeclareInt(const char* name, int number, int32_t minimum, int32_t maximum, bool hasDefault,
                              int32_t value) {
    Declare(name, number, kPropertyInt, hasDefault);
    minimums_[number].integer = minimum;
    maximums_[number].integer = maximum;
    values_[number].integer = value;
}

void ScriptObject::DeclareReal(const char* name, int number, double minimum, double maximum, bool hasDefault,
                               double value) {
    Declare(name, number, kPropertyReal, hasDefault);
    minimums_[number].real = minimum;
    maximums_[number].real = maximum;
    values_[number].real = value;
}

void ScriptObject::DeclareReference(const char* name, int number, ScriptFactory accepted, bool noneAllowed,
                                    bool hasDefault) {
    Declare(name, number, kPropertyReference, hasDefault);
    minimums_[number].noneAllowed = noneAllowed;
    values_[number].reference = nullptr;
    AddAcceptedType(number, accepted);
}

void ScriptObject::AddAcceptedType(int number, ScriptFactory accepted) { accepted_.PushBack({number, accepted}); }

void ScriptObject::DeclareString(const char* name, int number, bool noneAllowed, bool hasDefault, const char* value) {
    Declare(name, number, kPropertyString, hasDefault);
    minimums_[number].noneAllowed = noneAllowed;
    values_[number].text = hasDefault && value ? TextCopy(value) : nullptr;
}

bool ScriptObject::Accepts(int number, ScriptFactory factory) const {
    for (const AcceptedType& a : accepted_)
        if (a.number == number && a.factory == factory) return true;
    return false;
}

void ScriptObject::ClearValue(int number) {
    if (!hasValue_[number]) return;
    SlotValue& value = values_[number];
    if (types_[number] == kPropertyReference && value.reference) {
        ScriptObject* object = value.reference;
        value.reference = nullptr;
        object->Release();
    } else if (types_[number] == kPropertyString) {
        TextFree(value.text);
        value.text = nullptr;
    }
    hasValue_[number] = false;
    ++missing_;
}

void ScriptObject::MarkHasValue(int number) {
    if (hasValue_[number]) return;
    hasValue_[number] = true;
    --missing_;
}

bool ScriptObject::IsComplete() const { return missing_ == 0; }

bool ScriptObject::ReferencesValid() const {
    if (!IsComplete()) return false;
    // Every reference slot has an entry in the accepted types.
    for (const AcceptedType& a : accepted_) {
        const ScriptObject* object = values_[a.number].reference;
        if (hasValue_[a.number] && object && !object->IsComplete()) return false;
    }
    return true;
}

void ScriptObject::InheritFrom(const ScriptObject& base) {
    for (int n = 0; n < kScriptPropertyCount; ++n) {
        ClearValue(n);
        if (base.hasValue_[n]) {
            values_[n] = base.values_[n];
            if (types_[n] == kPropertyReference && values_[n].reference) values_[n].reference->AddRef();
            if (types_[n] == kPropertyString && values_[n].text) values_[n].text = TextCopy(values_[n].text);
            MarkHasValue(n);
        }
        set_[n] = base.set_[n];
    }
}

void ScriptObject::AssignValue(const PropertyValue& value) {
    const int n = value.number;
    const char* name = names_[n] ? names_[n] : "";
    if (setHere_[n]) {
        CompilerError("value for '%s' is defined more than once", name);
        return;
    }
    static constexpr PropertyValueKind kKindOfType[] = {
        PropertyValueKind::Use, // no slot: never matched
        PropertyValueKind::Boolean, PropertyValueKind::Integer, PropertyValueKind::Real,
        PropertyValueKind::Reference, PropertyValueKind::String,
    };
    if (types_[n] == kPropertyNone) {
        CompilerError("invalid data type");
        return;
    }
    if (value.kind != kKindOfType[types_[n]]) {
        // Only "identifier" written with a number gets here: its slot holds a text.
        CompilerError("value for '%s' has the wrong type", name);
        return;
    }
    SlotValue& slot = values_[n];
    switch (types_[n]) {
    case kPropertyBool: slot.boolean = static_cast<const BooleanValue&>(value).value; break;
    case kPropertyInt: {
        int32_t v = static_cast<const IntegerValue&>(value).value;
        if (v < minimums_[n].integer) {
            CompilerError("value for '%s' cannot be less than %d", name, minimums_[n].integer);
            return;
        }
        if (v > maximums_[n].integer) {
            CompilerError("value for '%s' cannot be more than %d", name, maximums_[n].integer);
            return;
        }
        slot.integer = v;
        break;
    }
    case kPropertyReal: {
        double v = static_cast<const RealValue&>(value).value;
        if (v < minimums_[n].real) {
            CompilerError("value for '%s' cannot be less than %f", name, minimums_[n].real);
            return;
        }
        if (v > maximums_[n].real) {
            CompilerError("value for '%s' cannot be more than %f", name, maximums_[n].real);
            return;
        }
        slot.real = v;
        break;
    }
    case kPropertyReference: {
        ScriptObject* object = static_cast<const ReferenceValue&>(value).object;
        if (!object && !minimums_[n].noneAllowed) {
            CompilerError("value for '%s' cannot be none", name);
            return;
        }
        if (object && !Accepts(n, object->Factory())) {
            CompilerError("value for '%s' is not a suitable type", name);
            return;
        }
        if (object) object->AddRef();
        ClearValue(n);
        slot.reference = object;
        break;
    }
    default: {
        const OwnedText& text = static_cast<const StringValue&>(value).text;
        if (text.IsNone() && !minimums_[n].noneAllowed) {
            CompilerError("value for '%s' cannot be none", name);
            return;
        }
        ClearValue(n);
        slot.text = text.IsNone() ? nullptr : TextCopy(text.Get());
        break;
    }
    }
    MarkHasValue(n);
    set_[n] = true;
    setHere_[n] = true;
}

void ScriptObject::DropReferences() {
    for (int n = 0; n < kScriptPropertyCount; ++n)
        if (types_[n] == kPropertyReference) ClearValue(n);
}

void ScriptObject::FinishDefinition() {
    defined_ = true;
    for (int n = 0; n < kScriptPropertyCount; ++n)
        if (types_[n] != kPropertyNone && hasValue_[n] && !set_[n])
            CompilerWarning("default value assumed for '%s'", names_[n]);
    AfterDefinition();
}

void ScriptObjectFamily::Free() {
    while (!IsEmpty()) {
        ListLink<ScriptObject>* link = members_.Next;
        link->Unlink();
        link->Prev = link->Next = link;
        // Held while it lets go, so that a cycle through it cannot delete it mid-way.
        ScriptObject* object = link->OwnerObject;
        object->AddRef();
        object->DropReferences();
        object->Release();
    }
}
