// screenshot_driver <ROM file> <output folder>: runs the real editor in this process
// (settings files beside this program, as vexa_editor.exe would), acts on it like a
// user on the sample game and saves the pictures of the user guide as 24-bit BMP
// files, each cut to the windows it shows:
//   main.bmp                main window and inspector, a sprite selected on the stage
//                           that the ROM opens on (37, listed as 25, in the sample)
//   inspector-sprites.bmp   the inspector's three pages, each with an object selected
//   inspector-bananas.bmp
//   inspector-cameras.bmp
//   camera-resize.bmp       a camera's corner held half-way through a drag
//   box-select.bmp          objects selected by a box, a second box held with Shift
//   terrain-page.bmp        the inspector's terrain page with a chip chosen
//   chip-palette.bmp        the chip palette with the current chip framed
//   terrain-painted.bmp     main window and palette: an area painted with the pen and
//                           the rectangle, a selection framed and the cell under the
//                           pointer
//   stage-dialog.bmp        the stage selection dialog
//   emulator-dialog.bmp     the emulator settings dialog
// Exit code 0 when every picture was written.
#include "app/main/project_manager_win.h"
#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "terrain/tool_cursors_win.h"
#include "ui/resources_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace vexa {
namespace {

std::wstring outputFolder;
int failures = 0;

void pump(DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    } while (static_cast<LONG>(until - GetTickCount()) > 0);
}

RECT windowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

bool writeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

struct CursorMark {
    HCURSOR cursor = nullptr;
    POINT screenPoint{};
};

// Colour of the pixels that belong to no window of the picture; scripts/screenshots.sh
// makes it transparent.
constexpr COLORREF kOutside = RGB(1, 2, 3);

// Copies the bounding rectangle of the windows into a BMP file, the desktop between
// them painted over; a cursor, which screen copies leave out, can be drawn in where the
// pointer would be.
void capture(const wchar_t* name, const std::vector<HWND>& windows, const CursorMark& mark = {}) {
    RECT area{};
    for (HWND window : windows) {
        const RECT r = windowRect(window);
        UnionRect(&area, &area, &r);
    }
    pump(400);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    area.left = std::max<LONG>(area.left, 0);
    area.top = std::max<LONG>(area.top, 0);
    area.right = std::min<LONG>(area.right, screenWidth);
    area.bottom = std::min<LONG>(area.bottom, screenHeight);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        std::fwprintf(stderr, L"screenshot_driver: %ls: nothing on screen to copy\n", name);
        ++failures;
        return;
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    HRGN outside = CreateRectRgn(0, 0, width, height);
    for (HWND window : windows) {
        const RECT r = windowRect(window);
        HRGN shown = CreateRectRgn(r.left - area.left, r.top - area.top, r.right - area.left, r.bottom - area.top);
        CombineRgn(outside, outside, shown, RGN_DIFF);
        DeleteObject(shown);
    }
    HBRUSH outsideBrush = CreateSolidBrush(kOutside);
    FillRgn(memory, outside, outsideBrush);
    DeleteObject(outsideBrush);
    DeleteObject(outside);
    if (mark.cursor) {
        ICONINFO icon{};
        GetIconInfo(mark.cursor, &icon);
        DrawIconEx(memory, mark.screenPoint.x - area.left - static_cast<int>(icon.xHotspot),
                   mark.screenPoint.y - area.top - static_cast<int>(icon.yHotspot), mark.cursor, 0, 0, 0, nullptr,
                   DI_NORMAL);
        if (icon.hbmMask) DeleteObject(icon.hbmMask);
        if (icon.hbmColor) DeleteObject(icon.hbmColor);
    }
    GdiFlush();
    const DWORD imageSize = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    const DWORD headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPFILEHEADER head{0x4D42, headers + imageSize, 0, 0, headers};
    std::vector<std::uint8_t> file(reinterpret_cast<std::uint8_t*>(&head),
                                   reinterpret_cast<std::uint8_t*>(&head) + sizeof head);
    file.insert(file.end(), reinterpret_cast<std::uint8_t*>(&info.bmiHeader),
                reinterpret_cast<std::uint8_t*>(&info.bmiHeader) + sizeof info.bmiHeader);
    file.insert(file.end(), static_cast<std::uint8_t*>(bits), static_cast<std::uint8_t*>(bits) + imageSize);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!writeFile(outputFolder + L"\\" + name + L".bmp", file)) {
        std::fwprintf(stderr, L"screenshot_driver: cannot write %ls.bmp\n", name);
        ++failures;
    }
}

