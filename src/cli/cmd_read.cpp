// kiv-cli read DATAFOLDER ADDRESS [options]: reads one station over a direct
// line with the settings of its station file, as the transmission window
// does (the same road, direct_readout.h), printing the progress lines, the
// result text and a summary of what was stored. A station whose ConnType is
// "TCP" is read over a connection to IPAddr:PortRemote unless --port names a
// serial port. Run it in the working folder that holds Kiv.ini ([Ports]
// mapping, Debug, CommSettings); the device profiles are taken from the
// program folder. The data folder's lock is held while reading; a folder
// another running program holds is refused unless --force. Exit code 0 after
// a complete read-out, else the read-out's result code (14 after Ctrl+C or
// SIGTERM); 64 for bad arguments, 66 for a missing data folder or station,
// 65 when the station's profile cannot be read, 69 when the port does not
// open or the connection is not made, 75 for a folder locked by another program.
#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "cli/line_command.h"
#include "comm/comm_module.h"
#include "comm/direct_readout.h"
#include "comm/progress_recorder.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "datafiles/profile_catalogue.h"
#include "datafiles/timestamp.h"
#include "support/helpers.h"
#include "support/text_encoding.h"

namespace kiv::cli {
namespace {

constexpr const char* kName = "read";

// Passes progress lines to stdout, leaving out the lamps and the bar.
class TProgressLines : public std::streambuf {
protected:
    int overflow(int c) override {
        if (c == '\n') {
            if (line_.rfind("lamp:", 0) != 0 && line_.rfind("bar:", 0) != 0) std::cout << line_ << '\n' << std::flush;
            line_.clear();
        } else if (c != EOF) {
            line_ += static_cast<char>(c);
        }
        return c;
    }

private:
    std::string line_;
};

// The numeric options, with the ranges of the transmission window's fields.
struct TNumberOption {
    const char* name;
    long low;
    long high;
    int32_t TRekStacjiFull::*field;
};
constexpr TNumberOption kNumberOptions[] = {
    {"--answer-timeout", 50, 10000, &TRekStacjiFull::StartTimeout},
    {"--char-timeout", 50, 2000, &TRekStacjiFull::CharsTimeout},
    {"--silence", 0, 1000, &TRekStacjiFull::SilenceTime},
    {"--block", 1, 250, &TRekStacjiFull::ArcSamplesPerBlock},
    {"--attempts", 0, 25, &TRekStacjiFull::Repeats},
};

// What the options say, checked before anything is opened.
struct TReadOverrides {
    std::vector<std::pair<int32_t TRekStacjiFull::*, int32_t>> numbers;
    int32_t from = -1;
    int32_t to = -1;
};

bool ParseTimeOption(const CliArgs& in, const char* name, int32_t& time, std::string& error) {
    if (!in.Has(name)) return true;
    TimeStamp stamp = 0;
    if (!ParseTime(name, in.Option(name), stamp, error)) return false;
    if (stamp > 0x7FFFFFFFu) {
        error = std::string(name) + ": czas \"" + in.Option(name) + "\" jest poza zakresem urządzeń (do 2038-01-19)";
        return false;
    }
    time = static_cast<int32_t>(stamp);
    return true;
}

bool ParseOverrides(const CliArgs& in, TReadOverrides& overrides, std::string& error) {
    int baud = 0;
    if (in.Has("--port") && !ParsePort(in.Option("--port"), error)) return false;
    if (in.Has("--baud") && !ParseBaudRate(in.Option("--baud"), baud, error)) return false;
    if (in.Has("--parity") && !ParseParity(in.Option("--parity"), error)) return false;
    for (const TNumberOption& option : kNumberOptions) {
        if (!in.Has(option.name)) continue;
        long value = 0;
        if (!ParseWhole(option.name, in.Option(option.name), option.low, option.high, value, error)) return false;
        overrides.numbers.emplace_back(option.field, static_cast<int32_t>(value));
    }
    if (!ParseTimeOption(in, "--from", overrides.from, error) || !ParseTimeOption(in, "--to", overrides.to, error))
        return false;
    TimeStamp from = 0, to = 0;
    return !in.Has("--from") || !in.Has("--to") || ParseTimeRange(in.Option("--from"), in.Option("--to"), from, to, error);
}

void ApplyOverrides(const CliArgs& in, const TReadOverrides& overrides, TRekStacjiFull& station) {
    for (const auto& [field, value] : overrides.numbers) station.*field = value;
    if (in.Has("--port")) {
        station.ComNumber = in.Option("--port");
        station.ConnType = "COM"; // a serial port named on the command line is the one wanted
    }
    if (in.Has("--baud")) station.BaudRate = in.Option("--baud");
    if (in.Has("--parity")) station.Parity = in.Option("--parity");
}

// A station names its profile by the profile's name (text 1 of an .FCP file
// in the program folder); a file name of that folder is taken too.
int LookUpProfile(const std::string& folder, const std::string& deviceProfile, TProfileRecord& found) {
    const TProfileCatalogue catalogue = BuildProfileCatalogue(folder);
    const int byName = ReadCatalogueProfile(catalogue.names, catalogue.files, folder, deviceProfile, found);
    if (byName != ProfileNotInCatalogue) return byName;
    return ReadCatalogueProfile(catalogue.files, catalogue.files, folder, deviceProfile, found);
}

// The window says nothing after a complete or a cancelled read-out (its
// progress line does); the command line names the outcome on its result line.
std::string ResultText(const TReadOutOutcome& outcome) {
    if (!outcome.message.text.empty()) return outcome.message.text;
    if (outcome.result == TxResult::Good) return "Odczyt zakończony";
    if (outcome.result == TxResult::Cancelled) return "Odczyt przerwany";
    return "";
}

void PrintSummary(const TReadOutOutcome& outcome) {
    std::string samples;
    for (const auto& [name, count] : outcome.report.samplesStored)
        samples += (samples.empty() ? "" : ", ") + DecodeText(name) + " " + std::to_string(count);
    std::printf("Nowe próbki: %s\n", samples.empty() ? "brak" : samples.c_str());
    std::printf("Zapisane zdarzenia: %ld\n", outcome.report.eventsStored);
    const int64_t newest = outcome.report.newestSample;
    std::printf("Najnowsza próbka: %s\n", newest < 0 ? "brak" : StampText(static_cast<TimeStamp>(newest)).c_str());
    std::printf("Łącze: zapytań %ld, wysłano %ld B, odebrano %ld B\n", outcome.stats.requests, outcome.stats.bytesSent,
                outcome.stats.bytesReceived);
    std::printf("Czas odczytu: %.1f s\n", outcome.seconds);
}

int RunRead(const std::vector<std::string>& args) {
    CliArgs in;
    if (const int rc = SplitArguments(kName, args, in); rc != kExitOk) return rc;
    int address = 0;
    TReadOverrides overrides;
    std::string folder, error;
    if (!ParseAddress(in.values[1], address, error) || !ParseOverrides(in, overrides, error))
        return UsageError(kName, error);
    if (const int rc = FindDataFolder(in.values[0], folder, error); rc != kExitOk) return Fail(kName, rc, error);
    if (const int rc = FindStation(folder, address, error); rc != kExitOk) return Fail(kName, rc, error);
    TLineCommand session;
    if (const int rc = session.Start(kName, folder, in.Has("--force")); rc != kExitOk) return rc;

    TRekStacjiFull station;
    ReadFullStationRecord(StationFilePath(folder, address), address, station);
    ApplyOverrides(in, overrides, station);
    TProfileRecord profile;
    if (station.DeviceProfile.empty())
        return Fail(kName, kExitData, "stacja " + FiveDigits(address) + " nie ma przypisanego profilu urządzenia");
    if (LookUpProfile(PathWithSeparator(QCoreApplication::applicationDirPath().toStdString()), station.DeviceProfile,
                      profile) != ProfileRead)
        return Fail(kName, kExitData, "nie można odczytać profilu urządzenia \"" + station.DeviceProfile + "\"");
    TDirectReadOut job = DirectReadOutOf(station, KivIniPathInWorkingFolder(), folder, profile.params, profile.items);
    job.input.startTime = overrides.from;
    job.input.endTime = overrides.to;
    if (in.Has("--log")) job.logFile = in.Option("--log");

    TProgressLines lines;
    std::ostream echo(&lines);
    TTxProgressRecorder progress(&echo);
    progress.Reset(std::to_string(address) + " " + station.Label);
    TFCommModule module;
    const TReadOutOutcome outcome = RunDirectReadOut(module, progress, job);
    progress.StopCounter();
    if (!outcome.portOpened && outcome.result == TxResult::Cancelled) {
        std::printf("Wynik %d: Odczyt przerwany\n", ResultCode(outcome.result));
        return ResultCode(outcome.result);
    }
    if (!outcome.portOpened)
        return Fail(kName, kExitUnavailable, OpenErrorLine(job.link, outcome.portError));
    const std::string text = ResultText(outcome);
    std::printf("Wynik %d%s%s\n", ResultCode(outcome.result), text.empty() ? "" : ": ", text.c_str());
    PrintSummary(outcome);
    return outcome.result == TxResult::Good ? kExitOk : ResultCode(outcome.result);
}

const CliRegistrar registrar(
    {kName, "FOLDER ADRES [opcje]",
     "Odczyt stacji łączem bezpośrednim (albo TCP, gdy ConnType=TCP) z ustawieniami z pliku stacji, jak w oknie "
     "transmisji; kod wyjścia 0 po pełnym odczycie, inaczej kod wyniku odczytu (8: nie wszystko zapisano, "
     "14: przerwany); 75: folder danych zajęty przez inny program",
     RunRead,
     {{"FOLDER", "folder danych z folderami stacji FC_nnnnn"}, {"ADRES", "adres stacji, 1..65535"}},
     {{"--port", "COMn", "port szeregowy (COM1..COM128 według [Ports] w Kiv.ini albo ścieżka urządzenia); także dla "
                         "stacji TCP"},
      {"--baud", "N", "prędkość transmisji: 110 .. 115200"},
      {"--parity", "TEKST", "kontrola parzystości: None, Odd, Even, Mark, Space"},
      {"--answer-timeout", "MS", "czas rozpoczęcia odpowiedzi, 50..10000 ms"},
      {"--char-timeout", "MS", "czas akceptacji odpowiedzi, 50..2000 ms"},
      {"--silence", "MS", "czas ciszy przed zapytaniem, 0..1000 ms"},
      {"--block", "N", "liczba danych w bloku, 1..250"},
      {"--attempts", "N", "maksymalna liczba błędów, 0..25"},
      {"--from", "CZAS", "czytaj od \"RRRR-MM-DD gg:mm:ss\""},
      {"--to", "CZAS", "czytaj do \"RRRR-MM-DD gg:mm:ss\""},
      {"--log", "PLIK", "zapis przesyłanych ramek do pliku"},
      {"--force", nullptr, "czytaj także do folderu zajętego przez inny działający program"}},
     {"kiv-cli read . 1", "kiv-cli read demo 12 --port COM2 --baud 9600 --from \"2026-12-01 00:00:00\""}});

} // namespace
} // namespace kiv::cli
