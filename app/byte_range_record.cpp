#include "app/byte_range_record.h"

#include "app/rom_document.h"

#include <algorithm>
#include <utility>

namespace vexa {

namespace {

bool fitsImage(std::size_t imageSize, std::size_t offset, std::size_t count) {
    return offset <= imageSize && count <= imageSize - offset;
}

bool put(std::span<std::uint8_t> image, std::size_t offset, const std::vector<std::uint8_t>& bytes) {
    if (!fitsImage(image.size(), offset, bytes.size())) return false;
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

} // namespace

ByteRange ByteRange::before(std::span<const std::uint8_t> image, std::size_t offset, std::size_t count) {
    ByteRange range;
    range.offset = offset;
    if (!fitsImage(image.size(), offset, count)) return range;
    const auto first = image.begin() + static_cast<std::ptrdiff_t>(offset);
    range.oldBytes.assign(first, first + static_cast<std::ptrdiff_t>(count));
    range.newBytes = range.oldBytes;
    return range;
}

void ByteRange::keepNew(std::span<const std::uint8_t> image) {
    if (!fitsImage(image.size(), offset, newBytes.size())) return;
    const auto first = image.begin() + static_cast<std::ptrdiff_t>(offset);
    std::copy(first, first + static_cast<std::ptrdiff_t>(newBytes.size()), newBytes.begin());
}

std::vector<ByteRange> changedRanges(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after) {
    // Equal bytes between two changes cost less kept in one run than a run of their own.
    constexpr std::size_t kJoinGap = 16;
    std::vector<ByteRange> ranges;
    const std::size_t size = std::min(before.size(), after.size());
    std::size_t i = 0;
    while (i < size) {
        if (before[i] == after[i]) {
            ++i;
            continue;
        }
        const std::size_t first = i;
        std::size_t last = i; // the last differing byte so far
        for (++i; i < size && i - last <= kJoinGap; ++i)
            if (before[i] != after[i]) last = i;
        ByteRange range = ByteRange::before(before, first, last + 1 - first);
        range.keepNew(after);
        ranges.push_back(std::move(range));
        i = last + 1;
    }
    return ranges;
}

bool ByteRange::putOld(std::span<std::uint8_t> image) const {
    return put(image, offset, oldBytes);
}

bool ByteRange::putNew(std::span<std::uint8_t> image) const {
    return put(image, offset, newBytes);
}

ByteRangeRecord::ByteRangeRecord(RomDocument& document, ByteRange bytes, const wchar_t* name)
    : document(document), range(std::move(bytes)), name(name) {}

void ByteRangeRecord::undo() {
    range.putOld(document.image);
}

void ByteRangeRecord::redo() {
    range.putNew(document.image);
}

} // namespace vexa
