// The two recent lists as submenus of the main window, kept in config.ini.
#pragma once

#include "app/recent_list.h"

#include <windows.h>

#include <functional>

namespace vexa {

// Replaces the first `oldCount` items of a recent submenu with the given items (the
// separator and the clear item behind them stay).
void replaceRecentItems(HMENU submenu, std::size_t oldCount, const std::vector<RecentMenuItem>& items);

class RecentFileManager {
public:
    // What choosing a file of the list does: the main window opens it.
    using OpenFile = std::function<void(const std::wstring& path)>;
    explicit RecentFileManager(OpenFile open) : open_(std::move(open)) {}

    void load(HMENU submenu);
    void addFile(const std::wstring& path);
    void clear();
    void save() const;
    bool handleCommand(int id);
    const RecentFileList& list() const { return list_; }

private:
    OpenFile open_;
    HMENU submenu_ = nullptr;
    RecentFileList list_;
};

class RecentLevelManager {
public:
    void load(HMENU submenu);
    void addLevel(int number);
    void clear();
    void save() const;
    std::optional<int> entryForCommand(int id) const { return list_.entryForCommand(id); }
    const RecentLevelList& list() const { return list_; }

private:
    std::vector<RecentMenuItem> items() const;

    HMENU submenu_ = nullptr;
    RecentLevelList list_;
};

// A stage's display name: [LevelName] "%02X" of rominfo.ini, "?" when missing.
std::wstring stageName(int number);

} // namespace vexa
