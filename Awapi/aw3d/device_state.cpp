#include "Awapi/aw3d/device_state.h"

#include "core/clock.h"

AwDeviceState AwDevice;
AwDeviceCapsRecord AwDeviceCaps;
AwRenderTimings RenderTimings;

uint32_t LastFrameTicks = 1;
uint32_t PreviousPresentTime = 0;
uint32_t FrameCounter = 1;

AwTimedSection::AwTimedSection(uint32_t& counter) : counter_(counter), start_(CurrentTicks32()) {}

AwTimedSection::~AwTimedSection() { counter_ += CurrentTicks32() - start_; }
