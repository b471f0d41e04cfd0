// Stands in for an emulator in the test-play tests: writes the parameter string it
// was started with, its working directory and then each argument as the C runtime
// splits the command line, one per line, to the file named by the environment
// variable VEXA_FAKE_EMULATOR_LOG, then exits.
#include <windows.h>

#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    wchar_t logPath[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"VEXA_FAKE_EMULATOR_LOG", logPath, MAX_PATH)) return 1;
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    std::wstring text = std::wstring(commandLine) + L"\n" + folder + L"\n";
    int count = 0;
    if (LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            text += std::wstring(arguments[i]) + L"\n";
        LocalFree(arguments);
    }
    HANDLE log = CreateFileW(logPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return 1;
    DWORD done = 0;
    WriteFile(log, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &done, nullptr);
    CloseHandle(log);
    return 0;
}
