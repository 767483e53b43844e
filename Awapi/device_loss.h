#pragma once
// Taking the video resources down before the device may be lost (focus loss,
// mode switches, system dialogs) and back up afterwards. Main thread only.

// Releases texture surfaces (the records stay), the null texture's surface,
// every device vertex buffer and every state block; the device is then not
// ready. Nothing while it is not ready.
void AwReleaseVideoResources();
// Restores lost surfaces and textures and recreates what the release took,
// in the same order; nonzero when the device is ready (at once when it
// already was), 0 without a device.
int AwRestoreVideoResources();
// The restore without its checks: a new device (after a driver change) makes
// everything the release took down again and is then ready.
void AwRecreateVideoResources();
// Restores whichever of the flip chain's surfaces were lost, then the textures.
void AwRestoreLostSurfaces();
