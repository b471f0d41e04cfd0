// The banana edits (apply, up, down, sort) with their undo records, the banana page's
// texts, and the map geometry of a banana: its box, picking and drag snapping.
#pragma once

#include "bananas/banana_list.h"
#include "resources/text_ids.h"
#include "stage/group_move.h"
#include "stage/object_edits.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// The banana page's fields as typed. No set while the set combo has no selection.
struct BananaFields {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool front1 = false;
    bool front2 = false;
    std::optional<std::uint8_t> setNumber;
};

struct BananaEditTraits {
    using Item = BananaAllocData;
    using Data = LevelBananasData;
    using Fields = BananaFields;

    static constexpr ObjectKind kKind = ObjectKind::Banana;
    static constexpr unsigned kApplyName = IDS_BANANA_CHANGE;
    static constexpr unsigned kUpName = IDS_BANANA_UP;
    static constexpr unsigned kDownName = IDS_BANANA_DOWN;
    static constexpr unsigned kSortName = IDS_BANANA_SORT;

    static std::uint32_t levels(const RomInfo& info) { return info.bananaLevels(); }
    static BananaList& items(LevelBananasData& data) { return data.bananas; }
    static const BananaList& items(const LevelBananasData& data) { return data.bananas; }
    static void read(std::span<const std::uint8_t> image, std::uint32_t levels, int stage, std::uint16_t mapType,
                     LevelBananasData& data) {
        readStageBananas(image, levels, stage, mapType, data);
    }
    static StageSlots slots(std::span<const std::uint8_t> image, std::uint32_t levels, int stage) {
        return bananaSlots(image, levels, stage);
    }
    static bool writeSlot(std::span<std::uint8_t> image, std::uint32_t levels, int stage, int index,
                          const BananaAllocData& banana, std::uint16_t mapType) {
        return writeBananaSlot(image, levels, stage, index, banana, mapType);
    }
    static int writeList(std::span<std::uint8_t> image, std::uint32_t levels, int stage, const BananaList& bananas,
                         std::uint16_t mapType) {
        return writeBananaList(image, levels, stage, bananas, mapType);
    }
    static BananaAllocData fromFields(const BananaFields& fields, const BananaAllocData& current);
    static void mask(BananaAllocData& banana, std::uint16_t mapType) { maskBananaPosition(banana, mapType); }
    static std::int64_t sortKey(const BananaAllocData& banana) { return positionSortKey(banana.x, banana.y); }
    static int anchorX(const BananaAllocData& banana) { return banana.x; }
    static int anchorY(const BananaAllocData& banana) { return banana.y; }
};

using BananaEditor = ObjectListEditor<BananaEditTraits>;
using LevelBananaApply_UndoMethod = ObjectApplyRecord<BananaEditTraits>;
using LevelBananaUpDown_UndoMethod = ObjectUpDownRecord<BananaEditTraits>;
using LevelBananaUp_UndoMethod = ObjectUpRecord<BananaEditTraits>;
using LevelBananaDown_UndoMethod = ObjectDownRecord<BananaEditTraits>;
using LevelBananaSort_UndoMethod = ObjectSortRecord<BananaEditTraits>;

extern template class ObjectListEditor<BananaEditTraits>;

// "%02X: %s": a set as the combo box and the list lines name it.
std::wstring bananaSetLabel(std::uint8_t setNumber, std::wstring_view name);
// "#%d: %02X: %s".
std::wstring bananaListLine(int index, std::uint8_t setNumber, std::wstring_view name);
// The set's kept cells, top row first: "●" a banana, "┼" none, each row ended by "\r\n".
std::wstring bananaSetText(const BananaSet& set);

bool bananaBoxContains(const BananaAllocData& banana, int x, int y);
// The last banana whose box holds the point (drawn on top of the earlier ones), or -1.
int pickBanana(const BananaList& bananas, int x, int y);
// The bananas whose boxes meet `box`.
std::vector<int> bananasMeeting(const BananaList& bananas, const MapBox& box);
// The offsets, by the 8-pixel unit, that every one of `bananas` can be moved by and
// still be stored where it is shown on a map of `mapType`.
GroupLimits bananaGroupLimits(const std::vector<BananaAllocData>& bananas, std::uint16_t mapType);
// The page's fields as they show the banana.
BananaFields bananaFieldsOf(const BananaAllocData& banana);

} // namespace vexa
