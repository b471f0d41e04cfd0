// Any bytes as an IPS patch must give a status, and a result exactly when that is Ok
// and never past what a record can reach, without touching memory outside the
// buffers. The input split into a source and a target half must also make a patch
// that rebuilds the target.
#include "fuzz/patch_fuzz_input.h"

#include "app/patch_ips.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vexa;
    static const std::vector<std::uint8_t> source = patchFuzzSource();
    const std::span<const std::uint8_t> input(data, size);

    const PatchResult result = applyIpsPatch(source, input);
    if (result.status != PatchStatus::Ok && !result.target.empty()) std::abort();
    if (result.target.size() >= kIpsAddressLimit + 0x10000) std::abort();

    const auto half = input.first(size / 2);
    const auto rest = input.subspan(size / 2);
    const auto patch = createIpsPatch(half, rest);
    if (!patch) std::abort();
    const PatchResult rebuilt = applyIpsPatch(half, *patch);
    if (rebuilt.status != PatchStatus::Ok ||
        !std::equal(rest.begin(), rest.end(), rebuilt.target.begin(), rebuilt.target.end()))
        std::abort();
    return 0;
}
