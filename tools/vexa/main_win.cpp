// vexa.exe: the console entry of the command-line tool. Arguments arrive in UTF-16
// whatever the code page, so file names of any script survive; they go on as UTF-8,
// and the console is switched to UTF-8 to show the paths in the messages.
#include "cli/cli.h"

#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

namespace {

std::string utf8Of(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), n, nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(n - 1));
    return bytes;
}

std::filesystem::path programDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return std::filesystem::path(path).parent_path();
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(utf8Of(argv[i]));
    return vexa::runVexa(args, std::cout, std::cerr, programDirectory());
}
