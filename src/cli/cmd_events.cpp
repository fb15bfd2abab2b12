// kiv-cli events: lists one generation of a station's events file, with the
// additional parameters decoded by the matching definition of the program folder.
#include "cli_args.h"
#include "cli_command.h"

#include "config/tini.h"
#include "datafiles/events.h"
#include "support/helpers.h"
#include "support/text_encoding.h"

#include <cstdio>
#include <string>

namespace kiv::cli {
namespace {

constexpr const char* kName = "events";

void PrintRecord(const TEventsFile& file, std::size_t index, TIni* definitions, int& definitionErrors) {
    const TEventRecord& record = file.records[index];
    const uint8_t* bytes = file.image.data() + record.offset;
    TEventDefinition definition;
    if (definitions) definition = ReadEventDefinition(*definitions, bytes[2]);
    std::printf("%05zu %03u %s %s %5zu %s\n", index + 1, bytes[2], EventStampText(bytes + 3).c_str(),
                EventStampText(bytes + 9).c_str(), record.length, definition.description.c_str());
    if (!definitions) return;
    std::vector<TEventParamDef> params;
    if (!ParamsForRecord(definition, record.length, params)) {
        std::printf("      (długość niezgodna z definicją zdarzenia: oczekiwano %zu)\n", ExpectedEventLength(definition));
        ++definitionErrors;
        return;
    }
    const auto values = DecodeEventParams(bytes, record.length, params);
    for (std::size_t p = 0; p < params.size(); ++p) {
        const std::string unit = params[p].unit.empty() ? std::string() : " [" + params[p].unit + "]";
        std::printf("      %s: %s%s\n", params[p].description.c_str(), ParamValueText(values[p]).c_str(), unit.c_str());
    }
}

int RunEvents(const std::vector<std::string>& args) {
    CliArgs in;
    if (const int rc = SplitArguments(kName, args, in); rc != kExitOk) return rc;
    int address = 0;
    long generation = 0;
    std::string folder, error;
    if (!ParseAddress(in.values[1], address, error) ||
        (in.values.size() == 3 && !ParseWhole("GENERACJA", in.values[2], 0, kEventGenerations, generation, error)))
        return UsageError(kName, error);
    if (const int rc = FindDataFolder(in.values[0], folder, error); rc != kExitOk) return Fail(kName, rc, error);
    if (const int rc = FindStation(folder, address, error); rc != kExitOk) return Fail(kName, rc, error);
    const std::string name = EventsFileName(folder, address, static_cast<int>(generation));
    if (const int rc = FindFileOfKind(name, kEventsMagic, "plikiem zdarzeń (.FCE)", error); rc != kExitOk)
        return Fail(kName, rc, error);
    TEventsFile file;
    if (ReadEventsFile(folder, address, static_cast<int>(generation), TIdentLines(), file) < 0)
        return Fail(kName, kExitData, "Brak prawidłowego pliku zdarzeń: " + name);
    std::printf("Plik: %s\n", name.c_str());
    for (int line : {0, 1, 2, 4})
        std::printf("Identyfikacja %d: %s\n", line + 1, DecodeText(file.identLines[static_cast<std::size_t>(line)]).c_str());
    const std::string definitionFile = FindEventDefinition(ProgramFolder(), file.identLines[0] + file.identLines[1]);
    std::printf("Definicje zdarzeń: %s\n", definitionFile.empty() ? "brak" : definitionFile.c_str());
    if (definitionFile.empty()) {
        std::fprintf(stderr, "Nie znaleziono pliku definicji zdarzeń dla urządzenia:\n%s\n%s\n",
                     DecodeText(file.identLines[0]).c_str(), DecodeText(file.identLines[1]).c_str());
    }
    std::printf("Liczba zdarzeń: %zu\n", file.records.size());
    TIni ini(definitionFile);
    int definitionErrors = 0;
    for (std::size_t i = 0; i < file.records.size(); ++i)
        PrintRecord(file, i, definitionFile.empty() ? nullptr : &ini, definitionErrors);
    if (definitionErrors > 0)
        std::printf("Znaleziono błędy w definicji parametrów dodatkowych (%d)\n", definitionErrors);
    return 0;
}

const CliRegistrar registrar({kName, "FOLDER ADRES [GENERACJA]",
                              "Zdarzenia stacji z pliku zdarzeń, z parametrami dodatkowymi według pliku .EVT "
                              "z folderu programu",
                              RunEvents,
                              {{"FOLDER", "folder danych z folderami stacji FC_nnnnn"},
                               {"ADRES", "adres stacji, 1..65535"},
                               {"GENERACJA", "0 (domyślnie): plik bieżący, 1..9: starsze pliki", true}},
                              {},
                              {"kiv-cli events demo 1", "kiv-cli events demo 1 2"}});

} // namespace
} // namespace kiv::cli
