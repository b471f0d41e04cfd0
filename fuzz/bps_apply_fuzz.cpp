// Any bytes as a BPS patch must give a status, and a target exactly when that is Ok,
// without touching memory outside the buffers. The input is applied three ways: as it
// is; with its source and patch CRC32 made right (a fuzzer cannot guess them), so that
// mutated actions are decoded instead of stopping at the checksum; and split into a
// source and a target half, whose patch must rebuild the target.
#include "fuzz/patch_fuzz_input.h"

#include "app/patch_bps.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

void check(const vexa::PatchResult& result) {
    if (result.status != vexa::PatchStatus::Ok && !result.target.empty()) std::abort();
    if (result.target.size() > vexa::kBpsMaxTargetSize) std::abort();
}

void putCrc(std::vector<std::uint8_t>& patch, std::size_t at, std::span<const std::uint8_t> bytes) {
    const auto crc = static_cast<std::uint32_t>(crc32_z(0, bytes.data(), bytes.size()));
    for (int i = 0; i < 4; ++i)
        patch[at + i] = static_cast<std::uint8_t>(crc >> 8 * i);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vexa;
    static const std::vector<std::uint8_t> source = patchFuzzSource();
    const std::span<const std::uint8_t> input(data, size);

    check(applyBpsPatch(source, input));

    if (size >= 16) {
        std::vector<std::uint8_t> sealed(input.begin(), input.end());
        putCrc(sealed, size - 12, source);
        putCrc(sealed, size - 4, std::span(sealed).first(size - 4));
        check(applyBpsPatch(source, sealed));
    }

    const auto half = input.first(size / 2);
    const auto rest = input.subspan(size / 2);
    const PatchResult rebuilt = applyBpsPatch(half, createBpsPatch(half, rest));
    if (rebuilt.status != PatchStatus::Ok ||
        !std::equal(rest.begin(), rest.end(), rebuilt.target.begin(), rebuilt.target.end()))
        std::abort();
    return 0;
}
