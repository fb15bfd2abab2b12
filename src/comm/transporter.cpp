#include "comm/transporter.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "comm/comm_log.h"
#include "comm/device_readout.h"
#include "comm/link_frame.h"
#include "comm/progress.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "datafiles/profile_catalogue.h"
#include "support/text_encoding.h"

namespace kiv {
namespace {

constexpr uint8_t kDirectoryKind = 23;
constexpr uint8_t kNameplateKind = 0;
constexpr std::size_t kEntryAddress = 11;
constexpr std::size_t kEntryUsed = 13;
constexpr std::size_t kEntryForm = 14;
constexpr std::size_t kEntryName = 18;
constexpr const char* kAddressSuffix = ". Adres urządzenia = ";

std::string Note(const std::string& text, uint16_t address) {
    return text + kAddressSuffix + std::to_string(address);
}

// A name is one line of a station file: no line breaks or other control characters.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    return text;
}

// The unknown items become stations named as listed, with the nameplate
// each device gives through the transporter; the count created.
int AddStations(TReadLink& link, const TKivGazJob& job, const std::vector<TKivGazItem>& items) {
    int added = 0;
    for (const TKivGazItem& item : items) {
        if (item.known) continue;
        std::vector<std::string> nameplate;
        const TxResult result = ReadHeldNameplate(link, item.address, nameplate);
        if (result == TxResult::Cancelled) break;
        CreateStation(job.dataFolder, item.address, item.name);
        if (!std::filesystem::is_directory(StationFolderPath(job.dataFolder, item.address))) {
            (void)WriteCommNote(job.kivGazLog, Note("Nie można utworzyć stacji", item.address));
            continue;
        }
        ++added;
        if (result == TxResult::Good)
            WriteNameplate(job.dataFolder, item.address, nameplate);
        else
            (void)WriteCommNote(job.kivGazLog, Note("Brak tabliczki znamionowej", item.address));
    }
    return added;
}

// Profile not named or not listed, or no file: "Brak zbioru"; a file that
// is there but does not read: "Błąd odczytu".
TKivGazCheck ProfileCheck(const TKivGazJob& job, const std::string& deviceProfile, TProfileRecord& profile) {
    if (deviceProfile.empty()) return TKivGazCheck::NoProfile;
    const int found =
        ReadCatalogueProfile(job.profileNames, job.profileFiles, job.programFolder, deviceProfile, profile);
    if (found == ProfileNotInCatalogue) return TKivGazCheck::NoProfile;
    if (found != ProfileRead) {
        std::error_code error;
        const bool present = !profile.file.empty() && std::filesystem::file_size(profile.file, error) > 0 && !error;
        return present ? TKivGazCheck::BadProfile : TKivGazCheck::NoProfile;
    }
    return profile.params.profileByte == 1 ? TKivGazCheck::Read : TKivGazCheck::NotGazModem1;
}

std::string ReadText(const TReadOutOutcome& outcome) {
    if (!outcome.message.text.empty()) return OneLine(outcome.message.text);
    if (outcome.result == TxResult::Good) return "Odczyt zakończony";
    if (outcome.result == TxResult::Cancelled) return "Odczyt przerwany przez użytkownika";
    return "Odczyt nieudany, wynik " + std::to_string(ResultCode(outcome.result));
}

TKivGazRead ReadOne(TFCommModule& module, ITxProgress& progress, const TKivGazJob& job, const TKivGazItem& item,
                    TLinkAfterRead after) {
    TKivGazRead read;
    read.address = item.address;
    const std::string stationFile = StationFilePath(job.dataFolder, item.address);
    TRekStacjiFull station;
    ReadFullStationRecord(stationFile, item.address, station);
    read.label = station.Label;
    TProfileRecord profile;
    read.check = ProfileCheck(job, station.DeviceProfile, profile);
    if (read.check != TKivGazCheck::Read) return read;

    TReadOutInput input;
    input.address = item.address;
    input.samplesPerBlock = kKivGazSamplesPerBlock;
    input.attempts = kKivGazAttempts;
    input.profile = profile.params;
    input.items = profile.items;
    input.settings = ReadOutSettingsFrom(job.kivIni, stationFile, profile.items);
    input.dataFolder = job.dataFolder;
    progress.Reset(station.Label);
    // The reset clears the connection line; the line itself stays open from the first device on.
    progress.SetConnection("Port otwarty, " + std::to_string(kKivGazBaud) + "Bd");
    ReadOverOpenLink(module, progress, input, job.txLog, job.txLog, std::chrono::steady_clock::now(), read.outcome,
                     after);
    read.text = ReadText(read.outcome);
    return read;
}

} // namespace

TLinkSettings KivGazLink(const std::string& kivIni, const std::string& port) {
    TLinkSettings link;
    link.port = port;
    link.device = PortDeviceName(kivIni, port);
    link.baud = kKivGazBaud;
    link.parity = "None";
    link.charTimeout = 100;
    link.answerTimeout = 1000;
    link.silence = 50;
    link.rts = true;
    link.dtr = true;
    return link;
}

std::string KivGazItemText(const TKivGazItem& item) {
    return FiveDigits(item.address) + (item.known ? " " : "+") + item.name;
}

