#include "Tv/app/camera_settings.h"

Real CameraMaxZoom = 80.0f;
Real FocusMinHeight = 0.0f;
Real FocusMaxHeight = 100.0f;
Vector3 CameraPlanePoint{0, 0, 0};
Vector3 CameraPlaneNormal{0, 0, 0};
