// An edit of a run of image bytes from one offset, kept as the bytes it found there
// and the bytes it left, and its undo record that writes one or the other back.
#pragma once

#include "app/undo_buffer.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vexa {

struct RomDocument;

struct ByteRange {
    std::size_t offset = 0;
    std::vector<std::uint8_t> oldBytes;
    std::vector<std::uint8_t> newBytes;

    // The `count` bytes from `offset` as an edit is about to find them, old and new
    // alike until keepNew; a range that would pass the image end keeps no bytes.
    static ByteRange before(std::span<const std::uint8_t> image, std::size_t offset, std::size_t count);
    // The bytes as the edit has left them become the new ones.
    void keepNew(std::span<const std::uint8_t> image);
    // Each writes its bytes at the offset; bytes that would pass the image end are not
    // written at all, and false is returned.
    bool putOld(std::span<std::uint8_t> image) const;
    bool putNew(std::span<std::uint8_t> image) const;
};

// The runs in which `after` differs from `before` (two images of one size), each with
// the bytes of both. Runs closer than a few bytes are kept as one.
std::vector<ByteRange> changedRanges(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after);

// Undo writes the old bytes back into the document's image, redo the new ones.
class ByteRangeRecord : public UndoMethod {
public:
    // `name` is the edit's name in the Edit menu and must outlive the record.
    ByteRangeRecord(RomDocument& document, ByteRange bytes, const wchar_t* name);

    void undo() override;
    void redo() override;
    const wchar_t* undoName() const override { return name; }
    const wchar_t* redoName() const override { return name; }

private:
    RomDocument& document;
    ByteRange range;
    const wchar_t* name;
};

} // namespace vexa
