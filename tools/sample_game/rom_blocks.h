// The ROM layout one entry, record or list at a time. rom_tables.cpp lays the whole
// sample out with these; the Wine tests build images of exactly the shape they need
// with them, each piece at the place the test gives.
#pragma once

#include "stage/stage_table.h"
#include "stage/tilemap_data.h"
#include "tools/sample_game/sample_plan.h"
#include "tools/sample_game/stage_objects.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vexa::sample {

// ---- Stages, in bank 0x3D

// Stage `stage`'s word of the stage table: where its header lies.
void writeStageTableEntry(std::span<std::uint8_t> image, int stage, unsigned headerOffset);
// The header as readStageHeader reads it back; returns its length (8 for stage type 2,
// else 6). The bytes in front of the data address that the editor does not read stay.
int writeStageHeader(std::span<std::uint8_t> image, unsigned headerOffset, const StageHeader& header);
// The terrain number in a stage's data block.
void writeStageTerrain(std::span<std::uint8_t> image, std::uint16_t stageDataAddress, std::uint8_t terrain);

// ---- Terrains

struct CompressedTerrain {
    std::vector<std::uint8_t> block; // as compressMapData made it; empty for a terrain without data
    std::size_t decodedSize = 0;
};

// Tile words in the terrain's storage order, compressed; the block's head byte, which
// the decoder skips, carries the terrain number.
CompressedTerrain compressTerrain(std::span<const std::uint16_t> cells, std::uint8_t number);

struct TerrainPlacement {
    std::uint8_t number = 0;
    MapTableSettings table;              // where the terrain table lies, as [Maps] gives it
    unsigned recordOffset = 0;           // of the map info record, in the map info bank
    unsigned dataBank = 0;               // image bank of the data
    unsigned dataOffset = 0;             // of the data's head; 0 stores a terrain without data
    int width = 0;                       // of the whole terrain, in cells
    int height = 0;                      // in cells
    std::vector<SectionRecord> sections; // in cells
};

// The terrain table entry, the map info record with its section records and, for a
// terrain with data, the head the loader skips followed by the block. Returns the
// offset just behind the last section record.
unsigned writeTerrain(std::span<std::uint8_t> image, const TerrainPlacement& terrain, const CompressedTerrain& data);

// ---- Sprites, in bank 0x3E

// Stage `stage`'s word of the sprite pointer table.
void writeSpritePointer(std::span<std::uint8_t> image, int stage, unsigned start);
// The list with its terminator at `start`, and the stage pointed at it. Returns the
// list's size in bytes.
int writeStageSpriteList(std::span<std::uint8_t> image, int stage, unsigned start, const SpriteList& sprites);

// ---- Bananas and cameras

// A pointer table at `levels` (bank << 16 | offset) for lists of the given lengths,
// back to back behind the table (a list may run over the bank's end and wrap), and
// one closing word; the slots are left as they are. Returns each list's first slot
// offset within the bank.
std::vector<std::uint16_t> writeObjectTable(std::span<std::uint8_t> image, std::uint32_t levels,
                                            std::span<const int> counts, unsigned entrySize);

// A pointer table at `levels` (bank << 16 | offset) for every stage of `stages`, each
// list written back to back behind the table with its stage's map type, and one
// closing word. Returns each list's first slot offset within the bank.
std::vector<std::uint16_t> writeBananaTable(std::span<std::uint8_t> image, std::uint32_t levels,
                                            std::span<const StageObjects> stages);
std::vector<std::uint16_t> writeCameraTable(std::span<std::uint8_t> image, std::uint32_t levels,
                                            std::span<const StageObjects> stages);

// Set `number` of the set table at `sets`: its word, and its data `relative` bytes from
// the table. Returns the data's size in bytes.
unsigned writeBananaSet(std::span<std::uint8_t> image, std::uint32_t sets, int number, unsigned relative,
                        const BananaSetShape& shape);

} // namespace vexa::sample
