// tests/win_tools/file_stress.exe, the second process of the file tests: another
// program that saves, holds, rewrites or deletes a file while the editor has it.
#pragma once

#include <windows.h>

#include <string>

namespace vexa::test {

// file_stress.exe beside the test program.
std::wstring fileStressPath();

// Starts file_stress with `arguments` (after the program name); false if it could
// not start. The caller owns the handles in `process`.
bool startFileStress(const std::wstring& arguments, PROCESS_INFORMATION& process);

// Runs file_stress with `arguments` to its end and returns its exit code (or -1).
int runFileStress(const std::wstring& arguments);

} // namespace vexa::test
