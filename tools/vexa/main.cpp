// vexa: the command-line tool (cli/cli.h); its arguments arrive as UTF-8 here.
#include "cli/cli.h"

#include <iostream>
#include <string>
#include <system_error>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::error_code error;
    const std::filesystem::path program = std::filesystem::canonical("/proc/self/exe", error);
    return vexa::runVexa(args, std::cout, std::cerr, error ? std::filesystem::path() : program.parent_path());
}
