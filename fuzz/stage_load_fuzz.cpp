// The whole stage-load path on a hostile image and hostile rominfo.ini values:
// stage header, terrain lookup, decompression and section cut, the sprite list with
// its capacity, the banana and camera lists in every map type's layout, banana sets,
// and every write path the object edits use (terrain_blocks_fuzz writes the terrain).
// Besides the sanitizers watching every access, each write is checked to change no
// byte outside the entries it names.
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_image.h"
#include "fuzz/stage_load_input.h"

#include "app/rom_image.h"
#include "bananas/banana_list.h"
#include "cameras/camera_list.h"
#include "sprites/sprite_list.h"
#include "stage/object_list_table.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using namespace vexa;
using fuzz::BankSnapshot;
using fuzz::snapshot;

// One map type of each layout, and one without.
constexpr std::uint16_t kLayoutMapTypes[] = {0, 1, 4, 6, 8, 3};
// Entries decoded in each of those layouts; the stage's own map type reads them all.
constexpr int kSlotsPerLayout = 64;
// The banana page offers at most this many sets (the set number is one byte).
constexpr int kSetChoices = 256;

// Which slot of `slots` holds bank offset o, or -1.
int slotHolding(const StageSlots& slots, unsigned o) {
    const unsigned from = (o - slots.start) & 0xFFFFu;
    const unsigned index = from / slots.entrySize;
    return index < static_cast<unsigned>(slots.count) ? static_cast<int>(index) : -1;
}

SpriteAllocData fuzzSprite(std::uint32_t edit) {
    SpriteAllocData sprite;
    sprite.parameter = static_cast<std::uint16_t>(edit | 1u); // zero would end the list
    sprite.x = static_cast<std::int32_t>(edit >> 20) - kSpritePositionBias;
    sprite.y = static_cast<std::int32_t>(edit >> 12 & 0x3FF) - kSpritePositionBias;
    sprite.type = static_cast<std::uint16_t>(edit >> 16 & 0xFE);
    return sprite;
}

void exerciseSprites(std::vector<std::uint8_t>& image, const fuzz::StageLoadHead& head) {
    const SpriteBankSettings settings{head.spriteLevelCount, static_cast<unsigned>(head.spriteAvailableEnd)};
    LevelSpritesData data;
    int selected = 5;
    const bool read = loadStageSprites(image, head.stageNumber, settings, data, selected);
    FUZZ_CHECK(selected == -1);
    FUZZ_CHECK(data.sprites.size() <= static_cast<std::size_t>(kSpriteListScanLimit));
    if (!read) return;
    FUZZ_CHECK(data.capacity > -0x10000 && data.capacity < 0x10000);
    const unsigned start = spriteListStart(image, head.stageNumber);
    const int n = static_cast<int>(data.sprites.size());
    const SpriteAllocData sprite = fuzzSprite(head.edit);

    // The list with one more sprite, as an add writes it: nothing at or beyond
    // start + capacity changes, and a list that fits reads back as written.
    SpriteList grown = data.sprites;
    grown.insert(std::next(grown.begin(), static_cast<long>(head.edit % static_cast<unsigned>(n + 1))), sprite);
    BankSnapshot& before = snapshot();
    before.take(image, kSpriteBank);
    const int written = writeSpriteList(image, grown, start, data.capacity);
    before.checkChanges(image, [&](unsigned o, std::uint8_t, std::uint8_t) {
        return static_cast<int>((o - start) & 0xFFFFu) < data.capacity;
    });
    if (written >= 0) {
        FUZZ_CHECK(written == static_cast<int>(kSpriteEntrySize * grown.size() + 2));
        SpriteList again;
        FUZZ_CHECK(readSpriteList(image, start, again) == written && again == grown);
    }

    // Swapping two entries twice leaves the bank as it was, as long as the first swap
    // did not move the list's own pointer. (The list may lie over the pointer table,
    // so the write above may already have moved it.)
    const unsigned current = spriteListStart(image, head.stageNumber);
    const int a = static_cast<int>(head.edit % static_cast<unsigned>(n + 3));
    const int b = static_cast<int>((head.edit >> 8) % static_cast<unsigned>(n + 3));
    before.take(image, kSpriteBank);
    swapSpritesInRom(image, head.stageNumber, a, b);
    if (spriteListStart(image, head.stageNumber) == current) {
        swapSpritesInRom(image, head.stageNumber, a, b);
        FUZZ_CHECK(before.sameAs(image));
    }

    // Insert then remove at the same index gives the list back, where neither block
    // move ran over the bank's end (those moves do not wrap like the entries do) nor
    // moved the list's pointer.
    const unsigned at = spriteListStart(image, head.stageNumber);
    SpriteList listBefore;
    if (readSpriteList(image, at, listBefore) < 0) return;
    const auto stored = static_cast<unsigned>(listBefore.size());
    const auto index = (head.edit >> 16) % (stored + 2);
    const bool inList = index <= stored;
    const unsigned blockEnd = at + kSpriteEntrySize * (stored + 1) + 2;
    if (!insertSpriteInRom(image, head.stageNumber, static_cast<int>(index), sprite)) return;
    if (spriteListStart(image, head.stageNumber) != at) return;
    const bool removed = removeSpriteInRom(image, head.stageNumber, static_cast<int>(index));
    if (inList && removed && blockEnd <= kBankSize && spriteListStart(image, head.stageNumber) == at) {
        SpriteList listAfter;
        FUZZ_CHECK(readSpriteList(image, at, listAfter) >= 0 && listAfter == listBefore);
    }
}

