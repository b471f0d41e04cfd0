// The whole stage-load path on a hostile image and hostile rominfo.ini values:
// stage header, terrain lookup, decompression and section cut, the sprite list with
// its capacity, the banana and camera lists in every map type's layout, banana sets,
// and every write path the edits use, terrain writes into a block's room or free
// space included. Besides the sanitizers watching every access,
// each write is checked to change no byte outside the entries it names.
#include "fuzz/fuzz_check.h"
#include "fuzz/stage_load_input.h"

#include "app/rom_image.h"
#include "bananas/banana_list.h"
#include "cameras/camera_list.h"
#include "sprites/sprite_list.h"
#include "stage/object_list_table.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"
#include "terrain/terrain_blocks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using namespace vexa;

// One map type of each layout, and one without.
constexpr std::uint16_t kLayoutMapTypes[] = {0, 1, 4, 6, 8, 3};
// Entries decoded in each of those layouts; the stage's own map type reads them all.
constexpr int kSlotsPerLayout = 64;
// The banana page offers at most this many sets (the set number is one byte).
constexpr int kSetChoices = 256;

// The image stays allocated between runs; only the banks a run may have touched are
// zeroed again, since clearing 4 MiB every run would cost more than the run itself.
class Image {
public:
    Image() : bytes_(kRomSize) {}
    std::vector<std::uint8_t>& bytes() { return bytes_; }
    void markDirty(unsigned bank) {
        if (isImageBank(bank)) dirty_ |= std::uint64_t{1} << bank;
    }
    void place(std::size_t at, std::span<const std::uint8_t> patch) {
        if (patch.empty()) return;
        markDirty(static_cast<unsigned>(at / kBankSize));
        markDirty(static_cast<unsigned>((at + patch.size() - 1) / kBankSize));
        std::memcpy(bytes_.data() + at, patch.data(), patch.size());
    }
    void clean() {
        for (unsigned bank = 0; bank < kBankCount; ++bank)
            if (dirty_ >> bank & 1) std::memset(bytes_.data() + bank * kBankSize, 0, kBankSize);
        dirty_ = 0;
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::uint64_t dirty_ = 0;
};

// A copy of one bank, to find what a write changed. A bank outside the image has no
// bytes and nothing can change there.
class BankSnapshot {
public:
    void take(const std::vector<std::uint8_t>& image, unsigned bank) {
        bank_ = bank;
        if (isImageBank(bank)) std::memcpy(bytes_.data(), image.data() + bank * kBankSize, kBankSize);
    }
    bool sameAs(const std::vector<std::uint8_t>& image) const {
        return !isImageBank(bank_) || std::memcmp(bytes_.data(), image.data() + bank_ * kBankSize, kBankSize) == 0;
    }
    // Every changed byte must be one that `allowed(offset, was, now)` accepts. Blocks are
    // compared whole first, since nearly all of a bank stays as it was.
    template <typename Allowed> void checkChanges(const std::vector<std::uint8_t>& image, Allowed allowed) const {
        if (!isImageBank(bank_)) return;
        const std::uint8_t* now = image.data() + bank_ * kBankSize;
        constexpr unsigned kBlock = 256;
        for (unsigned block = 0; block < kBankSize; block += kBlock) {
            if (std::memcmp(bytes_.data() + block, now + block, kBlock) == 0) continue;
            for (unsigned o = block; o < block + kBlock; ++o)
                if (now[o] != bytes_[o]) FUZZ_CHECK(allowed(o, bytes_[o], now[o]));
        }
    }

private:
    unsigned bank_ = kBankCount;
    std::array<std::uint8_t, kBankSize> bytes_{};
};

// Which slot of `slots` holds bank offset o, or -1.
int slotHolding(const StageSlots& slots, unsigned o) {
    const unsigned from = (o - slots.start) & 0xFFFFu;
    const unsigned index = from / slots.entrySize;
    return index < static_cast<unsigned>(slots.count) ? static_cast<int>(index) : -1;
}

TilemapData loadTerrain(std::span<const std::uint8_t> image, const StageHeader& header,
                        const fuzz::StageLoadHead& head) {
    TilemapData tilemap;
    const TilemapLoadOutcome outcome = loadTilemapData(image, header, {head.mapInfoBank, head.mapABInfo}, tilemap);
    FUZZ_CHECK(tilemap.widthTiles >= 0 && tilemap.heightTiles >= 0);
    FUZZ_CHECK(static_cast<std::size_t>(tilemap.widthTiles) * static_cast<std::size_t>(tilemap.heightTiles) <=
               kTilemapCellCount);
    if (outcome == TilemapLoadOutcome::Loaded) {
        FUZZ_CHECK(tilemap.loaded);
        FUZZ_CHECK(tilemap.rawTiles.size() == kTilemapCellCount && tilemap.chipCells.size() == kTilemapCellCount);
        const auto cells = static_cast<std::size_t>(tilemap.widthTiles) * tilemap.heightTiles;
        for (std::size_t i = 0; i < cells; ++i)
            FUZZ_CHECK(tilemap.chipCells[i] == chipCellOf(tilemap.rawTiles[i]));
    } else {
        FUZZ_CHECK(!tilemap.loaded);
    }
    return tilemap;
}

// Snapshots are 64 KiB each; one is kept for the run rather than allocated per write.
BankSnapshot& snapshot() {
    static BankSnapshot shot;
    return shot;
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

// Terrain writes on the first stages: a refusal changes nothing, a write changes only
// bytes of the runs it reports, all in the banks of the block, the map info records and
// the free range, and putting the runs' old bytes back gives those banks back. Blocks
// that decode to more than kTerrainContentLimit bytes are left alone: the encoder's
// time on them would be most of the run.
constexpr int kTerrainStages = 8;
constexpr std::size_t kTerrainContentLimit = 8192;

void exerciseTerrain(std::vector<std::uint8_t>& image, const fuzz::StageLoadHead& head, unsigned freeBank) {
    const std::uint32_t edit = head.edit;
    TerrainTables tables;
    tables.maps = {head.mapInfoBank, head.mapABInfo};
    tables.stageCount = kTerrainStages;
    const std::size_t first = imageOffset(freeBank, (edit >> 8) & 0xF000u);
    tables.freeSpace.push_back({first, std::min(first + 0x40 + (edit & 0x3FFFu), imageOffset(freeBank, 0xFFFF))});
    const int stage = static_cast<int>(static_cast<unsigned>(head.stageNumber) % kTerrainStages);
    const TerrainSurvey survey = surveyTerrain(image, tables);
    const int index = survey.blockOfStage(stage);
    if (index < 0 || survey.blocks[static_cast<std::size_t>(index)].decodedSize > kTerrainContentLimit) return;
    const TerrainBlock& block = survey.blocks[static_cast<std::size_t>(index)];

    static std::array<BankSnapshot, 3> before;
    const unsigned banks[] = {static_cast<unsigned>(block.start / kBankSize), survey.infoBank & 0x3Fu, freeBank};
    for (std::size_t i = 0; i < before.size(); ++i)
        before[i].take(image, banks[i]);
    const TerrainCell cells[] = {
        {static_cast<int>(edit & 0x3F), static_cast<int>(edit >> 6 & 0x3F), static_cast<std::uint16_t>(edit >> 12)},
        {static_cast<int>(edit >> 16 & 0x7F) - 2, static_cast<int>(edit >> 23 & 0x1F),
         static_cast<std::uint16_t>(edit)},
    };
    const TerrainWrite write = writeStageCells(image, tables, stage, std::span(cells, 1 + (edit >> 28 & 1)));
    const auto inRanges = [&](unsigned bank, unsigned o) {
        const std::size_t at = imageOffset(bank, o);
        return std::any_of(write.ranges.begin(), write.ranges.end(), [&](const ByteRange& range) {
            return at >= range.offset && at < range.offset + range.newBytes.size();
        });
    };
    for (std::size_t i = 0; i < before.size(); ++i)
        before[i].checkChanges(image, [&](unsigned o, std::uint8_t, std::uint8_t) { return inRanges(banks[i], o); });
    for (const ByteRange& range : write.ranges) {
        const auto bank = static_cast<unsigned>(range.offset / kBankSize);
        FUZZ_CHECK(std::find(std::begin(banks), std::end(banks), bank) != std::end(banks));
        FUZZ_CHECK((range.offset + range.newBytes.size() - 1) / kBankSize == bank);
    }
    if (!write.ok()) {
        FUZZ_CHECK(write.ranges.empty());
        return;
    }
    // Written once, the same cells change nothing more.
    FUZZ_CHECK(writeStageCells(image, tables, stage, std::span(cells, 1 + (edit >> 28 & 1))).ranges.empty());
    for (auto it = write.ranges.rbegin(); it != write.ranges.rend(); ++it)
        FUZZ_CHECK(it->putOld(image));
    for (const BankSnapshot& bank : before)
        FUZZ_CHECK(bank.sameAs(image));
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Image image;
    image.clean();
    fuzz::StageLoadHead head;
    if (!fuzz::decodeStageLoadInput(
            std::span(data, size), head,
            [](std::size_t at, std::span<const std::uint8_t> bytes) { image.place(at, bytes); }))
        return 0;
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
    const TilemapData tilemap = loadTerrain(bytes, header, head);
    exerciseBananas(bytes, head, tilemap.mapType);
    exerciseCameras(bytes, head, tilemap.mapType);
    const unsigned freeBank = head.edit >> 24 & 0x3Fu;
    image.markDirty(freeBank);
    image.markDirty(static_cast<unsigned>(head.mapInfoBank) & 0x3Fu);
    exerciseTerrain(bytes, head, freeBank);
    return 0;
}
