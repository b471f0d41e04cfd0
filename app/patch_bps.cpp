#include "app/patch_bps.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>

namespace vexa {

namespace {

constexpr std::array<std::uint8_t, 4> kMagic{'B', 'P', 'S', '1'};
constexpr std::size_t kFooterSize = 12; // source, target and patch CRC32, little-endian

enum Action : std::uint64_t { SourceRead = 0, TargetRead = 1, SourceCopy = 2, TargetCopy = 3 };

std::uint32_t crc32Of(std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint32_t>(crc32_z(0, bytes.data(), bytes.size()));
}

std::uint32_t readLe32(std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16) | std::uint32_t{bytes[3]} << 24;
}

void putLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// The format's numbers: seven bits a byte, low first, the top bit marking the last
// byte, and one subtracted after each byte so that every value has one spelling.
void putNumber(std::vector<std::uint8_t>& out, std::uint64_t value) {
    for (;;) {
        const auto low = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
        if (value == 0) {
            out.push_back(0x80 | low);
            return;
        }
        out.push_back(low);
        --value;
    }
}

std::size_t numberSize(std::uint64_t value) {
    std::size_t size = 1;
    while ((value >>= 7) != 0) {
        --value;
        ++size;
    }
    return size;
}

// A relative offset as stored: the distance shifted left, the sign in bit 0.
std::uint64_t relativeOffset(std::uint64_t from, std::uint64_t to) {
    return to >= from ? (to - from) << 1 : ((from - to) << 1) | 1;
}

std::uint64_t command(Action action, std::size_t length) {
    return (std::uint64_t{length} - 1) << 2 | action;
}

// Reads the patch body; every failure (truncation, a number past 64 bits) is a
// damaged patch.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t remaining() const { return bytes_.size() - at_; }

    bool number(std::uint64_t& value) {
        constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
        std::uint64_t data = 0;
        std::uint64_t shift = 1;
        while (at_ < bytes_.size()) {
            const std::uint8_t x = bytes_[at_++];
            const std::uint64_t digit = x & 0x7F;
            if (digit != 0 && (digit > kMax / shift || digit * shift > kMax - data)) return false;
            data += digit * shift;
            if ((x & 0x80) != 0) {
                value = data;
                return true;
            }
            if (shift > kMax >> 7) return false;
            shift <<= 7;
            if (shift > kMax - data) return false;
            data += shift;
        }
        return false;
    }

    bool take(std::uint64_t count, std::span<const std::uint8_t>& taken) {
        if (count > remaining()) return false;
        taken = bytes_.subspan(at_, static_cast<std::size_t>(count));
        at_ += static_cast<std::size_t>(count);
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

// Moves a read position by a stored relative offset; false if it would leave [0, limit].
bool moveBy(std::uint64_t stored, std::uint64_t& position, std::uint64_t limit) {
    const std::uint64_t distance = stored >> 1;
    if ((stored & 1) != 0) {
        if (distance > position) return false;
        position -= distance;
    } else {
        if (distance > limit - position) return false;
        position += distance;
    }
    return true;
}

PatchResult failed(PatchStatus status) {
    return {status, {}};
}

// ---- Creation ----

constexpr std::size_t kWindow = 4; // bytes a match must share to be found
constexpr std::uint32_t kNoPosition = 0xFFFFFFFF;
constexpr int kChainLimit = 48;          // candidates looked at per position and file
constexpr std::size_t kLongEnough = 512; // a match this long ends the search
// Source windows are indexed this far ahead of the target position, so that data moved
// backwards is found while the candidates looked at first stay near the position.
constexpr std::size_t kSourceLookahead = std::size_t{1} << 16;

std::size_t commonLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit) {
    std::size_t n = 0;
    for (; n + 8 <= limit; n += 8) {
        std::uint64_t x = 0;
        std::uint64_t y = 0;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y) break;
    }
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

// Where each 4-byte window of one file occurs, newest first: a head per hash and a
// chain through the positions, built once per patch.
class WindowIndex {
public:
    // About one head per position, up to 2^20: small files get small tables.
    explicit WindowIndex(std::span<const std::uint8_t> data)
        : data_(data), hashBits_(std::clamp(static_cast<int>(std::bit_width(data.size())), 8, 20)),
          heads_(std::size_t{1} << hashBits_, kNoPosition),
          previous_(std::make_unique_for_overwrite<std::uint32_t[]>(data.size())) {}

    void insert(std::size_t position) {
        if (position + kWindow > data_.size()) return;
        std::uint32_t& head = heads_[hash(data_.data() + position)];
        previous_[position] = head;
        head = static_cast<std::uint32_t>(position);
    }
    std::uint32_t first(const std::uint8_t* window) const { return heads_[hash(window)]; }
    std::uint32_t next(std::uint32_t position) const { return previous_[position]; }

private:
    std::size_t hash(const std::uint8_t* window) const {
        std::uint32_t v = 0;
        std::memcpy(&v, window, kWindow);
        return (v * 2654435761u) >> (32 - hashBits_);
    }

