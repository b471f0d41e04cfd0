// The three kinds of objects placed in a stage. Their order is the order of the
// inspector's pages and of hit-testing on the map; the map draws them in reverse.
#pragma once

#include <array>
#include <cstddef>

namespace vexa {

enum class ObjectKind { Sprite, Banana, Camera };

inline constexpr std::array<ObjectKind, 3> kObjectKinds{ObjectKind::Sprite, ObjectKind::Banana, ObjectKind::Camera};

// The kind's place in kObjectKinds: its slot in per-kind arrays.
constexpr std::size_t indexOf(ObjectKind kind) {
    return static_cast<std::size_t>(kind);
}

// What an edit of several objects at once does to each of them: the verb of its name
// in the Edit menu.
enum class GroupEdit { Move, Change, Add, Delete };

// The inspector's pages, in the order of its tabs: a page for each object kind, in
// the kinds' order, then the terrain's.
enum class PageKind { Sprites, Bananas, Cameras, Terrain };

// The inspector page of an object kind.
constexpr PageKind pageOf(ObjectKind kind) {
    return static_cast<PageKind>(indexOf(kind));
}

// The page's place among the inspector's tabs.
constexpr int tabIndexOf(PageKind page) {
    return static_cast<int>(page);
}

} // namespace vexa
