#include "capacity/ordered_capacity.h"

#include "config/program_settings.h"
#include "config/station_db.h"
#include "config/virtual_stations.h"

#include <algorithm>
#include <cctype>

namespace kiv {
namespace {

constexpr std::size_t kAddressDigits = 5;

// The address of a station node: its first five characters, all digits.
int NodeAddress(const std::string& nodeText) {
    if (nodeText.size() < kAddressDigits) return 0;
    int address = 0;
    for (std::size_t i = 0; i < kAddressDigits; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(nodeText[i]))) return 0;
        address = address * 10 + (nodeText[i] - '0');
    }
    return address <= kMaxStationAddress ? address : 0;
}

std::string WithoutBlanks(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c) != 0; }),
               text.end());
    return text;
}

} // namespace

TCapacityShown ReadCapacity(const TCapacitySubject& subject) {
    TCapacityShown shown;
    if (!subject.isVirtual) {
        const int address = NodeAddress(subject.nodeText);
        if (address == 0) return shown;
        shown.found = true;
        shown.stationFile = StationFilePath(subject.dataFolder, address);
        shown.value = PeakFlowText(shown.stationFile);
        return shown;
    }
    const TSumRec sum = LookupSum(subject.kivIni, subject.dataFolder, subject.nodeText);
    if (sum.key.empty()) return shown;
    shown.found = true;
    shown.number = sum.number;
    shown.entry = ReadSumEntry(subject.kivIni, subject.dataFolder, sum.number);
    shown.value = sum.capacity;
    return shown;
}

std::string EntryWithCapacity(const std::string& entry, const std::string& capacity) {
    TVirtualEntry fields = ParseVirtualEntry(entry);
    fields.capacity = capacity;
    fields.hasTariff = true;
    return FormatVirtualEntry(fields);
}

CapacityStore StoreCapacity(const TCapacitySubject& subject, const TCapacityShown& shown,
                            const std::string& fieldText) {
    const std::string value = WithoutBlanks(fieldText);
    if (value.empty()) return CapacityStore::NothingToStore;
    if (!shown.found) return CapacityStore::NoEntry;
    const bool written = subject.isVirtual
                             ? WriteSumEntry(subject.kivIni, subject.dataFolder, shown.number,
                                             EntryWithCapacity(shown.entry, value))
                             : WritePeakFlow(shown.stationFile, value);
    return written ? CapacityStore::Stored : CapacityStore::WriteFailed;
}

std::string CapacityStoreMessage(CapacityStore result, const TCapacitySubject& subject, const TCapacityShown& shown) {
    switch (result) {
    case CapacityStore::NoEntry:
        return subject.isVirtual ? "Stacja wirtualna \"" + subject.nodeText + "\" nie jest zdefiniowana w pliku " +
                                       subject.kivIni + ". Moc zamówiona nie została zapisana."
                                 : "Nie można ustalić adresu stacji \"" + subject.nodeText +
                                       "\". Moc zamówiona nie została zapisana.";
    case CapacityStore::WriteFailed:
        return "Nie udało się zapisać pliku " + (subject.isVirtual ? subject.kivIni : shown.stationFile);
    case CapacityStore::Stored:
    case CapacityStore::NothingToStore:
        break;
    }
    return {};
}

} // namespace kiv
