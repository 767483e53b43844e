#pragma once
// Vectors and rotations in file and message records: little-endian floats,
// x, y, z (and w).

#include "core/bytes.h"
#include "core/maths.h"
#include "core/matrix.h"

inline void WriteVector3(ByteWriter& out, const Vector3& v) {
    out.F32(v.x);
    out.F32(v.y);
    out.F32(v.z);
}

// The reader's failure, if any, is checked through ok().
inline Vector3 ReadVector3(ByteReader& in) {
    const float x = in.F32();
    const float y = in.F32();
    const float z = in.F32();
    return Vector3(x, y, z);
}

// A rotation quaternion: four floats x, y, z, w.
inline void ReadQuaternion(ByteReader& in, Quaternion& q) {
    q.x = in.F32();
    q.y = in.F32();
    q.z = in.F32();
    q.w = in.F32();
}

inline void WriteQuaternion(ByteWriter& out, const Quaternion& q) {
    out.F32(q.x);
    out.F32(q.y);
    out.F32(q.z);
    out.F32(q.w);
}
