// The common frame of the three object pages: an inspector page (a modeless child
// dialog from its template) that is also a layer of the map view. The frame holds
// what the kinds share: the shown switch with its config key and View menu item,
// the drawing objects in the kind's colour, the list lines and the step between a
// line chosen in the list and the mark on the map. Each kind adds its fields, its
// edits and how it draws and picks its objects.
#pragma once

#include "app/rom_data_base.h"
#include "app/setting_binding.h"
#include "stage/object_layer_win.h"
#include "stage/object_page_tools_win.h"
#include "stage/stage_edit_host_win.h"
#include "ui/window_win.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vexa {

struct ObjectPageLook {
    ObjectKind kind;
    const wchar_t* shownKey;       // [MapView] key of the shown switch
    int viewCommand;               // its View menu item
    int listId;                    // the page's list box
    std::span<const int> controls; // enabled while a ROM is open
    COLORREF colour;
    COLORREF selectionColour;
};

class ObjectPage : public MyDialog, public TabPage, public ObjectLayer, protected ObjectEditPage, public RomData_Base {
public:
    ObjectPage(StageWindowHost& host, const ObjectPageLook& look) : host(host), look(look) {}

    bool createPage(HWND parent) override { return createModeless(parent); }
    void relabelPage(Language language) override { relabel(language); }
    INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    bool initialize() override;
    void lookChanged() override;
    void saveSettings() override;
    void enable(bool open) override;
    bool toggleShown() override;
    bool isShown() const { return shownOnMap; }
    int objectCount() const override { return itemCount(); }
    void showLines(const std::vector<int>& indices) override;
    // While held, the list neither paints nor updates its scroll bar: a stage load
    // empties and refills it, and shows the outcome once when let go. Holds nest.
    void holdListRedraw(bool hold);

protected:
    // Called once the page's controls exist.
    virtual void onInitPage() {}
    // A command from one of the page's controls other than its list; true when handled.
    virtual bool onPageCommand(int /*id*/, int /*code*/) { return false; }

    // What the frame asks of the kind.
    virtual int itemCount() const = 0;
    // The lines of entries [from, to) (fewer where the list ends), with names from
    // `info`: one reading of the settings, which looks at their files on disk, serves
    // all the lines of a fill.
    virtual std::vector<std::wstring> lineTexts(const RomInfo& info, int from, int to) const = 0;
    // The map point a double-clicked line centres on; false when no entry has the index.
    virtual bool anchorOf(int index, POINT& at) const = 0;
    // With several entries selected: the number field reads "3 個選択" and every other
    // field the entries' common value, or nothing where they differ.
    virtual void showSeveral(const std::vector<int>& indices) = 0;
    // The fields an Apply on several entries compares with what showSeveral showed:
    // those the user changed are set on every entry, the others stay each entry's own.
    virtual std::span<const int> severalFields() const = 0;
    // The page's Apply with several lines selected: one undo step.
    virtual void applySeveral(const std::vector<int>& indices) = 0;

    void rebuildLines(int from) override;
    void setLine(int index) override;
    void selectLine(int index) override;
    bool layerShown() const override { return shownOnMap; }
    int mapSelection() const override { return selectedIndex; }
    void setMapSelection(int index) override { selectOnly(index); }

    HWND list() const { return GetDlgItem(hwnd, look.listId); }
    // The one selected line; -1 while none or several are.
    int listSelection() const { return vexa::listSelection(list()); }
    std::vector<int> listSelections() const { return vexa::listSelections(list()); }
    // After showSeveral has filled the fields: what they show now is what an Apply
    // compares with.
    void keepSeveralShown();
    // Whether the field has changed since keepSeveralShown.
    bool changedSinceShown(int id) const;
    bool hasItem(int index) const { return index >= 0 && index < itemCount(); }

    StageWindowHost& host;
    const ObjectPageLook look;
    LayerDrawingObjects drawing;
    bool shownOnMap = true;

private:
    class RedrawHold {
    public:
        explicit RedrawHold(ObjectPage& page) : page(page) { page.holdListRedraw(true); }
        ~RedrawHold() { page.holdListRedraw(false); }
        RedrawHold(const RedrawHold&) = delete;
        RedrawHold& operator=(const RedrawHold&) = delete;

    private:
        ObjectPage& page;
    };

    std::array<IntSetting, 1> settings();
    // Rewrites the lines from `from` on whose text differs from `texts`, when few do;
    // when many do, rewrites none and answers the first of them.
    std::optional<int> rewriteChangedLines(const std::vector<std::wstring>& texts, int from);
    void onListSelectionChange();
    void centreOnListSelection();

    std::wstring fieldState(int id) const;

    int redrawHolds = 0;
    // What the fields of severalFields showed when several entries were last shown.
    std::vector<std::wstring> severalShown;
};

// The value `get` reads off every entry of `items` at `indices` (sorted), when they all
// read the same; nothing when they differ or there are none.
template <typename List, typename Get>
auto commonValue(const List& items, const std::vector<int>& indices, Get get)
    -> std::optional<decltype(get(items.front()))> {
    std::optional<decltype(get(items.front()))> common;
    auto wanted = indices.begin();
    int index = 0;
    for (auto it = items.begin(); it != items.end() && wanted != indices.end(); ++it, ++index) {
        if (index != *wanted) continue;
        ++wanted;
        const auto value = get(*it);
        if (common && *common != value) return std::nullopt;
        common = value;
    }
    return common;
}

// The entries of `items` at `indices` (sorted), in one walk.
template <typename List>
std::vector<typename List::value_type> entriesAt(const List& items, const std::vector<int>& indices) {
    std::vector<typename List::value_type> entries;
    auto wanted = indices.begin();
    int index = 0;
    for (auto it = items.begin(); it != items.end() && wanted != indices.end(); ++it, ++index)
        if (index == *wanted) {
            entries.push_back(*it);
            ++wanted;
        }
    return entries;
}

// "3 個選択": the number field with several entries selected.
std::wstring severalSelectedText(int count);

} // namespace vexa
