#pragma once
// kiv-cli runs one command per call. Each command lives in its own cmd_*.cpp
// and registers itself with a static CliRegistrar, so adding one touches no
// other file. A command names its arguments, options and examples; the help
// ("kiv-cli help", "--help", "-h", "help COMMAND", "COMMAND --help") is
// built from them, and SplitArguments checks a call against them before the
// command opens anything. Messages go to stderr as one Polish line each,
// "kiv-cli COMMAND: ...", and the exit code tells the kind of failure.
#include <map>
#include <string>
#include <vector>

#include "support/folder_lock.h"

namespace kiv::cli {

// Exit codes every command keeps to; a read-out adds its own result codes.
enum CliExit : int {
    kExitOk = 0,
    kExitUsage = 64,       // unknown command or option, missing or malformed value
    kExitData = 65,        // the file is there but unreadable or not of the kind asked for
    kExitNoInput = 66,     // no such folder, station, file or channel
    kExitUnavailable = 69, // the serial port does not open, or the connection to the station is not made
    kExitFolderLocked = kiv::kExitFolderLocked, // 75: another running program holds the data folder's lock
};

struct CliArgument {
    const char* name;    // as the usage shows it, e.g. "ADRES"
    const char* meaning;
    bool optional = false; // optional arguments come after the required ones
};

struct CliOption {
    const char* name;    // e.g. "--baud"
    const char* value;   // what follows it, e.g. "N"; nullptr for a switch without a value
    const char* meaning;
};

struct CliCommand {
    const char* name;
    const char* usage;   // the arguments after the name, e.g. "FOLDER ADRES [GENERACJA]"
    const char* summary; // one line on what it does
    int (*run)(const std::vector<std::string>& args); // args after the command name
    std::vector<CliArgument> arguments{};
    std::vector<CliOption> options{};
    std::vector<std::string> examples{}; // whole command lines
};

struct CliRegistrar {
    explicit CliRegistrar(const CliCommand& command);
};

[[nodiscard]] const std::vector<CliCommand>& Commands();
// The registered command of that name, or nullptr.
[[nodiscard]] const CliCommand* FindCommand(const std::string& name);

// A call split by the command's description.
struct CliArgs {
    std::vector<std::string> values;            // the arguments in order; optional ones may be missing
    std::map<std::string, std::string> options; // given options with their values ("" for a switch)

    [[nodiscard]] bool Has(const std::string& option) const { return options.contains(option); }
    [[nodiscard]] const std::string& Option(const std::string& option) const { return options.at(option); }
};

// Splits the arguments of `command` into values and options: an unknown
// option, an option without its value, a missing or a surplus argument gets
// UsageError. kExitOk or kExitUsage.
[[nodiscard]] int SplitArguments(const std::string& command, const std::vector<std::string>& args, CliArgs& out);
// "kiv-cli COMMAND: line", then the command's usage, on stderr; kExitUsage.
[[nodiscard]] int UsageError(const std::string& command, const std::string& line);
// "kiv-cli COMMAND: line" on stderr; returns `code`.
[[nodiscard]] int Fail(const std::string& command, int code, const std::string& line);

} // namespace kiv::cli
