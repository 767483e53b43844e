#pragma once
// Field reads shared by the handlers of server-to-client records: positions,
// orientations and times that must be finite, and texts that must end within
// their field. Every read goes through the record's ByteReader, so a failed
// read shows in its ok().

#include <cstddef>
#include <string>

#include "core/bytes.h"
#include "core/maths.h"
#include "core/matrix.h"

bool IsFiniteValue(float v);
bool IsFiniteVector(const Vector3& v);
bool IsFiniteQuaternion(const Quaternion& q);

Vector3 ReadPosition(ByteReader& in);
Quaternion ReadOrientation(ByteReader& in);

// A reader over the record, placed after its type.
ByteReader RecordReader(const uint8_t* record, size_t size);

// A NUL-terminated text in a field of `fieldSize` bytes at the reader's
// position; the whole field is skipped. False when the field does not fit or
// holds no terminator.
bool ReadFieldText(ByteReader& in, size_t fieldSize, std::string& out);
