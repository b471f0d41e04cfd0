// The two most-recently-used lists of the editor: ROM files (File menu) and stages
// (Stage menu). Both keep the newest entry first, hold at most 16 entries and move an
// entry that is used again to the front. The submenus and config.ini are the Win32
// side's; this side says which items and which keys they get.
#pragma once

#include "resources/resource_ids.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexa {

inline constexpr std::size_t kRecentCapacity = 16;

inline constexpr int kRecentFileFirstCommand = IDM_RECENT_FILE_FIRST;
inline constexpr int kRecentFileLastCommand = IDM_RECENT_FILE_LAST;
inline constexpr int kRecentFileClearCommand = IDM_RECENT_FILE_CLEAR;
inline constexpr int kRecentLevelFirstCommand = IDM_RECENT_STAGE_FIRST;
inline constexpr int kRecentLevelLastCommand = IDM_RECENT_STAGE_LAST;
inline constexpr int kRecentLevelClearCommand = IDM_RECENT_STAGE_CLEAR;

// Item texts are formatted into buffers of this many characters, the end included.
inline constexpr std::size_t kRecentFileTextChars = 260;
inline constexpr std::size_t kRecentLevelTextChars = 64;

inline constexpr const wchar_t* kRecentFilesSection = L"RecentFiles";
inline constexpr const wchar_t* kRecentLevelsSection = L"RecentLevels";
inline constexpr std::int32_t kNoRecentLevel = -1; // ends the stage list in config.ini

// One string item of a recent submenu; item j goes to position j, before the separator.
struct RecentMenuItem {
    int commandId;
    std::wstring text;
    bool operator==(const RecentMenuItem&) const = default;
};

// Keys of config.ini in write order, each with the text to write.
using ProfileWrites = std::vector<std::pair<std::wstring, std::wstring>>;

// Path equality without regard to letter case. Folds ASCII, Latin-1, Latin
// Extended-A, Greek, Cyrillic and fullwidth Latin letters by their simple case
// folding; every other character must match exactly.
bool equalPathsIgnoringCase(std::wstring_view a, std::wstring_view b);

// "&%d %s" (as made at load, the digit being the mnemonic) or "%d %s", cut to 259.
std::wstring recentFileText(std::size_t position, std::wstring_view path, bool mnemonic);
// "%02X: %s", cut to 63.
std::wstring recentLevelText(std::int32_t number, std::wstring_view name);

template <typename T> class RecentEntries {
public:
    const std::deque<T>& entries() const { return list; }
    std::size_t size() const { return list.size(); }
    bool empty() const { return list.empty(); }

protected:
    template <typename Same> void moveToFront(T value, Same same) {
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (same(*it, value)) {
                list.erase(it);
                break;
            }
        }
        while (list.size() >= kRecentCapacity)
            list.pop_back();
        list.push_front(std::move(value));
    }
    std::optional<T> entryAt(int id, int firstCommand, int lastCommand) const {
        if (id < firstCommand || id > lastCommand) return std::nullopt;
        const auto index = static_cast<std::size_t>(id - firstCommand);
        if (index >= list.size()) return std::nullopt;
        return list[index];
    }

    std::deque<T> list; // newest at the front
};

class RecentFileList : public RecentEntries<std::wstring> {
public:
    // The value of a key of RecentFiles, "" when missing.
    using ReadValue = std::function<std::wstring(const std::wstring& key)>;

    // Replaces the entries by keys "0".."15", stopping at the first empty value.
    void load(const ReadValue& read);
    // Moves the path to the front. An empty path is ignored: as an entry it would end
    // the list the next time it is loaded.
    void addFile(const std::wstring& path);
    void clear();

    // Right after load the texts carry the "&" mnemonic; after any addFile they do not.
    std::vector<RecentMenuItem> menuItems() const;
    // Save: the entries only; keys after the last entry keep what they hold.
    ProfileWrites savedValues() const;
    // Clear: all sixteen keys emptied at once.
    static ProfileWrites clearedValues();

    static bool isEntryCommand(int id) { return id >= kRecentFileFirstCommand && id <= kRecentFileLastCommand; }
    // A copy, since opening the file reorders the list.
    std::optional<std::wstring> entryForCommand(int id) const {
        return entryAt(id, kRecentFileFirstCommand, kRecentFileLastCommand);
    }

private:
    bool mnemonics = false;
};

class RecentLevelList : public RecentEntries<std::int32_t> {
public:
    // The integer value of a key of RecentLevels, kNoRecentLevel when missing.
    using ReadNumber = std::function<std::int32_t(const std::wstring& key)>;
    // The name of a stage: LevelName "%02X" of rominfo.ini, "?" when missing.
    using StageName = std::function<std::wstring(std::int32_t number)>;

    // Replaces the entries by keys "0".."15", stopping at the first -1.
    void load(const ReadNumber& read);
    // Moves the stage to the front; -1 is ignored, since it would end the saved list.
    void addLevel(std::int32_t number);
    void clear() { list.clear(); } // nothing is written until the list is saved

    std::vector<RecentMenuItem> menuItems(const StageName& name) const;
    // Save: the entries, then "-1" in every key after them up to "15".
    ProfileWrites savedValues() const;

    static bool isEntryCommand(int id) { return id >= kRecentLevelFirstCommand && id <= kRecentLevelLastCommand; }
    std::optional<std::int32_t> entryForCommand(int id) const {
        return entryAt(id, kRecentLevelFirstCommand, kRecentLevelLastCommand);
    }
};

} // namespace vexa
