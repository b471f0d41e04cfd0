// A second process for the file tests.
//   file_stress save <path>  saves stress images 1, 2, 3 ... to <path> through the
//                            editor's save path, forever, until it is killed;
//   file_stress hold <path>  opens <path> for writing, sharing nothing, and keeps it
//                            open until it is killed.
#include "app/rom_io_win.h"
#include "stress_image.h"

#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const std::wstring mode = argv[1];
    const std::wstring path = argv[2];
    if (mode == L"hold") {
        HANDLE file =
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
        Sleep(INFINITE);
    }
    if (mode != L"save") return 2;
    vexa::RomDocument document;
    for (std::uint32_t k = 1;; ++k) {
        document.adopt(vexa::test::stressImage(k), vexa::test::stressLayout());
        document.changeCount = 1;
        if (!vexa::saveRomFrom(document, path, nullptr)) return 1;
    }
}
