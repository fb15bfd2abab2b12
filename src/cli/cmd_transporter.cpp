// kiv-cli transporter [--add-unknown] [--log] [--force]: reads the KivGAZ
// transporter as its window does, without the window: "Wyszukaj" (the
// directory), the question about devices without a station answered "Tak"
// only with --add-unknown, then "OK" for every listed device. Run it in the
// working folder that holds Kiv.ini: [KivGAZ] gives the transporter's
// address and port, [Ports] maps the port, [Catalogues] DataPath the data
// folder (the working folder when it is empty; a DataPath naming no folder
// is refused); KivGAZ.log (and with --log Tx.log) are written there. The
// data folder's lock is held while the stations and archives are written; a
// folder another running program holds is refused unless --force. stdout
// gets one tab-separated line per directory entry (address, name, "known"
// or "new"), then one per device read (address, result code or "-" when it
// was not read, the result's text). Exit code 0 when every listed device
// was read completely, 1 when some was not (or the transporter did not
// answer), 14 after Ctrl+C or SIGTERM, 64 for bad arguments, 66 for a
// missing data folder, 69 when the port does not open, 75 for a folder
// locked by another program.
#include <QCoreApplication>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "cli/line_command.h"
#include "comm/comm_module.h"
#include "comm/progress_recorder.h"
#include "comm/transporter.h"
#include "config/program_settings.h"
#include "datafiles/profile_catalogue.h"
#include "support/helpers.h"

namespace kiv::cli {
namespace {

constexpr const char* kName = "transporter";
constexpr int kExitNotAllRead = 1;

// Kiv.ini's DataPath, or the working folder when it is empty; a DataPath
// that names no folder is refused rather than read into another folder.
int TransporterDataFolder(const std::string& kivIni, const std::string& working, std::string& folder,
                          std::string& error) {
    const std::string configured = TProgramSettings(kivIni).DataPath();
    return FindDataFolder(configured.empty() ? working : configured, folder, error);
}

TKivGazJob JobOf(const std::string& workingFolder, const std::string& dataFolder, bool log) {
    TKivGazJob job;
    job.kivIni = KivIniPath(workingFolder);
    job.dataFolder = dataFolder;
    job.programFolder = PathWithSeparator(QCoreApplication::applicationDirPath().toStdString());
    const TProfileCatalogue catalogue = BuildProfileCatalogue(job.programFolder);
    job.profileNames = catalogue.names;
    job.profileFiles = catalogue.files;
    const TProgramSettings settings(job.kivIni);
    job.transporterAddress = static_cast<uint16_t>(settings.KivGazAddress());
    job.port = settings.KivGazComNumber().empty() ? "COM1" : settings.KivGazComNumber();
    job.kivGazLog = workingFolder + kKivGazLogName;
    if (log) {
        job.frameLog = job.kivGazLog;
        job.txLog = workingFolder + "Tx.log";
    }
    return job;
}

void PrintDirectory(const TDirectory& directory) {
    for (const TKivGazItem& item : directory.items)
        std::printf("%u\t%s\t%s\n", item.address, item.name.c_str(), item.known ? "known" : "new");
}

void PrintReads(const std::vector<TKivGazRead>& reads) {
    for (const TKivGazRead& read : reads) {
        const std::string code =
            read.check == TKivGazCheck::Read ? std::to_string(ResultCode(read.outcome.result)) : "-";
        std::printf("%u\t%s\t%s\n", read.address, code.c_str(), KivGazReadText(read).c_str());
    }
}

int ExitOf(const TKivGazSearch& search, const std::vector<TKivGazRead>& reads) {
    if (StopRequested()) return ResultCode(TxResult::Cancelled);
    std::size_t good = 0;
    for (const TKivGazRead& read : reads) good += read.Good() ? 1 : 0;
    return good == search.items.size() ? kExitOk : kExitNotAllRead;
}

int RunTransporter(const std::vector<std::string>& args) {
    CliArgs in;
    if (const int rc = SplitArguments(kName, args, in); rc != kExitOk) return rc;
    const std::string workingFolder = PathWithSeparator(std::filesystem::current_path().string());
    std::string folder, error;
    if (const int rc = TransporterDataFolder(KivIniPath(workingFolder), workingFolder, folder, error); rc != kExitOk)
        return Fail(kName, rc, error);
    TLineCommand session;
    if (const int rc = session.Start(kName, folder, in.Has("--force")); rc != kExitOk) return rc;

    const TKivGazJob job = JobOf(workingFolder, folder, in.Has("--log"));
    TTxProgressRecorder progress;
    TFCommModule module;
    const bool addUnknown = in.Has("--add-unknown");
    const TKivGazSearch search =
        SearchTransporter(module, progress, job, [addUnknown](const std::vector<TKivGazItem>&) { return addUnknown; });
    if (!search.portOpened)
        return Fail(kName, kExitUnavailable, std::string(kSerialOpenError) + " " + search.portError);
    PrintDirectory(search.directory);
    std::fflush(stdout);
    if (search.added > 0) (void)Fail(kName, kExitOk, kConfigureReminder);
    if (search.directory.entries == 0 && search.directory.lastResult != TxResult::Good)
        return Fail(kName, StopRequested() ? ResultCode(TxResult::Cancelled) : kExitNotAllRead,
                    "Brak komunikacji z przenośnikiem (adres " + std::to_string(job.transporterAddress) + ", port " +
                        job.port + ")");
    std::vector<TKivGazRead> reads;
    if (!search.items.empty() && !ReadListed(module, progress, job, search.items, reads))
        return Fail(kName, kExitUnavailable, std::string(kSerialOpenError) + " " + module.OpenError());
    PrintReads(reads);
    return ExitOf(search, reads);
}

const CliRegistrar registrar(
    {kName,
     "[opcje]",
     "Odczyt przenośnika KivGAZ jak w oknie \"Przenośnik KivGAZ\": lista urządzeń, potem odczyt każdego z "
     "nich do folderu danych z DataPath w Kiv.ini (bez DataPath: folder roboczy); kod wyjścia 0, gdy odczytano "
     "wszystkie urządzenia z listy, 1 gdy nie wszystkie, 14 po przerwaniu, 66 bez folderu danych, 69 gdy port "
     "się nie otwiera, 75: folder danych zajęty przez inny program",
     RunTransporter,
     {},
     {{"--add-unknown", nullptr, "dodaj do bazy urządzenia bez stacji (odpowiedź \"Tak\"); bez tej opcji są pomijane"},
      {"--log", nullptr, "zapis ramek: katalogu przenośnika do KivGAZ.log, odczytów do Tx.log"},
      {"--force", nullptr, "czytaj także do folderu zajętego przez inny działający program"}},
     {"kiv-cli transporter", "kiv-cli transporter --add-unknown --log"}});

} // namespace
} // namespace kiv::cli
