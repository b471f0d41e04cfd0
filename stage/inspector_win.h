// The inspector: a floating tool window, owned by the main window, that holds the
// sprite, banana, camera and terrain pages in a tab control.
#pragma once

#include "ui/texts.h"
#include "ui/window_win.h"

#include <functional>
#include <span>
#include <vector>

namespace vexa {

inline constexpr const wchar_t* kInspectorClassName = L"orloed_insp";

// Registers "orloed_insp"; a class already registered counts as success.
bool registerInspectorClass(HINSTANCE instance);

class LevelEditInspector : public MyWindow {
public:
    explicit LevelEditInspector(HWND owner = nullptr) : owner(owner) {}

    // Builds the window around the pages (sprites, bananas, cameras, terrain, in tab order),
    // sized to the first page and placed where it was left last time.
    bool create(std::span<TabPage* const> pages);
    bool create(std::span<TabPage* const> pages, HWND ownerWindow);
    // Shows one page and hides the others; an index outside the pages hides them all.
    // onPageShown hears of it.
    void showPage(int index);
    // The index of the page shown now.
    int shownPage() const { return shown; }
    // Gives the tabs and the pages the texts and layouts of `language`, and the window
    // the size the pages take now, staying where it is.
    void applyLanguage(Language language);
    // Fits the window around the pages as they are now, staying where it is.
    void fitToPages();

    std::function<void(int index)> onPageShown;

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND tabControl = nullptr;

private:
    void addPages(std::span<TabPage* const> pages);
    // Puts page `index`'s caption on its tab: TCM_INSERTITEMW adds the tab, TCM_SETITEMW renames it.
    void showCaption(int index, UINT message);
    SIZE fitPagesToFirst();
    SIZE frameFor(SIZE clientSize) const;
    void placeWindow(SIZE clientSize);
    void savePosition(HWND window);
    LRESULT onActivate(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onNotify(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::vector<TabPage*> pages;
    int pageCount = 0;
    int shown = -1;
    HWND owner = nullptr;
    // Until the window has been placed its rectangle says nothing worth remembering.
    bool placed = false;
};

} // namespace vexa
