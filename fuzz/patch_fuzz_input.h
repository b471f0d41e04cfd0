// The fixed source that bps_apply_fuzz and ips_apply_fuzz apply their inputs to, and
// the targets their seeds turn it into (tools/fuzz_seeds writes the seeds).
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vexa {

inline std::vector<std::uint8_t> patchFuzzSource() {
    std::vector<std::uint8_t> source(512);
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::uint8_t>(i < 384 ? i * 37 ^ i >> 3 : 0); // a free tail of zeros
    return source;
}

// Edits that reach every action and record kind: changed bytes, an 8-byte entry
// inserted (the rest moves), a block written twice, growth by a run, a cut.
inline std::vector<std::vector<std::uint8_t>> patchFuzzTargets() {
    const std::vector<std::uint8_t> source = patchFuzzSource();
    std::vector<std::vector<std::uint8_t>> targets(5, source);
    targets[0][5] ^= 0xFF;
    targets[0][300] = 0x12;
    targets[1].insert(targets[1].begin() + 64, {1, 2, 3, 4, 5, 6, 7, 8});
    targets[1].resize(source.size());
    for (std::size_t i = 0; i < 24; ++i)
        targets[2][100 + i] = targets[2][200 + i] = static_cast<std::uint8_t>(0xA0 + i);
    targets[3].insert(targets[3].end(), 100, 0x5A);
    targets[4].resize(200);
    return targets;
}

} // namespace vexa
