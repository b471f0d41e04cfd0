// The sprite page's fields: the texts an edit reads, and the sprite they describe.
#pragma once

#include "sprites/sprite_list.h"

#include <string>

namespace vexa {

inline constexpr int kSpriteMinPosition = -kSpritePositionBias;
inline constexpr int kSpriteMaxPosition = 0xFFFF - kSpritePositionBias;

// The texts of the page's fields that an edit reads.
struct SpriteFieldTexts {
    std::wstring parameter;
    std::wstring x;
    std::wstring y;
    std::wstring type;
};

// The sprite the fields describe. Parameter and Type read as hexadecimal, X and Y as
// decimal (stage/field_text.h). Unparsable fields give 0, hexadecimal values are cut
// to 16 bits, and positions are held to what an entry can store (-256 .. 65279), so
// that the list in memory always equals the list in the ROM.
SpriteAllocData spriteFromFields(const SpriteFieldTexts& texts);

// Whether X and Y read as the sprite's position: false when a typed position was held
// to the storable range, and so must not stay shown as typed.
bool positionShownAsTyped(const SpriteFieldTexts& texts, const SpriteAllocData& sprite);

} // namespace vexa
