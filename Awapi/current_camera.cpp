#include "Awapi/current_camera.h"

#include "Awapi/camera.h"

AwCameraSwitch AwCameraSwitchHook = &AwApplyCurrentCamera;

AwCamera* AwSetCurrentCamera(AwCamera* camera) { return AwCameraSwitchHook(camera); }

AwCamera* AwApplyCurrentCamera(AwCamera* camera) {
    AwCamera* previous = AwCurrentCamera;
    if (camera == previous) return previous;
    AwCurrentCamera = camera;
    if (camera) {
        camera->ApplyViewport();
        camera->ApplyTransforms();
    }
    return previous;
}
