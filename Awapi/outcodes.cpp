#include "Awapi/outcodes.h"

#include <utility>

#include "Awapi/camera.h"

namespace {

// Each "below" test is written as a negated >=, so NaN lies beyond it.
template <uint32_t Mask>
uint32_t Outcode(float x, float y, float z) {
    constexpr bool homogeneous = (Mask & 64) != 0;
    const float low = homogeneous ? -z : -1.0f;
    const float high = homogeneous ? z : 1.0f;
    uint32_t code = 0;
    if constexpr ((Mask & 1) != 0) code |= !(x >= low) ? 1u : 0u;
    if constexpr ((Mask & 2) != 0) code |= (x >= high) ? 2u : 0u;
    if constexpr ((Mask & 4) != 0) code |= !(y >= low) ? 4u : 0u;
    if constexpr ((Mask & 8) != 0) code |= (y >= high) ? 8u : 0u;
    if constexpr ((Mask & 48) != 0) {
        if (const AwCamera* camera = AwCurrentCamera) {
            if constexpr ((Mask & 16) != 0) code |= !(z >= camera->near) ? 16u : 0u;
            if constexpr ((Mask & 32) != 0) code |= (z >= camera->far) ? 32u : 0u;
        }
    }
    return code;
}

template <size_t... Masks>
constexpr std::array<AwClipOutcodeFunction, sizeof...(Masks)> MakeTable(std::index_sequence<Masks...>) {
    return {&Outcode<static_cast<uint32_t>(Masks)>...};
}

} // namespace

const std::array<AwClipOutcodeFunction, 128> AwClipOutcodeTable = MakeTable(std::make_index_sequence<128>());
