#include "bananas/object_page_fixture.h"

#include "tests/core/stage/object_edit_fixture.h"

#include "resource_ids.h"
#include "stage/tilemap_data.h"

#include <commctrl.h>

#include <cstring>

namespace vexa::test {

namespace {

constexpr unsigned kInfoBank = 0x37;
constexpr unsigned kInfoOffset = 0x2000;
constexpr unsigned kBlockBank = 0x05;
constexpr unsigned kBlockOffset = 0x4009;
constexpr unsigned kBlockHead = 39;

} // namespace

std::vector<std::uint8_t> objectStageImage() {
    auto image = titledImage();
    // Terrain 0: a few literal words of data, read as a map far larger than they are
    // (the cells past the data are tile 0), one section per map type.
    setRomWord(image, kInfoBank, kDefaultMapABInfo, kInfoOffset);
    setRomWord(image, kInfoBank, kInfoOffset, 0x4000);
    setRomByte(image, kInfoBank, kInfoOffset + 2, 0xC5);
    setRomWord(image, kInfoBank, kInfoOffset + 5, kMapPixels);
    setRomWord(image, kInfoBank, kInfoOffset + 7, kMapPixels);
    for (int n = 0; n < kStageCount; ++n) {
        unsigned record = kInfoOffset + 9 + 10 * n;
        for (const std::uint16_t value : {0, kMapPixels, 0, kMapPixels, static_cast<int>(kStageMapTypes[n])}) {
            setRomWord(image, kInfoBank, record, value);
            record += 2;
        }
        // Stage n: header at 0x1000 + 8n (type 0), data block at 0x2000 + 16n (terrain 0).
        const unsigned header = 0x1000 + 8 * n;
        setRomWord(image, kStageBank, 2 * n, static_cast<std::uint16_t>(header));
        setRomWord(image, kStageBank, header + 3, static_cast<std::uint16_t>(0x2000 + 16 * n));
        setRomByte(image, kStageBank, header + 5, static_cast<std::uint8_t>(n));
    }
    unsigned at = kBlockOffset + kBlockHead;
    for (const std::uint8_t byte : {2, 0x01, 0x00, 0x00})
        setRomByte(image, kBlockBank, at++, byte);
    return image;
}

std::vector<std::uint16_t> putBananaLists(std::vector<std::uint8_t>& image,
                                          const std::vector<std::vector<BananaAllocData>>& stages) {
    std::vector<int> counts;
    for (const auto& list : stages)
        counts.push_back(static_cast<int>(list.size()));
    const auto starts = putObjectTable(image, kDefaultBananaLevels, counts, kBananaEntrySize);
    for (std::size_t k = 0; k < stages.size(); ++k)
        for (std::size_t i = 0; i < stages[k].size(); ++i)
            writeBananaSlot(image, kDefaultBananaLevels, int(k), int(i), stages[k][i], kStageMapTypes[k]);
    return starts;
}

std::vector<std::uint16_t> putCameraLists(std::vector<std::uint8_t>& image,
                                          const std::vector<std::vector<CameraAllocData>>& stages) {
    std::vector<int> counts;
    for (const auto& list : stages)
        counts.push_back(static_cast<int>(list.size()));
    const auto starts = putObjectTable(image, kDefaultCameraLevels, counts, kCameraEntrySize);
    for (std::size_t k = 0; k < stages.size(); ++k)
        for (std::size_t i = 0; i < stages[k].size(); ++i)
            writeCameraSlot(image, kDefaultCameraLevels, int(k), int(i), stages[k][i], kStageMapTypes[k]);
    return starts;
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
    HWND list = GetDlgItem(page, listId);
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return L"<none>";
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

int ObjectPageTest::lineCount(HWND page, int listId) {
    return static_cast<int>(SendDlgItemMessageW(page, listId, LB_GETCOUNT, 0, 0));
}

int ObjectPageTest::selectedLine(HWND page, int listId) {
    return static_cast<int>(SendDlgItemMessageW(page, listId, LB_GETCURSEL, 0, 0));
}

void ObjectPageTest::chooseLine(HWND page, int listId, int index) {
    HWND list = GetDlgItem(page, listId);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
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

} // namespace vexa::test
