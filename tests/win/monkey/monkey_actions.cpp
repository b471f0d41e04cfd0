// What the monkey does: steps drawn at random from what the user can reach, aimed at
// the objects the stage really holds, and done through the editor's windows.
#include "monkey/monkey.h"

#include "app/main/project_manager_win.h"
#include "resources/resource_ids.h"
#include "resources/text_ids.h"
#include "stage/map_keys_helpers.h"
#include "stage/map_zoom.h"
#include "stage/view/stage_contents.h"
#include "support/other_process.h"
#include "terrain/terrain_cells.h"
#include "terrain/terrain_tool_win.h"
#include "ui/clipboard_win.h"
#include "ui/texts.h"

#include <commctrl.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>

namespace vexa::test::monkey {

namespace {

struct PageControls {
    std::vector<int> fields;
    std::vector<int> buttons;
    std::vector<int> checks;
    int applyAfterTyping;
};

const std::array<PageControls, 3>& pageControls() {
    static const std::array<PageControls, 3> controls{{
        {{IDC_SPRITE_PARAMETER, IDC_SPRITE_X, IDC_SPRITE_Y, IDC_SPRITE_TYPE},
         {IDC_SPRITE_APPLY, IDC_SPRITE_ADD, IDC_SPRITE_DELETE, IDC_SPRITE_UP, IDC_SPRITE_DOWN, IDC_SPRITE_SORT,
          IDC_SPRITE_TYPE_BROWSE},
         {},
         IDC_SPRITE_ADD},
        {{IDC_BANANA_X, IDC_BANANA_Y},
         {IDC_BANANA_APPLY, IDC_BANANA_UP, IDC_BANANA_DOWN, IDC_BANANA_SORT, IDC_BANANA_SET_WINDOW},
         {IDC_BANANA_FRONT1, IDC_BANANA_FRONT2},
         IDC_BANANA_APPLY},
        {{IDC_CAMERA_LEFT, IDC_CAMERA_TOP, IDC_CAMERA_RIGHT, IDC_CAMERA_BOTTOM},
         {IDC_CAMERA_APPLY, IDC_CAMERA_UP, IDC_CAMERA_DOWN, IDC_CAMERA_SORT},
         {IDC_CAMERA_RIGHT_LINK2, IDC_CAMERA_RIGHT_LINK, IDC_CAMERA_DOWN_LINK2, IDC_CAMERA_DOWN_LINK, IDC_CAMERA_P1,
          IDC_CAMERA_P2},
         IDC_CAMERA_APPLY},
    }};
    return controls;
}

// Menu commands with how often each is drawn: editing and viewing often, the file
// commands that open the system's dialogs seldom.
struct WeightedCommand {
    int id;
    int weight;
};
constexpr WeightedCommand kCommands[] = {
    {IDM_EDIT_UNDO, 12},         {IDM_EDIT_REDO, 8},         {IDM_EDIT_COPY, 3},           {IDM_EDIT_PASTE, 4},
    {IDM_EDIT_DELETE, 3},        {IDM_VIEW_MAP_CYCLE, 1},    {IDM_VIEW_SPRITES, 1},        {IDM_VIEW_BANANAS, 1},
    {IDM_VIEW_CAMERAS, 1},       {IDM_VIEW_GRID, 1},         {IDM_VIEW_STATUS_BAR, 1},     {IDM_VIEW_MAP_HIDDEN, 1},
    {IDM_VIEW_HISTORY, 1},       {IDM_VIEW_MAP_GRAPHICS, 1}, {IDM_VIEW_MAP_ATTRIBUTES, 1}, {IDM_VIEW_ZOOM_50, 1},
    {IDM_VIEW_ZOOM_100, 2},      {IDM_VIEW_ZOOM_200, 1},     {IDM_VIEW_ZOOM_300, 1},       {IDM_FILE_FIX_CHECKSUM, 1},
    {IDM_FILE_SAVE, 4},          {IDM_FILE_RELOAD, 2},       {IDM_FILE_CLOSE, 1},          {IDM_RECENT_FILE_FIRST, 2},
    {IDM_FILE_RESTORE, 1},       {IDM_FILE_TEST_PLAY, 1},    {IDM_FILE_EMULATOR, 1},       {IDM_STAGE_SELECT, 4},
    {IDM_RECENT_STAGE_CLEAR, 1}, {IDM_FILE_CREATE_PATCH, 1}, {IDM_FILE_SAVE_PICTURE, 1},   {IDM_FILE_SAVE_AS, 1},
    {IDM_FILE_OPEN, 1},          {IDM_RECENT_FILE_CLEAR, 1}, {IDM_VIEW_LANGUAGE_JA, 2},    {IDM_VIEW_LANGUAGE_EN, 2},
};

struct WeightedAct {
    Act act;
    int weight;
};
constexpr WeightedAct kActs[] = {
    {Act::Menu, 16},   {Act::RecentStage, 5}, {Act::Click, 8},     {Act::Drag, 14},        {Act::Wheel, 2},
    {Act::Scroll, 2},  {Act::Key, 10},        {Act::Tab, 3},       {Act::SelectLine, 7},   {Act::Type, 12},
    {Act::Press, 9},   {Act::Check, 3},       {Act::ChooseSet, 2}, {Act::OtherProgram, 1}, {Act::Resize, 1},
    {Act::Terrain, 8}, {Act::History, 3},     {Act::Tiled, 2},
};

template <typename T> const T& weighted(std::mt19937& rng, std::span<const T> items) {
    int total = 0;
    for (const T& item : items)
        total += item.weight;
    int pick = std::uniform_int_distribution<int>(0, total - 1)(rng);
    for (const T& item : items) {
        if (pick < item.weight) return item;
        pick -= item.weight;
    }
    return items.back();
}

int uniform(std::mt19937& rng, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

// Anything a user may type or paste: numbers in and out of range, hexadecimal,
// signs, spaces, full-width digits, letters, nothing, or far too much.
std::wstring anyText(std::mt19937& rng) {
    switch (uniform(rng, 0, 11)) {
    case 0:
    case 1:
    case 10:
    case 11: return std::to_wstring(uniform(rng, 0, 4096));
    case 2: return std::to_wstring(uniform(rng, -70000, 70000));
    case 3: {
        wchar_t hex[8];
        swprintf(hex, 8, L"%04X", uniform(rng, 0, 0xFFFF));
        return hex;
    }
    case 4: return L"";
    case 5: return std::wstring(static_cast<std::size_t>(uniform(rng, 1, 400)), L"9x-"[uniform(rng, 0, 2)]);
    default: {
        static const std::wstring pool = L"0123456789ABCDEFabcdefxX+- \t.,０１９ー全角\u3000";
        std::wstring text;
        for (int n = uniform(rng, 1, 8); n > 0; --n)
            text += pool[static_cast<std::size_t>(uniform(rng, 0, static_cast<int>(pool.size()) - 1))];
        return text;
    }
    }
}

// The points of the stage's objects that a press picks: sprites at their spot,
// bananas inside their cell, cameras at a corner, an edge or inside.
std::vector<POINT> objectPoints(const StageContents& stage) {
    std::vector<POINT> points;
    for (const SpriteAllocData& sprite : stage.sprites.sprites)
        points.push_back({sprite.x, sprite.y});
    for (const BananaAllocData& banana : stage.bananas.bananas)
        points.push_back({banana.x + 4, banana.y + 4});
    for (const CameraAllocData& camera : stage.cameras.cameras) {
        const int midX = (camera.left + camera.right) / 2;
        const int midY = (camera.top + camera.bottom) / 2;
        for (const POINT p : {POINT{camera.left, camera.top}, POINT{camera.right - 1, camera.bottom - 1},
                              POINT{camera.right - 1, camera.top}, POINT{camera.left, camera.bottom - 1},
                              POINT{camera.left, midY}, POINT{camera.right - 1, midY}, POINT{midX, camera.top},
                              POINT{midX, camera.bottom - 1}, POINT{midX, midY}})
            points.push_back(p);
    }
    return points;
}

// The file name fields of the system's file dialog (the combo box of the newer one,
// the edit field of the older).
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

// Four hexadecimal digits of a word, or something a word is not.
std::wstring someWord(std::mt19937& rng, bool wellFormed) {
    wchar_t hex[8];
    swprintf(hex, 8, L"%04X", uniform(rng, 0, 0xFFFF));
    if (wellFormed) return hex;
    static const wchar_t* const wrong[] = {L"zz", L"12345", L"-1", L"０１２３", L"0x12", L"FFFFF", L"1 2", L"\u3000"};
    return uniform(rng, 0, 2) ? wrong[uniform(rng, 0, 7)] : std::wstring(hex).substr(0, uniform(rng, 1, 3));
}

// Rows of words as another program may put them on the clipboard: well formed, or
// with a word that is not one, ragged rows, odd separators and far too many of them.
std::wstring cellsText(std::mt19937& rng, bool wellFormed) {
    const int width = uniform(rng, 0, 4) == 0 ? uniform(rng, 20, 300) : uniform(rng, 1, 6);
    const int height = uniform(rng, 0, 4) == 0 ? uniform(rng, 20, 300) : uniform(rng, 1, 6);
    const int broken = wellFormed ? -1 : uniform(rng, 0, width * height - 1);
    std::wstring text;
    for (int row = 0; row < height; ++row) {
        const int cells = wellFormed || uniform(rng, 0, 3) ? width : uniform(rng, 0, width + 2);
        for (int column = 0; column < cells; ++column) {
            if (column) text += uniform(rng, 0, 5) ? L" " : L"\t";
            text += someWord(rng, row * width + column != broken);
        }
        text += uniform(rng, 0, 7) ? L"\r\n" : L"\n";
    }
    return text;
}

using Json = nlohmann::json;

// One random change of the stage's own Tiled map: cells given other tiles (many at
// once now and then, so that the terrain's block grows), objects moved, taken out or
// doubled, properties given other values.
void changeMap(Json& map, std::mt19937& rng) {
    Json& layers = map["layers"];
    if (!layers.is_array() || layers.empty()) return;
    Json& layer = layers[static_cast<std::size_t>(uniform(rng, 0, static_cast<int>(layers.size()) - 1))];
    if (layer.contains("data") && layer["data"].is_array() && !layer["data"].empty()) {
        Json& data = layer["data"];
        const int cells = static_cast<int>(data.size());
        const int at = uniform(rng, 0, cells - 1);
        const int run = uniform(rng, 0, 3) == 0 ? uniform(rng, 2, 300) : 1;
        for (int i = at; i < std::min(cells, at + run); ++i) {
            const Json& other = data[static_cast<std::size_t>(uniform(rng, 0, cells - 1))];
            data[static_cast<std::size_t>(i)] = uniform(rng, 0, 9) ? other : Json(uniform(rng, 0, 5000));
        }
        return;
    }
    if (!layer.contains("objects") || !layer["objects"].is_array() || layer["objects"].empty()) return;
    Json& objects = layer["objects"];
    const auto which = static_cast<std::size_t>(uniform(rng, 0, static_cast<int>(objects.size()) - 1));
    Json& object = objects[which];
    switch (uniform(rng, 0, 5)) {
    case 0: objects.erase(which); break;
    case 1:
        objects.push_back(object);
        objects.back()["id"] = map.value("nextobjectid", 1);
        map["nextobjectid"] = map.value("nextobjectid", 1) + 1;
        break;
    case 2:
        if (object.contains("properties") && object["properties"].is_array() && !object["properties"].empty()) {
            Json& property = object["properties"][0];
            property["value"] = uniform(rng, 0, 1) ? Json(uniform(rng, -5, 70000)) : Json("x");
        }
        break;
    default: {
        const int reach = uniform(rng, 0, 5) == 0 ? 5000 : 48;
        for (const char* axis : {"x", "y"})
            if (object.contains(axis) && object[axis].is_number())
                object[axis] = object[axis].get<double>() + uniform(rng, -reach, reach);
        break;
    }
    }
}

} // namespace

std::string describe(const Action& action) {
    static const char* const names[] = {"menu",   "recent-stage", "click",   "drag",    "wheel", "scroll", "key",
                                        "tab",    "line",         "type",    "press",   "check", "set",    "other",
                                        "resize", "open",         "terrain", "history", "tiled"};
    std::string text = names[static_cast<int>(action.act)];
    for (const int value : {action.a, action.b, action.c, action.d})
        text += " " + std::to_string(value);
    if (action.keys) text += " keys " + std::to_string(action.keys);
    text += " answer " + std::to_string(action.answer);
    if (action.act == Act::Type || action.act == Act::Terrain) {
        text += " \"";
        for (const wchar_t ch : action.text) {
            if (ch >= 0x20 && ch < 0x7F && ch != L'"' && ch != L'\\')
                text += static_cast<char>(ch);
            else {
                char escaped[12];
                snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(ch));
                text += escaped;
            }
        }
        text += "\"";
    }
    return text;
}

Action MonkeySession::generate(std::mt19937& rng) {
    Action action;
    action.act = weighted<WeightedAct>(rng, kActs).act;
    action.answer = uniform(rng, 0, 5);
    StageContents stage;
    if (loaded())
        stage = loadStageContents(image(), editor.project->levels.host.romInfo(), editor.project->levels.stageNumber);
    const int mapWidth = std::max(stage.mapWidth(), 256);
    const int mapHeight = std::max(stage.mapHeight(), 256);
    const std::vector<POINT> objects = objectPoints(stage);
    auto somePoint = [&](bool onObject) {
        if (onObject && !objects.empty()) {
            const POINT at = objects[static_cast<std::size_t>(uniform(rng, 0, static_cast<int>(objects.size()) - 1))];
            const int jitter = uniform(rng, 0, 3) == 0 ? 3 : 0;
            return POINT{at.x + uniform(rng, -jitter, jitter), at.y + uniform(rng, -jitter, jitter)};
        }
        return POINT{uniform(rng, -16, mapWidth + 16), uniform(rng, -16, mapHeight + 16)};
    };
    // With no ROM open a user soon opens one again, or has it put back when the other
    // program broke or deleted it.
    if (!loaded() && uniform(rng, 0, 3) == 0) {
        action.act = uniform(rng, 0, 1) ? Act::OpenFile : Act::OtherProgram;
        action.a = 0;
        return action;
    }
    switch (action.act) {
    case Act::Menu: action.a = weighted<WeightedCommand>(rng, kCommands).id; break;
    case Act::RecentStage: action.a = uniform(rng, 0, 5); break;
    case Act::Click: {
        const POINT at = somePoint(uniform(rng, 0, 3) != 0);
        action.a = at.x;
        action.b = at.y;
        action.c = uniform(rng, 0, 4) == 0;
        action.keys = uniform(rng, 0, 2) == 0 ? MK_CONTROL : 0;
        break;
    }
    case Act::Drag: {
        const POINT from = somePoint(uniform(rng, 0, 7) != 0);
        // Mostly a short move, sometimes across the map or out of it.
        const int reach = uniform(rng, 0, 5) == 0 ? 2000 : 64;
        action.a = from.x;
        action.b = from.y;
        action.c = from.x + uniform(rng, -reach, reach);
        action.d = from.y + uniform(rng, -reach, reach);
        action.keys = std::array{0, 0, MK_SHIFT, MK_CONTROL}[static_cast<std::size_t>(uniform(rng, 0, 3))];
        break;
    }
    case Act::Wheel:
        action.a = uniform(rng, 0, 1) ? uniform(rng, 1, 3) : -uniform(rng, 1, 3);
        action.b = uniform(rng, 0, 2) == 0;
        break;
    case Act::Scroll:
        action.a = uniform(rng, 0, 1);
        action.b = std::array{SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN, SB_TOP, SB_BOTTOM}[uniform(rng, 0, 5)];
        break;
    case Act::Key: {
        // Editing keys mostly; the letters that hide a layer or change the map now and then.
        static constexpr std::array<std::pair<int, int>, 20> keys{
            {{VK_DELETE, 0},   {VK_DELETE, 0},    {'C', 1},     {'C', 1},      {'V', 1},
             {'V', 1},         {'V', 1},          {VK_LEFT, 2}, {VK_RIGHT, 2}, {VK_UP, 2},
             {VK_DOWN, 2},     {VK_LEFT, 2},      {VK_DOWN, 2}, {VK_LEFT, 0},  {VK_DOWN, 1},
             {VK_OEM_PLUS, 1}, {VK_OEM_MINUS, 1}, {'G', 0},     {'A', 1},      {VK_ESCAPE, 0}}};
        static constexpr std::array<int, 4> letters{'S', 'B', 'C', 'M'};
        const auto key = uniform(rng, 0, 9) == 0
                             ? std::pair<int, int>{letters[static_cast<std::size_t>(uniform(rng, 0, 3))], 0}
                             : keys[static_cast<std::size_t>(uniform(rng, 0, keys.size() - 1))];
        action.a = key.first;
        action.b = key.second;
        break;
    }
    case Act::Tab: action.a = uniform(rng, 0, 3); break;
    case Act::SelectLine: {
        action.a = uniform(rng, 0, 2);
        const std::size_t count = action.a == 0   ? stage.sprites.sprites.size()
                                  : action.a == 1 ? stage.bananas.bananas.size()
                                                  : stage.cameras.cameras.size();
        action.b = uniform(rng, 0, static_cast<int>(count) + 1) - 1; // -1: no line
        action.c = uniform(rng, 0, 3) == 0;
        break;
    }
    case Act::Type: {
        action.a = uniform(rng, 0, 2);
        const std::vector<int>& fields = pageControls()[static_cast<std::size_t>(action.a)].fields;
        action.b = fields[static_cast<std::size_t>(uniform(rng, 0, static_cast<int>(fields.size()) - 1))];
        action.text = anyText(rng);
        action.c = uniform(rng, 0, 2) == 0;
        break;
    }
    case Act::Press:
    case Act::Check: {
        action.a = uniform(rng, 0, action.act == Act::Check ? 1 : 2) + (action.act == Act::Check);
        const PageControls& page = pageControls()[static_cast<std::size_t>(action.a)];
        const std::vector<int>& ids = action.act == Act::Press ? page.buttons : page.checks;
        action.b = ids[static_cast<std::size_t>(uniform(rng, 0, static_cast<int>(ids.size()) - 1))];
        break;
    }
    case Act::ChooseSet: action.b = uniform(rng, 0, 255); break;
    case Act::OtherProgram: action.a = uniform(rng, 0, 3); break;
    case Act::Resize:
        action.a = uniform(rng, 300, 1200);
        action.b = uniform(rng, 200, 900);
        break;
    case Act::OpenFile: break;
    case Act::History: action.a = uniform(rng, 0, 40); break;
    case Act::Tiled:
        action.a = uniform(rng, 0, kTiledStepCount - 1);
        action.b = uniform(rng, 0, 5);
        action.d = uniform(rng, 0, 1 << 30);
        break;
    case Act::Terrain: {
        action.a = uniform(rng, 0, kTerrainStepCount - 1);
        const POINT at = somePoint(false);
        action.b = action.a == kTerrainTool      ? uniform(rng, 0, 3)
                   : action.a == kTerrainPalette ? uniform(rng, 0, 4095)
                   : action.a == kTerrainMode    ? uniform(rng, 0, 1)
                                                 : at.x;
        action.c = at.y;
        action.d = uniform(rng, -6, 6);
        if (action.a == kTerrainWord) action.text = anyText(rng);
        if (action.a == kTerrainPaste) {
            action.b = uniform(rng, 0, 5);
            action.d = uniform(rng, 0, 1 << 30);
        }
        break;
    }
    }
    return action;
}

HWND MonkeySession::pageWindow(int page) const {
    LevelManager& levels = editor.project->levels;
    const HWND pages[] = {levels.sprites.hwnd, levels.bananas.hwnd, levels.cameras.hwnd, levels.terrainPage.hwnd};
    return pages[std::clamp(page, 0, 3)];
}

void MonkeySession::showPage(int page) {
    HWND tabs = editor.project->levels.inspector.tabControl;
    if (SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == page) return;
    SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    NMHDR header{tabs, 0, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(editor.project->levels.inspectorWindow(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    pumpMessages();
}

POINT MonkeySession::clientPoint(int mapX, int mapY) const {
    const LevelManager& levels = editor.project->levels;
    const POINT scroll = levels.scrollPosition();
    return {static_cast<LONG>(mapToView(mapX, levels.zoomPercent()) - scroll.x),
            static_cast<LONG>(mapToView(mapY, levels.zoomPercent()) - scroll.y)};
}

void MonkeySession::mouse(UINT message, WPARAM keys, POINT client) {
    SendMessageW(editor.project->levels.hwnd, message, keys,
                 MAKELPARAM(static_cast<WORD>(client.x), static_cast<WORD>(client.y)));
}

int MonkeySession::answerDialog(HWND dialog, const SeenDialog& seen, DialogAnswerer::Action& act) {
    const int choice = currentAnswer_ + dialogsThisStep_++;
    if (GetDlgItem(dialog, kListId)) {
        // A list to choose from: a line, then OK; now and then Cancel.
        act = [choice](HWND shown) {
            HWND lines = GetDlgItem(shown, kListId);
            const LRESULT count = SendMessageW(lines, LB_GETCOUNT, 0, 0);
            if (count <= 0) return;
            SendMessageW(lines, LB_SETCURSEL, static_cast<WPARAM>((choice * 7919) % count), 0);
            SendMessageW(shown, WM_COMMAND, MAKEWPARAM(kListId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(lines));
        };
        return choice % 5 == 4 ? IDCANCEL : IDOK;
    }
    if (!fileToChoose_.empty() && seen.text.empty() &&
        (GetDlgItem(dialog, kFileNameCombo) || GetDlgItem(dialog, kFileNameEdit))) {
        act = [path = fileToChoose_](HWND shown) {
            for (const int id : {kFileNameCombo, kFileNameEdit})
                SetDlgItemTextW(shown, id, path.c_str());
        };
        fileToChoose_.clear();
        return IDOK;
    }
    // The file dialog's own question before a file is replaced: yes, as a user who
    // exports the stage again would say.
    if (isOverwriteQuestion(seen) && GetDlgItem(dialog, IDYES)) return IDYES;
    if (GetDlgItem(dialog, IDC_EMULATOR_PATH) && seen.text.empty()) {
        act = [choice](HWND shown) {
            SetDlgItemTextW(shown, IDC_EMULATOR_PATH, choice % 2 ? L"C:\\nowhere\\snes.exe" : L"");
        };
        return choice % 3 == 2 ? IDCANCEL : IDOK;
    }
    // Message boxes: one of the buttons the box has.
    std::vector<int> buttons;
    for (const int id : {IDYES, IDNO, IDOK, IDCANCEL})
        if (GetDlgItem(dialog, id)) buttons.push_back(id);
    if (buttons.empty() || !seen.text.size()) return IDCANCEL; // the system's file dialogs
    return buttons[static_cast<std::size_t>(choice) % buttons.size()];
}

void MonkeySession::menuCommand(int id) {
    HWND main = editor.project->hwnd;
    HMENU bar = GetMenu(main);
    // What the user sees when a menu opens: the Edit items are refreshed then.
    for (int popup = 0; popup < GetMenuItemCount(bar); ++popup)
        SendMessageW(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(bar, popup)), popup);
    if (id == IDM_RECENT_FILE_FIRST && GetMenuState(bar, static_cast<UINT>(id), MF_BYCOMMAND) == 0xFFFFFFFF) return;
    if (!editor.menuEnabled(id)) return;
    editor.command(id);
}

void MonkeySession::otherProgram(int mode) {
    const std::wstring side = editor.folder.file(L"other.bin");
    switch (mode) {
    case 0: writeBytes(side, sampleRomFile(game_.game, game_.options)); break;
    case 1: writeBytes(side, std::vector<std::uint8_t>(1000, 0xEE)); break;
    default: break;
    }
    const std::wstring quoted = L"\"" + romPath_ + L"\"";
    if (mode <= 1) {
        runFileStress(L"copy \"" + side + L"\" " + quoted);
        otherProgramWrote_ = true;
        diskBroken_ = mode == 1;
    } else if (mode == 2) {
        runFileStress(L"delete " + quoted);
        otherProgramWrote_ = true;
        diskBroken_ = false;
    } else {
        const FILETIME later{static_cast<DWORD>(GetTickCount()), 0x01E00000};
        HANDLE file = CreateFileW(romPath_.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            SetFileTime(file, nullptr, nullptr, &later);
            CloseHandle(file);
        }
    }
    editor.comeBack();
}

void MonkeySession::perform(const Action& action) {
    LevelManager& levels = editor.project->levels;
    HWND view = levels.hwnd;
    switch (action.act) {
    case Act::Menu: menuCommand(action.a); break;
    case Act::RecentStage: {
        HMENU stages = GetSubMenu(GetSubMenu(editor.menu(), MENU_POS_STAGE), MENU_POS_RECENT_STAGES);
        const int id = IDM_RECENT_STAGE_FIRST + action.a;
        if (GetMenuState(stages, static_cast<UINT>(id), MF_BYCOMMAND) != 0xFFFFFFFF) menuCommand(id);
        break;
    }
    case Act::Click:
    case Act::Drag: {
        if (!levels.isInView(action.a, action.b)) levels.centerOn(action.a, action.b);
        pumpMessages();
        const POINT from = clientPoint(action.a, action.b);
        const auto held = static_cast<WPARAM>(action.keys);
        mouse(WM_LBUTTONDOWN, MK_LBUTTON | held, from);
        if (action.act == Act::Drag) {
            const POINT to = clientPoint(action.c, action.d);
            mouse(WM_MOUSEMOVE, MK_LBUTTON | held, {(from.x + to.x) / 2, (from.y + to.y) / 2});
            mouse(WM_MOUSEMOVE, MK_LBUTTON | held, to);
            mouse(WM_LBUTTONUP, held, to);
        } else {
            mouse(WM_LBUTTONUP, held, from);
            if (action.c) {
                mouse(WM_LBUTTONDBLCLK, MK_LBUTTON | held, from);
                mouse(WM_LBUTTONUP, held, from);
            }
        }
        pumpMessages();
        break;
    }
    case Act::Wheel: {
        RECT client{};
        GetClientRect(view, &client);
        POINT centre{client.right / 2, client.bottom / 2};
        ClientToScreen(view, &centre);
        const WPARAM keys = action.b ? MK_CONTROL : 0;
        SendMessageW(view, WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(action.a * WHEEL_DELTA)),
                     MAKELPARAM(static_cast<WORD>(centre.x), static_cast<WORD>(centre.y)));
        pumpMessages();
        break;
    }
    case Act::Scroll:
        SendMessageW(view, action.a ? WM_VSCROLL : WM_HSCROLL, static_cast<WPARAM>(action.b), 0);
        pumpMessages();
        break;
    case Act::Key: pressMapKey(view, static_cast<WPARAM>(action.a), action.b); break;
    case Act::Tab: showPage(action.a); break;
    case Act::SelectLine: {
        showPage(action.a);
        HWND page = pageWindow(action.a);
        HWND list = GetDlgItem(page, kListId);
        selectListLines(list, {action.b});
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(kListId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        if (action.c && action.b >= 0)
            SendMessageW(page, WM_COMMAND, MAKEWPARAM(kListId, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
        pumpMessages();
        break;
    }
    case Act::Type:
    case Act::Press:
    case Act::Check: {
        showPage(action.a);
        HWND page = pageWindow(action.a);
        HWND control = GetDlgItem(page, action.b);
        // The user reaches only what is enabled.
        if (!IsWindowEnabled(control)) break;
        if (action.act == Act::Type) {
            SetWindowTextW(control, action.text.c_str());
            pumpMessages();
            if (!action.c) break;
            control = GetDlgItem(page, pageControls()[static_cast<std::size_t>(action.a)].applyAfterTyping);
            if (!IsWindowEnabled(control)) break;
        }
        if (action.act == Act::Check)
            SendMessageW(control, BM_CLICK, 0, 0);
        else
            SendMessageW(page, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                         reinterpret_cast<LPARAM>(control));
        pumpMessages();
        break;
    }
    case Act::ChooseSet: {
        showPage(1);
        HWND page = pageWindow(1);
        HWND sets = GetDlgItem(page, IDC_BANANA_SET);
        if (!IsWindowEnabled(sets)) break;
        const LRESULT count = SendMessageW(sets, CB_GETCOUNT, 0, 0);
        if (count <= 0) break;
        SendMessageW(sets, CB_SETCURSEL, static_cast<WPARAM>(action.b % count), 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_BANANA_SET, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sets));
        pumpMessages();
        break;
    }
    case Act::OtherProgram: otherProgram(action.a); break;
    case Act::Resize:
        MoveWindow(editor.project->hwnd, 0, 0, action.a, action.b, TRUE);
        pumpMessages();
        break;
    case Act::OpenFile:
        editor.project->openRomPath(romPath_);
        pumpMessages();
        break;
    case Act::Terrain: terrainStep(action); break;
    case Act::Tiled: tiledStep(action); break;
    case Act::History: {
        // A click on a line of the history window, shown first when hidden: a jump.
        HistoryWindow& history = editor.project->history;
        if (!IsWindowVisible(history.hwnd)) menuCommand(IDM_VIEW_HISTORY);
        const LRESULT count = SendMessageW(history.list, LB_GETCOUNT, 0, 0);
        if (count <= 0) break;
        SendMessageW(history.list, LB_SETCURSEL, static_cast<WPARAM>(action.a % count), 0);
        SendMessageW(history.hwnd, WM_COMMAND, MAKEWPARAM(IDC_HISTORY_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(history.list));
        pumpMessages();
        break;
    }
    }
}

void MonkeySession::terrainStep(const Action& action) {
    LevelManager& levels = editor.project->levels;
    HWND page = levels.terrainPage.hwnd;
    switch (action.a) {
    case kTerrainMode:
        if (action.b)
            pressMapKey(levels.hwnd, 'T');
        else
            menuCommand(IDM_EDIT_TERRAIN);
        break;
    case kTerrainTool: {
        showPage(3);
        HWND button = GetDlgItem(page, IDC_TERRAIN_PEN + action.b);
        if (IsWindowEnabled(button)) SendMessageW(button, BM_CLICK, 0, 0);
        break;
    }
    case kTerrainPalette: {
        showPage(3);
        HWND button = GetDlgItem(page, IDC_TERRAIN_PALETTE);
        if (!IsWindowEnabled(button)) break;
        SendMessageW(button, BM_CLICK, 0, 0);
        pumpMessages();
        ChipPalette& palette = levels.chipPalette;
        const PaletteLayout& layout = palette.layout();
        if (layout.chips.empty()) break;
        const int chip = layout.chips[static_cast<std::size_t>(action.b) % layout.chips.size()];
        const auto cell = layout.cellOf(chip);
        palette.vScroll.setPositionInRange(cell->second - 40);
        palette.hScroll.setPositionInRange(cell->first - 40);
        if (const auto at = palette.clientOfChip(chip))
            SendMessageW(palette.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at->x + 2, at->y + 2));
        break;
    }
    case kTerrainPick:
    case kTerrainEscape: {
        if (!levels.isInView(action.b, action.c)) levels.centerOn(action.b, action.c);
        pumpMessages();
        const POINT from = clientPoint(action.b, action.c);
        if (action.a == kTerrainPick) {
            mouse(WM_RBUTTONDOWN, MK_RBUTTON, from);
            mouse(WM_RBUTTONUP, 0, from);
            break;
        }
        mouse(WM_LBUTTONDOWN, MK_LBUTTON, from);
        mouse(WM_MOUSEMOVE, MK_LBUTTON, clientPoint(action.b + action.d * 32, action.c + action.d * 16));
        SendMessageW(levels.hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
        mouse(WM_LBUTTONUP, 0, from);
        break;
    }
    case kTerrainPaste: terrainPaste(action); break;
    case kTerrainWord: {
        showPage(3);
        HWND field = GetDlgItem(page, IDC_TERRAIN_WORD);
        if (!IsWindowEnabled(field)) break;
        SetWindowTextW(field, action.text.c_str());
        SetFocus(field);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        break;
    }
    default: break;
    }
    pumpMessages();
}

} // namespace vexa::test::monkey

namespace vexa::test::monkey {

void MonkeySession::terrainPaste(const Action& action) {
    std::mt19937 rng(static_cast<std::uint32_t>(action.d));
    showPage(3);
    std::vector<std::uint8_t> bytes;
    std::wstring text;
    switch (action.b) {
    case 0:
    case 1: text = cellsText(rng, action.b == 0); break;
    case 2: text = anyText(rng); break;
    default: {
        TerrainCells cells{uniform(rng, 1, 8), uniform(rng, 1, 8), {}};
        for (int i = cells.width * cells.height; i > 0; --i)
            cells.words.push_back(static_cast<std::uint16_t>(uniform(rng, 0, 0xFFFF)));
        bytes = encodeTerrainCells(cells);
        text = terrainCellsText(cells);
        // The editor's own form cut short, with bytes changed, or bytes of nothing.
        if (action.b == 4) bytes.resize(static_cast<std::size_t>(uniform(rng, 0, static_cast<int>(bytes.size()))));
        if (action.b == 5)
            for (int n = uniform(rng, 1, 4); n > 0; --n)
                bytes[static_cast<std::size_t>(uniform(rng, 0, static_cast<int>(bytes.size()) - 1))] ^=
                    static_cast<std::uint8_t>(uniform(rng, 1, 255));
        if (uniform(rng, 0, 2) == 0) text.clear();
        break;
    }
    }
    const ClipboardForm forms[] = {{terrainClipboardFormat(), bytes}};
    putOnClipboard(nullptr, std::span(forms, bytes.empty() ? 0 : 1), text);
    pressMapKey(editor.project->levels.hwnd, 'V', kCtrl);
}

void MonkeySession::commandOnFile(int command, const std::wstring& path) {
    fileToChoose_ = path;
    menuCommand(command);
    fileToChoose_.clear();
}

void MonkeySession::tiledStep(const Action& action) {
    const std::wstring map = editor.folder.file(L"stage.tmj");
    if (action.a == kTiledExport) return commandOnFile(IDM_FILE_TILED_EXPORT, map);
    // What the import reads starts as the stage's own export.
    DeleteFileW(map.c_str());
    commandOnFile(IDM_FILE_TILED_EXPORT, map);
    std::vector<std::uint8_t> bytes = readBytes(map);
    std::mt19937 rng(static_cast<std::uint32_t>(action.d));
    Json parsed = Json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (action.a == kTiledImportChanged) {
        if (parsed.is_discarded()) return;
        for (int n = uniform(rng, 1, 4); n > 0; --n)
            changeMap(parsed, rng);
        const std::string text = parsed.dump();
        bytes.assign(text.begin(), text.end());
    } else {
        switch (action.b) {
        case 0: bytes.resize(static_cast<std::size_t>(uniform(rng, 0, static_cast<int>(bytes.size())))); break;
        case 1:
            bytes.resize(static_cast<std::size_t>(uniform(rng, 0, 3000)));
            for (std::uint8_t& byte : bytes)
                byte = static_cast<std::uint8_t>(uniform(rng, 0, 255));
            break;
        case 2:
            if (!parsed.is_discarded() && parsed.contains("width")) {
                parsed["width"] = parsed["width"].get<int>() + uniform(rng, 1, 3);
                const std::string text = parsed.dump();
                bytes.assign(text.begin(), text.end());
            }
            break;
        case 3: writeBytes(editor.folder.file(L"stage.chips.tsj"), {'{', '"', 't'}); break;
        case 4: DeleteFileW(editor.folder.file(L"stage.attributes.tsj").c_str()); break;
        default:
            for (int n = uniform(rng, 1, 8); n > 0 && !bytes.empty(); --n)
                bytes[static_cast<std::size_t>(uniform(rng, 0, static_cast<int>(bytes.size()) - 1))] =
                    static_cast<std::uint8_t>(uniform(rng, 0x20, 0x7E));
            break;
        }
    }
    writeBytes(map, bytes);
    commandOnFile(IDM_FILE_TILED_IMPORT, map);
}

} // namespace vexa::test::monkey
