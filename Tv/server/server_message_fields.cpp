#include "Tv/server/server_message_fields.h"

#include <cmath>

bool IsFiniteValue(float v) { return std::isfinite(v); }

bool IsFiniteVector(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool IsFiniteQuaternion(const Quaternion& q) {
    return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

Vector3 ReadPosition(ByteReader& in) {
    const float x = in.F32(), y = in.F32(), z = in.F32();
    return {x, y, z};
}

Quaternion ReadOrientation(ByteReader& in) {
    Quaternion q;
    q.x = in.F32();
    q.y = in.F32();
    q.z = in.F32();
    q.w = in.F32();
    return q;
}

ByteReader RecordReader(const uint8_t* record, size_t size) {
    ByteReader in(record, size);
    in.Skip(4);
    return in;
}

bool ReadFieldText(ByteReader& in, size_t fieldSize, std::string& out) {
    ByteReader field = in.Sub(fieldSize);
    return field.ok() && field.CString(out, fieldSize - 1);
}
