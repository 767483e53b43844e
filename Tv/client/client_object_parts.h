#pragma once
// What the client object's own files share: registration in
// ClientObjectHash, the emitters made from the model's parts, and the sounds
// the objects play.

#include <cstdint>

#include "Awapi/render_item.h"
#include "Tv/client/client_objects.h"

class AwObject;

// The pick context queued with the object's model: a pick hit makes the
// object current. The object forgets it (Object null) before it goes.
class ClientObjectPick final : public AwPickContext {
public:
    explicit ClientObjectPick(ClientObject* object) : Object(object) {}
    void OnPick() override {
        if (Object) Object->MakeCurrent();
    }
    ClientObject* Object;
};

// Into ClientObjectHash (the constructor's last step) and out of it (Remove, the destructor).
void RegisterClientObject(ClientObject* object);
void UnregisterClientObject(ClientObject* object);

// The world position of the model's part at that animation time; false
// without a model or without the part.
bool ModelPartPosition(const ClientObject& object, const char* part, int32_t time, Vector3& out);

// The model's dormant "lightdum" corona and the exhaust emitters at its
// exhaust dummies (construction, for a model that is not frag-controlled).
void AddModelEmitters(ClientObject& object);

// The sample at the object's model ("t"), or without options when it has none.
void PlaySoundAtObject(int32_t sample, const ClientObject& object);
