// kiv-cli check FOLDER [ADRES...]: what a crash, a bad disk or a broken link
// left in a data folder, one line per finding; nothing is changed.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_args.h"
#include "cli_command.h"
#include "config/station_db.h"
#include "datafiles/folder_check.h"

namespace kiv::cli {
namespace {

constexpr const char* kName = "check";
constexpr int kExitFound = 1;

bool IsOption(const std::string& arg) { return arg.size() >= 2 && arg[0] == '-'; }

int RunCheck(const std::vector<std::string>& args) {
    // Any number of addresses may follow the folder: the split checks the
    // folder and the options, the addresses are checked here one by one.
    std::vector<std::string> call, addressTexts;
    for (std::size_t i = 0; i < args.size(); ++i) (i > 0 && !IsOption(args[i]) ? addressTexts : call).push_back(args[i]);
    CliArgs in;
    if (const int rc = SplitArguments(kName, call, in); rc != kExitOk) return rc;
    std::string folder, error;
    std::vector<int> addresses;
    for (const std::string& text : addressTexts) {
        int address = 0;
        if (!ParseAddress(text, address, error)) return UsageError(kName, error);
        if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) addresses.push_back(address);
    }
    if (const int rc = FindDataFolder(in.values[0], folder, error); rc != kExitOk) return Fail(kName, rc, error);
    for (int address : addresses) {
        std::error_code ec;
        if (!std::filesystem::is_directory(StationFolderPath(folder, address), ec))
            return Fail(kName, kExitNoInput,
                        "w folderze danych " + folder + " nie ma stacji " + FiveDigits(address) + " (folderu FC_" +
                            FiveDigits(address) + ")");
    }
    const TCheckSummary summary = CheckDataFolder(folder, addresses);
    if (summary.stations == 0)
        return Fail(kName, kExitNoInput, "w folderze danych " + folder + " nie ma żadnej stacji (folderu FC_nnnnn)");
    for (const TCheckFinding& finding : summary.findings) std::printf("%s\n", FindingLine(finding).c_str());
    std::printf("%s\n", SummaryLine(summary).c_str());
    return summary.findings.empty() ? kExitOk : kExitFound;
}

const CliRegistrar registrar(
    {kName, "FOLDER [ADRES...]",
     "Sprawdza pliki stacji (wszystkich albo podanych, każdą raz) i luki w archiwach; niczego nie zmienia. "
     "Wiersz na usterkę (tabulatory): adres, rodzaj, plik lub kanał, opis; \"plik\": plik nie przechodzi "
     "własnej kontroli (plik stacji bez [Main], miesiąc archiwum odrzucany przy odczycie okresu, FCC, FCE i "
     "starsze generacje zdarzeń .FCE1..9, w które odczyt odkłada uszkodzony plik); \"kolejność\" i \"poza "
     "miesiącem\": próbki pliku miesiąca nie po kolei lub z innego miesiąca; \"luka\": kanał, interwał w "
     "minutach, ostatnia próbka przed luką, pierwsza po niej i odstęp między nimi, gdy jest dłuższy niż dwa "
     "interwały (kanał kończący się wcześniej niż inne nie jest usterką). Na końcu podsumowanie. Kod "
     "wyjścia 0: wszystko w porządku, 1: coś znaleziono",
     RunCheck,
     {{"FOLDER", "folder danych z folderami stacji FC_nnnnn"},
      {"ADRES", "adresy stacji do sprawdzenia, 1..65535 (bez nich: wszystkie stacje)", true}},
     {},
     {"kiv-cli check demo", "kiv-cli check demo 7 11"}});

} // namespace
} // namespace kiv::cli