    std::span<const std::uint8_t> data_;
    int hashBits_;
    std::vector<std::uint32_t> heads_;
    std::unique_ptr<std::uint32_t[]> previous_;
};

struct Step {
    Action action = TargetRead;
    std::size_t from = 0; // where a copy reads
    std::size_t length = 0;
    std::size_t saving = 1; // bytes saved over storing the data; a step must save 2
};

class BpsWriter {
public:
    BpsWriter(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target)
        : source_(source), target_(target),
          indexed_(source.size() < kNoPosition && target.size() < kNoPosition && target.size() >= kWindow),
          sourceIndex_(indexed_ ? source : std::span<const std::uint8_t>{}),
          targetIndex_(indexed_ ? target : std::span<const std::uint8_t>{}) {}

    std::vector<std::uint8_t> write();

private:
    Step bestStepAt(std::size_t at);
    void consider(Step& best, Action action, std::size_t from, std::size_t length, std::size_t offsetCost) const;
    void putStep(const Step& step, std::size_t at);
    void flushLiterals(std::size_t end);

    std::span<const std::uint8_t> source_;
    std::span<const std::uint8_t> target_;
    bool indexed_;
    WindowIndex sourceIndex_;
    WindowIndex targetIndex_;
    std::size_t sourceIndexed_ = 0;
    std::size_t sourceRelativeOffset_ = 0;
    std::size_t targetRelativeOffset_ = 0;
    std::size_t literalStart_ = 0;
    std::vector<std::uint8_t> patch_;
};

void BpsWriter::consider(Step& best, Action action, std::size_t from, std::size_t length,
                         std::size_t offsetCost) const {
    const std::size_t cost = numberSize(command(action, length)) + offsetCost;
    if (length > cost && length - cost > best.saving) best = {action, from, length, length - cost};
}

Step BpsWriter::bestStepAt(std::size_t at) {
    Step best;
    const std::size_t remaining = target_.size() - at;
    const std::uint8_t* here = target_.data() + at;
    if (at < source_.size())
        consider(best, SourceRead, at,
                 commonLength(source_.data() + at, here, std::min(remaining, source_.size() - at)), 0);
    if (!indexed_ || remaining < kWindow || best.length >= kLongEnough) return best;

    // The place after the last SourceCopy first: a list shifted by an insertion goes on
    // there after every change inside it, and costs a one-byte offset.
    const std::size_t next = sourceRelativeOffset_;
    if (next < source_.size() && next != at)
        consider(best, SourceCopy, next,
                 commonLength(source_.data() + next, here, std::min(remaining, source_.size() - next)), 1);

    for (const std::size_t end = std::min(source_.size(), at + kSourceLookahead); sourceIndexed_ < end;)
        sourceIndex_.insert(sourceIndexed_++);
    int steps = 0;
    for (std::uint32_t from = sourceIndex_.first(here);
         from != kNoPosition && steps < kChainLimit && best.length < kLongEnough;
         from = sourceIndex_.next(from), ++steps) {
        if (from == at) continue; // a SourceRead, already weighed
        const std::size_t length =
            commonLength(source_.data() + from, here, std::min(remaining, source_.size() - from));
        if (length > best.length)
            consider(best, SourceCopy, from, length, numberSize(relativeOffset(sourceRelativeOffset_, from)));
    }
    steps = 0;
    for (std::uint32_t from = targetIndex_.first(here);
         from != kNoPosition && steps < kChainLimit && best.length < kLongEnough;
         from = targetIndex_.next(from), ++steps) {
        // Overlap is allowed: the reader copies byte by byte, so a run repeats itself.
        const std::size_t length = commonLength(target_.data() + from, here, remaining);
        if (length > best.length)
            consider(best, TargetCopy, from, length, numberSize(relativeOffset(targetRelativeOffset_, from)));
    }
    return best;
}

void BpsWriter::flushLiterals(std::size_t end) {
    if (end == literalStart_) return;
    putNumber(patch_, command(TargetRead, end - literalStart_));
    patch_.insert(patch_.end(), target_.begin() + static_cast<std::ptrdiff_t>(literalStart_),
                  target_.begin() + static_cast<std::ptrdiff_t>(end));
}

void BpsWriter::putStep(const Step& step, std::size_t at) {
    flushLiterals(at);
    putNumber(patch_, command(step.action, step.length));
    if (step.action == SourceCopy) {
        putNumber(patch_, relativeOffset(sourceRelativeOffset_, step.from));
        sourceRelativeOffset_ = step.from + step.length;
    } else if (step.action == TargetCopy) {
        putNumber(patch_, relativeOffset(targetRelativeOffset_, step.from));
        targetRelativeOffset_ = step.from + step.length;
    }
    literalStart_ = at + step.length;
}

std::vector<std::uint8_t> BpsWriter::write() {
    patch_.assign(kMagic.begin(), kMagic.end());
    putNumber(patch_, source_.size());
    putNumber(patch_, target_.size());
    putNumber(patch_, 0); // no metadata
    std::size_t at = 0;
    while (at < target_.size()) {
        const Step step = bestStepAt(at);
        if (step.length == 0) {
            if (indexed_) targetIndex_.insert(at);
            ++at;
            continue;
        }
        putStep(step, at);
        // Bytes a SourceRead wrote stand at the same place in the source, where a
        // SourceCopy finds them; only the others are worth a TargetCopy.
        if (step.action != SourceRead && indexed_)
            for (std::size_t p = at; p < at + step.length; ++p)
                targetIndex_.insert(p);
        at += step.length;
    }
    flushLiterals(at);
    putLe32(patch_, crc32Of(source_));
    putLe32(patch_, crc32Of(target_));
    putLe32(patch_, crc32Of(patch_));
    return std::move(patch_);
}

} // namespace

