// BPS and IPS creation on two 4 MiB images that differ in about 100 scattered runs,
// next to a memcmp of the same two images in the same run: finding the changes can
// hardly be faster than comparing every byte once.
#include "app/patch_bps.h"
#include "app/patch_ips.h"
#include "app/rom_image.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

struct Images {
    std::vector<std::uint8_t> source = std::vector<std::uint8_t>(vexa::kRomSize);
    std::vector<std::uint8_t> target;

    Images() {
        // Code-like noise with a blank third, as in a real image; then 100 edits of
        // 1 to 16 bytes each at random places.
        std::mt19937 rng(2024);
        for (std::size_t at = 0; at < source.size(); ++at)
            source[at] = (at / 0x8000) % 3 == 2 ? 0xFF : static_cast<std::uint8_t>(rng());
        target = source;
        for (int edit = 0; edit < 100; ++edit) {
            const std::size_t at = rng() % (target.size() - 16);
            const std::size_t length = 1 + rng() % 16;
            for (std::size_t i = 0; i < length; ++i)
                target[at + i] = static_cast<std::uint8_t>(rng());
        }
    }
};

const Images& images() {
    static const Images i;
    return i;
}

void setImageBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * vexa::kRomSize));
}

void createBps4MiB(benchmark::State& state) {
    const Images& i = images();
    std::size_t size = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t> patch = vexa::createBpsPatch(i.source, i.target);
        size = patch.size();
        benchmark::DoNotOptimize(patch.data());
    }
    setImageBytes(state);
    state.counters["patch"] = static_cast<double>(size);
}
BENCHMARK(createBps4MiB)->Unit(benchmark::kMillisecond);

// memcmp stops at the first difference, so it compares page by page to see every byte.
void memcmp4MiB(benchmark::State& state) {
    const Images& i = images();
    constexpr std::size_t kPage = 4096;
    for (auto _ : state) {
        int differing = 0;
        for (std::size_t at = 0; at < vexa::kRomSize; at += kPage)
            differing += std::memcmp(i.source.data() + at, i.target.data() + at, kPage) != 0;
        benchmark::DoNotOptimize(differing);
    }
    setImageBytes(state);
}
BENCHMARK(memcmp4MiB)->Unit(benchmark::kMillisecond);

void applyBps4MiB(benchmark::State& state) {
    const Images& i = images();
    const std::vector<std::uint8_t> patch = vexa::createBpsPatch(i.source, i.target);
    if (vexa::applyBpsPatch(i.source, patch).target != i.target) {
        state.SkipWithError("round trip failed");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(vexa::applyBpsPatch(i.source, patch).target.data());
    setImageBytes(state);
}
BENCHMARK(applyBps4MiB)->Unit(benchmark::kMillisecond);

void createIps4MiB(benchmark::State& state) {
    const Images& i = images();
    std::size_t size = 0;
    for (auto _ : state) {
        const auto patch = vexa::createIpsPatch(i.source, i.target);
        size = patch->size();
        benchmark::DoNotOptimize(patch->data());
    }
    setImageBytes(state);
    state.counters["patch"] = static_cast<double>(size);
}
BENCHMARK(createIps4MiB)->Unit(benchmark::kMillisecond);

} // namespace
