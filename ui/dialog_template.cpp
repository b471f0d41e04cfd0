#include "ui/dialog_template.h"

#include <array>
#include <utility>

namespace vexa {

namespace {

constexpr std::uint32_t kSetFont = 0x40; // DS_SETFONT

// Reads little-endian values forward through the template; the first read that would
// pass the end marks the reader failed, and every later one then gives zeros.
class TemplateReader {
public:
    explicit TemplateReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool failed() const { return failed_; }
    std::size_t offset() const { return offset_; }

    std::uint16_t word() {
        if (!has(2)) return 0;
        const std::uint16_t value = static_cast<std::uint16_t>(bytes_[offset_] | bytes_[offset_ + 1] << 8);
        offset_ += 2;
        return value;
    }
    std::uint32_t dword() {
        const std::uint32_t low = word();
        return low | static_cast<std::uint32_t>(word()) << 16;
    }
    int coordinate() { return static_cast<std::int16_t>(word()); }
    std::uint8_t byte() {
        if (!has(1)) return 0;
        return bytes_[offset_++];
    }
    void skip(std::size_t count) {
        if (has(count)) offset_ += count;
    }
    // Items start on a DWORD boundary counted from the template's first byte.
    void alignToDword() { skip((4 - offset_ % 4) % 4); }

    // A string ending in a zero character; running out before it fails.
    std::u16string string() {
        std::u16string text;
        while (!failed_) {
            const char16_t c = word();
            if (failed_ || c == 0) break;
            text.push_back(c);
        }
        return text;
    }
    // 0x0000: nothing; 0xFFFF and a number: an ordinal; anything else: a string.
    TemplateNameOrOrdinal nameOrOrdinal() {
        TemplateNameOrOrdinal field;
        if (!has(2)) return field;
        const std::uint16_t first = static_cast<std::uint16_t>(bytes_[offset_] | bytes_[offset_ + 1] << 8);
        if (first == 0) {
            offset_ += 2;
        } else if (first == 0xFFFF) {
            offset_ += 2;
            field.ordinal = word();
        } else {
            field.name = string();
        }
        return field;
    }
    DialogUnitsRect rect() {
        DialogUnitsRect r;
        r.x = coordinate();
        r.y = coordinate();
        r.width = coordinate();
        r.height = coordinate();
        return r;
    }

private:
    bool has(std::size_t count) {
        if (failed_ || bytes_.size() - offset_ < count) failed_ = true;
        return !failed_;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
    bool failed_ = false;
};

bool sameLetters(std::u16string_view name, std::u16string_view ascii) {
    if (name.size() != ascii.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char16_t c = name[i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != ascii[i]) return false;
    }
    return true;
}

} // namespace

std::optional<DialogTemplate> readDialogTemplate(std::span<const std::uint8_t> bytes) {
    TemplateReader reader(bytes);
    DialogTemplate dialog;
    const std::uint16_t version = reader.word();
    const std::uint16_t signature = reader.word();
    if (reader.failed() || version != 1 || signature != 0xFFFF) return std::nullopt;
    reader.dword(); // help id
    dialog.exStyle = reader.dword();
    dialog.style = reader.dword();
    const std::uint16_t count = reader.word();
    dialog.rect = reader.rect();
    dialog.menu = reader.nameOrOrdinal();
    dialog.windowClass = reader.nameOrOrdinal();
    dialog.caption = reader.string();
    if (dialog.style & kSetFont) {
        dialog.fontPoints = reader.word();
        reader.word(); // weight
        reader.byte(); // italic
        reader.byte(); // character set
        dialog.fontName = reader.string();
    }
    for (std::uint16_t i = 0; i < count && !reader.failed(); ++i) {
        reader.alignToDword();
        DialogTemplateControl control;
        reader.dword(); // help id
        control.exStyle = reader.dword();
        control.style = reader.dword();
        control.rect = reader.rect();
        control.id = reader.dword();
        control.windowClass = reader.nameOrOrdinal();
        control.text = reader.nameOrOrdinal();
        reader.skip(reader.word()); // creation data
        dialog.controls.push_back(std::move(control));
    }
    if (reader.failed()) return std::nullopt;
    dialog.byteCount = reader.offset();
    return dialog;
}

ControlClass controlClassOf(const DialogTemplateControl& control) {
    static constexpr std::array<std::pair<ControlClass, std::u16string_view>, 6> kNames{{
        {ControlClass::Button, u"button"},
        {ControlClass::Edit, u"edit"},
        {ControlClass::Static, u"static"},
        {ControlClass::ListBox, u"listbox"},
        {ControlClass::ScrollBar, u"scrollbar"},
        {ControlClass::ComboBox, u"combobox"},
    }};
    for (const auto& [kind, name] : kNames) {
        if (control.windowClass.ordinal ? *control.windowClass.ordinal == static_cast<std::uint16_t>(kind)
                                        : sameLetters(control.windowClass.name, name))
            return kind;
    }
    return ControlClass::Other;
}

} // namespace vexa
