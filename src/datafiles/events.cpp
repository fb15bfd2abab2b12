#include "datafiles/events.h"

#include "config/ini_file.h"
#include "config/station_db.h"
#include "config/text_case.h"
#include "config/tini.h"
#include "datafiles/sample_value.h"
#include "support/helpers.h"
#include "support/text_encoding.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace kiv {
namespace {

namespace fs = std::filesystem;

constexpr int kRenameFailed = 17;
// Keeps every identification section, and so the header length, inside 16 bits.
constexpr std::size_t kMaxIdentLength = 10000;
constexpr std::size_t kStandardVolumeLength = 20;

std::string IdentLine(const TIdentLines& lines, int index) {
    return index < static_cast<int>(lines.size()) ? lines[static_cast<std::size_t>(index)] : std::string();
}

// The unscrambled payload of a string section; empty when the file has none.
std::string ReadIdentSection(const Bytes& image, int identifier, const uint8_t* key1) {
    Bytes text;
    if (!FindSectionPayload(image, identifier, key1, text)) return {};
    return std::string(text.begin(), text.end());
}

bool ReadKey(const Bytes& image, int identifier, uint8_t* key) {
    const long at = FindSection(image, 0, identifier);
    if (at < 0 || GetU16(image, static_cast<std::size_t>(at)) < kSectionHeadSize + kKeySize) return false;
    std::memcpy(key, image.data() + at + kSectionHeadSize, kKeySize);
    return true;
}

// The file's own header fields and checksum, then its identification against
// the given lines 1, 2, 3 and 5 (an empty given line matches anything).
bool CheckEventsImage(const Bytes& image, const TIdentLines& given, TIdentLines& fileLines, uint8_t* key2) {
    if (StoredImageFault(image, kEventsMagic) != 0) return false;
    const std::size_t areaStart = GetU16(image, 7);
    if (areaStart < kHeaderSize || areaStart > image.size()) return false;
    uint8_t key1[kKeySize];
    if (!ReadKey(image, kEventsKey1Id, key1) || !ReadKey(image, kEventsKey2Id, key2)) return false;
    fileLines.assign(kIdentLineCount, std::string());
    for (int line : {0, 1, 2, 4}) {
        fileLines[static_cast<std::size_t>(line)] = ReadIdentSection(image, kEventsIdentFirstId + line, key1);
        const std::string wanted = IdentLine(given, line);
        if (!wanted.empty() && wanted != fileLines[static_cast<std::size_t>(line)]) return false;
    }
    return true;
}

// A fresh header: magic, version, keys and the non-empty identification lines.
Bytes NewEventsHeader(const TIdentLines& lines, uint8_t* key2) {
    Bytes image(kHeaderSize, 0);
    std::memcpy(image.data(), kEventsMagic, 5);
    PutU16(image, 5, 1);
    uint8_t key1[kKeySize];
    NewScrambleKey(key1);
    NewScrambleKey(key2);
    AppendSection(image, kEventsKey1Id, key1, kKeySize);
    AppendSection(image, kEventsKey2Id, key2, kKeySize);
    for (int line = 0; line < kIdentLineCount; ++line) {
        const std::string text = IdentLine(lines, line).substr(0, kMaxIdentLength);
        if (text.empty()) continue;
        Bytes payload(text.begin(), text.end());
        Scramble(payload.data(), payload.size(), key1);
        AppendSection(image, kEventsIdentFirstId + line, payload.data(), payload.size());
    }
    PutU16(image, 7, static_cast<uint16_t>(image.size()));
    return image;
}

// Moves generation g to g + 1 from the oldest down; false when the current
// file is still in place afterwards, so it must not be overwritten.
bool RotateGenerations(const std::string& dataFolder, int address) {
    std::error_code ec;
    fs::remove(EventsFileName(dataFolder, address, kEventGenerations), ec);
    for (int g = kEventGenerations - 1; g >= 0; --g) {
        const std::string from = EventsFileName(dataFolder, address, g);
        if (!fs::exists(from, ec)) continue;
        fs::rename(from, EventsFileName(dataFolder, address, g + 1), ec);
        if (ec) return false;
    }
    return !fs::exists(EventsFileName(dataFolder, address, 0), ec) && !ec;
}

bool SameEventKey(const uint8_t* a, const uint8_t* b) { return std::memcmp(a + 2, b + 2, kEventKeySize) == 0; }

// Walks the new records along the existing ones: a record with the same code
// and first time stamp overwrites its stored copy when the lengths agree (else
// the stored one stays); once the stored records run out, the rest is appended.
void MergeRecords(Bytes& image, std::size_t areaStart, const uint8_t* records, std::size_t count) {
    const auto existing = EventRecords(image.data(), image.size(), areaStart);
    const auto incoming = EventRecords(records, count);
    std::size_t e = 0;
    for (std::size_t n = 0; n < incoming.size(); ++n) {
        const uint8_t* fresh = records + incoming[n].offset;
        while (e < existing.size() && !SameEventKey(image.data() + existing[e].offset, fresh)) ++e;
        if (e == existing.size()) {
            const std::size_t end = incoming.back().offset + incoming.back().length;
            image.insert(image.end(), fresh, records + end);
            return;
        }
        if (existing[e].length == incoming[n].length)
            std::memcpy(image.data() + existing[e].offset, fresh, incoming[n].length);
        ++e;
    }
}

// The records of an unscrambled area up to the first damaged one, as bytes.
Bytes UsableRecords(const Bytes& image, std::size_t areaStart) {
    const auto records = EventRecords(image.data(), image.size(), areaStart);
    const std::size_t end = records.empty() ? areaStart : records.back().offset + records.back().length;
    return Bytes(image.begin() + static_cast<long>(areaStart), image.begin() + static_cast<long>(end));
}

// How the store begins: the current file to merge into, or a new file (after
// rotating the old generations when that is called for).
enum class StoreStart { Merge, Fresh, RotateFresh, RotateCarry };

int OpenForStore(const std::string& name, const TIdentLines& lines, Bytes& image, uint8_t* key2, StoreStart& start) {
    const long size = TPlik::FileSize(name);
    start = StoreStart::Fresh;
    if (size > kEventsRotateSize) start = StoreStart::RotateFresh;
    if (size < 5 || size > kEventsRotateSize) return 0;
    TPlik plik;
    const int rc = plik.ReadWholeFile(name, 0, image);
    if (rc != 0) return rc;
    TIdentLines fileLines;
    if (!CheckEventsImage(image, lines, fileLines, key2)) {
        start = StoreStart::RotateFresh;
        return 0;
    }
    const std::size_t areaStart = GetU16(image, 7);
    Scramble(image.data() + areaStart, image.size() - areaStart, key2);
    // A damaged record hides everything after it: the file is kept as an old
    // generation and its readable records carried into the new one.
    start = UsableRecords(image, areaStart).size() == image.size() - areaStart ? StoreStart::Merge : StoreStart::RotateCarry;
    return 0;
}

// Device strings are bytes of unknown encoding, definition texts UTF-8: both
// are compared decoded.
std::string CompactKey(const std::string& text) { return CompactUpper(DecodeText(text)); }

bool HasEvtExtension(const fs::path& path) { return EqualsNoCase(path.extension().string(), ".EVT"); }

int ParseTypeCode(const std::string& text) {
    const int code = ParseIniInteger(text, 0);
    return code >= 1 && code <= 9 ? code : 0;
}

} // namespace

