#pragma once
// The reciprocal w of a pre-transformed vertex at a screen depth. Depth 0 is
// a legal viewport minimum, so the depth is held above a small floor rather
// than giving an infinite rhw.

constexpr float kAwMinScreenDepth = 1.0f / 65536.0f;

inline float AwRhwForDepth(float z) { return 1.0f / (z > kAwMinScreenDepth ? z : kAwMinScreenDepth); }
