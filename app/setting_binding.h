// Settings of config.ini bound to the members that hold them: each value is named
// once, with its section, its key and the default a missing key takes, and the same
// list serves reading (when its window is created) and writing (when it is
// destroyed), in list order.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <variant>

namespace vexa {

struct IntSetting {
    const wchar_t* section;
    const wchar_t* key;
    std::int32_t defaultValue;
    std::variant<std::int32_t*, bool*> member; // a bool is stored as 1 or 0
};

using ReadIntSetting = std::function<std::int32_t(const wchar_t* section, const wchar_t* key, std::int32_t fallback)>;
using WriteIntSetting = std::function<void(const wchar_t* section, const wchar_t* key, std::int32_t value)>;

void loadSettings(std::span<const IntSetting> settings, const ReadIntSetting& read);
void saveSettings(std::span<const IntSetting> settings, const WriteIntSetting& write);

} // namespace vexa