std::string EventsFileName(const std::string& dataFolder, int address, int generation) {
    std::string name = StationBaseName(dataFolder, address) + ".FCE";
    if (generation > 0) name += std::to_string(generation);
    return name;
}

std::vector<TEventRecord> EventRecords(const uint8_t* bytes, std::size_t size, std::size_t from) {
    std::vector<TEventRecord> records;
    std::size_t at = from;
    while (at + 2 <= size) {
        const std::size_t length = bytes[at] | (std::size_t(bytes[at + 1]) << 8);
        if (length < kEventHeadSize || length > size - at) break;
        records.push_back({at, length});
        at += length;
    }
    return records;
}

int ReadEventsFile(const std::string& dataFolder, int address, int generation, const TIdentLines& identLines,
                   TEventsFile& file) {
    file = TEventsFile();
    if (generation < 0 || generation > kEventGenerations) return -1;
    TPlik plik;
    if (plik.ReadWholeFile(EventsFileName(dataFolder, address, generation), 0, file.image) != 0) return -1;
    uint8_t key2[kKeySize];
    if (!CheckEventsImage(file.image, identLines, file.identLines, key2)) {
        file = TEventsFile();
        return -1;
    }
    file.areaStart = GetU16(file.image, 7);
    Scramble(file.image.data() + file.areaStart, file.image.size() - file.areaStart, key2);
    file.records = EventRecords(file.image.data(), file.image.size(), file.areaStart);
    return static_cast<int>(file.records.size());
}

int StoreEvents(const std::string& dataFolder, int address, const uint8_t* records, std::size_t count,
                const TIdentLines& identLines) {
    if (address < 1 || address > 65535) return 3;
    if (EventRecords(records, count).empty()) return 0; // nothing to add: the file stays as it is
    const std::string name = EventsFileName(dataFolder, address, 0);
    std::error_code ec;
    fs::create_directories(fs::path(name).parent_path(), ec);
    Bytes image;
    uint8_t key2[kKeySize];
    StoreStart start;
    const int rc = OpenForStore(name, identLines, image, key2, start);
    if (rc != 0) return rc;
    if ((start == StoreStart::RotateFresh || start == StoreStart::RotateCarry) &&
        !RotateGenerations(dataFolder, address))
        return kRenameFailed;
    if (start != StoreStart::Merge) {
        const Bytes carried = start == StoreStart::RotateCarry ? UsableRecords(image, GetU16(image, 7)) : Bytes();
        image = NewEventsHeader(identLines, key2);
        image.insert(image.end(), carried.begin(), carried.end());
    }
    const std::size_t areaStart = GetU16(image, 7);
    MergeRecords(image, areaStart, records, count);
    Scramble(image.data() + areaStart, image.size() - areaStart, key2);
    PutU32(image, 11, static_cast<uint32_t>(image.size()));
    PutU32(image, 15, Crc32(image.data() + kHeaderSize, image.size() - kHeaderSize));
    TPlik plik;
    std::size_t written = 0;
    return plik.WriteWholeFile(name, false, image.data(), image.size(), written);
}

