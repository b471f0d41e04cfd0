#include "stage/view/map_clipboard.h"

#include "app/ini_file.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace vexa {

namespace {

constexpr std::array<std::uint8_t, 4> kMagic{'V', 'X', 'O', 1};
constexpr std::array<std::uint8_t, 4> kGroupMagic{'V', 'X', 'O', 2};
constexpr std::size_t kEntryHeader = kMagic.size() + 2;
constexpr std::size_t kSpriteBytes = 4 + 8;
constexpr std::size_t kBananaBytes = 2 + 8;
constexpr std::size_t kCameraBytes = 16 + 1;
constexpr std::uint8_t kBananaFlags = 0x03;
constexpr std::uint8_t kCameraFlags = 0x3F;

class Writer {
public:
    Writer(std::uint8_t kind, std::size_t length) : bytes(kMagic.begin(), kMagic.end()) {
        bytes.push_back(kind);
        bytes.push_back(static_cast<std::uint8_t>(length));
    }
    void put(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    void put32(std::int32_t value) { put(static_cast<std::uint32_t>(value), 4); }
    std::vector<std::uint8_t> bytes;
};

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes(bytes) {}
    std::uint32_t get(int count) {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i)
            value |= static_cast<std::uint32_t>(bytes[at++]) << (8 * i);
        return value;
    }
    std::int32_t get32() { return static_cast<std::int32_t>(get(4)); }

private:
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
};

std::uint8_t flagBits(std::initializer_list<bool> flags) {
    std::uint8_t bits = 0;
    int bit = 0;
    for (const bool flag : flags) {
        if (flag) bits = static_cast<std::uint8_t>(bits | 1 << bit);
        ++bit;
    }
    return bits;
}

bool bit(std::uint32_t bits, int index) {
    return ((bits >> index) & 1) != 0;
}

std::wstring number(std::int32_t value) {
    return L" " + std::to_wstring(value);
}

std::vector<std::uint8_t> encode(const SpriteAllocData& sprite) {
    Writer out(0, kSpriteBytes);
    out.put(sprite.type, 2);
    out.put(sprite.parameter, 2);
    out.put32(sprite.x);
    out.put32(sprite.y);
    return out.bytes;
}

std::vector<std::uint8_t> encode(const BananaAllocData& banana) {
    Writer out(1, kBananaBytes);
    out.put(banana.setNumber, 1);
    out.put(flagBits({banana.front1, banana.front2}), 1);
    out.put32(banana.x);
    out.put32(banana.y);
    return out.bytes;
}

std::vector<std::uint8_t> encode(const CameraAllocData& camera) {
    Writer out(2, kCameraBytes);
    for (const std::int32_t edge : {camera.left, camera.top, camera.right, camera.bottom})
        out.put32(edge);
    out.put(flagBits({camera.rightLink, camera.rightLink2, camera.downLink, camera.downLink2, camera.p1, camera.p2}),
            1);
    return out.bytes;
}

} // namespace

std::vector<std::uint8_t> encodeMapObject(const MapObjectClip& object) {
    return std::visit([](const auto& item) { return encode(item); }, object);
}

std::optional<MapObjectClip> decodeMapObject(std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kHeader = kEntryHeader;
    if (bytes.size() < kHeader || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) return {};
    const std::uint8_t kind = bytes[kMagic.size()];
    const std::size_t length = bytes[kMagic.size() + 1];
    if (bytes.size() < kHeader + length) return {};
    const std::span<const std::uint8_t> body = bytes.subspan(kHeader, length);
    Reader in(body);
    if (kind == 0 && body.size() == kSpriteBytes) {
        SpriteAllocData sprite;
        sprite.type = static_cast<std::uint16_t>(in.get(2));
        sprite.parameter = static_cast<std::uint16_t>(in.get(2));
        sprite.x = in.get32();
        sprite.y = in.get32();
        return sprite;
    }
    if (kind == 1 && body.size() == kBananaBytes) {
        BananaAllocData banana;
        banana.setNumber = static_cast<std::uint8_t>(in.get(1));
        const std::uint32_t flags = in.get(1);
        if ((flags & ~kBananaFlags) != 0) return {};
        banana.front1 = bit(flags, 0);
        banana.front2 = bit(flags, 1);
        banana.x = in.get32();
        banana.y = in.get32();
        return banana;
    }
    if (kind == 2 && body.size() == kCameraBytes) {
        CameraAllocData camera;
        camera.left = in.get32();
        camera.top = in.get32();
        camera.right = in.get32();
        camera.bottom = in.get32();
        const std::uint32_t flags = in.get(1);
        if ((flags & ~kCameraFlags) != 0) return {};
        camera.rightLink = bit(flags, 0);
        camera.rightLink2 = bit(flags, 1);
        camera.downLink = bit(flags, 2);
        camera.downLink2 = bit(flags, 3);
        camera.p1 = bit(flags, 4);
        camera.p2 = bit(flags, 5);
        return camera;
    }
    return {};
}

