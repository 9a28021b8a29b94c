#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    return valmora::cli::Run(args, std::cin, std::cout, std::cerr);
}
