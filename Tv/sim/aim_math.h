#pragma once
// The aim of an armed character, shared by the server's bots and turrets and
// the client's bots, so both sides point guns alike: elevations of straight
// and ballistic shots, headings about the vertical axis, and the aim
// channels' blends. The bodies live in bot_aim.cpp.

#include <cstdint>

#include "core/maths.h"
#include "core/matrix.h"

// The gun's aim channels: sequences whose blend (of 65,536) sets the elevation and the yaw.
constexpr int32_t kSequenceAimPitch = 5;
constexpr int32_t kSequenceAimYaw = 12;
constexpr int32_t kBlendFull = 65536;
constexpr int32_t kBlendCentre = 32768;
constexpr uint32_t kBlendFlags = 4;
// An aim channel's blend for an angle: the centre plus `scale` x angle / 4,096 of the range, kept in range.
int32_t AimChannelBlend(Real angle, Real scale);

// The elevation (angle units) of a shot at `speed` along `aim` (y down).
// Straight: the aim vector's angle against the horizontal. Ballistic: the
// high arc when `steep`, else the low one. False, with `elevation`
// untouched, when no path of that speed reaches the point.
bool TvAimElevation(const Vector3& aim, Real speed, bool ballistic, bool steep, Real& elevation);
// The turn about the vertical axis by a heading (angle units, table values).
Quaternion HeadingRotation(Real heading);
// Where an orientation points the +z axis.
Vector3 ForwardAxis(const Quaternion& q);
// A heading difference brought into -2,048..2,048 (2,048 stays, 2,049 becomes -2,047).
Real WrapHeadingDelta(Real d);
