// kiv-cli: the command registry, the help built from the commands'
// descriptions, and the splitting of a call; the commands are in cmd_*.cpp.
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

std::vector<const CliCommand*> SortedCommands() {
    std::vector<const CliCommand*> sorted;
    for (const CliCommand& c : Registry()) sorted.push_back(&c);
    std::sort(sorted.begin(), sorted.end(),
              [](const CliCommand* a, const CliCommand* b) { return std::strcmp(a->name, b->name) < 0; });
    return sorted;
}

// Characters, not bytes: the names may hold Polish letters.
std::size_t TextWidth(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void PrintTerm(std::FILE* out, const std::string& term, std::size_t width, const char* meaning) {
    std::fprintf(out, "    %s%s  %s\n", term.c_str(), std::string(width - TextWidth(term), ' ').c_str(), meaning);
}

std::string OptionTerm(const CliOption& option) {
    return option.value == nullptr ? option.name : std::string(option.name) + " " + option.value;
}

void PrintCommandHelp(std::FILE* out, const CliCommand& command) {
    std::fprintf(out, "  kiv-cli %s %s\n      %s\n", command.name, command.usage, command.summary);
    std::size_t width = 0;
    for (const CliArgument& a : command.arguments) width = std::max(width, TextWidth(a.name));
    for (const CliOption& o : command.options) width = std::max(width, TextWidth(OptionTerm(o)));
    for (const CliArgument& a : command.arguments) PrintTerm(out, a.name, width, a.meaning);
    for (const CliOption& o : command.options) PrintTerm(out, OptionTerm(o), width, o.meaning);
    for (const std::string& example : command.examples) std::fprintf(out, "    Przykład: %s\n", example.c_str());
}

// The short form shown after a mistake: every command on one line.
void PrintSynopsis(std::FILE* out) {
    std::fprintf(out, "Użycie: kiv-cli POLECENIE [ARGUMENTY] [OPCJE]\n");
    for (const CliCommand* c : SortedCommands()) std::fprintf(out, "  kiv-cli %s %s\n", c->name, c->usage);
    std::fprintf(out, "Opis poleceń, argumentów i opcji: kiv-cli help [POLECENIE]\n");
}

void PrintHelp(std::FILE* out) {
    std::fprintf(out, "Użycie: kiv-cli POLECENIE [ARGUMENTY] [OPCJE]\n"
                      "       kiv-cli help [POLECENIE], kiv-cli --help, kiv-cli -h, kiv-cli POLECENIE --help\n\n"
                      "Polecenia:\n");
    for (const CliCommand* c : SortedCommands()) {
        PrintCommandHelp(out, *c);
        std::fputc('\n', out);
    }
    std::fprintf(out, "Kody wyjścia:\n"
                      "    0   wykonano\n"
                      "    64  błędne wywołanie: nieznane polecenie lub opcja, brakujący lub niepoprawny argument\n"
                      "    65  plik nieczytelny albo innego rodzaju niż żądany\n"
                      "    66  nie ma takiego folderu, stacji, pliku lub kanału\n"
                      "    69  nie można otworzyć portu szeregowego ani połączyć się ze stacją (read, round, transporter)\n"
                      "    75  folder danych zajęty przez inny działający program (read, round, transporter)\n"
                      "    1..14  kod wyniku niepełnego odczytu (read)\n");
}

bool IsHelpSwitch(const std::string& arg) { return arg == "--help" || arg == "-h"; }

const CliOption* FindOption(const CliCommand& command, const std::string& name) {
    for (const CliOption& o : command.options)
        if (name == o.name) return &o;
    return nullptr;
}

int Help(const std::vector<std::string>& topics) {
    if (topics.empty()) {
        PrintHelp(stdout);
        return kExitOk;
    }
    const CliCommand* command = FindCommand(topics[0]);
    const std::string problem = command == nullptr ? "nieznane polecenie \"" + topics[0] + "\""
                                : topics.size() > 1 ? "nadmiarowy argument \"" + topics[1] + "\""
                                                    : std::string();
    if (!problem.empty()) {
        std::fprintf(stderr, "kiv-cli help: %s\n", problem.c_str());
        PrintSynopsis(stderr);
        return kExitUsage;
    }
    PrintCommandHelp(stdout, *command);
    return kExitOk;
}

} // namespace

CliRegistrar::CliRegistrar(const CliCommand& command) { Registry().push_back(command); }
const std::vector<CliCommand>& Commands() { return Registry(); }

const CliCommand* FindCommand(const std::string& name) {
    for (const CliCommand& c : Registry())
        if (name == c.name) return &c;
    return nullptr;
}

int Fail(const std::string& command, int code, const std::string& line) {
    std::fprintf(stderr, "kiv-cli %s: %s\n", command.c_str(), line.c_str());
    return code;
}

int UsageError(const std::string& command, const std::string& line) {
    std::fprintf(stderr, "kiv-cli %s: %s\n\nUżycie:\n", command.c_str(), line.c_str());
    if (const CliCommand* c = FindCommand(command)) PrintCommandHelp(stderr, *c);
    return kExitUsage;
}

int SplitArguments(const std::string& name, const std::vector<std::string>& args, CliArgs& out) {
    out = {};
    const CliCommand* command = FindCommand(name);
    if (command == nullptr) return Fail(name, kExitUsage, "polecenie nie jest zarejestrowane");
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            out.values.push_back(arg);
            continue;
        }
        const CliOption* option = FindOption(*command, arg);
        if (option == nullptr) return UsageError(name, "nieznana opcja \"" + arg + "\"");
        if (option->value != nullptr && i + 1 == args.size())
            return UsageError(name, "brak wartości " + std::string(option->value) + " po opcji " + arg);
        out.options[arg] = option->value == nullptr ? std::string() : args[++i];
    }
    const auto required = static_cast<std::size_t>(std::count_if(
        command->arguments.begin(), command->arguments.end(), [](const CliArgument& a) { return !a.optional; }));
    if (out.values.size() < required)
        return UsageError(name, "brak argumentu " + std::string(command->arguments[out.values.size()].name));
    if (out.values.size() > command->arguments.size())
        return UsageError(name, "nadmiarowy argument \"" + out.values[command->arguments.size()] + "\"");
    return kExitOk;
}

} // namespace kiv::cli

int main(int argc, char** argv) {
    using namespace kiv::cli;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintSynopsis(stderr);
        return kExitUsage;
    }
    if (args[0] == "help" || IsHelpSwitch(args[0])) return Help({args.begin() + 1, args.end()});
    const CliCommand* command = FindCommand(args[0]);
    if (command == nullptr) {
        std::fprintf(stderr, "kiv-cli: nieznane polecenie \"%s\"\n", args[0].c_str());
        PrintSynopsis(stderr);
        return kExitUsage;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (std::any_of(rest.begin(), rest.end(), IsHelpSwitch)) {
        PrintCommandHelp(stdout, *command);
        return kExitOk;
    }
    return command->run(rest);
}
