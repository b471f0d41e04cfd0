#include "app/patch_bps.h"
#include "app/patch_ips.h"

#include "app/rom_image.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <random>
#include <stdexcept>

namespace vexa {
namespace {

using Bytes = std::vector<std::uint8_t>;

// ROM-like bytes: code-like noise with long blank stretches, and a sprite list of
// 8-byte entries at kListAt followed by free space.
constexpr std::size_t kListAt = 0x123400;
constexpr std::size_t kSpriteCount = 120;

Bytes romImage(std::size_t size, unsigned seed = 7) {
    std::mt19937 rng(seed);
    Bytes image(size);
    for (std::size_t at = 0; at < size; ++at)
        image[at] = (at / 0x8000) % 3 == 2 ? 0xFF : static_cast<std::uint8_t>(rng());
    if (size >= kListAt + 0x1000) {
        std::fill_n(image.begin() + kListAt, 0x1000, 0);
        for (std::size_t i = 0; i < kSpriteCount; ++i)
            for (std::size_t b = 0; b < 8; ++b)
                image[kListAt + 8 * i + b] = static_cast<std::uint8_t>(b < 2 ? i * 13 + b : rng());
    }
    return image;
}

Bytes withSpriteInserted(Bytes image, std::size_t index) {
    const auto at = image.begin() + static_cast<std::ptrdiff_t>(kListAt + 8 * index);
    image.insert(at, {0x40, 0x01, 0x22, 0x00, 0x80, 0x00, 0x07, 0x00});
    image.resize(image.size() - 8); // the list grows into its free space
    return image;
}

// ---- Readers written from the published format descriptions alone, so that what the
// writers produce is checked against the formats and not against their own readers.
// Any read past the end throws (vector::at).

struct Reading {
    Bytes target;
    std::array<int, 4> actions{};       // BPS: how often each action was used
    std::vector<std::size_t> offsets{}; // IPS: where each record starts
};

Reading readBps(const Bytes& source, const Bytes& patch) {
    auto le32 = [&](std::size_t at) {
        return std::uint32_t{patch.at(at)} | patch.at(at + 1) << 8 | patch.at(at + 2) << 16 |
               std::uint32_t{patch.at(at + 3)} << 24;
    };
    if (patch.size() < 16 || std::memcmp(patch.data(), "BPS1", 4) != 0) throw std::runtime_error("magic");
    const std::size_t end = patch.size() - 12;
    if (crc32(0, patch.data(), end + 8) != le32(end + 8)) throw std::runtime_error("patch crc");
    if (crc32(0, source.data(), source.size()) != le32(end)) throw std::runtime_error("source crc");
    std::size_t at = 4;
    auto number = [&] {
        std::uint64_t data = 0, shift = 1;
        for (;;) {
            const std::uint8_t x = patch.at(at++);
            data += (x & 0x7f) * shift;
            if (x & 0x80) return data;
            shift <<= 7;
            data += shift;
        }
    };
    auto signedNumber = [&] {
        const std::uint64_t n = number();
        return (n & 1 ? -1 : 1) * static_cast<std::int64_t>(n >> 1);
    };
    if (number() != source.size()) throw std::runtime_error("source size");
    const std::uint64_t targetSize = number();
    at += number();
    Reading r;
    std::int64_t sourceRelative = 0, targetRelative = 0;
    while (at < end) {
        const std::uint64_t data = number();
        const std::uint64_t action = data & 3, length = (data >> 2) + 1;
        ++r.actions[action];
        if (action == 2) sourceRelative += signedNumber();
        if (action == 3) targetRelative += signedNumber();
        for (std::uint64_t i = 0; i < length; ++i) {
            const std::size_t out = r.target.size();
            r.target.push_back(action == 0   ? source.at(out)
                               : action == 1 ? patch.at(at++)
                               : action == 2 ? source.at(sourceRelative++)
                                             : r.target.at(targetRelative++));
        }
    }
    if (r.target.size() != targetSize || crc32(0, r.target.data(), r.target.size()) != le32(end + 4))
        throw std::runtime_error("target");
    return r;
}

Reading readIps(const Bytes& source, const Bytes& patch) {
    if (patch.size() < 8 || std::memcmp(patch.data(), "PATCH", 5) != 0) throw std::runtime_error("magic");
    Reading r{source};
    std::size_t at = 5;
    auto be = [&](int count) {
        std::size_t value = 0;
        while (count-- > 0)
            value = value << 8 | patch.at(at++);
        return value;
    };
    while (at + 3 > patch.size() || std::memcmp(&patch.at(at), "EOF", 3) != 0) {
        const std::size_t offset = be(3), size = be(2);
        const std::size_t length = size != 0 ? size : be(2);
        r.offsets.push_back(offset);
        r.target.resize(std::max(r.target.size(), offset + length));
        for (std::size_t i = 0; i < length; ++i)
            r.target[offset + i] = patch.at(size != 0 ? at + i : at);
        at += size != 0 ? size : 1;
    }
    at += 3;
    if (at < patch.size()) r.target.resize(be(3));
    if (at != patch.size()) throw std::runtime_error("trailing bytes");
    return r;
}

Reading bpsRoundTrip(const Bytes& source, const Bytes& target) {
    const Bytes patch = createBpsPatch(source, target);
    const PatchResult applied = applyBpsPatch(source, patch);
    EXPECT_EQ(applied.status, PatchStatus::Ok);
    EXPECT_TRUE(applied.target == target);
    Reading r = readBps(source, patch);
    EXPECT_TRUE(r.target == target);
    return r;
}

Reading ipsRoundTrip(const Bytes& source, const Bytes& target, std::size_t* patchSize = nullptr) {
    const auto patch = createIpsPatch(source, target);
    if (!patch) throw std::runtime_error("no IPS patch");
    const PatchResult applied = applyIpsPatch(source, *patch);
    EXPECT_EQ(applied.status, PatchStatus::Ok);
    EXPECT_TRUE(applied.target == target);
    Reading r = readIps(source, *patch);
    EXPECT_TRUE(r.target == target);
    if (patchSize != nullptr) *patchSize = patch->size();
    return r;
}

TEST(PatchRoundTrip, BothFormatsRebuildTheTarget) {
    const Bytes rom = romImage(kRomSize);
    const Bytes small = romImage(0x4000, 3);
    auto edited = [](Bytes bytes, std::initializer_list<std::size_t> offsets) {
        for (std::size_t at : offsets)
            bytes[at] ^= 0x5A;
        return bytes;
    };
    auto scattered = [](Bytes bytes) {
        std::mt19937 rng(99);
        for (int i = 0; i < 300; ++i)
            bytes[rng() % bytes.size()] = static_cast<std::uint8_t>(rng());
        return bytes;
    };
    Bytes longer = small;
    longer.insert(longer.end(), 5000, 0xEE);
    longer.insert(longer.end(), small.begin(), small.begin() + 300);
    const struct {
        const char* name;
        Bytes source, target;
    } cases[] = {
        {"identical", rom, rom},
        {"a few bytes", rom, edited(rom, {0, 0x7FFF, 0x200000, kRomSize - 1})},
        {"sprite inserted", rom, withSpriteInserted(rom, 40)},
        {"scattered", rom, scattered(rom)},
        {"longer", small, longer},
        {"shorter", small, Bytes(small.begin(), small.begin() + 1000)},
        {"all different", small, romImage(0x4000, 4)},
        {"one value", small, Bytes(0x20000, 0x33)},
        {"from nothing", {}, small},
        {"to nothing", small, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bpsRoundTrip(c.source, c.target);
        ipsRoundTrip(c.source, c.target);
    }
}

TEST(PatchSize, FewEditsInA4MiBImageMakeTinyPatches) {
    const Bytes rom = romImage(kRomSize);
    Bytes target = rom;
    for (std::size_t sprite : {3, 50, 99}) // move three sprites
        target[kListAt + 8 * sprite] += 16;
    target[0x3F0001] = 0x42;
    EXPECT_LT(createBpsPatch(rom, target).size(), 100u);
    std::size_t ipsSize = 0;
    ipsRoundTrip(rom, target, &ipsSize);
    EXPECT_LT(ipsSize, 40u);
}

// An entry inserted in a list moves the rest of it: the moved bytes must be copied,
// not stored again. A block written twice is copied from the target the second time.
TEST(PatchSize, BpsCopiesMovedAndRepeatedData) {
    const Bytes rom = romImage(kRomSize);
    Bytes target = withSpriteInserted(rom, 20);
    target[kListAt + 8 * 70] = 0x99; // an edit inside the shifted tail
    Reading r = bpsRoundTrip(rom, target);
    EXPECT_GE(r.actions[2], 1);
    EXPECT_LT(createBpsPatch(rom, target).size(), 80u);

    Bytes repeated = rom;
    std::mt19937 rng(5);
    Bytes block(300);
    for (auto& b : block)
        b = static_cast<std::uint8_t>(rng());
    for (std::size_t at : {0x10000, 0x10400, 0x250000})
        std::copy(block.begin(), block.end(), repeated.begin() + at);
    r = bpsRoundTrip(rom, repeated);
    EXPECT_GE(r.actions[3], 2);
    EXPECT_LT(createBpsPatch(rom, repeated).size(), 400u);
}

// No record may start at 0x454F46 ("EOF"): a change there, a run from there and growth
// across it all start their records earlier.
TEST(IpsCreate, NoRecordStartsAtTheEofOffset) {
    const Bytes source = romImage(0x460000);
    Bytes single = source, run = source;
    single[kIpsEofOffset] ^= 1;
    std::fill_n(run.begin() + kIpsEofOffset, 40, 0x77);
    Bytes grown(source.begin(), source.begin() + kIpsEofOffset - 0xFFFF);
    const Bytes longTarget = romImage(0x470000, 8);
    const std::pair<const Bytes&, const Bytes&> cases[] = {{source, single}, {source, run}, {grown, longTarget}};
    for (const auto& [from, to] : cases) {
        const Reading r = ipsRoundTrip(from, to);
        EXPECT_EQ(std::count(r.offsets.begin(), r.offsets.end(), kIpsEofOffset), 0);
        EXPECT_FALSE(r.offsets.empty());
    }
}

TEST(IpsCreate, RefusesTargetsIpsCannotAddress) {
    EXPECT_FALSE(createIpsPatch({}, Bytes(kIpsAddressLimit)));
    EXPECT_TRUE(createIpsPatch({}, Bytes(kIpsAddressLimit - 1)));
}

// ---- Hostile patches

Bytes sealedBps(const Bytes& source, Bytes body, std::uint32_t targetCrc) {
    body.insert(body.begin(), {'B', 'P', 'S', '1'});
    for (std::uint32_t crc : {static_cast<std::uint32_t>(crc32(0, source.data(), source.size())), targetCrc})
        for (int shift = 0; shift < 32; shift += 8)
            body.push_back(static_cast<std::uint8_t>(crc >> shift));
    const auto crc = static_cast<std::uint32_t>(crc32(0, body.data(), body.size()));
    for (int shift = 0; shift < 32; shift += 8)
        body.push_back(static_cast<std::uint8_t>(crc >> shift));
    return body;
}

TEST(BpsApply, HostilePatchesGetTheirStatus) {
    const Bytes source = romImage(64, 1);
    Bytes target = source;
    target[10] = 1;
    const Bytes good = createBpsPatch(source, target);
    const auto targetCrc = static_cast<std::uint32_t>(crc32(0, target.data(), target.size()));
    const auto sourceCrc = static_cast<std::uint32_t>(crc32(0, source.data(), source.size()));
    auto mutated = [&](const std::function<void(Bytes&)>& change) {
        Bytes patch = good;
        change(patch);
        return patch;
    };
    // Sizes 64 → 64 (0xC0), no metadata, then actions.
    auto actions = [&](Bytes body, std::uint32_t crc) {
        body.insert(body.begin(), {0xC0, 0xC0, 0x80});
        return sealedBps(source, body, crc);
    };
    Bytes otherSource = source;
    otherSource[0] ^= 1;
    const struct {
        const char* name;
        Bytes source, patch;
        PatchStatus status;
    } cases[] = {
        {"made by hand", source, actions({0xA4, 0x81, 0x01, 0x50, 0x80}, targetCrc), PatchStatus::Ok},
        {"empty", source, {}, PatchStatus::NotAPatch},
        {"other magic", source, mutated([](Bytes& p) { p[3] = '2'; }), PatchStatus::NotAPatch},
        {"truncated", source, mutated([](Bytes& p) { p.pop_back(); }), PatchStatus::Damaged},
        {"flipped byte", source, mutated([](Bytes& p) { p[6] ^= 4; }), PatchStatus::Damaged},
        {"other source", otherSource, good, PatchStatus::WrongSource},
        {"other size", Bytes(65), good, PatchStatus::WrongSize},
        {"target too large", source, sealedBps(source, {0xC0, 0x01, 0x7F, 0x7E, 0x9E, 0x80}, 0), PatchStatus::TooLarge},
        {"metadata past the end", source, sealedBps(source, {0xC0, 0xC0, 0xFF}, targetCrc), PatchStatus::Damaged},
        {"cut number", source, actions({0x7C}, targetCrc), PatchStatus::Damaged},
        // SourceRead of 64 plus 2^64: read with 64-bit wrap-around it would apply.
        {"number past 64 bits", source, actions({0x7C, 0, 0x7F, 0x7E, 0x7E, 0x7E, 0x7E, 0x7E, 0x7E, 0x80}, sourceCrc),
         PatchStatus::Damaged},
        {"length past the target", source, actions({0x00, 0x81}, targetCrc), PatchStatus::Damaged},
        {"SourceRead past the source", source, sealedBps(source, {0xC0, 0xC8, 0x80, 0x1C, 0x81}, 0),
         PatchStatus::Damaged},
        {"TargetRead past the patch", source, actions({0x85, 0x01}, targetCrc), PatchStatus::Damaged},
        {"SourceCopy before 0", source, actions({0x82, 0x83}, targetCrc), PatchStatus::Damaged},
        {"SourceCopy past the end", source, actions({0x86, 0xFE}, targetCrc), PatchStatus::Damaged},
        {"TargetCopy of unwritten bytes", source, actions({0x80, 0x83, 0x82}, targetCrc), PatchStatus::Damaged},
        {"target cut short", source, actions({0x80}, targetCrc), PatchStatus::Damaged},
        {"target CRC differs", source, actions({0x7C, 0x80}, targetCrc), PatchStatus::Damaged},
    };
    for (const auto& c : cases) {
        const PatchResult result = applyBpsPatch(c.source, c.patch);
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(result.target.empty(), c.status != PatchStatus::Ok) << c.name;
    }
}

TEST(IpsApply, HostilePatchesGetTheirStatus) {
    const Bytes source(16, 0xAA);
    auto patch = [](std::initializer_list<std::uint8_t> records, std::string_view tail = "EOF") {
        Bytes p{'P', 'A', 'T', 'C', 'H'};
        p.insert(p.end(), records);
        p.insert(p.end(), tail.begin(), tail.end());
        return p;
    };
    const struct {
        const char* name;
        Bytes patch;
        PatchStatus status;
        std::size_t size;
    } cases[] = {
        {"no mark", {'P', 'A', 'T'}, PatchStatus::NotAPatch, 0},
        {"no end mark", patch({0, 0, 1, 0, 1, 9}, ""), PatchStatus::Damaged, 0},
        {"cut end mark", patch({}, "EO"), PatchStatus::Damaged, 0},
        {"cut record data", patch({0, 0, 1, 0, 4, 9}, ""), PatchStatus::Damaged, 0},
        {"cut RLE record", patch({0, 0, 1, 0, 0, 0}, ""), PatchStatus::Damaged, 0},
        {"junk after the end", patch({}, "EOFxy"), PatchStatus::Damaged, 0},
        {"grows the result", patch({0, 0, 20, 0, 2, 1, 2}), PatchStatus::Ok, 22},
        {"furthest record", patch({0xFF, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 7}), PatchStatus::Ok, 0xFFFFFF + 0xFFFF},
        {"truncated", patch({}, std::string_view("EOF\0\0\x05", 6)), PatchStatus::Ok, 5},
        {"truncation past the end", patch({}, std::string_view("EOF\0\0\x20", 6)), PatchStatus::Damaged, 0},
        {"RLE count 0 past the end", patch({0, 0, 40, 0, 0, 0, 0, 9}), PatchStatus::Ok, 16},
    };
    for (const auto& c : cases) {
        const PatchResult result = applyIpsPatch(source, c.patch);
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(result.target.size(), c.size) << c.name;
    }
}

TEST(PatchFormat, ChosenByExtensionInAnyCase) {
    EXPECT_EQ(patchFormatOf("hack.bps"), PatchFormat::Bps);
    EXPECT_EQ(patchFormatOf("C:\\roms\\HACK.IpS"), PatchFormat::Ips);
    for (std::string_view name : {"hack.ups", "bps", "hack.bps.txt", ""})
        EXPECT_FALSE(patchFormatOf(name)) << name;
}

} // namespace
} // namespace vexa
