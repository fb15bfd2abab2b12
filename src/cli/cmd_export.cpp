// kiv-cli export csv|dzn: the files "Eksport --> CSV" and "Eksport --> DZN"
// write for the same stations, days and parameters (the one road of
// export/csv_export.h and export/dzn_export.h), into --out instead of the
// folder the window asks for. Every file written is printed on its own line;
// a file that could not be written or an archive that could not be read
// makes the exit code 66 (the rest is still written), a station above 700
// refused by DZN 65.
#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "export/csv_export.h"
#include "export/dzn_export.h"
#include "support/helpers.h"

#include <QLocale>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

namespace kiv::cli {
namespace {

constexpr const char *kName = "export";
constexpr TimeStamp kDaySeconds = 86400;

// What the call names, beyond the checked options.
struct TExportCall {
    std::string format; // "CSV" or "DZN"
    std::vector<std::string> keys;
    std::vector<std::string> params;
    std::string out;
};

bool TakesValue(const std::string &option) {
    const CliCommand *command = FindCommand(kName);
    return std::any_of(command->options.begin(), command->options.end(),
                       [&](const CliOption &o) { return option == o.name && o.value != nullptr; });
}

// SplitArguments keeps one value per option and a fixed number of
// arguments: the keys after the first one and every --param are taken out
// before it checks the rest.
int SplitCall(const std::vector<std::string> &args, CliArgs &in, TExportCall &call) {
    std::vector<std::string> rest;
    std::vector<std::string> extraKeys;
    std::size_t positional = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--param" && i + 1 < args.size()) {
            call.params.push_back(args[++i]);
        } else if (args[i].size() >= 2 && args[i][0] == '-') {
            rest.push_back(args[i]);
            if (TakesValue(args[i]) && i + 1 < args.size())
                rest.push_back(args[++i]);
        } else if (positional++ >= 3) {
            extraKeys.push_back(args[i]);
        } else {
            rest.push_back(args[i]);
        }
    }
    if (const int rc = SplitArguments(kName, rest, in); rc != kExitOk)
        return rc;
    call.keys = {in.values[2]};
    call.keys.insert(call.keys.end(), extraKeys.begin(), extraKeys.end());
    return kExitOk;
}

bool ParseDayOption(const std::string &what, const CliArgs &in, TimeStamp &day, std::string &error) {
    if (!in.Has(what)) {
        error = "brak opcji " + what + " RRRR-MM-DD";
        return false;
    }
    return ParseDay(what, in.Option(what), day, error);
}

bool ParseOptions(const CliArgs &in, TExportCall &call, TExportRequest &request, std::string &error) {
    TimeStamp from = 0;
    TimeStamp to = 0;
    if (!ParseDayOption("--from", in, from, error) || !ParseDayOption("--to", in, to, error))
        return false;
    if (from > to) {
        error = "odwrócony zakres dni: --from " + in.Option("--from") + " jest późniejsze niż --to " + in.Option("--to");
        return false;
    }
    request.start = from + 1;
    request.end = to + kDaySeconds;
    long shift = TProgramSettings(KivIniPathInWorkingFolder()).RepBaseHourShift();
    if (in.Has("--shift") && !ParseWhole("--shift", in.Option("--shift"), -23, 23, shift, error))
        return false;
    request.hourShift = static_cast<int>(shift);
    const std::string separator =
        in.Has("--sep") ? in.Option("--sep") : QLocale::system().decimalPoint().toStdString();
    if (!ParseDecimalSeparator(separator, request.decimalSeparator, error))
        return false;
    if (!in.Has("--out") || in.Option("--out").empty()) {
        error = "brak opcji --out FOLDER";
        return false;
    }
    call.out = PathWithSeparator(in.Option("--out"));
    if (call.format == "DZN" && !call.params.empty()) {
        error = "opcja --param dotyczy tylko eksportu csv (dzn zapisuje zawsze te same parametry)";
        return false;
    }
    return true;
}

// "00012@label" of every key, each station checked to be there.
int FindStations(const TExportCall &call, TExportRequest &request, std::string &error) {
    for (const std::string &key : call.keys) {
        int address = 0;
        if (!ParseAddress(key, address, error))
            return kExitUsage;
        if (const int rc = FindStation(request.dataFolder, address, error); rc != kExitOk)
            return rc;
        request.keyLabels.push_back(FiveDigits(address) + "@" +
                                    ReadStationEntry(StationFilePath(request.dataFolder, address), address).label);
    }
    return kExitOk;
}

