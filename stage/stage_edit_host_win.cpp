#include "stage/stage_edit_host_win.h"

#include "app/project_manager_win.h"

namespace vexa {

std::span<std::uint8_t> LevelEditHost::romImage() {
    return project->document.image;
}

int LevelEditHost::openStageNumber() const {
    return view->stageNumber;
}

std::uint16_t LevelEditHost::openMapType() const {
    return view->mapType;
}

void LevelEditHost::openStage(int stageNumber) {
    view->stageNumber = stageNumber;
    view->loadCurrentStage();
}

void LevelEditHost::showObjectPage(int page) {
    view->showInspectorPage(page);
    view->clearSelectionsExcept(page + 1);
}

bool LevelEditHost::isInView(int x, int y) const {
    auto within = [](int at, const ScrollBar& bar) {
        return at >= bar.state.position && at < bar.state.position + bar.state.page;
    };
    return within(x, view->hScroll) && within(y, view->vScroll);
}

void LevelEditHost::centerOn(int x, int y) {
    view->centerOn(x, y);
}

void LevelEditHost::invalidateMap() {
    view->invalidateView();
}

void LevelEditHost::pushUndo(std::unique_ptr<UndoMethod> record) {
    project->undoBuffer.push(std::move(record));
}

} // namespace vexa
