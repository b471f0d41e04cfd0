// Banana and camera entries pack their positions by the map type of the stage's
// map section. Both kinds know the same map types, and group them the same way.
#pragma once

#include <cstdint>

namespace vexa {

enum class ObjectLayout {
    None, // no packing: entries are listed but carry no position and are never written
    Type0,
    Type1,
    Type4,
    Type679, // map types 6, 7 and 9 share one packing
    Type8,
};

constexpr ObjectLayout objectLayoutOf(std::uint16_t mapType) {
    switch (mapType) {
    case 0: return ObjectLayout::Type0;
    case 1: return ObjectLayout::Type1;
    case 4: return ObjectLayout::Type4;
    case 6:
    case 7:
    case 9: return ObjectLayout::Type679;
    case 8: return ObjectLayout::Type8;
    default: return ObjectLayout::None;
    }
}

} // namespace vexa
