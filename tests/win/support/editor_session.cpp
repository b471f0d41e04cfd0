#include "support/editor_session.h"

#include "app/settings_win.h"
#include "stage/object_page_tools_win.h"
#include "stage/view/level_manager_win.h"

#include <algorithm>
#include <cstring>

namespace vexa::test {

namespace {

void registerClassesOnce() {
    static const bool registered = [] {
        setAppInstance(GetModuleHandleW(nullptr));
        return registerMainWindowClass(appInstance()) && registerMapViewClasses(appInstance());
    }();
    (void)registered;
}

} // namespace

std::vector<std::uint8_t> titledImage(std::uint8_t fill) {
    std::vector<std::uint8_t> image(kRomSize, fill);
    std::memcpy(&image[kPlainTitleOffset], kDefaultCartName.data(), kDefaultCartName.size());
    return image;
}

void pumpMessages(DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (ms) Sleep(5);
    } while (static_cast<LONG>(until - GetTickCount()) > 0);
}

void placePointer(POINT at) {
    // The system keeps the pointer on the screen; ask for where it can be.
    at.x = std::clamp<LONG>(at.x, 0, GetSystemMetrics(SM_CXSCREEN) - 1);
    at.y = std::clamp<LONG>(at.y, 0, GetSystemMetrics(SM_CYSCREEN) - 1);
    const auto there = [&] {
        POINT now{};
        return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
    };
    for (int tries = 0; tries < 20; ++tries) {
        SetCursorPos(at.x, at.y);
        pumpMessages(100);
        if (!there()) continue;
        pumpMessages(100);
        if (there()) break;
    }
}

std::wstring listBoxText(HWND list, int index) {
    return index >= 0 && index < listLineCount(list) ? listLine(list, index) : L"<none>";
}

EditorSession::EditorSession() {
    registerClassesOnce();
    useSettingsPaths(settingsPathsFor(folder.file(L"vexa_editor.exe")));
}

EditorSession::~EditorSession() {
    stop();
    pumpMessages();
}

std::wstring EditorSession::writeRom(const std::wstring& name, const std::vector<std::uint8_t>& image,
                                     const RomLayout& layout) {
    const std::wstring path = folder.file(name);
    writeBytes(path, encodeRomFile(image, layout));
    return path;
}

void EditorSession::writeSetting(const std::wstring& file, const std::string& text) {
    writeBytes(folder.file(file), std::vector<std::uint8_t>(text.begin(), text.end()));
}

bool EditorSession::start(const std::wstring& commandLine, int show) {
    project = std::make_unique<ProjectManager>();
    const bool created = project->create(commandLine.c_str(), show);
    pumpMessages();
    return created;
}

void EditorSession::stop() {
    if (project && project->hwnd && IsWindow(project->hwnd)) {
        project->document.markSaved();
        DestroyWindow(project->hwnd);
        pumpMessages();
    }
    // The main window posted its quit message; it must not end a later test's loop.
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

LRESULT EditorSession::command(int id) {
    const LRESULT result = SendMessageW(project->hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    pumpMessages();
    return result;
}

void EditorSession::comeBack() {
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr, nullptr,
                                 nullptr);
    SetActiveWindow(other);
    pumpMessages(30);
    SetActiveWindow(project->hwnd);
    pumpMessages(100);
    DestroyWindow(other);
    pumpMessages();
}

std::wstring EditorSession::menuText(int id) const {
    wchar_t text[512] = {};
    GetMenuStringW(menu(), static_cast<UINT>(id), text, 512, MF_BYCOMMAND);
    return text;
}

bool EditorSession::menuEnabled(int id) const {
    return (GetMenuState(menu(), static_cast<UINT>(id), MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

bool EditorSession::menuChecked(int id) const {
    return (GetMenuState(menu(), static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

std::vector<std::wstring> EditorSession::submenuTexts(HMENU submenu) const {
    std::vector<std::wstring> texts;
    for (int i = 0; i < GetMenuItemCount(submenu); ++i) {
        wchar_t text[512] = {};
        if (GetMenuState(submenu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR)
            texts.push_back(L"-");
        else {
            GetMenuStringW(submenu, static_cast<UINT>(i), text, 512, MF_BYPOSITION);
            texts.push_back(text);
        }
    }
    return texts;
}

std::wstring EditorSession::config(const wchar_t* section, const wchar_t* key) const {
    return appGlobals().config.readString(section, key, L"<missing>", 512);
}

} // namespace vexa::test
