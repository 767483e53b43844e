#include "platform/virtual_clock.h"

namespace plat {

VirtualClock::VirtualClock(uint64_t stepNs) : step_(stepNs) { SetTimeSource(this); }

VirtualClock::~VirtualClock() { SetTimeSource(nullptr); }

uint64_t VirtualClock::NowNanoseconds() { return now_.fetch_add(step_) + step_; }

void VirtualClock::Advance(uint64_t ns) { now_.fetch_add(ns); }

void VirtualClock::Set(uint64_t ns) { now_.store(ns); }

} // namespace plat