void exerciseBananas(std::vector<std::uint8_t>& image, const fuzz::StageLoadHead& head, std::uint16_t mapType) {
    const StageSlots slots = bananaSlots(image, head.bananaLevels, head.stageNumber);
    LevelBananasData data;
    for (std::uint16_t type : kLayoutMapTypes)
        for (int i = 0; i < std::min(slots.count, kSlotsPerLayout); ++i)
            (void)readBananaEntry(image, slots.bank, slots.slotOffset(i), type);
    readStageBananas(image, head.bananaLevels, head.stageNumber, mapType, data);
    FUZZ_CHECK(static_cast<int>(data.bananas.size()) == slots.count);

    // The sets the page would show: the stage's first few and one chosen by number.
    const int setCount = std::clamp(head.bananaSetCount, 0, kSetChoices);
    std::vector<unsigned> sets;
    for (auto it = data.bananas.begin(); it != data.bananas.end() && sets.size() < 3; ++it)
        sets.push_back(it->setNumber);
    if (setCount > 0) sets.push_back((head.edit >> 24) % static_cast<unsigned>(setCount));
    for (unsigned set : sets) {
        const BananaSet shape = decodeBananaSet(image, head.bananaSets, set);
        FUZZ_CHECK(shape.keptColumns() <= kBananaSetMaxColumns && shape.keptRows() <= kBananaSetMaxRows);
    }

    // Writing the list back only clears the low four bits of each entry; one slot write
    // changes that slot alone.
    BankSnapshot& before = snapshot();
    before.take(image, slots.bank);
    writeBananaList(image, head.bananaLevels, head.stageNumber, data.bananas, mapType);
    before.checkChanges(image, [&](unsigned o, std::uint8_t was, std::uint8_t now) {
        const int slot = slotHolding(slots, o);
        return slot >= 0 && o == slots.slotOffset(slot) && (was & 0xF0) == (now & 0xF0) && (now & 0x0F) == 0;
    });
    // The list write may have changed the low bits of table words that lie under the
    // list, so the slot write finds its slots anew.
    const StageSlots now = bananaSlots(image, head.bananaLevels, head.stageNumber);
    before.take(image, now.bank);
    const int index = static_cast<int>((head.edit >> 4) % static_cast<unsigned>(now.count + 2)) - 1;
    BananaAllocData banana;
    banana.x = static_cast<std::int32_t>(head.edit);
    banana.y = static_cast<std::int32_t>(head.edit >> 13);
    banana.setNumber = static_cast<std::uint8_t>(head.edit >> 24);
    maskBananaPosition(banana, mapType);
    const bool written = writeBananaSlot(image, head.bananaLevels, head.stageNumber, index, banana, mapType);
    FUZZ_CHECK(!written || now.holdsSlot(index));
    before.checkChanges(
        image, [&](unsigned o, std::uint8_t, std::uint8_t) { return written && slotHolding(now, o) == index; });
}

