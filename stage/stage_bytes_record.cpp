#include "stage/stage_bytes_record.h"

namespace vexa {

void StageBytesRecord::undo() {
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it)
        it->putOld(host.romImage());
    showStage();
}

void StageBytesRecord::redo() {
    for (const ByteRange& range : ranges)
        range.putNew(host.romImage());
    showStage();
}

void StageBytesRecord::showStage() {
    if (host.openStageNumber() != stageNumber || reload == StageReload::Whole)
        host.openStage(stageNumber);
    else
        host.refreshTerrain();
}

} // namespace vexa
