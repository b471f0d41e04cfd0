// The sprite manager: the open stage's sprites, the inspector's sprite page that edits
// them and the map layer that draws them and lets them be picked and dragged. The
// edits themselves are the portable ones of sprite_edits.h; this class is their view.
#pragma once

#include "sprites/sprite_edits.h"
#include "stage/object_page_win.h"

#include <string>

namespace vexa {

class LevelSpritesManager : public ObjectPage, private SpriteEditor {
public:
    LevelSpritesManager(ProjectManager* project, LevelManager* view) : ObjectPage(project, view) {}
    ~LevelSpritesManager() override;

    const wchar_t* templateName() const override { return L"SPRITE_EDIT"; }
    const wchar_t* pageCaption() const override { return L"スプライト"; }

    bool initialize() override;
    void saveSettings() override;
    void loadStage(int stageNumber) override;
    void clearObjects() override;
    void enable(bool open) override;
    bool toggleShown() override;
    bool hoverTest(int x, int y) override;
    bool hitTest(int x, int y) override;
    void dragStep(int x, int y) override;
    void drop(bool moved) override;
    void cancelDrag() override;
    void drawFirstPass(HDC target, const RECT& mapRect) override;
    void drawSecondPass(HDC target, const RECT& mapRect) override;

    const LevelSpritesData& sprites() const { return data; }
    bool isShown() const { return shown; }
    bool isDragging() const { return dragging; }

protected:
    void onInitPage() override;
    bool onPageCommand(int id, int code) override;

private:
    std::span<std::uint8_t> romImage() override;
    LevelSpritesData& spriteData() override { return data; }
    int& mapSelection() override { return selectedIndex; }
    bool spritesShown() const override { return shown; }
    int openStage() const override;
    void switchToStage(int stage) override;
    void clearOtherSelections() override;
    void showSpritePage() override;
    MapViewport visibleMap() const override;
    void centerMapOn(int x, int y) override;
    void redrawMap() override;
    SpriteFieldTexts fieldTexts() const override;
    void showFields(const SpriteAllocData& sprite, int index) override;
    void setNumberField(int index) override;
    void remakeLines(int from) override;
    void replaceLine(int index) override;
    void selectLine(int index) override;
    void showError(const std::wstring& text) override;
    void pushRecord(std::unique_ptr<UndoMethod> record) override;

    HWND control(int id) const { return GetDlgItem(hwnd, id); }
    std::wstring fieldText(int id) const;
    void setFieldText(int id, const std::wstring& text) { SetDlgItemTextW(hwnd, id, text.c_str()); }
    int listSelection() const;
    void addLines(int from);
    void setListRedraw(bool on);
    void updateMenuCheck();
    void onTypeChanged();
    void chooseType();
    void onSelectionChanged();
    void onDoubleClick();
    bool runEdit(int id);
    void drawSprite(HDC target, const SpriteAllocData& sprite, int index, POINT at, bool framed) const;
    void deleteDrawingObjects();

    HPEN framePen = nullptr;
    HPEN selectionPen = nullptr;
    HBRUSH bodyBrush = nullptr;
    HBRUSH markerBrush = nullptr;
    HFONT labelFont = nullptr;
    bool shown = true;
    bool dragging = false;
    int grabX = 0;
    int grabY = 0;
    int dragX = 0;
    int dragY = 0;
    LevelSpritesData data;
};

} // namespace vexa
