#include "comm/device_readout.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "comm/comm_module.h"
#include "comm/link_frame.h"
#include "comm/progress.h"
#include "comm/archive_filter.h"
#include "config/ini_file.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "datafiles/fcc.h"
#include "datafiles/timestamp.h"
#include "support/file_replace.h"
#include "support/messages.h"
#include "support/text_encoding.h"

namespace kiv {
namespace {

constexpr std::size_t kMaxCurrentItems = 1000;
constexpr int kMaxValuesPerRequest = 250;
constexpr uint8_t kDumpCount = 100;

// Step 2 to 4: the device clock into session.deviceClock.
TxResult ReadClock(TReadOutSession& session) {
    session.link.progress.SetStatus("Odczyt zegara");
    TRequestArgs args;
    args.kind = session.protocol == 2 ? 19 : 7;
    std::vector<uint8_t> reply;
    const TxResult result = session.Request(args, reply);
    if (result != TxResult::Good) return result;
    if (reply.empty()) return TxResult::NoReply;
    if (!GoodReply(reply, args.kind) || reply.size() < 14 + kReplyTail)
        return ReplyCode(reply) == kReplyNotSupported ? TxResult::ProtocolNotInDevice : TxResult::BadClockReply;
    const int32_t time = WireToTime(reply.data() + 8, 6);
    session.link.progress.SetClock(ClockLine(time, NowStamp()));
    if (time < 0) return TxResult::BadTime;
    session.deviceClock = time;
    return TxResult::Good;
}

// A raw table of the device, 100 bytes a request, into DP.BIN or TZ.BIN.
void DumpTable(TReadOutSession& session, uint8_t kind, const char* fileName) {
    std::vector<uint8_t> table;
    for (uint16_t offset = 0;;) {
        TRequestArgs args;
        args.kind = kind;
        args.count8 = kDumpCount;
        args.index16 = offset;
        std::vector<uint8_t> reply;
        if (session.Request(args, reply) != TxResult::Good || !GoodReply(reply, kind) || reply.size() < 11 + kReplyTail) break;
        table.insert(table.end(), reply.begin() + 11, reply.end() - kReplyTail);
        if (reply[8] == 0 || offset + reply[8] > 0xFFFF) break;
        offset = static_cast<uint16_t>(offset + reply[8]);
    }
    if (table.empty()) return;
    const std::string folder = StationFolder(session.dataFolder, session.address);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    (void)ReplaceFile(folder + fileName, table.data(), table.size());
}

void DumpTables(TReadOutSession& session, const TReadOutSettings& settings) {
    if (settings.dumpDP) {
        session.link.progress.SetStatus("Odczyt tablicy DP");
        if (session.protocol == 2) DumpTable(session, 12, "DP.BIN");
    }
    if (settings.dumpTZ) {
        session.link.progress.SetStatus("Odczyt tablicy TZ");
        if (session.protocol == 2) DumpTable(session, 13, "TZ.BIN");
    }
}

TxResult ReadNameplate(TReadOutSession& session) {
    session.link.progress.SetStatus("Odczyt tabliczki znamionowej");
    TRequestArgs args;
    args.kind = session.protocol == 2 ? 9 : 0;
    std::vector<uint8_t> reply;
    const TxResult result = session.Request(args, reply);
    if (result != TxResult::Good) return result;
    if (!GoodReply(reply, args.kind)) return TxResult::UnknownDevice;
    const bool v2 = session.protocol == 2;
    const std::vector<std::string> s = NameplateStrings(reply, v2 ? 6 : 4);
    const std::string& last = s.back();
    session.sign = TDevSign{s[0], s[2], s[1], last, {}, {}};
    session.nameplate = {s[0], s[1], s[2], v2 ? s[3] : std::string(), v2 ? s[4] : std::string(), last};
    return TxResult::Good;
}

std::string Squeezed(const std::string& text) {
    std::string out;
    for (const char c : text)
        if (c != ' ' && c != '\t') out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

void WriteHardware(const TReadOutSession& session) {
    WriteNameplate(session.dataFolder, session.address,
                   {DecodeText(session.sign.brand), DecodeText(session.sign.type), DecodeText(session.sign.serialNumber)});
}

TxResult CheckIdentity(TReadOutSession& session, const TRecProfParams& profile, const TStoredHardware& stored) {
    if (!IdentityMatches(profile, session.sign)) {
        if (stored.Empty()) WriteHardware(session);
        return TxResult::WrongProfile;
    }
    if (stored.serialNumber.empty()) {
        WriteHardware(session);
        return TxResult::Good;
    }
    return stored.serialNumber == DecodeText(session.sign.serialNumber) ? TxResult::Good : TxResult::WrongSerial;
}

// Step 9: the current values in requests of at most 250 parameter numbers.
TxResult ReadCurrentData(TReadOutSession& session, const std::string& profileName) {
    const auto& list = session.currentList;
    if (list.empty()) return TxResult::Good; // nothing to ask for, and no current data file to write
    // Numbers are 0..65535 on the wire; 64-bit steps cannot wrap whatever a profile holds.
    const int64_t last = std::min<int64_t>(list.back().ParamNumber(), 0xFFFF);
    TRequestArgs args;
    args.kind = session.protocol == 2 ? 10 : 1;
    for (int64_t start = list.front().ParamNumber(); start <= last;) {
        args.count8 = static_cast<uint8_t>(std::min<int64_t>(last - start + 1, kMaxValuesPerRequest));
        args.index16 = static_cast<uint16_t>(start);
        std::vector<uint8_t> reply;
        const TxResult result = session.Request(args, reply);
        if (result != TxResult::Good) return result;
        // A reply that covers no parameter would never get the reading past this start.
        if (!GoodReply(reply, args.kind) || reply.size() < 11 + kReplyTail || reply[8] == 0) return TxResult::NoReply;
        session.currentBlock.insert(session.currentBlock.end(), reply.begin() + 11, reply.end() - kReplyTail);
        start += reply[8];
    }
    TFileFCC fcc;
    if (fcc.WriteCurrentData(session.dataFolder, session.address, session.currentBlock.size(),
                             session.currentBlock.data(), static_cast<TimeStamp>(session.deviceClock), profileName,
                             session.nameplate) != 0)
        session.storeFailed = true;
    return TxResult::Good;
}

std::vector<std::string> CheckListNames(const std::vector<TParamItem>& archiveList) {
    std::vector<std::string> names{"zdarzenia"};
    for (const auto& item : archiveList) names.push_back(DecodeText(item.FullName()));
    return names;
}

TxResult RunSteps(TReadOutSession& session, const TReadOutInput& input) {
    const std::vector<TParamItem> archiveList = ArchiveList(input.items);
    TxResult result = ReadClock(session);
    if (result != TxResult::Good) return result;
    DumpTables(session, input.settings);
    if ((result = ReadNameplate(session)) != TxResult::Good) return result;
    if ((result = CheckIdentity(session, input.profile, input.settings.hardware)) != TxResult::Good) return result;
    session.link.progress.SetStatus("Odczyt tablicy KWDB");
    session.link.progress.SetStatus("Odczyt danych bieżących");
    if ((result = ReadCurrentData(session, input.profile.Name())) != TxResult::Good) return result;
    session.link.progress.FillCheckList(CheckListNames(archiveList));
    if ((result = ReadEvents(session)) != TxResult::Good) return result;
    session.link.progress.MarkItem(0, TxCheck::Checked);
    return ReadArchives(session, archiveList, input.startTime, input.endTime);
}

} // namespace

bool GoodReply(const std::vector<uint8_t>& reply, uint8_t kind) {
    return ReplyCode(reply) == ((RequestCode(kind) + 0x80) & 0xFF);
}

std::vector<std::string> NameplateStrings(const std::vector<uint8_t>& reply, std::size_t count) {
    std::vector<std::string> out(count);
    std::size_t at = 8;
    const std::size_t end = reply.size() - kReplyTail;
    for (std::size_t i = 0; i < count && at < end; ++i) {
        std::size_t stop = at;
        while (stop < end && reply[stop] != 0) ++stop;
        out[i].assign(reply.begin() + static_cast<long>(at), reply.begin() + static_cast<long>(stop));
        at = stop + 1;
    }
    return out;
}


std::vector<TParamItem> CurrentDataList(const std::vector<TParamItem>& items) {
    std::vector<TParamItem> list;
    for (const auto& item : items)
        if (item.ParamNumber() >= 0 && list.size() < kMaxCurrentItems) list.push_back(item);
    std::stable_sort(list.begin(), list.end(),
                     [](const TParamItem& a, const TParamItem& b) { return a.ParamNumber() < b.ParamNumber(); });
    return list;
}

std::vector<TParamItem> ArchiveList(const std::vector<TParamItem>& items) {
    std::vector<TParamItem> list;
    for (const auto& item : items)
        if (item.HasArchive()) list.push_back(item);
    return list;
}

std::string ClockLine(int32_t deviceTime, int64_t computerTime) {
    if (deviceTime < 0) return "[błąd zegara w urządzeniu]";
    const int64_t difference = int64_t(deviceTime) - computerTime;
    return StampText(static_cast<TimeStamp>(deviceTime)) + " [system " + (difference >= 0 ? "+" : "") +
           std::to_string(difference) + " sek]";
}

bool IdentityMatches(const TRecProfParams& profile, const TDevSign& sign) {
    const std::string& make = profile.texts[1];
    const std::string& type = profile.texts[2];
    const std::string& serial = profile.texts[3];
    return (make.empty() || Squeezed(make) == Squeezed(sign.brand)) &&
           (type.empty() || Squeezed(type) == Squeezed(sign.type)) && (serial.empty() || serial == sign.serialNumber);
}

TReadOutSettings ReadOutSettingsFrom(const std::string& kivIni, const std::string& stationFile,
                                     const std::vector<TParamItem>& items) {
    const TProgramSettings program(kivIni);
    TReadOutSettings settings;
    settings.eventsMax = std::clamp(program.EventsMaxNumber(), 0, kEventsMaxLimit);
    settings.dumpDP = program.DumpDP();
    settings.dumpTZ = program.DumpTZ();
    for (const TParamItem& item : ArchiveList(items))
        if (!Wanted(stationFile, item.ShortName())) settings.skippedArchives.insert(item.ShortName());
    const std::vector<std::string> stored = StoredNameplate(stationFile);
    settings.hardware = {stored[0], stored[1], stored[2]};
    return settings;
}

TxResult ReadDevice(TReadLink& link, const TReadOutInput& input, TReadOutReport& report) {
    const uint8_t protocol = input.profile.profileByte;
    if (protocol != 1 && protocol != 2) return TxResult::ProtocolNotInProgram;
    TReadOutSession session(link);
    session.address = input.address;
    session.attempts = input.attempts;
    session.samplesPerBlock = input.samplesPerBlock;
    session.protocol = protocol;
    session.dataFolder = input.dataFolder;
    session.eventsMax = input.settings.eventsMax;
    session.skippedArchives = input.settings.skippedArchives;
    session.currentList = CurrentDataList(input.items);
    session.writer = input.archiveWriter;
    TxResult result = RunSteps(session, input);
    report.sign = session.sign;
    report.samplesStored = session.samplesStored;
    report.eventsStored = session.eventsStored;
    report.newestSample = session.newestSample;
    if (result == TxResult::Good && session.storeFailed) result = TxResult::NotStored;
    if (result == TxResult::Good || result == TxResult::NotStored) link.progress.SetStatus("Odczyt zakończony");
    return result;
}

TReadOutMessage ReadOutMessage(TxResult result, const TDevSign& sign) {
    switch (result) {
    case TxResult::NoReply: return {"Brak komunikacji", MsgError};
    case TxResult::BadFrame: return {"Zakłócenia kanału transmisyjnego", MsgError};
    case TxResult::ProtocolNotInProgram: return {"Wersja protokołu nieobsługiwana przez program", MsgWarning};
    case TxResult::ProtocolNotInDevice: return {"Wersja protokołu nieobsługiwana przez urządzenie", MsgWarning};
    case TxResult::BadTime: return {"Urządzenie zwróciło niepoprawną informację o czasie", MsgWarning};
    case TxResult::NotStored:
        return {"Odczyt zakończony, ale części odczytanych danych nie udało się zapisać na dysku", MsgWarning};
    case TxResult::WrongProfile:
        return {"Urządzeniu przypisano niewłaściwy profil. Wykryte urządzenie to :\r" + DecodeText(sign.brand) + "\r" +
                    DecodeText(sign.type) + "\r" + DecodeText(sign.serialNumber),
                MsgWarning};
    case TxResult::WrongSerial: return {"Niewłaściwy numer fabryczny urządzenia", MsgWarning};
    case TxResult::UnknownDevice: return {"Nieznane urządzenie pomiarowe :\r\r\r", MsgWarning};
    default: return {"", MsgWarning};
    }
}

} // namespace kiv
