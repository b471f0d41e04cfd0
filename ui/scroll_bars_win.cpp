#include "ui/scroll_bars_win.h"

#include "resources/resource_ids.h"

#include <commctrl.h>

namespace vexa {

void ScrollBar::apply(const ScrollUpdate& update) {
    if (update.fields != 0 && window_->hwnd) {
        // The record is the bar's whole truth, so the bar gets all of it, and nothing
        // when it shows that already.
        SCROLLINFO info{sizeof info};
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (state.disableNoScroll) info.fMask |= SIF_DISABLENOSCROLL;
        info.nMin = state.minimum;
        info.nMax = state.maximum;
        info.nPage = static_cast<UINT>(state.page);
        info.nPos = state.position;
        const bool same = shown_.fMask == info.fMask && shown_.nMin == info.nMin && shown_.nMax == info.nMax &&
                          shown_.nPage == info.nPage && shown_.nPos == info.nPos;
        if (!same) {
            SetScrollInfo(window_->hwnd, barType(), &info, state.redrawBar);
            shown_ = info;
        }
    }
    if (update.notify) client_->scrolled(axis_, update.position, update.page, update.oldPosition, update.oldPage);
}

void ScrollBar::onScroll(WPARAM request) {
    // The thumb's place is asked of the bar, in 32 bits; the message's 16 bits wrap.
    SCROLLINFO track{sizeof track};
    track.fMask = SIF_TRACKPOS;
    if (!window_->hwnd || !GetScrollInfo(window_->hwnd, barType(), &track)) track.nTrackPos = state.position;
    apply(onScrollRequest(state, static_cast<std::uint32_t>(request), track.nTrackPos));
}

POINT MButtonPan::startOnScreen() const {
    POINT p = start_;
    ClientToScreen(window_->hwnd, &p);
    return p;
}

void MButtonPan::begin(POINT start) {
    end(); // a pan whose button-up never arrived: its timer and drag image go first
    start_ = start;
    active_ = true;
    SetCapture(window_->hwnd);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    dragImage_ = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 1, 0);
    const int icon = mode_ == kHorizontal ? IDI_PAN_HORIZONTAL : mode_ == kVertical ? IDI_PAN_VERTICAL : IDI_PAN_BOTH;
    ImageList_AddIcon(dragImage_, LoadIconW(appInstance(), MAKEINTRESOURCEW(icon)));
    ImageList_BeginDrag(dragImage_, 0, 15, 15);
    const POINT screen = startOnScreen();
    ImageList_DragEnter(GetDesktopWindow(), screen.x, screen.y);
    SetTimer(window_->hwnd, timerId_, period_, nullptr);
}

bool MButtonPan::tick() {
    if (!active_) return false;
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(window_->hwnd, &cursor);
    if (mode_ & kHorizontal) target_->hScroll.scrollBy(panScrollStep(cursor.x - start_.x));
    if (mode_ & kVertical) target_->vScroll.scrollBy(panScrollStep(cursor.y - start_.y));
    const POINT screen = startOnScreen();
    ImageList_DragMove(screen.x, screen.y);
    return true;
}

void MButtonPan::end() {
    if (!active_) return;
    KillTimer(window_->hwnd, timerId_);
    ImageList_DragLeave(GetDesktopWindow());
    ImageList_EndDrag();
    ImageList_Destroy(dragImage_);
    dragImage_ = nullptr;
    // Cleared before the capture goes: releasing it reports the loss back to the
    // window, which ends the pan again. A capture that another window took already
    // stays with that window.
    active_ = false;
    if (GetCapture() == window_->hwnd) ReleaseCapture();
}

} // namespace vexa
