// The command-line tool `vexa`: its commands and options over the portable core. The
// program's entry points (tools/vexa) only turn their arguments into UTF-8 strings
// and call runVexa, so that every command runs in-process in the tests.
#pragma once

#include <filesystem>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace vexa {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFindings = 1; // validate found something
inline constexpr int kExitRefused = 1;  // terrain set refused the edit
inline constexpr int kExitBadInput = 2; // a file, a value or an option that cannot be used

// `args` are the arguments after the program name, in UTF-8. Reports go to `out`;
// a failure is one line on `err` naming the file and the problem. `programDirectory`
// is where settings files are looked for last (empty: nowhere).
int runVexa(std::span<const std::string> args, std::ostream& out, std::ostream& err,
            const std::filesystem::path& programDirectory = {});

// A path from UTF-8 text, and back, on every platform.
std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8FromPath(const std::filesystem::path& path);

} // namespace vexa
