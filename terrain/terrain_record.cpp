#include "terrain/terrain_record.h"

namespace vexa {

void TerrainEditRecord::undo() {
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it)
        it->putOld(host.romImage());
    showStage();
}

void TerrainEditRecord::redo() {
    for (const ByteRange& range : ranges)
        range.putNew(host.romImage());
    showStage();
}

void TerrainEditRecord::showStage() {
    if (host.openStageNumber() != stage)
        host.openStage(stage);
    else
        host.refreshTerrain();
}

} // namespace vexa
