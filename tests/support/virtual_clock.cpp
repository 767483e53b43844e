#include "tests/support/virtual_clock.h"

VirtualClock::VirtualClock(uint64_t stepNs) : step_(stepNs) { plat::SetTimeSource(this); }

VirtualClock::~VirtualClock() { plat::SetTimeSource(nullptr); }

uint64_t VirtualClock::NowNanoseconds() { return now_.fetch_add(step_) + step_; }

void VirtualClock::Advance(uint64_t ns) { now_.fetch_add(ns); }

void VirtualClock::Set(uint64_t ns) { now_.store(ns); }
