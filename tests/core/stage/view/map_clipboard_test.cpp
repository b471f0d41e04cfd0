#include "stage/view/map_clipboard.h"

#include <gtest/gtest.h>

#include <utility>

namespace vexa {
namespace {

using Bytes = std::vector<std::uint8_t>;

CameraAllocData linkedCamera() {
    return {-8, 16, 256, 70000, true, false, false, true, true, false};
}

TEST(MapClipboard, EachKindComesBackAsItWent) {
    BananaAllocData banana{-64, 128, false, true, 0xFE};
    const MapObjectClip objects[] = {SpriteAllocData{-256, 65279, 0xFFFF, 0x8001}, banana, linkedCamera()};
    for (const MapObjectClip& object : objects) {
        const Bytes bytes = encodeMapObject(object);
        EXPECT_EQ(decodeMapObject(bytes), object) << bytes.size();
        // A clipboard block rounded up to a larger size still reads the same.
        Bytes padded = bytes;
        padded.resize(bytes.size() + 11, 0xCC);
        EXPECT_EQ(decodeMapObject(padded), object);
    }
}

TEST(MapClipboard, SpriteBytesAreLittleEndian) {
    EXPECT_EQ(encodeMapObject(SpriteAllocData{100, -2, 0x0012, 0x000A}),
              (Bytes{'V', 'X', 'O', 1, 0, 12, 0x12, 0, 0x0A, 0, 100, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(MapClipboard, BytesOfAnotherKindVersionOrLengthAreRefused) {
    const Bytes good = encodeMapObject(linkedCamera());
    auto changed = [&](std::size_t at, std::uint8_t value) {
        Bytes bytes = good;
        bytes[at] = value;
        return bytes;
    };
    const Bytes refused[] = {
        {},
        {'V', 'X', 'O', 1, 2},
        changed(0, 'W'),
        changed(3, 2),                  // another version
        changed(4, 3),                  // an unknown kind
        changed(4, 0),                  // a sprite's kind over a camera's bytes
        changed(5, 16),                 // a length the kind does not have
        changed(good.size() - 1, 0x40), // a flag no camera has
        Bytes(good.begin(), good.end() - 1),
    };
    for (const Bytes& bytes : refused)
        EXPECT_EQ(decodeMapObject(bytes), std::nullopt) << bytes.size();
    Bytes banana = encodeMapObject(BananaAllocData{});
    banana[7] = 0x04;
    EXPECT_EQ(decodeMapObject(banana), std::nullopt) << "a banana has two flags";
}

TEST(MapClipboard, APasteIsTypedAtTheTargetsPlaceAndRefusedWhereItWouldChangeNothing) {
    const BananaAllocData banana{64, 128, false, false, 3};
    auto pastedBanana = [&](const BananaAllocData& copied, int setCount) -> std::optional<BananaAllocData> {
        const auto fields = bananaPasteFields(banana, copied, setCount, 0);
        return fields ? std::optional(BananaEditTraits::fromFields(*fields, banana)) : std::nullopt;
    };
    EXPECT_EQ(pastedBanana({0, 0, true, false, 9}, 10), (BananaAllocData{64, 128, true, false, 9}));
    EXPECT_EQ(pastedBanana({0, 0, true, false, 10}, 10), std::nullopt) << "past the last set";
    EXPECT_EQ(pastedBanana({900, 900, false, false, 3}, 10), std::nullopt) << "only the place differs";

    const CameraAllocData camera{256, 64, 512, 288, false, false, false, false, false, false};
    auto pastedCamera = [&](const CameraAllocData& copied) -> std::optional<CameraAllocData> {
        const auto fields = cameraPasteFields(camera, copied, 0);
        return fields ? std::optional(CameraEditTraits::fromFields(*fields, camera)) : std::nullopt;
    };
    CameraAllocData forged{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, true, false, false, false, false, false};
    EXPECT_EQ(pastedCamera(forged),
              (CameraAllocData{256, 64, INT32_MAX, INT32_MAX, true, false, false, false, false, false}))
        << "edges 2^32 apart do not wrap";
    std::swap(forged.left, forged.right);
    EXPECT_EQ(pastedCamera(forged)->right, INT32_MIN);
    EXPECT_EQ(pastedCamera({0, 0, 256, 224, false, false, false, false, false, false}), std::nullopt)
        << "the same size and flags";
}

TEST(MapClipboard, SeveralObjectsComeBackInTheirOrderAndBrokenGroupsAreRefused) {
    const std::vector<MapObjectClip> group{SpriteAllocData{100, 200, 0x12, 0x0A}, linkedCamera(),
                                           BananaAllocData{64, 128, true, false, 5}, SpriteAllocData{-4, 7, 1, 2}};
    const Bytes bytes = encodeMapObjects(group);
    ASSERT_EQ(Bytes(bytes.begin(), bytes.begin() + 6), (Bytes{'V', 'X', 'O', 2, 4, 0}));
    EXPECT_EQ(decodeMapObjects(bytes), group);
    Bytes padded = bytes;
    padded.resize(bytes.size() + 9, 0);
    EXPECT_EQ(decodeMapObjects(padded), group);
    // One object alone keeps the form every earlier copy has, and either form reads.
    EXPECT_EQ(encodeMapObjects({linkedCamera()}), encodeMapObject(linkedCamera()));
    EXPECT_EQ(decodeMapObjects(encodeMapObject(linkedCamera())), std::vector<MapObjectClip>{linkedCamera()});

    auto changed = [&](std::size_t at, std::uint8_t value) {
        Bytes broken = bytes;
        broken[at] = value;
        return broken;
    };
    const Bytes refused[] = {
        Bytes(bytes.begin(), bytes.end() - 1), // the last object cut short
        changed(4, 5),                         // one object more than there is
        changed(4, 0),                         // none
        changed(5, 0x20),                      // more than any stage holds
        changed(9, 2),                         // an entry of the group's own version
        changed(10, 7),                        // an entry of an unknown kind
        Bytes{'V', 'X', 'O', 2, 1},
    };
    for (const Bytes& broken : refused)
        EXPECT_EQ(decodeMapObjects(broken), std::nullopt) << broken.size();
    EXPECT_EQ(mapObjectsText({SpriteAllocData{1, 2, 3, 4}, BananaAllocData{8, 16, false, false, 1}}),
              L"sprite 0003 0004 1 2\r\nbanana 01 0 0 8 16");
}

TEST(MapClipboard, TextForms) {
    EXPECT_EQ(mapObjectText(SpriteAllocData{100, 200, 0x0012, 0x000A}), L"sprite 0012 000A 100 200");
    EXPECT_EQ(mapObjectText(BananaAllocData{64, 128, true, false, 5}), L"banana 05 1 0 64 128");
    EXPECT_EQ(mapObjectText(CameraAllocData{0, 0, 256, 224, true, false, false, false, true, false}),
              L"camera 0 0 256 224 1 0 0 0 1 0");
}

} // namespace
} // namespace vexa
