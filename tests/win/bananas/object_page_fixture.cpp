#include "bananas/object_page_fixture.h"

#include "resources/resource_ids.h"
#include "tools/sample_game/rom_blocks.h"

#include <commctrl.h>

#include <cstring>

namespace vexa::test {

namespace {

constexpr int kMapCells = kMapPixels / kTileSize;

// One entry per stage, with the stage's map type; the lists are for the caller.
std::vector<sample::StageObjects> stagesWithMapTypes(std::size_t count) {
    std::vector<sample::StageObjects> stages(count);
    for (std::size_t k = 0; k < count; ++k)
        stages[k].mapType = kStageMapTypes[k];
    return stages;
}

} // namespace

std::vector<std::uint8_t> objectStageImage() {
    auto image = titledImage();
    // Terrain 0: one word of data, read as a map far larger than that (the cells past
    // the data are tile 0), one section per map type.
    sample::TerrainPlacement terrain;
    terrain.recordOffset = 0x2000;
    terrain.dataBank = 0x05;
    terrain.dataOffset = 0x4000;
    terrain.width = kMapCells;
    terrain.height = kMapCells;
    for (int n = 0; n < kStageCount; ++n) {
        terrain.sections.push_back({0, kMapCells, 0, kMapCells, kStageMapTypes[n]});
        // Stage n: header at 0x1000 + 8n (type 0), data block at 0x2000 + 16n (terrain 0).
        const unsigned header = 0x1000 + 8 * n;
        sample::writeStageTableEntry(image, n, header);
        sample::writeStageHeader(image, header,
                                 {0, static_cast<std::uint16_t>(0x2000 + 16 * n), static_cast<std::uint8_t>(n)});
    }
    const std::uint16_t cells[] = {1};
    sample::writeTerrain(image, terrain, sample::compressTerrain(cells, 0));
    return image;
}

std::vector<std::uint16_t> putBananaLists(std::vector<std::uint8_t>& image,
                                          const std::vector<std::vector<BananaAllocData>>& stages) {
    auto objects = stagesWithMapTypes(stages.size());
    for (std::size_t k = 0; k < stages.size(); ++k)
        objects[k].bananas.assign(stages[k].begin(), stages[k].end());
    return sample::writeBananaTable(image, kDefaultBananaLevels, objects);
}

std::vector<std::uint16_t> putCameraLists(std::vector<std::uint8_t>& image,
                                          const std::vector<std::vector<CameraAllocData>>& stages) {
    auto objects = stagesWithMapTypes(stages.size());
    for (std::size_t k = 0; k < stages.size(); ++k)
        objects[k].cameras.assign(stages[k].begin(), stages[k].end());
    return sample::writeCameraTable(image, kDefaultCameraLevels, objects);
}

std::string utf8Rominfo(const std::string& text) {
    return "\xEF\xBB\xBF" + text;
}

void ObjectPageTest::open(const std::vector<std::uint8_t>& rom, const std::string& rominfo, const std::string& config) {
    editor.writeSetting(L"config.ini",
                        "[MapView]\r\nLevelNumber=" + std::to_string(firstStage) + "\r\nShowTilemap=2\r\n" + config);
    if (!rominfo.empty()) editor.writeSetting(L"rominfo.ini", rominfo);
    const std::wstring path = editor.writeRom(L"objects.smc", rom);
    ASSERT_TRUE(editor.start(L"\"" + path + L"\""));
    ASSERT_TRUE(editor.project->document.loaded);
    MoveWindow(editor.project->hwnd, 0, 0, 640, 480, TRUE);
    pumpMessages();
}

void ObjectPageTest::loadStage(int stage) {
    view().stageNumber = stage;
    view().loadCurrentStage();
    pumpMessages();
}

void ObjectPageTest::TearDown() {
    if (drawnDc) {
        SelectObject(drawnDc, drawnOld);
        DeleteObject(drawnBitmap);
        DeleteDC(drawnDc);
    }
}

std::wstring ObjectPageTest::text(HWND page, int id) {
    wchar_t buffer[1024] = {};
    GetDlgItemTextW(page, id, buffer, 1024);
    return buffer;
}

std::wstring ObjectPageTest::line(HWND page, int listId, int index) {
    return listBoxText(GetDlgItem(page, listId), index);
}

int ObjectPageTest::lineCount(HWND page, int listId) {
    return static_cast<int>(SendDlgItemMessageW(page, listId, LB_GETCOUNT, 0, 0));
}

int ObjectPageTest::selectedLine(HWND page, int listId) {
    return listSelection(GetDlgItem(page, listId));
}

void ObjectPageTest::chooseLine(HWND page, int listId, int index) {
    HWND list = GetDlgItem(page, listId);
    selectListLines(list, {index});
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    pumpMessages();
}

void ObjectPageTest::doubleClickLine(HWND page, int listId, int index) {
    chooseLine(page, listId, index);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(listId, LBN_DBLCLK), reinterpret_cast<LPARAM>(GetDlgItem(page, listId)));
    pumpMessages();
}