bool ParseDirectoryEntry(const std::vector<uint8_t>& reply, TKivGazItem& item) {
    if (reply.size() < kEntryForm + 1 + kReplyTail) return false;
    if (reply[kEntryUsed] == 0 || reply[kEntryForm] != 1) return false;
    item.address = static_cast<uint16_t>(reply[kEntryAddress] | reply[kEntryAddress + 1] << 8);
    if (item.address == 0) return false;
    const auto first = reply.begin() + static_cast<long>(std::min(kEntryName, reply.size() - kReplyTail));
    const auto last = std::find(first, reply.end() - static_cast<long>(kReplyTail), 0);
    item.name = OneLine(DecodeText(std::string(first, last)));
    return true;
}

TDirectory ReadDirectoryWith(const TEntryRequest& request) {
    TDirectory directory;
    for (uint32_t entry = 0; entry <= 0xFFFF; ++entry) {
        std::vector<uint8_t> reply;
        directory.lastResult = request(static_cast<uint16_t>(entry), reply);
        if (directory.lastResult != TxResult::Good || reply.empty() || !GoodReply(reply, kDirectoryKind)) break;
        ++directory.entries;
        TKivGazItem item;
        const auto listed = [&item](const TKivGazItem& other) { return other.address == item.address; };
        if (!ParseDirectoryEntry(reply, item) || std::any_of(directory.items.begin(), directory.items.end(), listed))
            continue;
        directory.items.push_back(item);
        if (entry > kDirectoryLastEntry) break;
    }
    return directory;
}

TDirectory ReadDirectory(TReadLink& link, uint16_t transporterAddress) {
    return ReadDirectoryWith([&link, transporterAddress](uint16_t entry, std::vector<uint8_t>& reply) {
        TRequestArgs args;
        args.kind = kDirectoryKind;
        args.deviceAddress = transporterAddress;
        args.attempts = kKivGazAttempts;
        args.count8 = 1;
        args.index16 = entry;
        return DeviceRequest(link, args, reply);
    });
}

bool MarkUnknown(std::vector<TKivGazItem>& items, const std::string& dataFolder) {
    TStationDb stations;
    stations.Build(dataFolder);
    bool any = false;
    for (TKivGazItem& item : items) {
        item.known = stations.Find(item.address) > 0;
        any = any || !item.known;
    }
    return any;
}

void DropUnknown(std::vector<TKivGazItem>& items) {
    std::erase_if(items, [](const TKivGazItem& item) { return !item.known; });
}

TxResult ReadHeldNameplate(TReadLink& link, uint16_t address, std::vector<std::string>& nameplate) {
    TRequestArgs args;
    args.kind = kNameplateKind;
    args.deviceAddress = address;
    args.attempts = kKivGazAttempts;
    std::vector<uint8_t> reply;
    const TxResult result = DeviceRequest(link, args, reply);
    if (result != TxResult::Good) return result;
    if (!GoodReply(reply, kNameplateKind)) return TxResult::UnknownDevice;
    nameplate = NameplateStrings(reply, 3);
    // Decoded as the read-out decodes what it compares with the stored serial
    // number, and nothing more, so the first read-out finds it equal.
    for (std::string& text : nameplate) text = DecodeText(text);
    return TxResult::Good;
}

TKivGazSearch SearchTransporter(TFCommModule& module, ITxProgress& progress, const TKivGazJob& job,
                                const std::function<bool(const std::vector<TKivGazItem>&)>& addUnknown) {
    TKivGazSearch search;
    const TReadOutRunning running;
    module.SetProgress(&progress);
    module.SetLogFile(job.frameLog);
    search.portOpened = module.OpenDirect(KivGazLink(job.kivIni, job.port));
    if (!search.portOpened) {
        search.portError = module.OpenError();
        module.SetLogFile("");
        return search;
    }
    TReadLink link{module, progress, nullptr};
    search.directory = ReadDirectory(link, job.transporterAddress);
    const bool unknown = MarkUnknown(search.directory.items, job.dataFolder);
    search.items = search.directory.items;
    if (unknown && addUnknown(search.items))
        search.added = AddStations(link, job, search.items);
    else
        DropUnknown(search.items);
    module.ClosePort();
    module.SetLogFile("");
    return search;
}

bool ReadListed(TFCommModule& module, ITxProgress& progress, const TKivGazJob& job,
                const std::vector<TKivGazItem>& items, std::vector<TKivGazRead>& reads) {
    const TReadOutRunning running;
    module.SetProgress(&progress);
    module.SetLogFile(job.txLog);
    const bool opened = module.OpenDirect(KivGazLink(job.kivIni, job.port));
    module.SetLogFile("");
    if (!opened) return false;
    std::size_t lastTicked = items.size();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].ticked) lastTicked = i;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!items[i].ticked) continue;
        reads.push_back(
            ReadOne(module, progress, job, items[i], i == lastTicked ? TLinkAfterRead::Close : TLinkAfterRead::KeepOpen));
        const TKivGazRead& read = reads.back();
        (void)WriteCommNote(job.kivGazLog, KivGazLogText(read));
        if (read.check == TKivGazCheck::Read && read.outcome.result == TxResult::Cancelled) break;
    }
    // A run that ended early, or whose last device was not read, leaves the line to close here.
    module.ClosePort();
    return true;
}

std::string KivGazReadText(const TKivGazRead& read) {
    switch (read.check) {
    case TKivGazCheck::NoProfile:
        return "Brak zbioru profilu";
    case TKivGazCheck::BadProfile:
        return "Błąd odczytu profilu";
    case TKivGazCheck::NotGazModem1:
        return "Nie ustawiono protokołu GazModem-1";
    case TKivGazCheck::Read:
        break;
    }
    return read.text;
}

std::string KivGazLogText(const TKivGazRead& read) {
    return Note(KivGazReadText(read), read.address);
}

} // namespace kiv
