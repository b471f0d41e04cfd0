// vexa_gui_bench: the editor's speed to the hand, measured on its real windows under
// Wine, each figure next to a floor measured in the same run (scripts/gui_bench.sh).
//   vexa_gui_bench                 every figure; the sample game is made in a temp folder
//   vexa_gui_bench --bare          (child) a bare window's start to its first frame
//   vexa_gui_bench --editor F      (child) the editor's start on folder F's sample.smc
//                                  to its first stage frame
// Times are medians of repeated runs, taken with QueryPerformanceCounter; a repaint
// counts until every pending paint of the windows has been done (RDW_UPDATENOW).
#include "app/huge_lists_image.h"
#include "app/ini_file.h"
#include "app/main/project_manager_win.h"
#include "app/rom_file_win.h"
#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "stage/stage_table.h"
#include "stage/tilemap_data.h"
#include "support/editor_session.h"
#include "terrain/terrain_blocks.h"
#include "tiled/tiled_export.h"
#include "tiled/tiled_import.h"
#include "tools/sample_game/sample_game.h"

#include <commctrl.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace vexa {
namespace {

constexpr int kWindowWidth = 1580;
constexpr int kWindowHeight = 1150;
constexpr int kSampleStage = 37;
constexpr int kOtherStages[] = {25, 0};

double now() {
    static const double perMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / perMs;
}

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The median of `runs` timings of `action`, after `setup` (untimed) before each.
double timed(int runs, const std::function<void()>& action, const std::function<void()>& setup = nullptr) {
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        if (setup) setup();
        const double start = now();
        action();
        samples.push_back(now() - start);
    }
    return median(samples);
}

// Paints whatever is invalid in `window` and its children now.
void paintNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
}

void repaint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
}

struct Row {
    std::wstring figure;
    double ms;
    std::string floorName;
    double floorMs;
};

void printRows(const std::vector<Row>& rows) {
    std::printf("| figure | time | floor (same run) | ratio |\n| --- | --- | --- | --- |\n");
    for (const Row& row : rows)
        std::printf("| %ls | %.2f ms | %s: %.2f ms | %.1f |\n", row.figure.c_str(), row.ms, row.floorName.c_str(),
                    row.floorMs, row.ms / row.floorMs);
    std::fflush(stdout);
}

// ---- the child processes ----

LRESULT CALLBACK bareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int bareWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = bareWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"vexa_bench_bare";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"bare", WS_OVERLAPPEDWINDOW, 0, 0, kWindowWidth, kWindowHeight,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    paintNow(window);
    ExitProcess(window ? 0 : 1);
}

int editorWindow(const std::wstring& folder) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    initAppGlobals(instance);
    useSettingsPaths(settingsPathsFor(folder + L"\\vexa_editor.exe"));
    if (!registerMainWindowClass(instance) || !registerMapViewClasses(instance)) ExitProcess(1);
    static ProjectManager project; // never destroyed: the process ends at its first frame
    const std::wstring commandLine = L"\"" + folder + L"\\sample.smc\"";
    if (!project.create(commandLine.c_str(), SW_SHOWNORMAL)) ExitProcess(1);
    paintNow(project.hwnd);
    paintNow(project.levels.inspectorWindow());
    ExitProcess(project.levels.tilemap.widthTiles() > 0 ? 0 : 2);
}

// The median wall time of starting this program with `arguments` until it exits.
double childRuns(const std::wstring& arguments, int runs) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return timed(runs, [&] {
        std::wstring commandLine = L"\"" + std::wstring(self) + L"\" " + arguments;
        STARTUPINFOW startup{sizeof startup};
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            std::fprintf(stderr, "cannot start %ls\n", commandLine.c_str());
            ExitProcess(1);
        }
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        if (code != 0) {
            std::fprintf(stderr, "%ls ended with %lu\n", commandLine.c_str(), code);
            ExitProcess(1);
        }
    });
}

// ---- the figures ----

// config.ini: the main window at the measured size, the inspector beside it.
std::string placementText() {
    char text[256];
    std::snprintf(text, sizeof text,
                  "[MainWindow]\r\nPos_X=0\r\nPos_Y=0\r\nWidth=%d\r\nHeight=%d\r\nMaximized=0\r\nStatusBar=1\r\n"
                  "[Inspector]\r\nPos_X=%d\r\nPos_Y=0\r\n[MapView]\r\nLevelNumber=%d\r\n",
                  kWindowWidth, kWindowHeight, kWindowWidth - 330, kSampleStage);
    return text;
}

