#include "comm/modem_round.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>

#include "comm/archive_readout.h"
#include "comm/comm_log.h"
#include "comm/comm_module.h"
#include "comm/device_request.h"
#include "comm/direct_readout.h"
#include "comm/modem_readout.h"
#include "comm/progress.h"
#include "config/ini_file.h"
#include "config/program_settings.h"
#include "datafiles/archive.h"
#include "datafiles/profile_catalogue.h"
#include "support/helpers.h"

namespace kiv {
namespace {

constexpr int kMaxMinimumAge = 30;
constexpr int kMaxRepeats = 9;
constexpr int kPauseTick = 100;

// The station file's tick of the round; the key belongs to this window alone.
constexpr const char* kCommunication = "Communication";
constexpr const char* kAutoModemCheck = "AutoModemCheck";
// The round reads a modem profile's port and speed as stored: a missing
// port or speed is a badly defined profile here, not the manual window's default.
constexpr const char* kModems = "Modems";

constexpr const char* kRoundStarted = "Rozpoczęto odczyt automatyczny";
constexpr const char* kRoundEnded = "Zakończono odczyt automatyczny";
constexpr const char* kCancelledText = "Odczyt przerwany przez użytkownika";
constexpr const char* kNotTried = "nie podjęto próby odczytu";

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// The part of a time text, or -1 when it is missing or not a number.
int TimePart(const std::string& text, std::size_t index) {
    std::size_t begin = 0;
    for (std::size_t i = 0; i < index; ++i) {
        begin = text.find(':', begin);
        if (begin == std::string::npos) return -1;
        ++begin;
    }
    const std::size_t end = text.find(':', begin);
    return ParseIniInteger(text.substr(begin, end == std::string::npos ? std::string::npos : end - begin), -1);
}

// The first parameter of the profile's column 1, whose newest sample dates the station's data.
bool ColumnOneName(const std::vector<TParamItem>& items, std::string& name) {
    const auto found =
        std::find_if(items.begin(), items.end(), [](const TParamItem& item) { return item.ColumnIndex() == 1; });
    if (found == items.end()) return false;
    name = found->ShortName();
    return true;
}

std::string ProfileFolderOf(const TRoundFolder& folder) {
    return folder.profileFolder.empty() ? ProgramFolder() : PathWithSeparator(folder.profileFolder);
}

// What became of the first item of the list after one go at it.
enum class TFate { Remove, Retry, EndRound };

class TRound {
public:
    TRound(TFCommModule& module, ITxProgress& progress, const TRoundJob& job, const TRoundListener& onList)
        : module_(module), progress_(progress), job_(job), onList_(onList) {}

    TRoundOutcome Run();

private:
    [[nodiscard]] TFate Attempt(const TRoundStation& item, TRoundStationResult& result);
    [[nodiscard]] TFate AttemptTcp(const TRoundStation& item, const TRekStacjiFull& station,
                                   TRoundStationResult& result);
    void StartStation(const TRoundStation& item);
    // The station's go is over; "Anuluj" is enabled until the next one starts,
    // also after a dial whose modem refused its commands and left it disabled.
    void EndStation();
    // "Anuluj" pressed in the progress window since the round showed its first
    // station; a flag left from an earlier read-out does not count.
    [[nodiscard]] bool Cancelled() const { return started_ && progress_.CancelRequested(); }
    // The modem road for the station, or false with the station text telling why it cannot be dialled.
    [[nodiscard]] bool Plan(const TRekStacjiFull& station, TModemReadOut& road, std::string& problem) const;
    [[nodiscard]] bool DeviceProfile(const TRekStacjiFull& station, TProfileRecord& profile,
                                     std::string& problem) const;
    [[nodiscard]] bool ModemProfile(const TRekStacjiFull& station, TModemProfileLine& line,
                                    std::string& problem) const;
    [[nodiscard]] TFate AfterDial(const TModemOutcome& dial, const std::string& label, TRoundStationResult& result);
    [[nodiscard]] TFate AfterReadOut(const TReadOutOutcome& readOut, TRoundStationResult& result);
    [[nodiscard]] TFate EndWith(TRoundEnd end, const char* text, TRoundStationResult& result);
    [[nodiscard]] TFate StationFailed(const std::string& label, const std::string& text, TFate fate,
                                      TRoundStationResult& result);
    // The pause before a dial, counted in ticks of a 100 ms timer, with "Anuluj"
    // enabled; false when the user cancels or the program is asked to stop.
    [[nodiscard]] bool Pause() const;
    [[nodiscard]] bool Wait() const;
    void Log(const std::string& text) const {
        (void)WriteCommNote(job_.runLog, text);
        if (job_.onLine) job_.onLine(text);
    }
    void Notify() const {
        if (onList_) onList_(list_);
    }
    TRoundStationResult& ResultOf(uint16_t address);

