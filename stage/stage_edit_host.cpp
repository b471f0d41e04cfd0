#include "stage/stage_edit_host.h"

namespace vexa {

void bringStageBack(StageEditHost& host, int stage, PageKind page) {
    if (host.openStageNumber() != stage) host.openStage(stage);
    host.showPage(page);
}

} // namespace vexa