// The editor on the sample game in its own folder, its window at the measured size.
bool startOnSample(test::EditorSession& editor) {
    editor.writeSetting(L"config.ini", placementText());
    return writeSampleGame(buildSampleGame(), editor.folder.path(), {}) &&
           editor.start(L"\"" + editor.folder.file(L"sample.smc") + L"\"");
}

// One client-sized BitBlt from a memory bitmap into the map view, through a context
// taken and given back as a paint does (giving it back puts the pixels on the screen).
double blitFloor(HWND view) {
    RECT client;
    GetClientRect(view, &client);
    HDC screen = GetDC(view);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(view, screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, client.right, client.bottom, WHITENESS);
    const double ms = timed(50, [&] {
        HDC dc = GetDC(view);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        ReleaseDC(view, dc);
        GdiFlush();
    });
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return ms;
}

std::vector<Row> sampleFigures() {
    std::vector<Row> rows;
    const double bare = childRuns(L"--bare", 7);
    {
        test::TempFolder folder;
        if (!writeSampleGame(buildSampleGame(), folder.path(), {})) return rows;
        const std::string placement = placementText();
        test::writeBytes(folder.file(L"config.ini"), {placement.begin(), placement.end()});
        const double start = childRuns(L"--editor \"" + folder.path() + L"\"", 7);
        rows.push_back({L"start to the first stage frame (sample, stage 37)", start, "bare window start", bare});
    }

    test::EditorSession editor;
    if (!startOnSample(editor)) return rows;
    LevelManager& levels = editor.project->levels;
    const HWND main = editor.project->hwnd;
    const HWND view = levels.hwnd;
    test::pumpMessages(200);
    RECT window;
    GetWindowRect(main, &window);
    std::fprintf(stderr, "main window %ld x %ld on a %d x %d screen\n", window.right - window.left,
                 window.bottom - window.top, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));

    const double blit = blitFloor(view);
    RECT client;
    GetClientRect(view, &client);
    const std::wstring size = std::to_wstring(client.right) + L" x " + std::to_wstring(client.bottom);
    const double full = timed(30, [&] { repaint(view); });
    rows.push_back({L"full repaint of stage 37, all layers, " + size, full, "one client-sized BitBlt", blit});

    levels.setZoom(300, {client.right / 2, client.bottom / 2});
    test::pumpMessages();
    const double zoomed = timed(30, [&] { repaint(view); });
    rows.push_back({L"full repaint at 300% zoom", zoomed, "one client-sized BitBlt", blit});
    levels.setZoom(100, {client.right / 2, client.bottom / 2});
    test::pumpMessages();

    const double statusBar = timed(30, [&] { repaint(editor.project->statusBar.hwnd); });
    rows.push_back({L"status bar repaint", statusBar, "one client-sized BitBlt", blit});

    // A redraw of a window scroll bar as it stands: what each bar whose range changes
    // costs. A switch changes three (the map's two and the sprite list's).
    SCROLLINFO position{sizeof position, SIF_POS};
    GetScrollInfo(view, SB_VERT, &position);
    const double bar = timed(30, [&] {
        SetScrollInfo(view, SB_VERT, &position, TRUE);
        GdiFlush();
    });
    rows.push_back({L"one scroll bar redraw (SetScrollInfo)", bar, "one client-sized BitBlt", blit});

    auto showStage = [&](int stage) {
        levels.openStage(stage);
        paintNow(main);
        paintNow(levels.inspectorWindow());
    };
    for (const int other : kOtherStages) {
        std::vector<double> switches;
        for (int i = 0; i < 10; ++i)
            for (const int stage : {other, kSampleStage}) {
                const double start = now();
                showStage(stage);
                switches.push_back(now() - start);
            }
        rows.push_back({L"stage switch 37 <-> " + std::to_wstring(other) + L", with repaint", median(switches),
                        "full repaint + 3 scroll bar redraws", full + 3 * bar});
    }
    editor.stop();
    return rows;
}

