#include "stage/stage_edit_host_win.h"

#include "app/message_win.h"
#include "app/project_manager_win.h"
#include "app/settings_win.h"

namespace vexa {

std::span<std::uint8_t> LevelEditHost::romImage() {
    return project->document.image;
}

RomInfo LevelEditHost::romInfo() const {
    return vexa::romInfo();
}

int LevelEditHost::openStageNumber() const {
    return view->stageNumber;
}

std::uint16_t LevelEditHost::openMapType() const {
    return view->mapType;
}

void LevelEditHost::openStage(int stageNumber) {
    view->openStage(stageNumber);
}

void LevelEditHost::showObjectPage(ObjectKind kind) {
    view->showInspectorPage(kind);
    view->clearSelectionsExcept(kind);
}

void LevelEditHost::clearOtherSelections(ObjectKind kind) {
    view->clearSelectionsExcept(kind);
}

bool LevelEditHost::isInView(int x, int y) const {
    return view->isInView(x, y);
}

void LevelEditHost::centerOn(int x, int y) {
    view->centerOn(x, y);
}

void LevelEditHost::invalidateMap() {
    view->invalidateView();
}

void LevelEditHost::setMenuCheck(int command, bool checked) {
    CheckMenuItem(GetMenu(mainWindow()), static_cast<UINT>(command),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void LevelEditHost::pushUndo(std::unique_ptr<UndoMethod> record) {
    project->undoBuffer.push(std::move(record));
}

void LevelEditHost::showError(const std::wstring& text) {
    vexa::showError(mainWindow(), text.c_str());
}

HWND LevelEditHost::mainWindow() const {
    return project->hwnd;
}

} // namespace vexa
