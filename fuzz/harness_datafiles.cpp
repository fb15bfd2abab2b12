// Fuzz bodies of the binary data files: device profiles (FCP), current data
// (FCC), events (FCE, read and stored into) and archive months (FCD, opened
// over a period and stored into), plus the data folder check over them.
#include "harness.h"

#include <cstdlib>

#include "datafiles/archive.h"
#include "datafiles/events.h"
#include "datafiles/fcc.h"
#include "datafiles/folder_check.h"
#include "datafiles/profile.h"
#include "datafiles/sample_value.h"

namespace kiv::fuzz {
namespace {

constexpr const char* kChannel = "dVn";
const TIdentLines kIdent{"Kivmet", "KM-100", "KM1-00012", "", "", "FW 3.04"};
const TDevSign kSign{"Kivmet", "KM1-00012", "KM-100", "FW 3.04", "", ""};

void Require(bool promise) {
    if (!promise) std::abort();
}

std::string_view Text(const uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

const uint8_t* Raw(std::string_view piece) { return reinterpret_cast<const uint8_t*>(piece.data()); }

// Every value of the packed buffer the items describe, as the current data view shows them.
void ShowValues(const std::vector<TParamItem>& items, const uint8_t* values, std::size_t length) {
    const int count = static_cast<int>(items.size());
    for (const TParamItem& item : items) {
        const long at = TFCProfileRdWr::ValueOffset(items.data(), count, values, length, item.ParamNumber());
        if (at >= 0) (void)TFCProfileRdWr::ValueText(values + at, length - static_cast<std::size_t>(at), item.TypeCode());
    }
}

// Where a file kind's CRC lies: over bytes 19 to the end as stored (FCC,
// FCE), over the data area as stored (FCP), over bytes 19 to the end once
// unscrambled (FCD).
enum class TCrcCover { Stored, StoredData, Clear };

// Writes a data file; with `fix` its length field and CRC are put right
// first. Most mutations break both and the reader stops there: fixed, the
// fuzzer reaches what lies behind the check. Gives back what was written.
::kiv::Bytes WriteDataFile(const std::string& path, std::string_view bytes, bool fix, TCrcCover cover) {
    ::kiv::Bytes image(bytes.begin(), bytes.end());
    if (fix && image.size() >= kHeaderSize) {
        PutU32(image, 11, static_cast<uint32_t>(image.size()));
        uint32_t crc = 0;
        if (cover == TCrcCover::Clear) {
            WriteFile(path, Text(image.data(), image.size()));
            TFcdContent content;
            if (ReadFcdContent(path, content) == 0) crc = content.computedCrc;
        } else {
            const std::size_t from = cover == TCrcCover::Stored ? kHeaderSize : std::min<std::size_t>(GetU16(image, 7), image.size());
            crc = Crc32(image.data() + from, image.size() - from);
        }
        PutU32(image, 15, crc);
    }
    WriteFile(path, Text(image.data(), image.size()));
    return image;
}

// The identification a store goes with: the existing file's own, so that the
// records merge into it, or (bit 1 of the control byte) another device's.
TIdentLines StoreLines(bool otherDevice) {
    TEventsFile file;
    if (otherDevice || ReadEventsFile(Scratch(), kStation, 0, {}, file) < 0) return kIdent;
    return file.identLines;
}

TDevSign StoreSign(bool otherDevice, const std::string& path) {
    TFcdContent content;
    if (otherDevice || ReadFcdContent(path, content) != 0 || content.identities.empty()) return kSign;
    return IdentitySign(content.identities.back());
}

TimeStamp March(int day, int hour) { return EncodeTime({2025, 3, static_cast<uint16_t>(day), static_cast<uint16_t>(hour), 0, 0}); }

} // namespace

// Each file body's input: a control byte (bit 0: put the length and the CRC
// right), then the file.
int FuzzProfile(const uint8_t* data, std::size_t size) {
    TInput in(data, size);
    const bool fix = in.Byte() & 1;
    const std::string path = FreshStationFolder() + "FUZZ.FCP";
    (void)WriteDataFile(path, in.Rest(), fix, TCrcCover::StoredData);
    TFCProfileRdWr reader;
    (void)reader.ItemCount(path);
    std::string t1, t2, t3, t4;
    (void)reader.ReadProfileTexts(path, t1, t2, t3, t4);
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
    if (!reader.ReadProfile(path, params, items, groups)) return 0;
    for (const std::string& group : groups) (void)(GroupEntryName(group) + GroupEntryCaption(group));
    ShowValues(items, data, size);
    std::vector<TParamItem> copy = items;
    (void)TFCProfileRdWr::CompactItems(copy.data(), static_cast<int>(copy.size()));
    copy = items;
    (void)TFCProfileRdWr::DropUnreadItems(copy.data(), static_cast<int>(copy.size()));
    // A profile built from what was read reads back the same.
    if (reader.WriteProfile(path, params, items.data(), static_cast<int>(items.size()), groups) == 0) {
        TRecProfParams again;
        std::vector<TParamItem> itemsAgain;
        std::vector<std::string> groupsAgain;
        Require(reader.ReadProfile(path, again, itemsAgain, groupsAgain) && again == params &&
                itemsAgain.size() == items.size() && groupsAgain == groups);
    }
    return 0;
}

int FuzzCurrentData(const uint8_t* data, std::size_t size) {
    TInput in(data, size);
    const bool fix = in.Byte() & 1;
    (void)WriteDataFile(FreshStationFolder() + "00012.FCC", in.Rest(), fix, TCrcCover::Stored);
    TFileFCC fcc;
    std::size_t count = 0;
    const uint8_t* values = nullptr;
    TimeStamp time = 0;
    std::string profile;
    if (fcc.ReadCurrentData(Scratch(), kStation, count, values, time, profile) != 0 || values == nullptr) return 0;
    std::vector<TParamItem> items(4);
    for (int k = 0; k < 4; ++k) {
        items[static_cast<std::size_t>(k)].SetParamNumber(k);
        items[static_cast<std::size_t>(k)].SetTypeCode(static_cast<uint8_t>(k == 3 ? VtText : VtFloat32 + k));
    }
    ShowValues(items, values, count);
    return 0;
}

int FuzzEventsRead(const uint8_t* data, std::size_t size) {
    TInput in(data, size);
    const bool fix = in.Byte() & 1;
    (void)WriteDataFile(FreshStationFolder() + "00012.FCE", in.Rest(), fix, TCrcCover::Stored);
    TEventsFile file;
    if (ReadEventsFile(Scratch(), kStation, 0, {}, file) >= 0) {
        TEventDefinition definition;
        definition.params = {{"P", "bar", VtFloat32}, {"n", "", VtUInt16}, {"x", "", VtReal48}};
        for (const TEventRecord& record : file.records) {
            const uint8_t* bytes = file.image.data() + record.offset;
            (void)EventStampText(bytes + 3);
            (void)EventStampText(bytes + 9);
            std::vector<TEventParamDef> params;
            (void)ParamsForRecord(definition, record.length, params);
            for (const TEventParamValue& value : DecodeEventParams(bytes, record.length, params))
                (void)ParamValueText(value);
        }
    }
    (void)FindOpenEvent(Scratch(), kStation, kIdent);
    return 0;
}

// The input: a control byte (bit 0: put the existing file's length and CRC
// right; bit 1: store as another device), the existing events file with its
// 16-bit length, then the new records.
int FuzzEventsStore(const uint8_t* data, std::size_t size) {
    TInput in(data, size);
    const uint8_t control = in.Byte();
    const std::string_view existing = in.Piece();
    const std::string_view records = in.Rest();
    const Bytes before = WriteDataFile(FreshStationFolder() + "00012.FCE", existing, control & 1, TCrcCover::Stored);
    const TIdentLines lines = StoreLines(control & 2);
    TEventsFile file;
    const bool whole = ReadEventsFile(Scratch(), kStation, 0, lines, file) >= 0 &&
                       (file.records.empty() ? file.areaStart
                                             : file.records.back().offset + file.records.back().length) ==
                           file.image.size();
    const bool anyRecord = !EventRecords(Raw(records), records.size()).empty();
    if (StoreEvents(Scratch(), kStation, Raw(records), records.size(), lines) != 0) return 0;
    // What was stored must read back whole, whatever lay there before, and a
    // file the store could not merge into is kept whole as the older generation.
    Require(!anyRecord || ReadEventsFile(Scratch(), kStation, 0, lines, file) > 0);
    TPlik plik;
    Bytes older;
    const bool rotated = plik.ReadWholeFile(EventsFileName(Scratch(), kStation, 1), 0, older) == 0;
    Require(!rotated || older == before);
    Require(!anyRecord || before.size() < 5 || whole || rotated);
    return 0;
}

int FuzzArchiveOpen(const uint8_t* data, std::size_t size) {
    TInput in(data, size);
    const bool fix = in.Byte() & 1;
    (void)WriteDataFile(FreshStationFolder() + ArchiveFileName(kStation, 2025, 3, kChannel), in.Rest(), fix,
                  TCrcCover::Clear);
    TArchive archive;
    TimeStamp start = MonthStart(2025, 2), end = MonthEnd(2025, 4);
    if (archive.OpenPeriod(Scratch(), kStation, start, end, kChannel) == 0) {
        std::vector<TReportSample> samples;
        archive.ReportSamples(samples);
        for (int n = 1; n <= archive.IdentityCount(); ++n) {
            TimeStamp from = 0;
            TDevSign sign;
            (void)archive.IdentityEntry(n, from, sign);
        }
        for (int n = 1; n <= archive.DescriptorCount(); ++n) {
            TimeStamp from = 0;
            TParamItem item;
            (void)archive.DescriptorEntry(n, from, item);
        }
    }
    TFcdContent content;
    (void)ReadFcdContent(StationFolder(Scratch(), kStation) + ArchiveFileName(kStation, 2025, 3, kChannel), content);
    (void)TArchive::NewestSampleTime(Scratch(), kStation, kChannel);
    TCheckSummary summary;
    CheckStation(Scratch(), kStation, summary);
    for (const TCheckFinding& finding : summary.findings) (void)FindingLine(finding);
    return 0;
}

// The input: a control byte (as for the events), the existing month file of
// March 2025 with its 16-bit length, then 16-byte sample records whose first
// two bytes give their time as minutes from 1 March 2025 (March and the
// first half of April), so that they meet the fuzzed file.
int FuzzArchiveStore(const uint8_t* data, std::size_t size) {
    TInput in(data, size);
    const uint8_t control = in.Byte();
    const std::string_view existing = in.Piece();
    std::string records(in.Rest());
    records.resize(records.size() / kSampleSize * kSampleSize);
    for (std::size_t at = 0; at < records.size(); at += kSampleSize) {
        const TimeStamp time = static_cast<TimeStamp>(static_cast<uint8_t>(records[at]) |
                                                      static_cast<uint8_t>(records[at + 1]) << 8);
        const TimeStamp moved = March(1, 0) + time * 60;
        for (int k = 0; k < 4; ++k) records[at + static_cast<std::size_t>(k)] = static_cast<char>(moved >> (8 * k));
    }
    const std::string march = FreshStationFolder() + ArchiveFileName(kStation, 2025, 3, kChannel);
    const ::kiv::Bytes written = WriteDataFile(march, existing, control & 1, TCrcCover::Clear);
    TParamItem item;
    item.SetShortName(kChannel);
    TArchive archive;
    const TDevSign sign = StoreSign(control & 2, march);
    const int stored = archive.StoreSamples(Scratch(), kStation, item, Raw(records), records.size(), sign, kChannel);
    // Every month file the store wrote must open again; a month it could not
    // store into (the fuzzed file unreadable) keeps its file as it was.
    for (int month : {3, 4}) {
        const std::string path = ArchiveFilePath(Scratch(), kStation, 2025, month, kChannel);
        TPlik plik;
        Bytes now;
        const bool present = plik.ReadWholeFile(path, 0, now) == 0;
        if (month == 3 && stored != 0) Require(written.empty() ? !present : present && now == written);
        if (!present || stored != 0 || (month == 3 && now == written)) continue;
        TArchive again;
        TimeStamp start = MonthStart(2025, month), end = MonthEnd(2025, month);
        Require(again.OpenPeriod(Scratch(), kStation, start, end, kChannel) == 0);
    }
    return 0;
}

} // namespace kiv::fuzz