// What the user presses to enter terrain mode with the pen, holding `word`.
void takeThePen(test::EditorSession& editor, std::uint16_t word) {
    LevelManager& levels = editor.project->levels;
    if (!levels.inTerrainMode()) editor.command(IDM_EDIT_TERRAIN);
    SendMessageW(GetDlgItem(levels.terrainPage.hwnd, IDC_TERRAIN_PEN), BM_CLICK, 0, 0);
    levels.terrain.setCurrentWord(word);
    test::pumpMessages();
}

void mouse(HWND view, UINT message, WPARAM keys, POINT at) {
    SendMessageW(view, message, keys, MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
}

// The first sample stage on the largest terrain block (by its decoded size), which a
// stroke's release encodes again whole.
struct LargestTerrain {
    int stage = kSampleStage;
    std::size_t decodedSize = 0;
};
LargestTerrain largestTerrainStage(LevelManager& levels) {
    const TerrainSurvey survey = surveyTerrain(levels.romImage(), terrainTables(romInfo()));
    int largest = kSampleStage;
    std::size_t mostBytes = 0;
    for (int stage = 0; stage < romInfo().stageCount(); ++stage) {
        const int block = survey.blockOfStage(stage);
        if (block < 0) continue;
        const std::size_t bytes = survey.blocks[static_cast<std::size_t>(block)].decodedSize;
        if (bytes > mostBytes) {
            mostBytes = bytes;
            largest = stage;
        }
    }
    return {largest, mostBytes};
}

// Showing and painting a bare window of `size`: what any tool window's opening costs.
double bareShowFloor(SIZE size) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = bareWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"vexa_bench_bare_tool";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"bare", WS_POPUP | WS_CAPTION | WS_THICKFRAME,
                                  100, 100, size.cx, size.cy, nullptr, nullptr, wc.hInstance, nullptr);
    const double ms = timed(
        10,
        [&] {
            ShowWindow(window, SW_SHOWNOACTIVATE);
            paintNow(window);
        },
        [&] {
            ShowWindow(window, SW_HIDE);
            test::pumpMessages();
        });
    DestroyWindow(window);
    return ms;
}