TOpenEvent FindOpenEvent(const std::string& dataFolder, int address, const TIdentLines& identLines) {
    TOpenEvent open;
    if (TPlik::FileSize(EventsFileName(dataFolder, address, 0)) < 20) return open;
    TEventsFile file;
    if (ReadEventsFile(dataFolder, address, 0, identLines, file) <= 0) return open;
    const TEventRecord* chosen = &file.records.back();
    for (const auto& record : file.records) {
        const uint8_t* second = file.image.data() + record.offset + 9;
        if (std::all_of(second, second + 6, [](uint8_t b) { return b == 0; })) {
            chosen = &record;
            break;
        }
    }
    std::memcpy(open.bytes, file.image.data() + chosen->offset + 2, kOpenEventSize);
    return open;
}

std::string FindEventDefinition(const std::string& programFolder, const std::string& brandAndType) {
    std::error_code ec;
    std::vector<fs::path> candidates;
    for (fs::directory_iterator it(programFolder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec) && HasEvtExtension(it->path())) candidates.push_back(it->path());
    }
    std::sort(candidates.begin(), candidates.end());
    const std::string wanted = CompactKey(brandAndType);
    for (const auto& path : candidates) {
        TIni ini(path.string());
        const std::string brand = ini.ReadString("Identity", "Brand", "");
        const std::string type = ini.ReadString("Identity", "Type", "");
        if (CompactKey(brand + type) == wanted) return path.string();
    }
    return {};
}

std::size_t ValueTypeSize(int typeCode) {
    switch (typeCode) {
    case 1: case 4: case 10: return 1;
    case 2: case 5: return 2;
    case 3: case 6: case 7: return 4;
    case 8: return 6;
    case 9: return 8;
    default: return 0;
    }
}

TEventDefinition ReadEventDefinition(TIni& ini, int code) {
    TEventDefinition definition;
    const std::string section = std::to_string(code);
    definition.description = DecodeText(ini.ReadString(section, "EventDescription", ""));
    for (int n = 0;; ++n) {
        const std::string index = std::to_string(n);
        const std::string description = ini.ReadString(section, "ParamDescription" + index, "");
        if (description.empty()) break;
        definition.params.push_back({DecodeText(description), DecodeText(ini.ReadString(section, "ParamUnit" + index, "")),
                                     ParseTypeCode(ini.ReadString(section, "ParamTypeCode" + index, ""))});
    }
    return definition;
}

std::size_t ExpectedEventLength(const TEventDefinition& definition) {
    std::size_t length = kEventHeadSize;
    for (const auto& param : definition.params) length += 1 + ValueTypeSize(param.typeCode);
    return length;
}

bool ParamsForRecord(const TEventDefinition& definition, std::size_t length, std::vector<TEventParamDef>& params) {
    params.clear();
    if (length == ExpectedEventLength(definition)) {
        params = definition.params;
        return true;
    }
    if (length == kStandardVolumeLength) {
        params.push_back({"Liczba m3 w warunkach normalnych", "m3", 7});
        return true;
    }
    return false;
}

std::vector<TEventParamValue> DecodeEventParams(const uint8_t* record, std::size_t length,
                                                const std::vector<TEventParamDef>& params) {
    std::vector<TEventParamValue> values;
    std::size_t at = kEventHeadSize;
    for (const auto& param : params) {
        TEventParamValue value;
        const std::size_t size = ValueTypeSize(param.typeCode);
        if (size > 0 && at + 1 + size <= length) {
            value.hasValue = true;
            value.statusValid = record[at] == 1;
            value.valueValid = ValueToDouble(static_cast<uint8_t>(param.typeCode), record + at + 1, value.value) == 1;
            at += 1 + size;
        }
        values.push_back(value);
    }
    return values;
}

std::string ParamValueText(const TEventParamValue& value) {
    if (!value.hasValue) return {};
    const char* prefix = !value.statusValid ? "! " : (!value.valueValid ? "? " : "");
    const double magnitude = std::fabs(value.value);
    int decimals = 4;
    if (magnitude > 1000) decimals = 0;
    else if (magnitude > 100) decimals = 1;
    else if (magnitude > 10) decimals = 2;
    else if (magnitude > 1) decimals = 3;
    else if (magnitude <= 0.1) decimals = 5;
    return prefix + RoundedText(value.value, decimals);
}

std::string EventStampText(const uint8_t* s) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u-%02u-%02u   %02u:%02u:%02u", s[5], s[4], s[3], s[2], s[1], s[0]);
    return text;
}

} // namespace kiv
