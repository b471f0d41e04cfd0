// Windows with scroll bars: each bar keeps its record and tells its window when the
// position or page changed.
#pragma once

#include "ui/scroll_bar_state.h"
#include "ui/window_win.h"

#include <commctrl.h>

namespace vexa {

enum class ScrollAxis { Horizontal, Vertical };

// The notification of both bars. A window with both bars tells them apart by the
// axis: two functions of the same name and signature inherited from two bases could
// not be overridden one by one.
class ScrollBarClient {
public:
    virtual ~ScrollBarClient() = default;
    virtual void scrolled(ScrollAxis, int /*position*/, int /*page*/, int /*oldPosition*/, int /*oldPage*/) {}
};

// One scroll bar of a window: the arithmetic of ScrollBarState, sent to the bar.
class ScrollBar {
public:
    ScrollBar(Window* window, ScrollAxis axis, ScrollBarClient* client)
        : window_(window), axis_(axis), client_(client) {}

    ScrollBarState state;

    void setRange(int maximum) { apply(vexa::setRange(state, maximum)); }
    void setPage(int page) { apply(vexa::setPage(state, page)); }
    void setPosition(int position) { apply(vexa::setPosition(state, position)); }
    void setPositionInRange(int position) { apply(vexa::setPositionInRange(state, position)); }
    void setAll(int maximum, int page, int position) { apply(vexa::setAll(state, maximum, page, position)); }
    void resizePage(int page) { apply(vexa::resizePage(state, page)); }
    // The wParam of WM_HSCROLL / WM_VSCROLL.
    void onScroll(WPARAM request);
    void scrollBy(int delta) { apply(vexa::scrollBy(state, delta)); }

private:
    void apply(const ScrollUpdate& update);
    int barType() const { return axis_ == ScrollAxis::Horizontal ? SB_HORZ : SB_VERT; }

    Window* window_;
    ScrollAxis axis_;
    ScrollBarClient* client_;
    // What the bar shows: a bar is only told what changed (each SetScrollInfo redraws it).
    SCROLLINFO shown_{};
};

class WindowWithHScrollBar : public virtual Window, public virtual ScrollBarClient {
public:
    ScrollBar hScroll{this, ScrollAxis::Horizontal, this};
};

class WindowWithVScrollBar : public virtual Window, public virtual ScrollBarClient {
public:
    ScrollBar vScroll{this, ScrollAxis::Vertical, this};
};

class WindowWithBothScrollBars : public WindowWithHScrollBar, public WindowWithVScrollBar {};

// Middle-button panning: while the button is held, a timer scrolls the target by a
// step that grows with the square of the pointer's distance from where it began.
class MButtonPan {
public:
    enum Mode { kHorizontal = 1, kVertical = 2, kBoth = 3 };
    MButtonPan(int mode, WindowWithBothScrollBars* target, Window* window, UINT period, UINT_PTR timerId)
        : mode_(mode), target_(target), window_(window), period_(period), timerId_(timerId) {}
    ~MButtonPan() { end(); }
    MButtonPan(const MButtonPan&) = delete;
    MButtonPan& operator=(const MButtonPan&) = delete;

    void begin(POINT start);
    bool tick();
    void end();
    bool isActive() const { return active_; }
    UINT_PTR timerId() const { return timerId_; }

private:
    POINT startOnScreen() const;

    int mode_;
    WindowWithBothScrollBars* target_;
    Window* window_;
    UINT period_;
    UINT_PTR timerId_;
    POINT start_{};
    bool active_ = false;
    HIMAGELIST dragImage_ = nullptr;
};

} // namespace vexa