// Terrain editing and Tiled on the sample stage with the largest terrain.
std::vector<Row> terrainFigures() {
    std::vector<Row> rows;
    test::EditorSession editor;
    if (!startOnSample(editor)) return rows;
    LevelManager& levels = editor.project->levels;
    const HWND main = editor.project->hwnd;
    const HWND view = levels.hwnd;
    const LargestTerrain largest = largestTerrainStage(levels);
    const int stage = largest.stage;
    levels.openStage(stage);
    test::pumpMessages(200);
    const std::wstring name = L"stage " + std::to_wstring(stage) + L" (" +
                              std::to_wstring(levels.tilemap.data().widthTiles) + L" x " +
                              std::to_wstring(levels.tilemap.data().heightTiles) + L" cells shown, a block of " +
                              groupedNumber(largest.decodedSize) + L" bytes)";
    const double full = timed(30, [&] { repaint(view); });

    // A stroke along the top row in view: the cells are drawn as the pen moves; the
    // release writes them into the image as one step and repaints.
    constexpr int kStrokeCells = 20;
    const POINT scroll = levels.scrollPosition();
    const int firstColumn = scroll.x / kTileSize + 1;
    const int row = scroll.y / kTileSize + 1;
    const std::uint16_t was = tileWordAt(levels.tilemap.data(), firstColumn, row).value_or(0);
    takeThePen(editor, static_cast<std::uint16_t>(was ^ 1));
    auto cellCentre = [&](int column) {
        return POINT{column * kTileSize + kTileSize / 2 - scroll.x, row * kTileSize + kTileSize / 2 - scroll.y};
    };
    bool stroked = false;
    const double stroke = timed(
        15,
        [&] {
            mouse(view, WM_LBUTTONUP, 0, cellCentre(firstColumn + kStrokeCells - 1));
            paintNow(main);
            paintNow(levels.inspectorWindow());
            stroked = true;
        },
        [&] {
            if (stroked) editor.command(IDM_EDIT_UNDO);
            paintNow(main);
            mouse(view, WM_LBUTTONDOWN, MK_LBUTTON, cellCentre(firstColumn));
            for (int column = firstColumn + 1; column < firstColumn + kStrokeCells; ++column)
                mouse(view, WM_MOUSEMOVE, MK_LBUTTON, cellCentre(column));
            paintNow(main);
        });
    if (editor.project->undoBuffer.undoCount() != 1) std::fprintf(stderr, "the pen stroke wrote nothing\n");
    rows.push_back(
        {L"pen stroke of " + std::to_wstring(kStrokeCells) + L" cells on " + name + L", release to repainted map",
         stroke, "full repaint", full});

    ChipPalette& palette = levels.chipPalette;
    const HWND paletteButton = GetDlgItem(levels.terrainPage.hwnd, IDC_TERRAIN_PALETTE);
    const double open = timed(
        10,
        [&] {
            SendMessageW(paletteButton, BM_CLICK, 0, 0);
            paintNow(palette.hwnd);
        },
        [&] {
            if (palette.hwnd) ShowWindow(palette.hwnd, SW_HIDE);
            test::pumpMessages();
        });
    RECT paletteClient{};
    GetClientRect(palette.hwnd, &paletteClient);
    RECT paletteWindow{};
    GetWindowRect(palette.hwnd, &paletteWindow);
    const double bareShow =
        bareShowFloor({paletteWindow.right - paletteWindow.left, paletteWindow.bottom - paletteWindow.top});
    const double paletteBlit = blitFloor(palette.hwnd);
    const double paletteRepaint = timed(30, [&] { repaint(palette.hwnd); });
    const std::string paletteSize = std::to_string(paletteClient.right) + " x " + std::to_string(paletteClient.bottom);
    rows.push_back({L"chip palette opening", open, "showing a bare window of its size", bareShow});
    rows.push_back({L"chip palette repaint, " + std::wstring(paletteSize.begin(), paletteSize.end()), paletteRepaint,
                    "one BitBlt of its client", paletteBlit});

    // The stage's own map with a cell changed, read from disk, checked and written
    // into a copy of the image, as the import command does after its file dialog.
    const std::wstring mapPath = editor.folder.file(L"largest.tmj");
    const auto utf8 = [](const std::wstring& text) { return utf16ToUtf8(std::u16string(text.begin(), text.end())); };
    const auto wide = [](const std::string& text) { return widenIniText(text, IniEncoding::Utf8); };
    tiled::MapExport map =
        tiled::exportStageMap(levels.romImage(), romInfo(), stage, nullptr, utf8(editor.folder.file(L"largest")));
    if (!map.ok) {
        std::fprintf(stderr, "the largest stage does not export: %s\n", map.problem.c_str());
        return rows;
    }
    nlohmann::json changed = nlohmann::json::parse(map.map);
    nlohmann::json& firstCell = changed["layers"][0]["data"][0];
    firstCell = firstCell.get<int>() + 1;
    map.map = changed.dump();
    auto put = [&](const std::string& path, const std::string& text) {
        test::writeBytes(wide(path), {text.begin(), text.end()});
    };
    put(utf8(mapPath), map.map);
    put(map.files.chipsTileset, map.chipsTileset);
    put(map.files.attributesTileset, map.attributesTileset);
    std::vector<std::uint8_t> bytes;
    const double read = timed(10, [&] { readWholeFile(mapPath, tiled::kMaxMapFileSize, bytes); });
    bool imported = false;
    const double import = timed(5, [&] {
        readWholeFile(mapPath, tiled::kMaxMapFileSize, bytes);
        const tiled::FileReader beside = [&](std::string_view source) -> std::optional<std::string> {
            std::vector<std::uint8_t> tileset;
            if (readWholeFile(editor.folder.file(wide(std::string(source))), tiled::kMaxMapFileSize, tileset) !=
                FileReadStatus::Ok)
                return std::nullopt;
            return std::string(tileset.begin(), tileset.end());
        };
        const tiled::MapImport result =
            tiled::importStageMap(levels.romImage(), romInfo(), stage,
                                  std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), beside);
        imported = result.ok() && result.cellsChanged == 1;
    });
    if (!imported) std::fprintf(stderr, "the Tiled import did not read the changed map\n");
    rows.push_back({L"Tiled import of " + name + L": its map file of " + groupedNumber(bytes.size()) +
                        L" bytes read, checked and written",
                    import, "reading the file", read});
    if (!editor.dialogs.seen().empty()) std::fprintf(stderr, "a message box was shown\n");
    editor.stop();
    return rows;
}

