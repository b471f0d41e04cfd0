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
#include "app/settings_win.h"
#include "resources/resource_ids.h"
#include "support/editor_session.h"
#include "tools/sample_game/sample_game.h"

#include <commctrl.h>

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
    editor.writeSetting(L"config.ini", placementText());
    if (!writeSampleGame(buildSampleGame(), editor.folder.path(), {})) return rows;
    if (!editor.start(L"\"" + editor.folder.file(L"sample.smc") + L"\"")) return rows;
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
    printRows(rows);
    // Every figure or none: a run that could not make one says so by its exit code.
    return sampleRows == 7 && rows.size() == 11 ? 0 : 1;
}
