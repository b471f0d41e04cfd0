#include "sprites/sprite_fields.h"

#include "stage/field_text.h"

#include <algorithm>
#include <cstdint>

namespace vexa {

namespace {

int clampPosition(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, kSpriteMinPosition, kSpriteMaxPosition));
}

} // namespace

SpriteAllocData spriteFromFields(const SpriteFieldTexts& texts) {
    SpriteAllocData sprite;
    sprite.parameter = static_cast<std::uint16_t>(parseHexField(texts.parameter).value_or(0));
    sprite.x = clampPosition(parseDecimalField(texts.x).value_or(0));
    sprite.y = clampPosition(parseDecimalField(texts.y).value_or(0));
    sprite.type = static_cast<std::uint16_t>(parseHexField(texts.type).value_or(0));
    return sprite;
}

bool positionShownAsTyped(const SpriteFieldTexts& texts, const SpriteAllocData& sprite) {
    return parseDecimalField(texts.x).value_or(0) == sprite.x && parseDecimalField(texts.y).value_or(0) == sprite.y;
}

} // namespace vexa
