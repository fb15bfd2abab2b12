// kiv-cli read DATAFOLDER ADDRESS [options]: reads one station over a direct
// line with the settings of its station file, as the transmission window
// does (the same road, direct_readout.h), printing the progress lines, the
// result text and a summary of what was stored. Run it in the working folder
// that holds Kiv.ini ([Ports] mapping, Debug, CommSettings); the device
// profiles are taken from the program folder. Exit code 0 after a complete
// read-out, else the read-out's result code (14 after Ctrl+C or SIGTERM); 64
// for bad arguments, 65 when the station's profile cannot be read, 69 when the
// port does not open.
#include <QCoreApplication>

#include <charconv>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <map>
#include <streambuf>
#include <string>
#include <vector>

#include "cli_command.h"
#include "comm/comm_module.h"
#include "comm/direct_readout.h"
#include "comm/progress_recorder.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "datafiles/profile_catalogue.h"
#include "datafiles/timestamp.h"
#include "support/text_encoding.h"

namespace kiv::cli {
namespace {

constexpr const char* kUsage =
    "usage: kiv-cli read DATAFOLDER ADDRESS [--port COMn] [--baud N] [--parity TEXT] [--answer-timeout MS]\n"
    "       [--char-timeout MS] [--silence MS] [--block N] [--attempts N] [--from TIME] [--to TIME] [--log FILE]\n"
    "       TIME is \"YYYY-MM-DD hh:mm:ss\"\n";

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

struct TReadOptions {
    std::map<std::string, std::string> values;
    [[nodiscard]] bool Has(const std::string& name) const { return values.contains(name); }
    [[nodiscard]] const std::string& Get(const std::string& name) const { return values.at(name); }
};

bool ParseNumber(const std::string& text, int& value) {
    return !text.empty() && std::from_chars(text.data(), text.data() + text.size(), value).ptr == text.data() + text.size();
}

bool ParseArguments(const std::vector<std::string>& args, TReadOptions& options) {
    static const char* const kNames[] = {"--port",  "--baud",     "--parity", "--answer-timeout", "--char-timeout",
                                         "--silence", "--block", "--attempts", "--from", "--to", "--log"};
    for (std::size_t i = 2; i < args.size(); i += 2) {
        bool known = false;
        for (const char* name : kNames) known = known || args[i] == name;
        if (!known || i + 1 >= args.size()) return false;
        options.values[args[i]] = args[i + 1];
    }
    return true;
}

// Applies the numeric and port overrides to the station's record; false on a malformed one.
bool ApplyLinkOverrides(const TReadOptions& options, TRekStacjiFull& station) {
    const std::pair<const char*, int32_t*> numbers[] = {
        {"--answer-timeout", &station.StartTimeout}, {"--char-timeout", &station.CharsTimeout},
        {"--silence", &station.SilenceTime},          {"--block", &station.ArcSamplesPerBlock},
        {"--attempts", &station.Repeats}};
    for (const auto& [name, field] : numbers) {
        if (!options.Has(name)) continue;
        int value = 0;
        if (!ParseNumber(options.Get(name), value) || value < 0) return false;
        *field = value;
    }
    if (station.ArcSamplesPerBlock < 1 || station.ArcSamplesPerBlock > 250) return false;
    if (options.Has("--port")) station.ComNumber = options.Get("--port");
    if (options.Has("--baud")) station.BaudRate = options.Get("--baud");
    if (options.Has("--parity")) station.Parity = options.Get("--parity");
    return true;
}

bool ApplyTimeOverrides(const TReadOptions& options, TReadOutInput& input) {
    const std::pair<const char*, int32_t*> times[] = {{"--from", &input.startTime}, {"--to", &input.endTime}};
    for (const auto& [name, field] : times) {
        if (!options.Has(name)) continue;
        TimeStamp stamp = 0;
        if (!ParseStamp(options.Get(name), stamp) || stamp > 0x7FFFFFFFu) return false;
        *field = static_cast<int32_t>(stamp);
    }
    return true;
}

// A station names its profile by the profile's name (text 1 of an .FCP file
// in the program folder); a file name of that folder is taken too.
int LookUpProfile(const std::string& folder, const std::string& deviceProfile, TProfileRecord& found) {
    const TProfileCatalogue catalogue = BuildProfileCatalogue(folder);
    const int byName = ReadCatalogueProfile(catalogue.names, catalogue.files, folder, deviceProfile, found);
    if (byName != ProfileNotInCatalogue) return byName;
    return ReadCatalogueProfile(catalogue.files, catalogue.files, folder, deviceProfile, found);
}

// Ctrl+C and SIGTERM end the read-out at its next request; the port is
// closed and what was read up to then is stored as usual.
void StopOnSignal(int) { RequestStop(); }

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = StopOnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

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
    std::printf("Zapisane próbki: %s\n", samples.empty() ? "brak" : samples.c_str());
    std::printf("Zapisane zdarzenia: %ld\n", outcome.report.eventsStored);
    const int64_t newest = outcome.report.newestSample;
    std::printf("Najnowsza próbka: %s\n", newest < 0 ? "brak" : StampText(static_cast<TimeStamp>(newest)).c_str());
    std::printf("Łącze: zapytań %ld, wysłano %ld B, odebrano %ld B\n", outcome.stats.requests, outcome.stats.bytesSent,
                outcome.stats.bytesReceived);
    std::printf("Czas odczytu: %.1f s\n", outcome.seconds);
}

int RunRead(const std::vector<std::string>& args) {
    int address = 0;
    TReadOptions options;
    if (args.size() < 2 || !ParseNumber(args[1], address) || address < 1 || address > 65535 ||
        !ParseArguments(args, options)) {
        std::fputs(kUsage, stderr);
        return 64;
    }
    CatchStopSignals();
    static int argc = 1;
    static char name[] = "kiv-cli";
    static char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    const std::string dataFolder = WithTrailingSlash(args[0]);
    const std::string kivIni = KivIniPathInWorkingFolder();
    TRekStacjiFull station;
    ReadFullStationRecord(StationFilePath(dataFolder, address), address, station);
    if (!ApplyLinkOverrides(options, station)) {
        std::fputs(kUsage, stderr);
        return 64;
    }
    TProfileRecord profile;
    if (station.DeviceProfile.empty() ||
        LookUpProfile(WithTrailingSlash(QCoreApplication::applicationDirPath().toStdString()), station.DeviceProfile,
                      profile) != ProfileRead) {
        std::fprintf(stderr, "kiv-cli: nie można odczytać profilu urządzenia \"%s\" stacji %d\n",
                     station.DeviceProfile.c_str(), address);
        return 65;
    }
    TDirectReadOut job = DirectReadOutOf(station, kivIni, dataFolder, profile.params, profile.items);
    if (!ApplyTimeOverrides(options, job.input)) {
        std::fputs(kUsage, stderr);
        return 64;
    }
    if (options.Has("--log")) job.logFile = options.Get("--log");

    TProgressLines lines;
    std::ostream echo(&lines);
    TTxProgressRecorder progress(&echo);
    progress.Reset(std::to_string(address) + " " + station.Label);
    TFCommModule module;
    const TReadOutOutcome outcome = RunDirectReadOut(module, progress, job);
    progress.StopCounter();
    if (!outcome.portOpened) {
        std::fprintf(stderr, "kiv-cli: Błąd otwarcia portu %s\n", outcome.portError.c_str());
        return 69;
    }
    const std::string text = ResultText(outcome);
    std::printf("Wynik %d%s%s\n", ResultCode(outcome.result), text.empty() ? "" : ": ", text.c_str());
    PrintSummary(outcome);
    return outcome.result == TxResult::Good ? 0 : ResultCode(outcome.result);
}

const CliRegistrar registrar({"read", "DATAFOLDER ADDRESS [options]",
                              "reads one station over a direct line (--help-like list: run without arguments)",
                              RunRead});

} // namespace
} // namespace kiv::cli
