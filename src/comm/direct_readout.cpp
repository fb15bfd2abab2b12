#include "comm/direct_readout.h"

#include <charconv>
#include <chrono>
#include <ctime>

#include "comm/device_request.h"
#include "comm/progress.h"
#include "config/program_settings.h"
#include "config/station_stats.h"
#include "config/text_case.h"

namespace kiv {
namespace {

// A count, so that a round of read-outs holding the line keeps it marked
// while each of its read-outs comes and goes.
int g_running = 0;

} // namespace

TReadOutRunning::TReadOutRunning() { ++g_running; }
TReadOutRunning::~TReadOutRunning() { --g_running; }

bool ReadOutRunning() { return g_running > 0; }

// "TCP" in whatever case the file holds it; "UDP" stays on the serial line as it always was.
bool IsTcpStation(const TRekStacjiFull& station) { return EqualsNoCase(TrimView(station.ConnType), "TCP"); }

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
    link.tcp = IsTcpStation(station);
    link.host = std::string(TrimView(station.IPAddr));
    const std::string_view port = TrimView(station.PortRemote);
    if (std::from_chars(port.data(), port.data() + port.size(), link.tcpPort).ptr != port.data() + port.size())
        link.tcpPort = 0;
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
    const TReadOutRunning running;
    module.SetProgress(&progress);
    module.SetLogFile(job.logFile);
    const auto started = std::chrono::steady_clock::now();
    outcome.portOpened = job.link.tcp ? module.OpenTcp(job.link) : module.OpenDirect(job.link);
    if (!outcome.portOpened) {
        outcome.portError = module.OpenError();
        if (StopRequested() || progress.CancelRequested())
            outcome.result = TxResult::Cancelled; // stopped while connecting
        else if (job.link.tcp) // the station's own server failed; a serial port is no station's fault
            (void)RecordStationAttempt(StationFilePath(job.input.dataFolder, job.input.address),
                                       {0, false, -1, std::time(nullptr)});
        module.SetLogFile("");
        return outcome;
    }
    ReadOverOpenLink(module, progress, job.input, job.logFile, job.logFile, started, outcome);
    return outcome;
}

void ReadOverOpenLink(TFCommModule& module, ITxProgress& progress, const TReadOutInput& input,
                      const std::string& readLog, const std::string& closeLog,
                      std::chrono::steady_clock::time_point started, TReadOutOutcome& outcome,
                      TLinkAfterRead after) {
    progress.SetExitEnabled(true);
    module.SetLogFile(readLog);
    TReadLink link{module, progress, &outcome.stats};
    outcome.result = ReadDevice(link, input, outcome.report);
    const int dial = module.GetPortState() == PortModemOnline ? ResultCode(TModemResult::Connected) : -1;
    progress.SetExitEnabled(false);
    if (after == TLinkAfterRead::Close) {
        module.SetLogFile(closeLog);
        module.ClosePort();
    }
    module.SetLogFile("");
    // Every road reads over this open link: the station's statistics learn of each try here.
    (void)RecordStationAttempt(StationFilePath(input.dataFolder, input.address),
                               {ResultCode(outcome.result), outcome.result == TxResult::Good, dial, std::time(nullptr)});
    progress.SetExitEnabled(true);
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    outcome.message = ReadOutMessage(outcome.result, outcome.report.sign);
}

} // namespace kiv
