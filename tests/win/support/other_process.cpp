#include "support/other_process.h"

namespace vexa::test {

std::wstring fileStressPath() {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring path = exe;
    return path.substr(0, path.rfind(L'\\') + 1) + L"file_stress.exe";
}

bool startFileStress(const std::wstring& arguments, PROCESS_INFORMATION& process) {
    const std::wstring helper = fileStressPath();
    std::wstring commandLine = L"\"" + helper + L"\" " + arguments;
    STARTUPINFOW startup{sizeof startup};
    return CreateProcessW(helper.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                          nullptr, &startup, &process) != FALSE;
}

int runFileStress(const std::wstring& arguments) {
    PROCESS_INFORMATION process{};
    if (!startFileStress(arguments, process)) return -1;
    // A Wine process can take seconds to start while other work runs.
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

} // namespace vexa::test
