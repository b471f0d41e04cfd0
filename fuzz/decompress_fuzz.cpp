// Any bytes as a compressed block must decode to -1 or a length within 64 KiB without
// touching memory outside the block and the output; and any bytes compressed must
// decode back to themselves.
#include "stage/map_compress.h"
#include "stage/map_decompress.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vexa;
    const std::span<const std::uint8_t> input(data, size);

    // Exactly 64 KiB of output, so that the sanitizer catches any store past it.
    std::vector<std::uint8_t> out(kMapDataMaxSize);
    const int result = decompressMapData(input, out);
    if (result < -1 || result > static_cast<int>(kMapDataMaxSize)) std::abort();

    const auto plain = input.first(std::min(size, kMapDataMaxSize));
    const std::vector<std::uint8_t> block = compressMapData(plain);
    if (decompressMapData(block, out) != static_cast<int>(plain.size())) std::abort();
    if (!std::equal(plain.begin(), plain.end(), out.begin())) std::abort();
    return 0;
}
