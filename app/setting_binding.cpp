#include "app/setting_binding.h"

namespace vexa {

namespace {

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

void loadSettings(std::span<const IntSetting> settings, const ReadIntSetting& read) {
    for (const IntSetting& setting : settings) {
        const std::int32_t value = read(setting.section, setting.key, setting.defaultValue);
        std::visit(
            Overloaded{[&](std::int32_t* member) { *member = value; }, [&](bool* member) { *member = value != 0; }},
            setting.member);
    }
}

void saveSettings(std::span<const IntSetting> settings, const WriteIntSetting& write) {
    for (const IntSetting& setting : settings) {
        const std::int32_t value = std::visit(
            Overloaded{[](std::int32_t* member) { return *member; }, [](bool* member) { return *member ? 1 : 0; }},
            setting.member);
        write(setting.section, setting.key, value);
    }
}

} // namespace vexa
