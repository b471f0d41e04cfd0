#include "app/file_io.h"

#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace vexa {

namespace {

// "~<name>.<n>.tmp" beside the target, as the editor names its own, with n chosen so
// that no file of that name exists yet.
std::filesystem::path temporaryPathBeside(const std::filesystem::path& path) {
    std::random_device seed;
    std::mt19937 numbers(seed());
    const std::filesystem::path folder = path.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path name = "~";
        name += path.filename();
        name += "." + std::to_string(numbers() % 1000000) + ".tmp";
        std::filesystem::path candidate = folder / name;
        std::error_code error;
        if (!std::filesystem::exists(candidate, error) && !error) return candidate;
    }
    return {};
}

} // namespace

FileBytes readFileBytes(const std::filesystem::path& path, std::uintmax_t maxSize) {
    FileBytes result;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        result.status = FileBytesStatus::Missing;
        return result;
    }
    if (error) return result;
    if (status.type() != std::filesystem::file_type::regular) {
        result.status = FileBytesStatus::NotAFile;
        return result;
    }
    result.size = std::filesystem::file_size(path, error);
    if (error) return result;
    if (result.size > maxSize) {
        result.status = FileBytesStatus::TooLarge;
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return result;
    result.bytes.resize(static_cast<std::size_t>(result.size));
    in.read(reinterpret_cast<char*>(result.bytes.data()), static_cast<std::streamsize>(result.bytes.size()));
    // A file that shrank while it was read is not what its size said.
    if (in.gcount() != static_cast<std::streamsize>(result.bytes.size())) {
        result.bytes.clear();
        return result;
    }
    result.status = FileBytesStatus::Ok;
    return result;
}

bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    const std::filesystem::path temporary = temporaryPathBeside(path);
    if (temporary.empty()) return false;
    bool ok = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            out.flush();
            ok = static_cast<bool>(out);
        }
    }
    std::error_code error;
    if (ok) {
        std::filesystem::rename(temporary, path, error);
        ok = !error;
    }
    if (!ok) std::filesystem::remove(temporary, error);
    return ok;
}

} // namespace vexa