// The mouse on the map view, at map positions (the scroll position is taken off).
class MapMouse {
public:
    explicit MapMouse(LevelManager& view) : view(view) {}

    void down(int x, int y) { send(WM_LBUTTONDOWN, MK_LBUTTON, x, y); }
    void move(int x, int y) { send(WM_MOUSEMOVE, MK_LBUTTON, x, y); }
    void up(int x, int y) { send(WM_LBUTTONUP, 0, x, y); }
    // With Shift held, as a box that adds to the selection is drawn.
    void shiftDown(int x, int y) { send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, x, y); }
    void shiftMove(int x, int y) { send(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, x, y); }
    void click(int x, int y) {
        down(x, y);
        up(x, y);
        pump(200);
    }
    POINT screenPoint(int x, int y) const {
        POINT p{x - view.hScroll.state.position, y - view.vScroll.state.position};
        ClientToScreen(view.hwnd, &p);
        return p;
    }

private:
    void send(UINT message, WPARAM keys, int x, int y) {
        SendMessageW(view.hwnd, message, keys,
                     MAKELPARAM(x - view.hScroll.state.position, y - view.vScroll.state.position));
    }
    LevelManager& view;
};

// A modal dialog blocks the caller inside its own message loop; a thread timer, which
// that loop dispatches too, takes the picture and cancels the dialog.
const wchar_t* pendingDialogCaption = nullptr;
const wchar_t* pendingDialogPicture = nullptr;

void CALLBACK captureDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = FindWindowW(L"#32770", pendingDialogCaption);
    if (!dialog) {
        std::fwprintf(stderr, L"screenshot_driver: the dialog %ls did not open\n", pendingDialogPicture);
        ++failures;
        return;
    }
    capture(pendingDialogPicture, {dialog});
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

// The caption of a dialog in the language the editor shows.
std::wstring dialogCaption(const wchar_t* templateName) {
    const std::optional<DialogTemplate> dialog = dialogTemplateIn(currentLanguage(), templateName);
    return dialog ? std::wstring(dialog->caption.begin(), dialog->caption.end()) : std::wstring();
}

