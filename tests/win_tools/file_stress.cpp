// A second process for the file tests.
//   file_stress save <path>  saves stress images 1, 2, 3 ... to <path> through the
//                            editor's save path, forever, until it is killed;
//   file_stress copy <from> <path>  rewrites <path> in place with the bytes of <from>,
//                            as another program that saves its own changes would;
//   file_stress delete <path>  deletes <path>.
#include "app/rom_io_win.h"
#include "stress_image.h"
#include "support/temp_folder.h"

#include <windows.h>

#include <string>

namespace {

int copyInPlace(const std::wstring& from, const std::wstring& path) {
    const std::vector<std::uint8_t> bytes = vexa::test::readBytes(from);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size() ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && std::wstring(argv[1]) == L"copy") return copyInPlace(argv[2], argv[3]);
    if (argc != 3) return 2;
    const std::wstring mode = argv[1];
    const std::wstring path = argv[2];
    if (mode == L"delete") return DeleteFileW(path.c_str()) ? 0 : 1;
    if (mode != L"save") return 2;
    vexa::RomDocument document;
    for (std::uint32_t k = 1;; ++k) {
        document.adopt(vexa::test::stressImage(k), vexa::test::stressLayout());
        document.changeCount = 1;
        if (!vexa::saveRomFrom(document, path, nullptr)) return 1;
    }
}
