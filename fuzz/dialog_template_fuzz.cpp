// Any bytes as a dialog template: the reader must answer without reading past them,
// and a template it reads must take exactly the bytes it says: read again from those
// alone it is the same, one byte fewer and it fails.
#include "fuzz/fuzz_check.h"
#include "ui/dialog_template.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vexa;
    const std::span<const std::uint8_t> bytes(data, size);
    const auto read = readDialogTemplate(bytes);
    if (!read) return 0;
    FUZZ_CHECK(read->byteCount <= size);
    FUZZ_CHECK(read->fontPoints.has_value() == ((read->style & 0x40) != 0));
    const auto whole = readDialogTemplate(bytes.first(read->byteCount));
    FUZZ_CHECK(whole && whole->byteCount == read->byteCount && whole->controls.size() == read->controls.size());
    for (std::size_t i = 0; i < read->controls.size(); ++i) {
        FUZZ_CHECK(whole->controls[i].id == read->controls[i].id);
        FUZZ_CHECK(whole->controls[i].text == read->controls[i].text);
        (void)controlClassOf(read->controls[i]);
    }
    FUZZ_CHECK(!readDialogTemplate(bytes.first(read->byteCount - 1)));
    return 0;
}