std::vector<std::uint8_t> createBpsPatch(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target) {
    return BpsWriter(source, target).write();
}

PatchResult applyBpsPatch(std::span<const std::uint8_t> source, std::span<const std::uint8_t> patch) {
    if (patch.size() < kMagic.size() || !std::equal(kMagic.begin(), kMagic.end(), patch.begin()))
        return failed(PatchStatus::NotAPatch);
    if (patch.size() < kMagic.size() + 3 + kFooterSize) return failed(PatchStatus::Damaged);
    const auto footer = patch.last(kFooterSize);
    if (crc32Of(patch.first(patch.size() - 4)) != readLe32(footer.subspan(8))) return failed(PatchStatus::Damaged);

    Reader reader(patch.subspan(kMagic.size(), patch.size() - kMagic.size() - kFooterSize));
    std::uint64_t sourceSize = 0;
    std::uint64_t targetSize = 0;
    std::uint64_t metadataSize = 0;
    std::span<const std::uint8_t> metadata;
    if (!reader.number(sourceSize) || !reader.number(targetSize) || !reader.number(metadataSize) ||
        !reader.take(metadataSize, metadata))
        return failed(PatchStatus::Damaged);
    if (sourceSize != source.size()) return failed(PatchStatus::WrongSize);
    if (crc32Of(source) != readLe32(footer)) return failed(PatchStatus::WrongSource);
    if (targetSize > kBpsMaxTargetSize) return failed(PatchStatus::TooLarge);

    std::vector<std::uint8_t> target;
    target.reserve(static_cast<std::size_t>(targetSize));
    std::uint64_t sourceRelativeOffset = 0;
    std::uint64_t targetRelativeOffset = 0;
    while (reader.remaining() > 0) {
        std::uint64_t action = 0;
        if (!reader.number(action)) return failed(PatchStatus::Damaged);
        const std::uint64_t length = (action >> 2) + 1;
        const std::size_t outputOffset = target.size();
        if (length > targetSize - outputOffset) return failed(PatchStatus::Damaged);
        const auto count = static_cast<std::size_t>(length);
        std::uint64_t offset = 0;
        switch (static_cast<Action>(action & 3)) {
        case SourceRead:
            if (outputOffset + count > source.size()) return failed(PatchStatus::Damaged);
            target.insert(target.end(), source.begin() + static_cast<std::ptrdiff_t>(outputOffset),
                          source.begin() + static_cast<std::ptrdiff_t>(outputOffset + count));
            break;
        case TargetRead: {
            std::span<const std::uint8_t> bytes;
            if (!reader.take(length, bytes)) return failed(PatchStatus::Damaged);
            target.insert(target.end(), bytes.begin(), bytes.end());
            break;
        }
        case SourceCopy: {
            if (!reader.number(offset) || !moveBy(offset, sourceRelativeOffset, source.size()) ||
                length > source.size() - sourceRelativeOffset)
                return failed(PatchStatus::Damaged);
            const auto from = source.begin() + static_cast<std::ptrdiff_t>(sourceRelativeOffset);
            target.insert(target.end(), from, from + static_cast<std::ptrdiff_t>(count));
            sourceRelativeOffset += length;
            break;
        }
        case TargetCopy:
            // Reads only bytes already written; a run may repeat into itself.
            if (!reader.number(offset) || !moveBy(offset, targetRelativeOffset, outputOffset) ||
                targetRelativeOffset >= outputOffset)
                return failed(PatchStatus::Damaged);
            target.resize(outputOffset + count);
            for (std::size_t i = 0; i < count; ++i)
                target[outputOffset + i] = target[static_cast<std::size_t>(targetRelativeOffset) + i];
            targetRelativeOffset += length;
            break;
        }
    }
    if (target.size() != targetSize || crc32Of(target) != readLe32(footer.subspan(4)))
        return failed(PatchStatus::Damaged);
    return {PatchStatus::Ok, std::move(target)};
}

} // namespace vexa
