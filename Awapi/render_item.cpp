#include "Awapi/render_item.h"

#include "Awapi/aw3d/render_material.h"
#include "Awapi/light_set.h"
#include "Awapi/object.h"

namespace {
void Hold(RefCounted* r) {
    if (r) r->AddRef();
}
void Drop(RefCounted* r) {
    if (r) r->Release();
}
} // namespace

AwRenderItem::AwRenderItem(AwObject* object, int32_t time, AwDrawFlags flags, RenderMaterial* material,
                           AwCamera* camera, AwLightSet* lightSet, AwPickContext* pickContext, int32_t shapeSlot,
                           float depthKey, AwRenderHook* hook)
    : Object(object), Time(time), Flags(flags), Material(material), Camera(camera), LightSet(lightSet),
      PickContext(pickContext), ShapeSlot(shapeSlot), DepthKey(depthKey), Hook(hook) {
    Hold(Object);
    Hold(LightSet);
    Hold(PickContext);
    Hold(Hook);
}

AwRenderItem::~AwRenderItem() {
    Drop(Object);
    Drop(LightSet);
    Drop(PickContext);
    Drop(Hook);
}

AwRenderItem* AwRenderItem::MakeSecondPass() const {
    const AwDrawFlags flags = (Flags & ~(kDrawAnimationObject | kDrawPickMode | kDrawPickBox)) | kDrawNoTextures;
    return new AwRenderItem(Object, Time, flags, Material->SecondPass, Camera, LightSet, nullptr, ShapeSlot, DepthKey,
                            Hook);
}
