// The bananas page of the inspector and the bananas layer of the map view: the open
// stage's banana list, its page with the banana set preview, and the bananas drawn,
// picked and dragged on the map.
#pragma once

#include "bananas/banana_edits.h"
#include "bananas/banana_set_window_win.h"
#include "resources/text_ids.h"
#include "stage/object_page_win.h"
#include "ui/texts.h"

#include <string>
#include <vector>

namespace vexa {

// A set's name as the list lines show it.
std::wstring bananaSetNameText(const RomInfo& info, unsigned setNumber);

class LevelBananasManager : public ObjectPage {
public:
    explicit LevelBananasManager(StageWindowHost& host);
    ~LevelBananasManager() override;

    const wchar_t* templateName() const override { return L"BANANA_EDIT"; }
    const wchar_t* pageCaption() const override { return text(IDS_PAGE_BANANAS); }

    bool initialize() override;
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

    // The page's four buttons, given the list's selection (-1 for none).
    void apply(int index);
    void up(int index) { edits.up(index); }
    void down(int index) { edits.down(index); }
    void sort(int index) { edits.sort(index); }

    // The map view's keys and the Edit menu on the banana marked on the map, each as
    // one Apply: a paste's fields (bananaPasteFields), or a move by (dx, dy) as a drag
    // and drop would make it. False when none is marked or the paste is refused.
    bool pasteValues(const BananaFields& fields) { return edits.apply(selectedIndex, fields); }
    bool nudge(int dx, int dy);
    HWND firstField() const;

    const BananaEditor& editor() const { return edits; }
    const BananaSetWindow& setWindow() const { return setPreview; }
    bool shown() const { return isShown(); }
    bool dragging() const { return draggingBanana; }

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

    BananaFields readFields() const;
    void showSet(unsigned setNumber);
    void fillSetCombo();
    // Within a LayerPass.
    void drawBanana(HDC dc, const RECT& mapRect, int index, std::uint8_t setNumber, int x, int y, bool selected) const;

    BananaEditor edits;
    BananaSetWindow setPreview;
    HFONT setWindowFont = nullptr;
    bool draggingBanana = false;
    POINT grab{};         // pointer minus the banana's position when it was picked
    POINT dragPosition{}; // where the dragged banana is drawn
};

} // namespace vexa
