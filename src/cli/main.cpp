#include "cli_command.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kiv::cli {
namespace {
std::vector<CliCommand>& Registry() {
    static std::vector<CliCommand> commands;
    return commands;
}

void PrintUsage() {
    std::fprintf(stderr, "usage: kiv-cli COMMAND ARGUMENTS\n\ncommands:\n");
    auto commands = Commands();
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand& a, const CliCommand& b) { return std::strcmp(a.name, b.name) < 0; });
    for (const auto& c : commands) std::fprintf(stderr, "  %s %s\n      %s\n", c.name, c.usage, c.summary);
}
} // namespace

CliRegistrar::CliRegistrar(const CliCommand& command) { Registry().push_back(command); }
const std::vector<CliCommand>& Commands() { return Registry(); }

} // namespace kiv::cli

int main(int argc, char** argv) {
    using namespace kiv::cli;
    if (argc < 2) {
        PrintUsage();
        return 64;
    }
    for (const auto& command : Commands()) {
        if (std::strcmp(command.name, argv[1]) == 0) return command.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "kiv-cli: unknown command \"%s\"\n\n", argv[1]);
    PrintUsage();
    return 64;
}