void captureModal(ProjectManager& project, int command, const wchar_t* caption, const wchar_t* picture) {
    pendingDialogCaption = caption;
    pendingDialogPicture = picture;
    SetTimer(nullptr, 0, 600, captureDialog);
    SendMessageW(project.hwnd, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    pump(300);
}

// The first object whose pick point lies well inside the visible map.
template <typename Point> int firstVisible(const LevelManager& view, int count, Point pickPoint) {
    RECT client{};
    GetClientRect(view.hwnd, &client);
    const int left = view.hScroll.state.position;
    const int top = view.vScroll.state.position;
    for (int i = 0; i < count; ++i) {
        const POINT p = pickPoint(i);
        if (p.x >= left + 120 && p.x < left + client.right - 120 && p.y >= top + 60 && p.y < top + client.bottom - 60)
            return i;
    }
    return count ? 0 : -1;
}

// Terrain mode: a chip picked from the map, a stroke of the pen, a filled rectangle
// and a selection, with the chip palette beside the inspector.
void takeTerrainPictures(ProjectManager& project, MapMouse& mouse) {
    LevelManager& view = project.levels;
    const HWND inspector = view.inspectorWindow();
    view.scrollTo({0, 0});
    SendMessageW(project.hwnd, WM_COMMAND, MAKEWPARAM(IDM_EDIT_TERRAIN, 0), 0);
    pump(200);
    // A chip of the ground: the right button on a cell near the bottom of the view.
    const int ground = (view.heightTiles - 3) * 32 + 16;
    SendMessageW(view.hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(8 * 32 + 16, ground));
    SendMessageW(view.hwnd, WM_RBUTTONUP, 0, MAKELPARAM(8 * 32 + 16, ground));
    capture(L"terrain-page", {inspector});

    const RECT inspectorRect = windowRect(inspector);
    MoveWindow(view.chipPalette.hwnd, inspectorRect.left, inspectorRect.bottom + 4, 420, 360, TRUE);
    SendDlgItemMessageW(view.terrainPage.hwnd, IDC_TERRAIN_PALETTE, BM_CLICK, 0, 0);
    pump(300);
    // The palette scrolled to the current chip.
    if (const auto at = view.chipPalette.clientOfChip(chipIndexOf(view.terrain.currentWord()))) {
        view.chipPalette.hScroll.setPositionInRange(view.chipPalette.hScroll.state.position + at->x - 120);
        view.chipPalette.vScroll.setPositionInRange(view.chipPalette.vScroll.state.position + at->y - 120);
    }
    RedrawWindow(view.chipPalette.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    capture(L"chip-palette", {view.chipPalette.hwnd});

    // The pen across three cells of the sky, then a rectangle below it.
    mouse.down(4 * 32 + 16, 3 * 32 + 16);
    for (int step = 1; step <= 8; ++step)
        mouse.move(4 * 32 + 16 + step * 32, 3 * 32 + 16 + (step / 3) * 32);
    mouse.up(12 * 32 + 16, 5 * 32 + 16);
    SendDlgItemMessageW(view.terrainPage.hwnd, IDC_TERRAIN_RECTANGLE, BM_CLICK, 0, 0);
    mouse.down(14 * 32 + 8, 2 * 32 + 8);
    mouse.move(17 * 32 + 8, 5 * 32 + 8);
    mouse.up(17 * 32 + 8, 5 * 32 + 8);
    SendDlgItemMessageW(view.terrainPage.hwnd, IDC_TERRAIN_SELECT, BM_CLICK, 0, 0);
    mouse.down(3 * 32 + 8, 7 * 32 + 8);
    mouse.move(7 * 32 + 8, 9 * 32 + 8);
    mouse.up(7 * 32 + 8, 9 * 32 + 8);
    SendMessageW(view.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(15 * 32 + 16, 8 * 32 + 16));
    pump(300);
    capture(L"terrain-painted", {project.hwnd, inspector, view.chipPalette.hwnd},
            {terrainToolCursor(TerrainToolKind::Select), mouse.screenPoint(15 * 32 + 16, 8 * 32 + 16)});
    SendDlgItemMessageW(view.terrainPage.hwnd, IDC_TERRAIN_PEN, BM_CLICK, 0, 0);
    ShowWindow(view.chipPalette.hwnd, SW_HIDE);
    SendMessageW(project.hwnd, WM_COMMAND, MAKEWPARAM(IDM_EDIT_TERRAIN, 0), 0);
    pump(200);
}

void takePictures(ProjectManager& project) {
    LevelManager& view = project.levels;
    MapMouse mouse(view);
    const HWND inspector = view.inspectorWindow();
    const std::vector<HWND> mainAndInspector{project.hwnd, inspector};

    // A sprite picked on the map: its selection frame and its fields in the inspector.
    const auto& sprites = view.sprites.sprites().sprites;
    std::vector<SpriteAllocData> spriteList(sprites.begin(), sprites.end());
    const auto spritePoint = [&](int i) { return POINT{spriteList[i].x, spriteList[i].y - 18}; };
    const int sprite = firstVisible(view, static_cast<int>(spriteList.size()), spritePoint);
    if (sprite >= 0) mouse.click(spritePoint(sprite).x, spritePoint(sprite).y);
    capture(L"main", mainAndInspector);
    capture(L"inspector-sprites", {inspector});

    const auto& bananas = view.bananas.editor();
    const auto bananaPoint = [&](int i) { return POINT{bananas.itemAt(i)->x + 12, bananas.itemAt(i)->y + 18}; };
    const int banana = firstVisible(view, bananas.count(), bananaPoint);
    if (banana >= 0) mouse.click(bananaPoint(banana).x, bananaPoint(banana).y);
    capture(L"inspector-bananas", {inspector});

    // The second camera when there is one, so that a neighbour shows beside it.
    const auto& cameras = view.cameras.editor();
    const int camera = cameras.count() > 1 ? 1 : 0;
    if (cameras.count() > 0) {
        const CameraAllocData c = *cameras.itemAt(camera);
        view.centerOn(c.left + 200, (c.top + c.bottom) / 2);
        pump(200);
        mouse.click(c.left + 10, c.top + 8);
        capture(L"inspector-cameras", {inspector});

        // The bottom-right corner held half-way through a drag up and to the left,
        // with the corner placed at about two thirds of the view's width.
        view.centerOn(c.right - view.hScroll.state.page / 5, (c.top + c.bottom) / 2);
        pump(200);
        const POINT from{c.right - 2, c.bottom - 2};
        const POINT to{from.x - 240, from.y - 144};
        mouse.down(from.x, from.y);
        for (int step = 1; step <= 12; ++step)
            mouse.move(from.x + (to.x - from.x) * step / 12, from.y + (to.y - from.y) * step / 12);
        pump(300);
        capture(L"camera-resize", mainAndInspector,
                {LoadCursorW(nullptr, IDC_SIZENWSE), mouse.screenPoint(to.x, to.y)});
        mouse.up(to.x, to.y);
        pump(200);
    } else {
        std::fwprintf(stderr, L"screenshot_driver: the stage has no camera\n");
        failures += 2;
    }

    // A box selection: a box drawn round the first sprites on the stage's left and let
    // go, then a second box held half-way with Shift, adding to them.
    view.scrollTo({0, 0});
    pump(200);
    {
        const POINT start{40, 40};
        const POINT end{std::min(380, view.hScroll.state.page - 200), std::min(470, view.vScroll.state.page - 30)};
        mouse.down(end.x, end.y);
        for (int step = 1; step <= 8; ++step)
            mouse.move(end.x + (start.x - end.x) * step / 8, end.y + (start.y - end.y) * step / 8);
        mouse.up(start.x, start.y);
        pump(200);
        const POINT from{end.x + 20, end.y};
        const POINT to{from.x + 150, start.y + 60};
        mouse.shiftDown(from.x, from.y);
        for (int step = 1; step <= 8; ++step)
            mouse.shiftMove(from.x + (to.x - from.x) * step / 8, from.y + (to.y - from.y) * step / 8);
        pump(300);
        capture(L"box-select", mainAndInspector);
        mouse.up(to.x, to.y);
        SendMessageW(view.hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
        pump(200);
    }

    // The stage at 50%, then a close look at 200% with the grid; the pointer rests in
    // the middle of the view, so the status bar tells where it is.
    const auto zoomTo = [&](int command) {
        SendMessageW(project.hwnd, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        RECT client{};
        GetClientRect(view.hwnd, &client);
        SendMessageW(view.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(client.right / 2, client.bottom / 2));
        pump(300);
    };
    zoomTo(IDM_VIEW_ZOOM_50);
    capture(L"zoom-50", {project.hwnd});
    SendMessageW(project.hwnd, WM_COMMAND, MAKEWPARAM(IDM_VIEW_GRID, 0), 0);
    zoomTo(IDM_VIEW_ZOOM_200);
    capture(L"zoom-200-grid", {project.hwnd});
    SendMessageW(project.hwnd, WM_COMMAND, MAKEWPARAM(IDM_VIEW_GRID, 0), 0);
    zoomTo(IDM_VIEW_ZOOM_100);

    takeTerrainPictures(project, mouse);

    captureModal(project, IDM_STAGE_SELECT, dialogCaption(L"LEVEL_SELECT").c_str(), L"stage-dialog");
    captureModal(project, IDM_FILE_EMULATOR, dialogCaption(L"SET_EMULATOR").c_str(), L"emulator-dialog");
}

} // namespace
} // namespace vexa

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 3) {
        std::fwprintf(stderr, L"usage: screenshot_driver <ROM file> <output folder>\n");
        return 2;
    }
    const std::wstring rom = argv[1];
    vexa::outputFolder = argv[2];
    LocalFree(argv);

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    vexa::initAppGlobals(instance);
    if (!vexa::registerMainWindowClass(instance) || !vexa::registerMapViewClasses(instance)) return 1;

    auto project = std::make_unique<vexa::ProjectManager>();
    if (!project->create((L"\"" + rom + L"\"").c_str(), SW_SHOWNORMAL)) return 1;
    vexa::pump(1500);
    if (!project->document.loaded) {
        std::fwprintf(stderr, L"screenshot_driver: the editor did not open %ls\n", rom.c_str());
        return 1;
    }
    vexa::takePictures(*project);

    // Nothing is saved: the edits made for the pictures are dropped with the window.
    project->document.markSaved();
    DestroyWindow(project->hwnd);
    vexa::pump(200);
    return vexa::failures == 0 ? 0 : 1;
}
