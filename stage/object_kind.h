// The three kinds of objects placed in a stage. Their order is the order of the
// inspector's pages and of hit-testing on the map; the map draws them in reverse.
#pragma once

#include <array>
#include <cstddef>

namespace vexa {

enum class ObjectKind { Sprite, Banana, Camera };

inline constexpr std::array<ObjectKind, 3> kObjectKinds{ObjectKind::Sprite, ObjectKind::Banana, ObjectKind::Camera};

// The kind's place in kObjectKinds: its inspector page and its slot in per-kind arrays.
constexpr std::size_t indexOf(ObjectKind kind) {
    return static_cast<std::size_t>(kind);
}

} // namespace vexa
