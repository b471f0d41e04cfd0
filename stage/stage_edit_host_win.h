// The stage editor as every object kind and the tile map see it: the open ROM image,
// the settings files, the map view's stage, inspector and scrolling, the main
// window's menu, messages and the undo buffer. LevelManager owns the one host.
#pragma once

#include "stage/stage_edit_host.h"

#include <windows.h>

namespace vexa {

class LevelManager;
class ProjectManager;

class LevelEditHost final : public StageEditHost {
public:
    LevelEditHost(ProjectManager* project, LevelManager* view) : project(project), view(view) {}

    std::span<std::uint8_t> romImage() override;
    RomInfo romInfo() const override;
    int openStageNumber() const override;
    std::uint16_t openMapType() const override;
    void openStage(int stageNumber) override;
    void showObjectPage(ObjectKind kind) override;
    void clearOtherSelections(ObjectKind kind) override;
    bool isInView(int x, int y) const override;
    void centerOn(int x, int y) override;
    void invalidateMap() override;
    void setMenuCheck(int command, bool checked) override;
    void pushUndo(std::unique_ptr<UndoMethod> record) override;
    void showError(const std::wstring& text) override;

    // The owner of the dialogs the pages open.
    HWND mainWindow() const;

private:
    ProjectManager* project;
    LevelManager* view;
};

} // namespace vexa
