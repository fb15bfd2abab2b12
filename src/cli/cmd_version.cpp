// kiv-cli --version: the program's version, the one its package carries.
#include <cstdio>

#include "cli_command.h"

namespace kiv::cli {
namespace {

constexpr const char* kName = "--version";

int RunVersion(const std::vector<std::string>& args) {
    CliArgs in;
    if (const int rc = SplitArguments(kName, args, in); rc != kExitOk) return rc;
    std::printf("kiv-cli %s\n", KIV_VERSION);
    return kExitOk;
}

const CliRegistrar registrar({kName, "", "Wersja programu", RunVersion, {}, {}, {"kiv-cli --version"}});

} // namespace
} // namespace kiv::cli
