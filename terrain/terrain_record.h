// The undo record of one terrain edit: every byte run it changed (the block, its room
// tag, the map info records, free space), with the old and the new bytes.
#pragma once

#include "app/byte_range_record.h"
#include "app/undo_buffer.h"
#include "stage/stage_edit_host.h"

#include <vector>

namespace vexa {

inline constexpr const wchar_t* kTerrainEditName = L"地形の変更";

class TerrainEditRecord final : public UndoMethod {
public:
    TerrainEditRecord(StageEditHost& host, int stage, std::vector<ByteRange> ranges)
        : host(host), stage(stage), ranges(std::move(ranges)) {}

    // The old bytes go back in the reverse order of the edit's writes, the new ones in
    // its order, so runs that overlap come out as they were. The stage is shown after.
    void undo() override;
    void redo() override;
    const wchar_t* undoName() const override { return kTerrainEditName; }
    const wchar_t* redoName() const override { return kTerrainEditName; }

private:
    // The edited stage is opened when another one is, which reads its terrain anew;
    // the open stage reads its terrain again.
    void showStage();

    StageEditHost& host;
    int stage;
    std::vector<ByteRange> ranges;
};

} // namespace vexa