std::vector<Row> hugeListFigures() {
    std::vector<Row> rows;
    test::EditorSession editor;
    editor.writeSetting(L"config.ini", placementText());
    editor.writeSetting(L"rominfo.ini", test::kHugeListsRomInfo);
    const std::wstring path = editor.writeRom(L"huge.smc", test::hugeListsImage());
    if (!editor.start(L"\"" + path + L"\"")) return rows;
    LevelManager& levels = editor.project->levels;
    const HWND main = editor.project->hwnd;
    test::pumpMessages(200);
    const double full = timed(10, [&] { repaint(levels.hwnd); });

    auto show = [&] {
        paintNow(main);
        paintNow(levels.inspectorWindow());
    };
    const double open = timed(
        5,
        [&] {
            levels.openStage(kSampleStage);
            show();
        },
        [&] {
            levels.openStage(0);
            show();
        });
    rows.push_back({L"opening the stage of the largest lists", open, "full repaint", full});

    struct Sort {
        std::wstring name;
        HWND page;
        int button;
    };
    for (const Sort& sort :
         {Sort{L"sort of " + groupedNumber(test::kHugeSprites) + L" sprites", levels.sprites.hwnd, IDC_SPRITE_SORT},
          Sort{L"sort of " + groupedNumber(test::kHugeBananas) + L" bananas", levels.bananas.hwnd, IDC_BANANA_SORT},
          Sort{L"sort of " + groupedNumber(test::kHugeCameras) + L" cameras", levels.cameras.hwnd, IDC_CAMERA_SORT}}) {
        bool sorted = false;
        const double ms = timed(
            3,
            [&] {
                SendMessageW(sort.page, WM_COMMAND, MAKEWPARAM(sort.button, BN_CLICKED), 0);
                show();
                sorted = true;
            },
            [&] {
                if (sorted) editor.command(IDM_EDIT_UNDO);
                show();
            });
        rows.push_back({sort.name, ms, "full repaint", full});
    }

    // 50 sprites marked in the list, one of them dragged 16 pixels right and down.
    constexpr int kDragged = 50;
    HWND spriteList = GetDlgItem(levels.sprites.hwnd, IDC_SPRITE_LIST);
    SendMessageW(spriteList, LB_SELITEMRANGE, TRUE, MAKELPARAM(0, kDragged - 1));
    SendMessageW(levels.sprites.hwnd, WM_COMMAND, MAKEWPARAM(IDC_SPRITE_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(spriteList));
    const SpriteAllocData first = levels.sprites.sprites().sprites.front();
    levels.centerOn(first.x, first.y);
    show();
    const POINT scroll = levels.scrollPosition();
    const POINT grab{first.x - scroll.x, first.y - scroll.y};
    const POINT drop{grab.x + 16, grab.y + 16};
    bool dragged = false;
    const double drag = timed(
        7,
        [&] {
            mouse(levels.hwnd, WM_LBUTTONUP, 0, drop);
            show();
            dragged = true;
        },
        [&] {
            if (dragged) editor.command(IDM_EDIT_UNDO);
            show();
            mouse(levels.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, grab);
            mouse(levels.hwnd, WM_MOUSEMOVE, MK_LBUTTON, {grab.x + 8, grab.y + 8});
            mouse(levels.hwnd, WM_MOUSEMOVE, MK_LBUTTON, drop);
            show();
        });
    if (levels.sprites.sprites().sprites.front().x != first.x + 16)
        std::fprintf(stderr, "the group drag moved nothing\n");
    rows.push_back({L"group drag of " + std::to_wstring(kDragged) + L" sprites, drop to repainted map and lists", drag,
                    "full repaint", full});
    if (!editor.dialogs.seen().empty()) std::fprintf(stderr, "a message box was shown\n");
    editor.stop();
    return rows;
}

} // namespace
} // namespace vexa

int wmain(int argc, wchar_t** argv) {
    using namespace vexa;
    if (argc >= 2 && std::wstring(argv[1]) == L"--bare") return bareWindow();
    if (argc >= 3 && std::wstring(argv[1]) == L"--editor") return editorWindow(argv[2]);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    std::vector<Row> rows = sampleFigures();
    const std::size_t sampleRows = rows.size();
    for (Row& row : hugeListFigures())
        rows.push_back(std::move(row));
    const std::size_t listRows = rows.size() - sampleRows;
    for (Row& row : terrainFigures())
        rows.push_back(std::move(row));
    printRows(rows);
    // Every figure or none: a run that could not make one says so by its exit code.
    return sampleRows == 7 && listRows == 5 && rows.size() == 16 ? 0 : 1;
}
