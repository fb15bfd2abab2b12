#pragma once
// kiv-cli runs one command per call. Each command lives in its own cmd_*.cpp
// and registers itself with a static CliRegistrar, so adding one touches no
// other file.
#include <string>
#include <vector>

namespace kiv::cli {

struct CliCommand {
    const char* name;
    const char* usage; // the arguments, e.g. "DATAFOLDER ADDRESS"
    const char* summary;
    int (*run)(const std::vector<std::string>& args); // args after the command name
};

struct CliRegistrar {
    explicit CliRegistrar(const CliCommand& command);
};

const std::vector<CliCommand>& Commands();

} // namespace kiv::cli
