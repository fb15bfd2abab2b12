#include "comm/direct_readout.h"

#include <charconv>
#include <chrono>

#include "comm/progress.h"
#include "config/program_settings.h"

namespace kiv {
namespace {

bool g_running = false;

// Marks the read-out as running for as long as it lives.
class TRunningMark {
public:
    TRunningMark() { g_running = true; }
    ~TRunningMark() { g_running = false; }
    TRunningMark(const TRunningMark&) = delete;
    TRunningMark& operator=(const TRunningMark&) = delete;
};

} // namespace

bool ReadOutRunning() { return g_running; }

TLinkSettings LinkSettingsOf(const TRekStacjiFull& station, const std::string& kivIni) {
    TLinkSettings link;
    link.port = station.ComNumber;
    link.device = PortDeviceName(kivIni, station.ComNumber);
    const std::string& baud = station.BaudRate;
    if (std::from_chars(baud.data(), baud.data() + baud.size(), link.baud).ptr != baud.data() + baud.size())
        link.baud = 9600;
    link.parity = station.Parity;
    link.charTimeout = station.CharsTimeout;
    link.answerTimeout = station.StartTimeout;
    link.silence = station.SilenceTime;
    link.rts = station.RtsSet;
    link.dtr = station.DtrSet;
    return link;
}

TDirectReadOut DirectReadOutOf(const TRekStacjiFull& station, const std::string& kivIni, const std::string& dataFolder,
                               const TRecProfParams& profile, const std::vector<TParamItem>& items) {
    TDirectReadOut job;
    job.link = LinkSettingsOf(station, kivIni);
    TReadOutInput& input = job.input;
    input.address = station.address;
    input.samplesPerBlock = static_cast<uint8_t>(std::clamp(station.ArcSamplesPerBlock, 1, 250));
    input.attempts = station.Repeats;
    input.profile = profile;
    input.items = items;
    input.settings = ReadOutSettingsFrom(kivIni, StationFilePath(dataFolder, station.address), items);
    input.dataFolder = dataFolder;
    return job;
}

TReadOutOutcome RunDirectReadOut(TFCommModule& module, ITxProgress& progress, const TDirectReadOut& job) {
    TReadOutOutcome outcome;
    const TRunningMark running;
    module.SetProgress(&progress);
    module.SetLogFile(job.logFile);
    const auto started = std::chrono::steady_clock::now();
    outcome.portOpened = module.OpenDirect(job.link);
    if (!outcome.portOpened) {
        outcome.portError = module.OpenError();
        module.SetLogFile("");
        return outcome;
    }
    progress.SetExitEnabled(true);
    TReadLink link{module, progress, &outcome.stats};
    outcome.result = ReadDevice(link, job.input, outcome.report);
    progress.SetExitEnabled(false);
    module.ClosePort();
    module.SetLogFile("");
    progress.SetExitEnabled(true);
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    outcome.message = ReadOutMessage(outcome.result, outcome.report.sign);
    return outcome;
}

} // namespace kiv