// The window offers the names of the stations' lists and exports the ticked
// ones in list order; --param ticks them, none ticks all.
int ChooseNames(const TExportCall &call, const TCsvNames &offered, std::vector<std::string> &names,
                std::string &error) {
    for (const std::string &param : call.params)
        if (std::find(offered.names.begin(), offered.names.end(), param) == offered.names.end()) {
            error = "żadna z podanych stacji nie ma parametru \"" + param + "\" w wybranym okresie";
            return kExitNoInput;
        }
    std::copy_if(offered.names.begin(), offered.names.end(), std::back_inserter(names), [&](const std::string &name) {
        return call.params.empty() || std::find(call.params.begin(), call.params.end(), name) != call.params.end();
    });
    return kExitOk;
}

int Finish(const TExportOutcome &outcome) {
    for (const std::string &path : outcome.written)
        std::printf("%s\n", path.c_str());
    for (const std::string &path : outcome.failed)
        std::fprintf(stderr, "kiv-cli %s: nie zapisano pliku %s\n", kName, path.c_str());
    for (const std::string &archive : outcome.unreadable)
        std::fprintf(stderr, "kiv-cli %s: nie wyeksportowano archiwum %s (błąd odczytu)\n", kName, archive.c_str());
    if (!outcome.failed.empty() || !outcome.unreadable.empty())
        return kExitNoInput;
    return outcome.refused > 0 ? kExitData : kExitOk;
}

int Run(const std::vector<std::string> &args) {
    CliArgs in;
    TExportCall call;
    if (const int rc = SplitCall(args, in, call); rc != kExitOk)
        return rc;
    if (in.values[0] != "csv" && in.values[0] != "dzn")
        return UsageError(kName, "nieznany format \"" + in.values[0] + "\" (są: csv, dzn)");
    call.format = in.values[0] == "csv" ? "CSV" : "DZN";
    TExportRequest request;
    std::string error;
    if (!ParseOptions(in, call, request, error))
        return UsageError(kName, error);
    if (const int rc = FindDataFolder(in.values[1], request.dataFolder, error); rc != kExitOk)
        return Fail(kName, rc, error);
    if (const int rc = FindStations(call, request, error); rc != kExitOk)
        return rc == kExitUsage ? UsageError(kName, error) : Fail(kName, rc, error);
    // The call accepts every period, as the main window does.
    const TExportPeriod period = MovedPeriod(request);
    std::error_code ec;
    std::filesystem::create_directories(call.out, ec);
    if (ec || !std::filesystem::is_directory(call.out, ec))
        return Fail(kName, kExitNoInput, "nie można utworzyć katalogu wyjściowego " + call.out);
    const TFolderAsk out = [&call](std::string &folder) {
        folder = call.out;
        return true;
    };
    if (call.format == "DZN")
        return Finish(ExportDzn(request, period, out));
    const TCsvNames offered = CsvParameterNames(request, period);
    std::vector<std::string> names;
    if (const int rc = ChooseNames(call, offered, names, error); rc != kExitOk)
        return Fail(kName, rc, error);
    return Finish(ExportCsv(request, period, offered, names, out));
}

const CliRegistrar kExport(
    {kName,
     "csv|dzn FOLDER KLUCZ... --from RRRR-MM-DD --to RRRR-MM-DD --out FOLDER [--param NAZWA]... [--shift H] "
     "[--sep C]",
     "Eksport archiwów stacji do plików CSV albo DZN, tak jak \"Eksport --> CSV\" i \"Eksport --> DZN\"", Run,
     {{"FORMAT", "csv (plik tekstowy na stację i parametr) albo dzn (pliki dni, miesięcy i konfiguracji)"},
      {"FOLDER", "folder danych z folderami stacji FC_nnnnn"},
      {"KLUCZ", "adres stacji (np. 00012); można podać kilka, pierwsza stacja DZN dostaje pliki .msc"}},
     {{"--from", "RRRR-MM-DD", "pierwszy dzień okresu (doba gazowa kończąca się tego dnia)"},
      {"--to", "RRRR-MM-DD", "ostatni dzień okresu"},
      {"--out", "FOLDER", "katalog wyjściowy (tworzony, gdy go nie ma)"},
      {"--param", "NAZWA", "tylko csv: parametr do eksportu, można powtarzać (domyślnie wszystkie)"},
      {"--shift", "H", "przesunięcie godziny początku doby gazowej, -23..23 (domyślnie z Kiv.ini, -2)"},
      {"--sep", "C", "separator dziesiętny w plikach CSV (domyślnie systemowy)"}},
     {"kiv-cli export csv demo 00012 --from 2026-05-01 --to 2026-05-31 --out eksport --param dVn --param P",
      "kiv-cli export dzn demo 00012 00013 --from 2026-05-01 --to 2026-05-31 --out dzn"}});

} // namespace
} // namespace kiv::cli
