// kiv-cli round [--at HH:MM:SS | --now] [--force]: the automatic modem round
// without a desktop, for a scheduler (a systemd timer, cron). It waits for the start
// (Kiv.ini's [Modem-auto] StartTime, or --at, today or tomorrow; --now at
// once), searches the stations as the automatic modem window's "Wyszukaj"
// does (with a telephone number, a device and a modem profile, data at least
// MinimumAge days old, ticked in the station file) and reads them through the
// same round (modem_round.h), writing the same "Modem.log" lines, which it
// also prints. Run it in the working folder that holds Kiv.ini; the data
// folder is Kiv.ini's DataPath (the working folder when that is empty), the
// device profiles are taken from the program folder. The data folder's lock
// is taken before the wait and held to the end of the round, so a desktop
// program started meanwhile sees the folder in use; a folder another running
// program holds is refused (exit 75) unless --force. The exit code tells
// whether every station was read: see the command's summary.
#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "cli/line_command.h"
#include "comm/comm_module.h"
#include "comm/device_request.h"
#include "comm/modem_round.h"
#include "comm/progress_recorder.h"
#include "config/ini_file.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "datafiles/profile_catalogue.h"
#include "datafiles/timestamp.h"
#include "support/helpers.h"

namespace kiv::cli {
namespace {

constexpr const char* kName = "round";
constexpr const char* kRunLogName = "Modem.log";

// Exit codes of the round besides the common ones.
constexpr int kExitNotAllRead = 1;
constexpr int kExitStopped = 14; // as a read-out stopped by Ctrl+C or SIGTERM

// Kiv.ini's DataPath, or the working folder when it is empty; a DataPath
// that names no folder is refused rather than left for an empty round.
int RoundDataFolder(const std::string& kivIni, const std::string& working, std::string& folder, std::string& error) {
    const std::string configured = TProgramSettings(kivIni).DataPath();
    return FindDataFolder(configured.empty() ? working : configured, folder, error);
}

// Sleeps until the start; false when stopped meanwhile.
bool WaitFor(TimeStamp start) {
    while (NowStamp() < start) {
        if (StopRequested()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return !StopRequested();
}

void PrintLine(const std::string& text) {
    const TDateTime now = DecodeTime(NowStamp());
    std::printf("%s %s\n", TimeText(now.hour, now.minute, now.second).c_str(), text.c_str());
    std::fflush(stdout);
}

int Summary(const TRoundOutcome& outcome) {
    int read = 0;
    for (const TRoundStationResult& station : outcome.stations) {
        const bool good = station.read && station.readOut == TxResult::Good;
        read += good ? 1 : 0;
        std::printf("%s %s: %s\n", FiveDigits(station.address).c_str(), station.label.c_str(),
                    good ? "odczytano" : ("nie odczytano - " + station.failure).c_str());
    }
    std::printf("Odczytano %d z %zu stacji\n", read, outcome.stations.size());
    if (outcome.end == TRoundEnd::PortFailed)
        return Fail(kName, kExitUnavailable, "Błąd otwarcia portu szeregowego " + outcome.portError);
    if (outcome.end == TRoundEnd::Cancelled) return kExitStopped;
    return outcome.AllRead() ? kExitOk : kExitNotAllRead;
}

int RunRound(const std::vector<std::string>& args) {
    CliArgs in;
    if (const int rc = SplitArguments(kName, args, in); rc != kExitOk) return rc;
    if (in.Has("--at") && in.Has("--now")) return UsageError(kName, "--at i --now wykluczają się");
    int at = -1;
    std::string error, folder;
    if (in.Has("--at") && !ParseTimeOfDay("--at", in.Option("--at"), at, error)) return UsageError(kName, error);
    const std::string working = PathWithSeparator(std::filesystem::current_path().string());
    const std::string kivIni = KivIniPath(working);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(kivIni, ec))
        return Fail(kName, kExitNoInput, "brak pliku Kiv.ini w folderze roboczym " + working);
    if (const int rc = RoundDataFolder(kivIni, working, folder, error); rc != kExitOk) return Fail(kName, rc, error);
    TLineCommand session;
    if (const int rc = session.Start(kName, folder, in.Has("--force")); rc != kExitOk) return rc;

    const TRoundSettings settings = ReadRoundSettings(kivIni);
    const int second = at >= 0 ? at : settings.startSecond;
    const TimeStamp start = in.Has("--now") ? NowStamp() : NextStart(NowStamp(), second);
    std::printf("Odczyt automatyczny: %s, folder danych %s\n", StampText(start).c_str(), folder.c_str());
    std::fflush(stdout);
    if (!WaitFor(start)) return kExitStopped;

    const std::string programFolder = PathWithSeparator(QCoreApplication::applicationDirPath().toStdString());
    const TProfileCatalogue catalogue = BuildProfileCatalogue(programFolder);
    TRoundJob job;
    job.folder = {kivIni, folder, catalogue.names, catalogue.files, programFolder};
    StationDb().Build(folder);
    job.stations = SearchRoundStations(job.folder, StationDb().Stations(), start, settings.minimumAge);
    if (job.stations.empty()) {
        std::printf("%s\n", kRoundNothingText);
        return kExitOk;
    }
    job.repeats = settings.repeats;
    job.connMaxMinutes = settings.connMaxMinutes;
    job.runLog = working + kRunLogName;
    job.onLine = PrintLine;
    TTxProgressRecorder progress;
    TFCommModule module;
    module.SetSettingsFile(kivIni);
    return Summary(RunModemRound(module, progress, job));
}

const CliRegistrar registrar(
    {kName, "[--at GG:MM:SS | --now] [--force]",
     "Automatyczny odczyt modemowy bez okna, jak w oknie \"Modem - odczyt automatyczny\", z zapisem do Modem.log; "
     "kod wyjścia 0, gdy odczytano wszystkie wybrane stacje (także gdy żadna nie wymagała odczytu), 1, gdy "
     "którejś nie odczytano, 14 po przerwaniu (Ctrl+C, SIGTERM), 69, gdy port modemu się nie otwiera, 66 bez "
     "Kiv.ini w folderze roboczym albo bez folderu danych, 75, gdy folder danych zajmuje inny działający program",
     RunRound,
     {},
     {{"--at", "GG:MM:SS", "godzina rozpoczęcia (dziś albo jutro, gdy już minęła) zamiast StartTime z Kiv.ini"},
      {"--now", nullptr, "rozpoczęcie od razu"},
      {"--force", nullptr, "czytaj także do folderu zajętego przez inny działający program"}},
     {"kiv-cli round --now", "kiv-cli round --at 02:30:00"}});

} // namespace
} // namespace kiv::cli
