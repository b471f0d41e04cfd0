// What the stage targets share: the 4 MiB image they place their patches into, a
// bank's snapshot to tell what a write changed, and the stage's terrain loaded with
// the loader's promises checked.
#pragma once

#include "fuzz/fuzz_check.h"
#include "fuzz/stage_load_input.h"

#include "app/rom_image.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace vexa::fuzz {

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
    // Cleans what the last run touched and places a new input's patches; false when
    // the input is shorter than its head.
    bool placeInput(std::span<const std::uint8_t> input, StageLoadHead& head) {
        clean();
        return decodeStageLoadInput(input, head,
                                    [this](std::size_t at, std::span<const std::uint8_t> bytes) { place(at, bytes); });
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

inline TilemapData loadTerrain(std::span<const std::uint8_t> image, const StageHeader& header,
                               const StageLoadHead& head) {
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
inline BankSnapshot& snapshot() {
    static BankSnapshot shot;
    return shot;
}

} // namespace vexa::fuzz