    TFCommModule& module_;
    ITxProgress& progress_;
    const TRoundJob& job_;
    const TRoundListener& onList_;
    std::vector<std::string> modemNames_;
    std::vector<TRoundStation> list_;
    TRoundOutcome outcome_;
    bool started_ = false;
};

TRoundOutcome TRound::Run() {
    const TReadOutRunning running;
    Log(kRoundStarted);
    modemNames_ = TProgramSettings(job_.folder.kivIni).ModemNames();
    for (TRoundStation station : job_.stations) {
        if (!station.ticked) continue;
        station.attemptsLeft = job_.repeats;
        list_.push_back(station);
        TRoundStationResult& result = outcome_.stations.emplace_back();
        result.address = station.address;
        result.label = station.label;
    }
    Notify();
    while (!list_.empty()) {
        TRoundStation& item = list_.front();
        TRoundStationResult& result = ResultOf(item.address);
        // A cancel between two stations ends the round as one during a read-out
        // does; the reset of the progress window for the next one would lose it.
        // A station with no attempts left goes first, keeping its own failure.
        TFate fate = TFate::Remove;
        if (item.attemptsLeft > 0)
            fate = Cancelled() ? EndWith(TRoundEnd::Cancelled, kCancelledText, result) : Attempt(item, result);
        if (fate == TFate::EndRound) list_.clear();
        else if (fate == TFate::Remove) list_.erase(list_.begin());
        else --item.attemptsLeft;
        Notify();
    }
    for (TRoundStationResult& result : outcome_.stations)
        if (!result.read && result.failure.empty()) result.failure = kNotTried;
    progress_.StopCounter();
    progress_.SetStatus("Odczyt zakończony");
    progress_.SetExitCaption(kExitOk);
    progress_.SetExitEnabled(true);
    Log(kRoundEnded);
    return outcome_;
}

TRoundStationResult& TRound::ResultOf(uint16_t address) {
    return *std::find_if(outcome_.stations.begin(), outcome_.stations.end(),
                         [address](const TRoundStationResult& r) { return r.address == address; });
}

TFate TRound::Attempt(const TRoundStation& item, TRoundStationResult& result) {
    TRekStacjiFull station;
    ReadFullStationRecord(StationFilePath(job_.folder.dataFolder, item.address), item.address, station);
    if (IsTcpStation(station)) return AttemptTcp(item, station, result);
    TModemReadOut road;
    std::string problem;
    if (!Plan(station, road, problem)) return StationFailed(station.Label, problem, TFate::Remove, result);

    StartStation(item);
    if (!Pause()) return EndWith(TRoundEnd::Cancelled, kCancelledText, result);
    ++result.dials;
    const TModemOutcome dial = RunModemReadOut(module_, progress_, road);
    EndStation();
    if (dial.dial == TModemResult::PortFailed) outcome_.portError = dial.portError;
    return AfterDial(dial, station.Label, result);
}

void TRound::StartStation(const TRoundStation& item) {
    const std::string text = RoundItemText(item);
    progress_.Reset(text.substr(std::min(text.size(), text.find(' ') + 1)));
    progress_.SetCounterLimit(std::max(0, job_.connMaxMinutes) * 60);
    progress_.StartCounter();
    started_ = true;
}

void TRound::EndStation() {
    progress_.StopCounter();
    progress_.SetExitEnabled(true);
}

// A station behind a serial-device server is not dialled: it is read over a
// connection to that server, as the direct window reads it, after the same
// pause as a dial. A server that refuses or does not answer is tried again
// as a busy number is.
TFate TRound::AttemptTcp(const TRoundStation& item, const TRekStacjiFull& station, TRoundStationResult& result) {
    TProfileRecord profile;
    std::string problem;
    if (!DeviceProfile(station, profile, problem)) return StationFailed(station.Label, problem, TFate::Remove, result);
    TDirectReadOut road =
        DirectReadOutOf(station, job_.folder.kivIni, job_.folder.dataFolder, profile.params, profile.items);
    if (road.link.host.empty())
        return StationFailed(station.Label, kNoStationAddress, TFate::Remove, result);
    if (module_.GetPortState() != PortClosed)
        return EndWith(TRoundEnd::PortNotClosed, "Port szeregowy nie zamknięty", result);
    road.logFile = job_.txLog;
    StartStation(item);
    if (!Pause()) return EndWith(TRoundEnd::Cancelled, kCancelledText, result);
    ++result.dials;
    const TReadOutOutcome readOut = RunDirectReadOut(module_, progress_, road);
    EndStation();
    if (readOut.portOpened) return AfterReadOut(readOut, result);
    if (readOut.result == TxResult::Cancelled) return EndWith(TRoundEnd::Cancelled, kCancelledText, result);
    return StationFailed(station.Label, "błąd połączenia " + readOut.portError, TFate::Retry, result);
}

TFate TRound::AfterDial(const TModemOutcome& dial, const std::string& label, TRoundStationResult& result) {
    switch (dial.dial) {
    case TModemResult::PortBusy: return EndWith(TRoundEnd::PortNotClosed, "Port szeregowy nie zamknięty", result);
    case TModemResult::PortFailed: return EndWith(TRoundEnd::PortFailed, "Błąd otwarcia portu szeregowego", result);
    case TModemResult::InitFailed: return StationFailed(label, "błędna komenda inicjująca", TFate::Remove, result);
    case TModemResult::NoDialTone: return EndWith(TRoundEnd::NoDialTone, "Brak sygnału centrali", result);
    case TModemResult::Busy: return StationFailed(label, "numer zajęty", TFate::Retry, result);
    case TModemResult::NoAnswer: return StationFailed(label, "brak połączenia", TFate::Retry, result);
    case TModemResult::Cancelled: return EndWith(TRoundEnd::Cancelled, kCancelledText, result);
    case TModemResult::UnknownReply:
        return StationFailed(label, "modem zwrócił nieznaną odpowiedź", TFate::Remove, result);
    case TModemResult::Connected: break;
    }
    return AfterReadOut(dial.readOut, result);
}

TFate TRound::AfterReadOut(const TReadOutOutcome& readOut, TRoundStationResult& result) {
    result.read = true;
    result.readOut = readOut.result;
    if (readOut.result == TxResult::Cancelled) return EndWith(TRoundEnd::Cancelled, kCancelledText, result);
    // A failed read-out is not tried again and, as ever, not logged; the
    // outcome and the station's statistics keep it.
    result.failure.clear();
    if (readOut.result != TxResult::Good) {
        const std::string& message = readOut.message.text;
        result.failure = message.empty() ? "wynik odczytu " + std::to_string(ResultCode(readOut.result))
                                         : message.substr(0, message.find('\r'));
    }
    return TFate::Remove;
}

TFate TRound::EndWith(TRoundEnd end, const char* text, TRoundStationResult& result) {
    Log(text);
    outcome_.end = end;
    result.failure = text;
    return TFate::EndRound;
}

TFate TRound::StationFailed(const std::string& label, const std::string& text, TFate fate,
                            TRoundStationResult& result) {
    Log(StationLogText(label, text));
    result.failure = text;
    return fate;
}

bool TRound::Plan(const TRekStacjiFull& station, TModemReadOut& road, std::string& problem) const {
    const std::string number = DialNumberOf(station, job_.folder.kivIni);
    if (number.empty()) {
        problem = "nie ma numeru telefonu";
        return false;
    }
    if (number.find_first_of("*;") != std::string::npos) {
        problem = "numer telefonu zawiera składniki wymagające asysty użytkownika";
        return false;
    }
    TModemProfileLine line;
    TProfileRecord profile;
    if (!ModemProfile(station, line, problem) || !DeviceProfile(station, profile, problem)) return false;
    road = ModemReadOutOf(station, job_.folder.kivIni, job_.folder.dataFolder, profile.params, profile.items, line,
                          number);
    road.modemLog = job_.modemLog;
    road.txLog = job_.txLog;
    return true;
}

bool TRound::ModemProfile(const TRekStacjiFull& station, TModemProfileLine& line, std::string& problem) const {
    const auto found = std::find(modemNames_.begin(), modemNames_.end(), station.ModemProfile);
    if (station.ModemProfile.empty() || found == modemNames_.end()) {
        problem = "nie odnaleziono profilu modemu " + Quoted(station.ModemProfile);
        return false;
    }
    const int n = static_cast<int>(found - modemNames_.begin()) + 1;
    const std::string& ini = job_.folder.kivIni;
    line.port = ReadIniString(kModems, "ModemPort" + std::to_string(n), "", ini);
    line.speed = ReadIniInteger(kModems, "ModemSpeed" + std::to_string(n), 0, ini);
    line.init = ModemInitCommand(TProgramSettings(ini).ModemInitString(n));
    // A device path names its port itself; "COMn" must carry a number above 0.
    const bool portGiven = line.port.starts_with('/') || TrailingNumber(line.port) > 0;
    if (!portGiven || !TFCommModule::IsBaudRateSupported(line.speed)) {
        problem = "profil modemu " + Quoted(station.ModemProfile) + " jest błędnie zdefiniowany";
        return false;
    }
    return true;
}

bool TRound::DeviceProfile(const TRekStacjiFull& station, TProfileRecord& profile, std::string& problem) const {
    const TRoundFolder& folder = job_.folder;
    const std::string name = Quoted(station.DeviceProfile);
    switch (ReadCatalogueProfile(folder.profileNames, folder.profileFiles, ProfileFolderOf(folder),
                                 station.DeviceProfile, profile)) {
    case ProfileRead: return true;
    case ProfileNotInCatalogue: problem = "nie odnaleziono profilu " + name; break;
    default: problem = (ProfileFileEmpty(profile.file) ? "brak zbioru profilu " : "błąd odczytu profilu ") + name;
    }
    return false;
}

// The button is disabled again for the dial, which enables it itself once the modem took its commands.
bool TRound::Pause() const {
    progress_.SetExitEnabled(true);
    const bool go = Wait();
    progress_.SetExitEnabled(false);
    return go;
}

bool TRound::Wait() const {
    if (StopRequested() || Cancelled()) return false;
    if (job_.pauseMs <= 0) return true;
    QEventLoop loop;
    QTimer tick;
    int elapsed = 0;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        elapsed += kPauseTick;
        if (elapsed >= job_.pauseMs || StopRequested() || Cancelled()) loop.quit();
    });
    tick.start(kPauseTick);
    loop.exec();
    return !StopRequested() && !Cancelled();
}

} // namespace

