#pragma once
// IFF identifiers: the four bytes of a chunk identifier or form type as one
// number, first byte highest; 0 means "any".

#include <cstdint>

using IffId = uint32_t;

constexpr IffId MakeIffId(const char (&name)[5]) {
    return static_cast<IffId>(static_cast<uint8_t>(name[0])) << 24 | static_cast<IffId>(static_cast<uint8_t>(name[1])) << 16 |
           static_cast<IffId>(static_cast<uint8_t>(name[2])) << 8 | static_cast<IffId>(static_cast<uint8_t>(name[3]));
}

constexpr IffId kIffAny = 0;
constexpr IffId kIffForm = MakeIffId("FORM");
constexpr IffId kIffList = MakeIffId("LIST");
constexpr IffId kIffCat = MakeIffId("CAT ");
constexpr IffId kIffProp = MakeIffId("PROP");
