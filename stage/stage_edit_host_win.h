// The stage editor as the banana and camera edits see it: the open ROM image, the map
// view's stage, inspector and scrolling, and the undo buffer.
#pragma once

#include "stage/object_edits.h"

namespace vexa {

class LevelManager;
class ProjectManager;

class LevelEditHost final : public StageEditHost {
public:
    LevelEditHost(ProjectManager* project, LevelManager* view) : project(project), view(view) {}

    std::span<std::uint8_t> romImage() override;
    int openStageNumber() const override;
    std::uint16_t openMapType() const override;
    void openStage(int stageNumber) override;
    void showObjectPage(int page) override;
    bool isInView(int x, int y) const override;
    void centerOn(int x, int y) override;
    void invalidateMap() override;
    void pushUndo(std::unique_ptr<UndoMethod> record) override;

private:
    ProjectManager* project;
    LevelManager* view;
};

} // namespace vexa
