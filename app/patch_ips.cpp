#include "app/patch_ips.h"

#include <algorithm>
#include <array>
#include <functional>

namespace vexa {

namespace {

constexpr std::array<std::uint8_t, 5> kHeader{'P', 'A', 'T', 'C', 'H'};
constexpr std::array<std::uint8_t, 3> kEndMark{'E', 'O', 'F'};
constexpr std::size_t kRecordHeaderSize = 5; // offset and size
constexpr std::size_t kRleRecordSize = 8;    // offset, 0, count and value
constexpr std::size_t kMaxRecordLength = 0xFFFF;
// The furthest a record can reach, so applying never grows a result past it.
constexpr std::size_t kIpsResultLimit = kIpsAddressLimit - 1 + kMaxRecordLength;
static_assert(kIpsResultLimit < kIpsAddressLimit + 0x10000);

void putBigEndian(std::vector<std::uint8_t>& out, std::size_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::size_t readBigEndian(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
    std::size_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[at + i];
    return value;
}

class IpsWriter {
public:
    IpsWriter(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target)
        : source_(source), target_(target), common_(std::min(source.size(), target.size())) {}

    std::vector<std::uint8_t> write();

private:
    // The first changed byte at or after `from` (every byte past the source counts as
    // changed), and the first unchanged one.
    std::size_t findChange(std::size_t from) const;
    std::size_t findSame(std::size_t from) const;
    void putSpan(std::size_t start, std::size_t end);
    void putPlain(std::size_t start, std::size_t end);
    void putRun(std::size_t start, std::size_t count);

    std::span<const std::uint8_t> source_;
    std::span<const std::uint8_t> target_;
    std::size_t common_;
    std::vector<std::uint8_t> patch_;
};

std::size_t IpsWriter::findChange(std::size_t from) const {
    if (from >= common_) return from;
    const auto begin = target_.begin() + static_cast<std::ptrdiff_t>(from);
    const auto end = target_.begin() + static_cast<std::ptrdiff_t>(common_);
    return static_cast<std::size_t>(
        std::mismatch(begin, end, source_.begin() + static_cast<std::ptrdiff_t>(from)).first - target_.begin());
}

std::size_t IpsWriter::findSame(std::size_t from) const {
    if (from >= common_) return target_.size();
    const auto begin = target_.begin() + static_cast<std::ptrdiff_t>(from);
    const auto end = target_.begin() + static_cast<std::ptrdiff_t>(common_);
    const auto same =
        std::mismatch(begin, end, source_.begin() + static_cast<std::ptrdiff_t>(from), std::not_equal_to<>()).first;
    return same == end ? target_.size() : static_cast<std::size_t>(same - target_.begin());
}

void IpsWriter::putPlain(std::size_t start, std::size_t end) {
    while (start < end) {
        // A record there would read as the end mark: start it one byte earlier, writing
        // that byte's target value again.
        if (start == kIpsEofOffset) --start;
        const std::size_t length = std::min(end - start, kMaxRecordLength);
        putBigEndian(patch_, start, 3);
        putBigEndian(patch_, length, 2);
        patch_.insert(patch_.end(), target_.begin() + static_cast<std::ptrdiff_t>(start),
                      target_.begin() + static_cast<std::ptrdiff_t>(start + length));
        start += length;
    }
}

void IpsWriter::putRun(std::size_t start, std::size_t count) {
    while (count > 0) {
        if (start == kIpsEofOffset) {
            putPlain(start, start + 1);
            ++start;
            --count;
            continue;
        }
        const std::size_t length = std::min(count, kMaxRecordLength);
        putBigEndian(patch_, start, 3);
        putBigEndian(patch_, 0, 2);
        putBigEndian(patch_, length, 2);
        patch_.push_back(target_[start]);
        start += length;
        count -= length;
    }
}

// One stretch of changed bytes (with the short unchanged gaps merged into it): plain
// records, with RLE records for runs long enough to pay for the records they split off.
void IpsWriter::putSpan(std::size_t start, std::size_t end) {
    std::size_t plainStart = start;
    for (std::size_t at = start; at < end;) {
        std::size_t run = 1;
        while (at + run < end && target_[at + run] == target_[at])
            ++run;
        // An RLE record costs 8 bytes against `run` stored ones, plus a record header
        // for each side of the span it splits off.
        const std::size_t worthFrom = kRleRecordSize - kRecordHeaderSize + 1 +
                                      (plainStart < at ? kRecordHeaderSize : 0) +
                                      (at + run < end ? kRecordHeaderSize : 0);
        if (run >= worthFrom) {
            putPlain(plainStart, at);
            putRun(at, run);
            plainStart = at + run;
        }
        at += run;
    }
    putPlain(plainStart, end);
}

std::vector<std::uint8_t> IpsWriter::write() {
    patch_.assign(kHeader.begin(), kHeader.end());
    bool open = false;
    std::size_t spanStart = 0;
    std::size_t spanEnd = 0;
    for (std::size_t at = findChange(0); at < target_.size(); at = findChange(spanEnd)) {
        const std::size_t end = findSame(at);
        // An unchanged gap no longer than a record header is cheaper written again.
        if (open && at - spanEnd <= kRecordHeaderSize) {
            spanEnd = end;
            continue;
        }
        if (open) putSpan(spanStart, spanEnd);
        open = true;
        spanStart = at;
        spanEnd = end;
    }
    if (open) putSpan(spanStart, spanEnd);
    patch_.insert(patch_.end(), kEndMark.begin(), kEndMark.end());
    if (target_.size() < source_.size()) putBigEndian(patch_, target_.size(), 3);
    return std::move(patch_);
}

PatchResult failed(PatchStatus status) {
    return {status, {}};
}

} // namespace

std::optional<std::vector<std::uint8_t>> createIpsPatch(std::span<const std::uint8_t> source,
                                                        std::span<const std::uint8_t> target) {
    if (target.size() >= kIpsAddressLimit) return std::nullopt;
    return IpsWriter(source, target).write();
}

PatchResult applyIpsPatch(std::span<const std::uint8_t> source, std::span<const std::uint8_t> patch) {
    if (patch.size() < kHeader.size() || !std::equal(kHeader.begin(), kHeader.end(), patch.begin()))
        return failed(PatchStatus::NotAPatch);
    std::vector<std::uint8_t> result(source.begin(), source.end());
    std::size_t at = kHeader.size();
    const auto has = [&](std::size_t count) { return patch.size() - at >= count; };
    for (;;) {
        if (!has(3)) return failed(PatchStatus::Damaged);
        if (std::equal(kEndMark.begin(), kEndMark.end(), patch.begin() + static_cast<std::ptrdiff_t>(at))) break;
        const std::size_t offset = readBigEndian(patch, at, 3);
        at += 3;
        if (!has(2)) return failed(PatchStatus::Damaged);
        const std::size_t size = readBigEndian(patch, at, 2);
        at += 2;
        const std::size_t length = size != 0 ? size : has(2) ? readBigEndian(patch, at, 2) : 0;
        if (size == 0 ? !has(3) : !has(size)) return failed(PatchStatus::Damaged);
        // At most kIpsResultLimit by the widths of the fields.
        if (length > 0 && offset + length > result.size()) result.resize(offset + length);
        // An RLE count of 0 writes nothing, and is let pass, wherever its offset lies.
        if (length > 0) {
            const auto to = result.begin() + static_cast<std::ptrdiff_t>(offset);
            if (size == 0)
                std::fill_n(to, length, patch[at + 2]);
            else
                std::copy_n(patch.begin() + static_cast<std::ptrdiff_t>(at), length, to);
        }
        at += size == 0 ? 3 : length;
    }
    at += kEndMark.size();
    if (patch.size() - at == 3) {
        // The extension only cuts: a size past the result would pad it with bytes no
        // record wrote.
        const std::size_t truncated = readBigEndian(patch, at, 3);
        if (truncated > result.size()) return failed(PatchStatus::Damaged);
        result.resize(truncated);
    } else if (patch.size() != at) {
        return failed(PatchStatus::Damaged);
    }
    return {PatchStatus::Ok, std::move(result)};
}

} // namespace vexa
