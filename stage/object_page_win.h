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
    INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    bool initialize() override;
    void saveSettings() override;
    void enable(bool open) override;
    bool toggleShown() override;
    bool isShown() const { return shownOnMap; }
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

    void rebuildLines(int from) override;
    void setLine(int index) override;
    void selectLine(int index) override;
    bool layerShown() const override { return shownOnMap; }
    int mapSelection() const override { return selectedIndex; }
    void setMapSelection(int index) override { selectedIndex = index; }

    HWND list() const { return GetDlgItem(hwnd, look.listId); }
    int listSelection() const { return vexa::listSelection(list()); }
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

    int redrawHolds = 0;
};

} // namespace vexa
