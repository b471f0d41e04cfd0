// A reader of extended dialog templates (the DLGTEMPLATEEX layout the resource
// compiler makes of a DIALOGEX), so that a dialog already open can take the texts and
// places of another language's template. Portable: it reads bytes and nothing else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vexa {

// A field that a template gives either as a number or as a string: a control's class
// or text, the dialog's menu or class. Neither set means the field was left empty.
struct TemplateNameOrOrdinal {
    std::optional<std::uint16_t> ordinal;
    std::u16string name;

    bool operator==(const TemplateNameOrOrdinal&) const = default;
};

// The predefined control classes as templates number them.
enum class ControlClass : std::uint16_t {
    Button = 0x80,
    Edit = 0x81,
    Static = 0x82,
    ListBox = 0x83,
    ScrollBar = 0x84,
    ComboBox = 0x85,
    Other = 0,
};

// A rectangle in dialog units.
struct DialogUnitsRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const DialogUnitsRect&) const = default;
};

struct DialogTemplateControl {
    std::uint32_t id = 0;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    DialogUnitsRect rect;
    TemplateNameOrOrdinal windowClass;
    TemplateNameOrOrdinal text;
};

struct DialogTemplate {
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    DialogUnitsRect rect;
    TemplateNameOrOrdinal menu;
    TemplateNameOrOrdinal windowClass;
    std::u16string caption;
    // Given when the style has DS_SETFONT.
    std::optional<int> fontPoints;
    std::u16string fontName;
    std::vector<DialogTemplateControl> controls;
    // How many bytes the template takes, from its start to the end of its last
    // control's creation data: a shorter buffer does not hold it whole.
    std::size_t byteCount = 0;
};

// The template in `bytes`, or nothing when they hold no whole extended template
// (another layout, a count or string running past the end). Never reads outside them.
std::optional<DialogTemplate> readDialogTemplate(std::span<const std::uint8_t> bytes);

// Which predefined class a control is of, by its ordinal or its class name (compared
// without regard to case, as the window manager does); Other for any other class.
ControlClass controlClassOf(const DialogTemplateControl& control);

} // namespace vexa