std::vector<std::uint8_t> encodeMapObjects(const std::vector<MapObjectClip>& objects) {
    if (objects.size() == 1) return encodeMapObject(objects.front());
    std::vector<std::uint8_t> bytes(kGroupMagic.begin(), kGroupMagic.end());
    const std::size_t count = std::min(objects.size(), kMostClipObjects);
    bytes.push_back(static_cast<std::uint8_t>(count));
    bytes.push_back(static_cast<std::uint8_t>(count >> 8));
    for (std::size_t i = 0; i < count; ++i) {
        const std::vector<std::uint8_t> entry = encodeMapObject(objects[i]);
        bytes.insert(bytes.end(), entry.begin(), entry.end());
    }
    return bytes;
}

std::optional<std::vector<MapObjectClip>> decodeMapObjects(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kGroupMagic.size() + 2 || !std::equal(kGroupMagic.begin(), kGroupMagic.end(), bytes.begin())) {
        const std::optional<MapObjectClip> one = decodeMapObject(bytes);
        if (!one) return {};
        return std::vector<MapObjectClip>{*one};
    }
    const std::size_t count = bytes[kGroupMagic.size()] | std::size_t{bytes[kGroupMagic.size() + 1]} << 8;
    if (count == 0 || count > kMostClipObjects) return {};
    std::vector<MapObjectClip> objects;
    std::size_t at = kGroupMagic.size() + 2;
    for (std::size_t i = 0; i < count; ++i) {
        if (bytes.size() < at + kEntryHeader) return {};
        const std::size_t length = kEntryHeader + bytes[at + kMagic.size() + 1];
        if (bytes.size() < at + length) return {};
        const std::optional<MapObjectClip> object = decodeMapObject(bytes.subspan(at, length));
        if (!object) return {};
        objects.push_back(*object);
        at += length;
    }
    return objects;
}

std::wstring mapObjectsText(const std::vector<MapObjectClip>& objects) {
    std::wstring text;
    for (const MapObjectClip& object : objects) {
        if (!text.empty()) text += L"\r\n";
        text += mapObjectText(object);
    }
    return text;
}

std::optional<BananaFields> bananaPasteFields(const BananaAllocData& target, const BananaAllocData& copied,
                                              int setCount, std::uint16_t mapType) {
    if (copied.setNumber >= setCount) return {};
    const BananaFields fields{target.x, target.y, copied.front1, copied.front2, copied.setNumber};
    BananaAllocData pasted = BananaEditTraits::fromFields(fields, target);
    BananaEditTraits::mask(pasted, mapType);
    if (pasted == target) return {};
    return fields;
}

std::optional<CameraFields> cameraPasteFields(const CameraAllocData& target, const CameraAllocData& copied,
                                              std::uint16_t mapType) {
    // A forged blob's edges may lie 2^32 apart: the size and the far edges are worked
    // out in 64 bits.
    auto farEdge = [](std::int32_t near, std::int32_t from, std::int32_t to) {
        const std::int64_t edge = static_cast<std::int64_t>(near) + to - from;
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(edge, INT32_MIN, INT32_MAX));
    };
    const CameraFields fields{target.left,
                              target.top,
                              farEdge(target.left, copied.left, copied.right),
                              farEdge(target.top, copied.top, copied.bottom),
                              copied.rightLink,
                              copied.rightLink2,
                              copied.downLink,
                              copied.downLink2,
                              copied.p1,
                              copied.p2};
    CameraAllocData pasted = CameraEditTraits::fromFields(fields, target);
    CameraEditTraits::mask(pasted, mapType);
    if (pasted == target) return {};
    return fields;
}

std::wstring mapObjectText(const MapObjectClip& object) {
    if (const auto* sprite = std::get_if<SpriteAllocData>(&object))
        return L"sprite " + hexText4(sprite->type) + L" " + hexText4(sprite->parameter) + number(sprite->x) +
               number(sprite->y);
    if (const auto* banana = std::get_if<BananaAllocData>(&object))
        return L"banana " + hexText2(banana->setNumber) + number(banana->front1) + number(banana->front2) +
               number(banana->x) + number(banana->y);
    const auto& camera = std::get<CameraAllocData>(object);
    std::wstring text = L"camera";
    for (const std::int32_t value : {camera.left, camera.top, camera.right, camera.bottom})
        text += number(value);
    for (const bool flag :
         {camera.rightLink, camera.rightLink2, camera.downLink, camera.downLink2, camera.p1, camera.p2})
        text += number(flag);
    return text;
}

} // namespace vexa
