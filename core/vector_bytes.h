#pragma once
// A Vector3 in a file or message record: three little-endian floats, x, y, z.

#include "core/bytes.h"
#include "core/maths.h"

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
