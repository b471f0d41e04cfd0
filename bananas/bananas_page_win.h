// The bananas page of the inspector and the bananas layer of the map view: the open
// stage's banana list, its page with the banana set preview, and the bananas drawn,
// picked and dragged on the map.
#pragma once

#include "bananas/banana_edits.h"
#include "bananas/banana_set_window_win.h"
#include "stage/object_page_tools_win.h"
#include "stage/object_page_win.h"
#include "stage/stage_edit_host_win.h"

#include <string>

namespace vexa {

class LevelBananasManager : public ObjectPage, private ObjectEditPage {
public:
    LevelBananasManager(ProjectManager* project, LevelManager* view);
    ~LevelBananasManager() override;

    const wchar_t* templateName() const override { return L"BANANA_EDIT"; }
    const wchar_t* pageCaption() const override { return L"バナナ"; }

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

    // The page's four buttons, given the list's selection (-1 for none).
    void apply(int index);
    void up(int index) { edits.up(index); }
    void down(int index) { edits.down(index); }
    void sort(int index) { edits.sort(index); }

    const BananaEditor& editor() const { return edits; }
    const BananaSetWindow& setWindow() const { return setPreview; }
    bool shown() const { return shownOnMap; }
    bool dragging() const { return draggingBanana; }

protected:
    void onInitPage() override;
    bool onPageCommand(int id, int code) override;

private:
    std::uint32_t levelsLocation() const override;
    void clearPage() override;
    void rebuildLines() override;
    void setLine(int index) override;
    void selectLine(int index) override;
    void showItem(int index) override;
    void showNumber(int index) override;
    bool layerShown() const override { return shownOnMap; }
    int mapSelection() const override { return selectedIndex; }
    void setMapSelection(int index) override { selectedIndex = index; }

    std::wstring lineText(int index) const;
    BananaFields readFields() const;
    void showSet(unsigned setNumber);
    void fillSetCombo();
    void onListSelectionChange();
    void centreOnListSelection();
    void drawBanana(HDC dc, const RECT& mapRect, int index, std::uint8_t setNumber, int x, int y, bool selected) const;
    HWND list() const;

    LevelEditHost host;
    BananaEditor edits;
    BananaSetWindow setPreview;
    LayerDrawingObjects drawing;
    HFONT setWindowFont = nullptr;
    bool shownOnMap = true;
    bool draggingBanana = false;
    POINT grab{};         // pointer minus the banana's position when it was picked
    POINT dragPosition{}; // where the dragged banana is drawn
};

} // namespace vexa