void exerciseCameras(std::vector<std::uint8_t>& image, const fuzz::StageLoadHead& head, std::uint16_t mapType) {
    const StageSlots slots = cameraSlots(image, head.cameraLevels, head.stageNumber);
    LevelCamerasData data;
    for (std::uint16_t type : kLayoutMapTypes)
        for (int i = 0; i < std::min(slots.count, kSlotsPerLayout); ++i)
            (void)readCameraEntry(image, slots.bank, slots.slotOffset(i), type);
    readStageCameras(image, head.cameraLevels, head.stageNumber, mapType, data);
    FUZZ_CHECK(static_cast<int>(data.cameras.size()) == slots.count);

    // Every layout uses all 40 bits of an entry, so writing the list back changes nothing.
    BankSnapshot& before = snapshot();
    before.take(image, slots.bank);
    writeCameraList(image, head.cameraLevels, head.stageNumber, data.cameras, mapType);
    FUZZ_CHECK(before.sameAs(image));

    const int index = static_cast<int>((head.edit >> 4) % static_cast<unsigned>(slots.count + 2)) - 1;
    CameraAllocData camera;
    camera.left = static_cast<std::int32_t>(head.edit & 0xFFFF);
    camera.top = static_cast<std::int32_t>(head.edit >> 16);
    camera.right = camera.left + static_cast<std::int32_t>(head.edit >> 8 & 0xFFF);
    camera.bottom = camera.top + static_cast<std::int32_t>(head.edit >> 20);
    camera.p1 = head.edit & 1;
    camera.rightLink2 = head.edit & 2;
    maskCameraRectangle(camera, mapType);
    const bool written = writeCameraSlot(image, head.cameraLevels, head.stageNumber, index, camera, mapType);
    FUZZ_CHECK(!written || slots.holdsSlot(index));
    before.checkChanges(
        image, [&](unsigned o, std::uint8_t, std::uint8_t) { return written && slotHolding(slots, o) == index; });
    // The slot reads back as written, unless the write moved the list (slots may lie
    // over their own pointer table).
    const StageSlots now = cameraSlots(image, head.cameraLevels, head.stageNumber);
    if (written && now.start == slots.start && now.count == slots.count) {
        LevelCamerasData again;
        readStageCameras(image, head.cameraLevels, head.stageNumber, mapType, again);
        FUZZ_CHECK(*std::next(again.cameras.begin(), index) == camera);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::Image image;
    fuzz::StageLoadHead head;
    if (!image.placeInput(std::span(data, size), head)) return 0;
    // The banks the write paths may change: the sprite bank and the one behind it
    // (insert and remove move contiguous bytes), and the two list tables' banks.
    image.markDirty(kSpriteBank);
    image.markDirty(kSpriteBank + 1);
    image.markDirty(romLocationOf(head.bananaLevels).bank);
    image.markDirty(romLocationOf(head.cameraLevels).bank);

    std::vector<std::uint8_t>& bytes = image.bytes();
    // The order of a stage load: header, sprites, terrain, then the lists that are
    // read by the terrain's map type.
    const StageHeader header = readStageHeaderOfStage(bytes, head.stageNumber);
    exerciseSprites(bytes, head);
    const TilemapData tilemap = fuzz::loadTerrain(bytes, header, head);
    exerciseBananas(bytes, head, tilemap.mapType);
    exerciseCameras(bytes, head, tilemap.mapType);
    return 0;
}