TRoundSettings ReadRoundSettings(const std::string& kivIni) {
    const TProgramSettings ini(kivIni);
    TRoundSettings settings;
    settings.startSecond = ParseStartTime(ini.AutoStartTime());
    settings.minimumAge = Clamp(ini.AutoMinimumAge(), 0, kMaxMinimumAge, kMaxMinimumAge, 0);
    settings.repeats = Clamp(ini.AutoRepeats(), 0, kMaxRepeats, kMaxRepeats, 0);
    settings.connMaxMinutes = ini.ModemConnMaxTimeForAutoRound();
    return settings;
}

bool WriteRoundSettings(const std::string& kivIni, const TRoundSettings& settings) {
    const TProgramSettings ini(kivIni);
    const bool start = ini.SetAutoStartTime(StartTimeText(settings.startSecond));
    const bool age = ini.SetAutoMinimumAge(settings.minimumAge);
    const bool repeats = ini.SetAutoRepeats(settings.repeats);
    return start && age && repeats;
}

int ParseStartTime(const std::string& text) {
    const int limits[] = {23, 59, 59};
    int seconds = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const int part = TimePart(text, i);
        seconds = seconds * 60 + (part >= 0 && part <= limits[i] ? part : 0);
    }
    return seconds;
}

std::string StartTimeText(int startSecond) {
    const int s = std::clamp(startSecond, 0, kDaySeconds - 1);
    return TimeText(s / 3600, s / 60 % 60, s % 60);
}

