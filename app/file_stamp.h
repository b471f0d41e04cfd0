// What the editor knows of its file on disk, to notice when another program has
// written it since: size and last-write time are cheap to ask for; the content hash
// tells a real change from a file that was only touched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace vexa {

struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0; // in the platform's own units
    std::size_t contentHash = 0;

    bool sameContent(const FileStamp& other) const { return size == other.size && contentHash == other.contentHash; }
    bool operator==(const FileStamp&) const = default;
};

inline std::size_t contentHash(std::span<const std::uint8_t> bytes) {
    return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

} // namespace vexa
