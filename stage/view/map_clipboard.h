// One map object on the clipboard: the editor's own byte form, which a paste reads
// back, and a line of text for other programs.
#pragma once

#include "bananas/banana_edits.h"
#include "cameras/camera_edits.h"
#include "sprites/sprite_list.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace vexa {

using MapObjectClip = std::variant<SpriteAllocData, BananaAllocData, CameraAllocData>;

// "VXO", a version byte, a kind byte and the length of the rest, then the kind's
// fields as little-endian values: a sprite's type, parameter (16 bits) and x, y (32 bits); a banana's set,
// flags (bit 0 front 1, bit 1 front 2) and x, y; a camera's left, top, right, bottom
// and flags (bits 0-5: right link, right link 2, down link, down link 2, P1, P2).
std::vector<std::uint8_t> encodeMapObject(const MapObjectClip& object);
// Nothing for bytes of another version, an unknown kind, a length other than the
// kind's, too few bytes or unknown flags. Bytes past the object are no part of it: a
// clipboard block may be longer than what was put there.
std::optional<MapObjectClip> decodeMapObject(std::span<const std::uint8_t> bytes);

// The most objects one copy holds: every sprite, banana and camera of a stage.
inline constexpr std::size_t kMostClipObjects = 4096;

// Several objects: "VXO", version byte 2, their count (16 bits), then each object as
// encodeMapObject gives it. One object alone is encodeMapObject's bytes.
std::vector<std::uint8_t> encodeMapObjects(const std::vector<MapObjectClip>& objects);
// Either form; nothing when the count is 0 or above kMostClipObjects, or any object is
// not one encodeMapObject would give. Bytes past the last object are no part of it.
std::optional<std::vector<MapObjectClip>> decodeMapObjects(std::span<const std::uint8_t> bytes);
// mapObjectText of each, one line each, the lines ended by "\r\n" but the last.
std::wstring mapObjectsText(const std::vector<MapObjectClip>& objects);

// A pasted banana or camera is typed into the selected one's page: a banana takes the
// copied set and flags at its own place, a camera the copied size and flags at its own
// top-left corner, its far edges held to 32 bits as a typed edge is. Nothing when the
// set is not one of the `setCount` sets, or when the object would stay as it is, once
// held to what `mapType` stores: such a paste is refused.
std::optional<BananaFields> bananaPasteFields(const BananaAllocData& target, const BananaAllocData& copied,
                                              int setCount, std::uint16_t mapType);
std::optional<CameraFields> cameraPasteFields(const CameraAllocData& target, const CameraAllocData& copied,
                                              std::uint16_t mapType);

// "sprite 0012 000A 100 200" (type, parameter, x, y), "banana 05 1 0 64 128" (set,
// front 1, front 2, x, y), "camera 0 0 256 224 1 0 0 0 1 0" (left, top, right,
// bottom, right link, right link 2, down link, down link 2, P1, P2).
std::wstring mapObjectText(const MapObjectClip& object);

} // namespace vexa