TimeStamp NextStart(TimeStamp now, int startSecond) {
    const auto second = static_cast<TimeStamp>(std::clamp(startSecond, 0, kDaySeconds - 1));
    const TimeStamp start = now - now % kDaySeconds + second;
    return start < now ? start + kDaySeconds : start;
}

int64_t StationAge(TimeStamp start, int64_t newest) {
    return (static_cast<int64_t>(start) - newest) / kDaySeconds;
}

std::string RoundItemText(const TRoundStation& station) {
    std::string text = FiveDigits(station.address) + " " + station.label;
    if (station.attemptsLeft >= 0) text += " [" + std::to_string(station.attemptsLeft) + "]";
    return text;
}

std::vector<TRoundStation> SearchRoundStations(const TRoundFolder& folder, const std::vector<TRekStacji>& stations,
                                               TimeStamp start, int minimumAge) {
    std::vector<TRoundStation> found;
    const std::string profileFolder = ProfileFolderOf(folder);
    for (const TRekStacji& entry : stations) {
        if (!entry.hasProfile) continue;
        const std::string stationFile = StationFilePath(folder.dataFolder, entry.address);
        TRekStacjiFull station;
        ReadFullStationRecord(stationFile, entry.address, station);
        // A station behind a serial-device server needs neither a number nor a modem.
        if (!IsTcpStation(station) && (!entry.hasTelephone || !entry.hasModemProfile)) continue;
        TProfileRecord profile;
        std::string name;
        if (ReadCatalogueProfile(folder.profileNames, folder.profileFiles, profileFolder, station.DeviceProfile,
                                 profile) != ProfileRead ||
            !ColumnOneName(profile.items, name))
            continue;
        const int64_t newest = TArchive::NewestSampleTime(folder.dataFolder, entry.address, name);
        if (StationAge(start, newest) < minimumAge) continue;
        const bool ticked = ReadIniBool(kCommunication, kAutoModemCheck, true, stationFile);
        found.push_back({entry.address, entry.label, ticked});
    }
    return found;
}

bool StoreRoundTicks(const std::string& dataFolder, const std::vector<TRoundStation>& stations) {
    bool stored = true;
    for (const TRoundStation& station : stations)
        stored &= WriteIniString(kCommunication, kAutoModemCheck, BoolToText(station.ticked),
                                 StationFilePath(dataFolder, station.address));
    return stored;
}

bool TRoundOutcome::AllRead() const {
    return std::all_of(stations.begin(), stations.end(),
                       [](const TRoundStationResult& r) { return r.read && r.readOut == TxResult::Good; });
}

TRoundOutcome RunModemRound(TFCommModule& module, ITxProgress& progress, const TRoundJob& job,
                            const TRoundListener& onList) {
    return TRound(module, progress, job, onList).Run();
}

std::string StationLogText(const std::string& label, const std::string& text) {
    return "Dla stacji " + Quoted(label) + " " + text;
}

} // namespace kiv
