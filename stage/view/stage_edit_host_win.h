// The stage editor as every object kind and the tile map see it: the open ROM image,
// the settings files, the map view's stage, inspector and scrolling, the main
// window's menu, messages and the undo buffer. LevelManager owns the one host.
#pragma once

#include "stage/stage_edit_host_win.h"

#include <windows.h>

namespace vexa {

class LevelManager;
class StageOwner;

class LevelEditHost final : public StageWindowHost {
public:
    LevelEditHost(StageOwner* owner, LevelManager* view) : owner(owner), view(view) {}

    std::span<std::uint8_t> romImage() override;
    RomInfo romInfo() const override;
    int openStageNumber() const override;
    std::uint16_t openMapType() const override;
    void openStage(int stageNumber) override;
    void showPage(PageKind page) override;
    void clearOtherSelections(PageKind page) override;
    bool isInView(int x, int y) const override;
    void centerOn(int x, int y) override;
    void invalidateMap() override;
    void refreshTerrain() override;
    void setMenuCheck(int command, bool checked) override;
    void pushUndo(std::unique_ptr<UndoMethod> record) override;
    void showError(const std::wstring& text) override;

    HWND mainWindow() const override;
    std::wstring programFolder() const override;
    void editAsOneStep(ObjectKind kind, GroupEdit what, int count, const std::vector<int>& marksAfterUndo,
                       const std::vector<int>& marksAfterRedo, const std::function<void()>& edits) override;

private:
    StageOwner* owner;
    LevelManager* view;
};

} // namespace vexa
