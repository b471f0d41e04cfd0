// The undo record of an edit of one stage kept as the byte runs it changed, with the
// old and the new bytes: a terrain edit (the block, its room tag, the map info records,
// free space) or a map read from Tiled (those and the object lists).
#pragma once

#include "app/byte_range_record.h"
#include "app/undo_buffer.h"
#include "stage/stage_edit_host.h"
#include "ui/texts.h"

#include <vector>

namespace vexa {

// What the open stage reads again after a replay: its terrain, or everything.
enum class StageReload { Terrain, Whole };

class StageBytesRecord final : public UndoMethod {
public:
    // `name` is the id of the edit's name in the Edit menu.
    StageBytesRecord(StageEditHost& host, int stage, std::vector<ByteRange> ranges, unsigned name, StageReload reload)
        : host(host), stageNumber(stage), ranges(std::move(ranges)), name(name), reload(reload) {}

    // The old bytes go back in the reverse order of the edit's writes, the new ones in
    // its order, so runs that overlap come out as they were. The stage is shown after.
    void undo() override;
    void redo() override;
    const wchar_t* undoName() const override { return text(name); }
    const wchar_t* redoName() const override { return text(name); }
    int stage() const override { return stageNumber; }

private:
    // The edited stage is opened when another one is, which reads it anew; the open
    // stage reads its terrain, or all of it, again.
    void showStage();

    StageEditHost& host;
    int stageNumber;
    std::vector<ByteRange> ranges;
    unsigned name;
    StageReload reload;
};

} // namespace vexa
