#include "Tv/defs/propertyvalue.h"

#include "Tv/defs/scriptobject.h"

UseValue::UseValue(ScriptObject* r, int32_t t, List<Binding*>& taken)
    : PropertyValue(kProperty, PropertyValueKind::Use), role(r), team(t) {
    role->AddRef();
    for (Binding* binding : taken) bindings.PushBack(binding);
    taken.Clear();
}

UseValue::~UseValue() {
    for (Binding* binding : bindings) delete binding;
    role->Release();
}