void ObjectPageTest::type(HWND page, int id, const std::wstring& value) {
    SetDlgItemTextW(page, id, value.c_str());
}

void ObjectPageTest::press(HWND page, int id) {
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    pumpMessages();
}

void ObjectPageTest::mouseDown(int x, int y) {
    SendMessageW(view().hwnd, WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(x - view().hScroll.state.position, y - view().vScroll.state.position));
}

void ObjectPageTest::mouseMove(int x, int y) {
    SendMessageW(view().hwnd, WM_MOUSEMOVE, MK_LBUTTON,
                 MAKELPARAM(x - view().hScroll.state.position, y - view().vScroll.state.position));
}

void ObjectPageTest::mouseUp(int x, int y) {
    SendMessageW(view().hwnd, WM_LBUTTONUP, 0,
                 MAKELPARAM(x - view().hScroll.state.position, y - view().vScroll.state.position));
    pumpMessages();
}

void ObjectPageTest::dragOnMap(int fromX, int fromY, int toX, int toY) {
    mouseDown(fromX, fromY);
    mouseMove((fromX + toX) / 2, (fromY + toY) / 2);
    mouseMove(toX, toY);
    mouseUp(toX, toY);
}

int ObjectPageTest::inspectorPage() const {
    return static_cast<int>(SendMessageW(editor.project->levels.inspector.tabControl, TCM_GETCURSEL, 0, 0));
}

void ObjectPageTest::drawLayers(int left, int top, int width, int height) {
    if (!drawnDc) {
        HDC screen = GetDC(nullptr);
        drawnDc = CreateCompatibleDC(screen);
        drawnBitmap = CreateCompatibleBitmap(screen, 1024, 1024);
        drawnOld = SelectObject(drawnDc, drawnBitmap);
        ReleaseDC(nullptr, screen);
    }
    drawnLeft = left;
    drawnTop = top;
    const RECT all{0, 0, width, height};
    FillRect(drawnDc, &all, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    const RECT map{left, top, left + width, top + height};
    ObjectLayer* const order[] = {&view().cameras, &view().bananas, &view().sprites};
    for (ObjectLayer* layer : order)
        layer->drawFirstPass(drawnDc, map);
    for (ObjectLayer* layer : order)
        layer->drawSecondPass(drawnDc, map);
}

void ObjectPageTest::screenshot(const char* name) {
    if (!GetEnvironmentVariableA("VEXA_SHOTS", nullptr, 0)) return;
    pumpMessages(300);
    HDC screen = GetDC(nullptr);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD imageSize = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    BITMAPFILEHEADER head{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageSize),
                          0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    std::vector<std::uint8_t> file(reinterpret_cast<std::uint8_t*>(&head),
                                   reinterpret_cast<std::uint8_t*>(&head) + sizeof head);
    file.insert(file.end(), reinterpret_cast<std::uint8_t*>(&info.bmiHeader),
                reinterpret_cast<std::uint8_t*>(&info.bmiHeader) + sizeof info.bmiHeader);
    file.insert(file.end(), static_cast<std::uint8_t*>(bits), static_cast<std::uint8_t*>(bits) + imageSize);
    writeBytes(L"Z:\\tmp\\" + std::wstring(name, name + std::strlen(name)) + L".bmp", file);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

COLORREF ObjectPageTest::pixel(int x, int y) const {
    return GetPixel(drawnDc, x - drawnLeft, y - drawnTop);
}

COLORREF ObjectPageTest::shownPixel(int x, int y) {
    HDC dc = GetDC(view().hwnd);
    const COLORREF colour = GetPixel(dc, x - view().hScroll.state.position, y - view().vScroll.state.position);
    ReleaseDC(view().hwnd, dc);
    return colour;
}

} // namespace vexa::test
