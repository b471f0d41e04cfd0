#include "stage/view/stage_edit_host_win.h"

#include "app/message_win.h"
#include "app/settings_win.h"
#include "stage/view/level_manager_win.h"
#include "stage/view/stage_owner_win.h"

namespace vexa {

std::span<std::uint8_t> LevelEditHost::romImage() {
    return owner->romDocument().image;
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

void LevelEditHost::showPage(PageKind page) {
    view->showInspectorPage(page);
    view->clearSelectionsExcept(page);
}

void LevelEditHost::clearOtherSelections(PageKind page) {
    view->clearSelectionsExcept(page);
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

void LevelEditHost::refreshTerrain() {
    view->refreshTerrain();
}

void LevelEditHost::setMenuCheck(int command, bool checked) {
    CheckMenuItem(GetMenu(mainWindow()), static_cast<UINT>(command),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void LevelEditHost::pushUndo(std::unique_ptr<UndoMethod> record) {
    owner->pushUndo(std::move(record));
}

void LevelEditHost::showError(const std::wstring& text) {
    vexa::showError(mainWindow(), text.c_str());
}

HWND LevelEditHost::mainWindow() const {
    return owner->mainWindow();
}

void LevelEditHost::editAsOneStep(ObjectKind kind, GroupEdit what, int count, const std::vector<int>& marksAfterUndo,
                                  const std::vector<int>& marksAfterRedo, const std::function<void()>& edits) {
    KindCounts counts{};
    counts[indexOf(kind)] = count;
    KindMarks afterUndo;
    KindMarks afterRedo;
    afterUndo[indexOf(kind)] = marksAfterUndo;
    afterRedo[indexOf(kind)] = marksAfterRedo;
    view->editGroup(what, counts, afterUndo, afterRedo, edits);
}

std::wstring LevelEditHost::programFolder() const {
    return appGlobals().paths.programDirectory;
}

} // namespace vexa
