// The sprite page of the inspector and the sprite layer of the map view: the open
// stage's sprites through the portable editor, the page's fields, and the sprites
// drawn, picked and dragged on the map.
#pragma once

#include "resources/text_ids.h"
#include "sprites/sprite_edits.h"
#include "stage/object_page_win.h"
#include "ui/texts.h"

#include <string>
#include <vector>

namespace vexa {

// A sprite type's name from sprites.ini, as the page's list lines give it.
std::wstring spriteTypeLabel(const RomInfo& info, unsigned type);

class LevelSpritesManager : public ObjectPage {
public:
    explicit LevelSpritesManager(StageWindowHost& host);

    const wchar_t* templateName() const override { return L"SPRITE_EDIT"; }
    const wchar_t* pageCaption() const override { return text(IDS_PAGE_SPRITES); }

    void loadStage(int stageNumber) override;
    void clearObjects() override;
    bool hoverTest(int x, int y) override;
    bool hitTest(int x, int y) override;
    void dragStep(int x, int y) override;
    void drop(bool moved) override;
    void cancelDrag() override;
    void drawFirstPass(HDC target, const RECT& mapRect) override;
    void drawSecondPass(HDC target, const RECT& mapRect) override;
    int pick(int x, int y) const override;
    std::vector<int> meeting(const RECT& box) const override;
    GroupLimits groupLimits() const override;
    void moveMarked(GroupOffset offset) override;

    const LevelSpritesData& sprites() const { return edits.data(); }
    bool isDragging() const { return dragging; }

    // The map view's keys and the Edit menu, each through the page's own edit: Delete
    // of the sprite marked on the map, Add of a pasted sprite at the list selection,
    // and the marked sprite moved by (dx, dy) as a drag and drop would (false when
    // none is marked).
    void deleteSelected() { edits.remove(selectedIndex); }
    void addSprite(const SpriteAllocData& sprite);
    // The sprites at `indices` deleted as one step; with the list unreadable, one
    // message and nothing deleted.
    void deleteSprites(const std::vector<int>& indices);
    // The sprites added in their order at the list selection (at the end without
    // one), as one step, and marked.
    void addSprites(const std::vector<SpriteAllocData>& added);
    bool nudge(int dx, int dy);
    // The first of the page's fields a user types in.
    HWND firstField() const;

protected:
    void onInitPage() override;
    bool onPageCommand(int id, int code) override;

private:
    int itemCount() const override { return edits.count(); }
    std::vector<std::wstring> lineTexts(const RomInfo& info, int from, int to) const override;
    bool anchorOf(int index, POINT& at) const override;
    void clearPage() override;
    void showItem(int index) override;
    void showNumber(int index) override;
    void showSeveral(const std::vector<int>& indices) override;
    std::span<const int> severalFields() const override;
    void applySeveral(const std::vector<int>& indices) override;

    std::wstring fieldText(int id) const { return vexa::fieldText(hwnd, id); }
    void setFieldText(int id, const std::wstring& text) { vexa::setFieldText(hwnd, id, text); }
    SpriteFieldTexts fieldTexts() const;
    void onTypeChanged();
    void chooseType();
    bool runEdit(int id);
    // Within a LayerPass.
    void drawSprite(HDC target, const SpriteAllocData& sprite, int index, POINT at, bool framed) const;

    SpriteListEditor edits;
    bool dragging = false;
    int grabX = 0;
    int grabY = 0;
    int dragX = 0;
    int dragY = 0;
};

} // namespace vexa
