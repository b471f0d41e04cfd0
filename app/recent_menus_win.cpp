#include "app/recent_menus_win.h"

#include "app/ini_file.h"
#include "app/settings_win.h"

namespace vexa {

namespace {

void writeAll(const wchar_t* section, const ProfileWrites& writes) {
    for (const auto& [key, value] : writes)
        appGlobals().config.writeString(section, key.c_str(), value);
}

} // namespace

void replaceRecentItems(HMENU submenu, std::size_t oldCount, const std::vector<RecentMenuItem>& items) {
    if (!submenu) return;
    for (std::size_t i = 0; i < oldCount; ++i)
        DeleteMenu(submenu, 0, MF_BYPOSITION);
    UINT position = 0;
    for (const auto& item : items)
        InsertMenuW(submenu, position++, MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(item.commandId),
                    item.text.c_str());
}

std::wstring stageName(int number) {
    return nameText(romInfo().levelName(number), L"?", 64);
}

void RecentFileManager::load(HMENU submenu) {
    submenu_ = submenu;
    const std::size_t before = list_.size();
    list_.load([](const std::wstring& key) {
        return appGlobals().config.readString(kRecentFilesSection, key.c_str(), L"", kRecentFileTextChars);
    });
    replaceRecentItems(submenu_, before, list_.menuItems());
}

void RecentFileManager::addFile(const std::wstring& path) {
    const std::size_t before = list_.size();
    list_.addFile(path);
    replaceRecentItems(submenu_, before, list_.menuItems());
}

void RecentFileManager::clear() {
    replaceRecentItems(submenu_, list_.size(), {});
    writeAll(kRecentFilesSection, RecentFileList::clearedValues());
    list_.clear();
}

void RecentFileManager::save() const {
    writeAll(kRecentFilesSection, list_.savedValues());
}

bool RecentFileManager::handleCommand(int id) {
    if (id == kRecentFileClearCommand) {
        clear();
        return true;
    }
    if (!RecentFileList::isEntryCommand(id)) return false;
    if (const auto path = list_.entryForCommand(id)) open_(*path);
    return true;
}

std::vector<RecentMenuItem> RecentLevelManager::items() const {
    return list_.menuItems([](std::int32_t number) { return stageName(number); });
}

void RecentLevelManager::load(HMENU submenu) {
    submenu_ = submenu;
    const std::size_t before = list_.size();
    list_.load([](const std::wstring& key) {
        return appGlobals().config.readInt(kRecentLevelsSection, key.c_str(), kNoRecentLevel);
    });
    replaceRecentItems(submenu_, before, items());
}

void RecentLevelManager::addLevel(int number) {
    const std::size_t before = list_.size();
    list_.addLevel(number);
    replaceRecentItems(submenu_, before, items());
}

void RecentLevelManager::clear() {
    replaceRecentItems(submenu_, list_.size(), {});
    list_.clear();
}

void RecentLevelManager::save() const {
    writeAll(kRecentLevelsSection, list_.savedValues());
}

} // namespace vexa
