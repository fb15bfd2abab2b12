#include "demo_writer.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>
#include <vector>

#include "config/ini_file.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "config/tini.h"
#include "datafiles/archive.h"
#include "datafiles/events.h"
#include "datafiles/fcc.h"
#include "datafiles/profile.h"
#include "datafiles/real48.h"
#include "demo_plan.h"
#include "demo_series.h"
#include "support/helpers.h"

namespace kiv::demo {
namespace {

constexpr uint16_t kDailyInterval = 1440;

struct LoadedProfile {
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
};

using ProfileCache = std::map<std::string, LoadedProfile>;

bool LoadProfiles(const DemoPlan &plan, const std::string &folder, ProfileCache &cache, std::string &error) {
    for (const StationPlan &s : plan.stations) {
        if (s.profileFile.empty() || cache.contains(s.profileFile))
            continue;
        LoadedProfile p;
        TFCProfileRdWr reader;
        if (!reader.ReadProfile(folder + s.profileFile, p.params, p.items, p.groups)) {
            error = "cannot read the device profile " + folder + s.profileFile;
            return false;
        }
        cache[s.profileFile] = std::move(p);
    }
    return true;
}

// The value in the first bytes of an 8-byte field, as its type code stores it.
void EncodeValue(uint8_t typeCode, double value, uint8_t *out) {
    std::memset(out, 0, 8);
    switch (typeCode) {
    case 1:
    case 4:
    case 10:
        out[0] = static_cast<uint8_t>(static_cast<int>(std::lround(value)));
        break;
    case 2:
    case 5: {
        const auto v = static_cast<uint16_t>(static_cast<int>(std::lround(value)));
        std::memcpy(out, &v, 2);
        break;
    }
    case 3:
    case 6: {
        const auto v = static_cast<uint32_t>(std::llround(value));
        std::memcpy(out, &v, 4);
        break;
    }
    case 7: {
        const auto v = static_cast<float>(value);
        std::memcpy(out, &v, 4);
        break;
    }
    case 8:
        DoubleToReal48(value, out);
        break;
    case 9:
        std::memcpy(out, &value, 8);
        break;
    default:
        break;
    }
}

void PutU32(uint8_t *at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(v >> (8 * i));
}

// An unreadable value keeps its flag cleared and, where the type allows, an
// impossible number, as a device stores a failed measurement.
void AppendSample(Bytes &out, TimeStamp time, uint16_t interval, uint8_t typeCode, bool valid, double value,
                  bool unreadable = false) {
    uint8_t slot[kSampleSlotSize] = {};
    slot[0] = valid ? 1 : 0;
    if (!unreadable || typeCode != 7) {
        EncodeValue(typeCode, value, slot + 1);
    } else {
        const uint32_t unreadable = 0x7FC00000u; // exponent bits all set
        PutU32(slot + 1, unreadable);
    }
    uint8_t record[kSampleSize];
    EncodeSample(record, time, interval, typeCode, slot, 1 + ValueTypeSize(typeCode));
    out.insert(out.end(), record, record + kSampleSize);
}

bool IsMeasured(const std::string &name) {
    return name == "P" || name == "t" || name == "dP";
}

bool IntervalValue(const std::string &name, const IntervalValues &v, double &value) {
    static const std::map<std::string, double IntervalValues::*> doubles = {{"Vn", &IntervalValues::Vn},
                                                                            {"Vr", &IntervalValues::Vr}};
    static const std::map<std::string, float IntervalValues::*> floats = {{"dVn", &IntervalValues::dVn},
                                                                          {"dVr", &IntervalValues::dVr},
                                                                          {"P", &IntervalValues::P},
                                                                          {"t", &IntervalValues::t},
                                                                          {"dP", &IntervalValues::dP}};
    if (const auto d = doubles.find(name); d != doubles.end()) {
        value = v.*(d->second);
        return true;
    }
    if (const auto f = floats.find(name); f != floats.end()) {
        value = static_cast<double>(v.*(f->second));
        return true;
    }
    return false;
}

bool DayValue(const std::string &name, const DayValues &d, double &value) {
    if (name == "Vn" || name == "Vr") {
        value = name == "Vn" ? d.Vn : d.Vr;
        return true;
    }
    if (!d.hasIncrements || (name != "dVn" && name != "dVr"))
        return false;
    value = static_cast<double>(name == "dVn" ? d.dVn : d.dVr);
    return true;
}

TDevSign SignOf(const StationPlan &s, const LoadedProfile &p) {
    return {p.params.texts[1], s.serial, p.params.texts[2], kLastNameplateText, "", ""};
}

int WriteArchives(const std::string &folder, const StationPlan &s, const LoadedProfile &p,
                  const StationSeries &series, std::string &error) {
    std::map<std::string, bool> done;
    for (const TParamItem &item : p.items) {
        const std::string name = item.ShortName();
        if (!item.HasArchive() || done[name])
            continue;
        done[name] = true;
        if (name == "dP" && !s.hasDpSensor)
            continue;
        Bytes samples;
        double value = 0.0;
        if (item.HourIndex() >= 0)
            for (const IntervalValues &v : series.intervals)
                if (IntervalValue(name, v, value))
                    AppendSample(samples, v.time, static_cast<uint16_t>(s.intervalMinutes),
                                 item.HourTypeCode(), v.valid, value, !v.valid && IsMeasured(name));
        if (item.DayIndex() >= 0)
            for (const DayValues &d : series.days)
                if (DayValue(name, d, value))
                    AppendSample(samples, d.time, kDailyInterval, item.DayTypeCode(), true, value);
        if (samples.empty())
            continue;
        TArchive archive;
        const int code =
            archive.StoreSamples(folder, s.address, item, samples.data(), samples.size(), SignOf(s, p), name);
        if (code != 0) {
            error = "cannot store the archive " + name + " of station " + std::to_string(s.address) +
                    " (code " + std::to_string(code) + ")";
            return code;
        }
    }
    return 0;
}

int PeakFlow(const StationPlan &s) {
    return static_cast<int>(std::ceil(s.baseFlow * 2.2 / 10.0)) * 10;
}

bool WriteStationFile(const std::string &folder, const StationPlan &s, const LoadedProfile *p) {
    CreateStation(folder, s.address, s.label);
    return EditIniFile(StationFilePath(folder, s.address), false, [&](IniDocument &doc) {
        doc.WriteString("Main", "Label", s.label);
        if (!s.group.empty())
            doc.WriteString("Main", "GroupLabel", s.group);
        if (!s.telephone.empty())
            doc.WriteString("Main", "TelephoneNumber", s.telephone);
        if (p != nullptr) {
            doc.WriteString("Hardware", "DeviceProfile", p->params.Name());
            doc.WriteString("Hardware", "SerialNumber", s.serial);
            doc.WriteString("Hardware", "Brand", p->params.texts[1]);
            doc.WriteString("Hardware", "Type", p->params.texts[2]);
        }
        doc.WriteString("Communication", "ModemProfile", s.modemProfile);
        doc.WriteString("Communication", "Prefix", BoolToText(!s.telephone.empty()));
        doc.WriteString("Communication", "ConnType", "COM");
        doc.WriteString("Communication", "ComNumber", s.comNumber);
        doc.WriteString("Communication", "BaudRate", "9600");
        doc.WriteString("Communication", "Parity", "None");
        if (s.baseFlow > 0.0)
            doc.WriteString("Measurements", "PeakFlow", std::to_string(PeakFlow(s)));
        if (!s.tariffSet.empty())
            doc.WriteString("Tariff", "TariffSetName", s.tariffSet);
        return true;
    });
}

// ---- events ----

std::vector<int> EventCodes(TIni &ini) {
    std::vector<int> codes;
    for (int code = 1; code < 256; ++code)
        if (!ReadEventDefinition(ini, code).description.empty())
            codes.push_back(code);
    return codes;
}

void PutStamp(uint8_t *at, TimeStamp time) {
    const TDateTime dt = DecodeTime(time);
    const uint16_t parts[6] = {dt.second, dt.minute, dt.hour,
                               dt.day,    dt.month,  static_cast<uint16_t>(dt.year % 100)};
    for (int i = 0; i < 6; ++i)
        at[i] = static_cast<uint8_t>(parts[i]);
}

uint64_t Mix(uint64_t x) {
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

Bytes EventRecord(const TEventDefinition &def, int code, TimeStamp first, TimeStamp second, uint64_t random) {
    Bytes record(ExpectedEventLength(def), 0);
    record[0] = static_cast<uint8_t>(record.size());
    record[1] = static_cast<uint8_t>(record.size() >> 8);
    record[2] = static_cast<uint8_t>(code);
    PutStamp(record.data() + 3, first);
    if (second != 0)
        PutStamp(record.data() + 9, second);
    std::size_t at = kEventHeadSize;
    for (const TEventParamDef &param : def.params) {
        record[at] = 1;
        uint8_t value[8];
        EncodeValue(static_cast<uint8_t>(param.typeCode), static_cast<double>(random % 400) / 4.0 + 1.0,
                    value);
        std::memcpy(record.data() + at + 1, value, ValueTypeSize(param.typeCode));
        at += 1 + ValueTypeSize(param.typeCode);
        random = Mix(random);
    }
    return record;
}

int WriteEvents(const std::string &folder, const std::string &profileFolder, const StationPlan &s,
                const LoadedProfile &p, uint64_t seed, TimeStamp from, TimeStamp until) {
    const std::string evt = FindEventDefinition(profileFolder, p.params.texts[1] + p.params.texts[2]);
    if (evt.empty())
        return 0;
    TIni ini(evt);
    const std::vector<int> codes = EventCodes(ini);
    if (codes.empty())
        return 0;
    Bytes records;
    uint64_t random = Mix(seed * 7919 + static_cast<uint64_t>(s.address));
    for (TimeStamp time = from + static_cast<TimeStamp>(random % 259200); time < until;) {
        random = Mix(random);
        const int code = codes[random % codes.size()];
        const TimeStamp next = time + 86400 + static_cast<TimeStamp>(Mix(random) % (6 * 86400));
        const TimeStamp second = next < until ? time + 300 + static_cast<TimeStamp>(random % 7200) : 0;
        const Bytes record = EventRecord(ReadEventDefinition(ini, code), code, time, second, Mix(random + 1));
        records.insert(records.end(), record.begin(), record.end());
        time = next;
    }
    const TIdentLines lines = {p.params.texts[1], p.params.texts[2], s.serial, "", kLastNameplateText, ""};
    return StoreEvents(folder, s.address, records.data(), records.size(), lines);
}

// ---- current data ----

double CurrentValue(const std::string &name, const StationPlan &s, const IntervalValues &last) {
    double value = 0.0;
    if (IntervalValue(name, last, value))
        return value;
    static const std::map<std::string, double> fixed = {
        {"Bat", 87}, {"tel", 21}, {"Start", 3}, {"Z", 0.9971}};
    if (const auto f = fixed.find(name); f != fixed.end())
        return f->second;
    if (name == "dPmax")
        return s.hasDpSensor ? 100.0 : 0.0;
    if (name == "C")
        return last.P / 1.01325 * 273.15 / (273.15 + last.t) / 0.997;
    if (name == "Qn")
        return static_cast<double>(last.dVn) * 60.0 / s.intervalMinutes;
    return 0.0;
}

void AppendCurrent(Bytes &out, const TParamItem &item, const StationPlan &s, const IntervalValues &last) {
    out.push_back(1);
    const std::string name = item.ShortName();
    if (item.TypeCode() == 12) {
        out.insert(out.end(), s.serial.begin(), s.serial.end());
        out.push_back(0);
    } else if (item.TypeCode() == 11) {
        out.insert(out.end(), {0x20, 0x24, 0x05, 0x17, 0xFF});
    } else {
        uint8_t value[8];
        EncodeValue(item.TypeCode(), CurrentValue(name, s, last), value);
        out.insert(out.end(), value, value + ValueTypeSize(item.TypeCode()));
        if (item.TypeCode() == 10)
            out.back() = 0;
    }
}

int WriteCurrentData(const std::string &folder, const StationPlan &s, const LoadedProfile &p,
                     const StationSeries &series) {
    if (series.intervals.empty())
        return 0;
    std::vector<TParamItem> items = p.items;
    items.resize(
        static_cast<std::size_t>(TFCProfileRdWr::CompactItems(items.data(), static_cast<int>(items.size()))));
    Bytes values;
    for (const TParamItem &item : items)
        AppendCurrent(values, item, s, series.intervals.back());
    TFileFCC fcc;
    return fcc.WriteCurrentData(folder, s.address, values.size(), values.data(), series.intervals.back().time,
                                p.params.Name(),
                                {p.params.texts[1], p.params.texts[2], s.serial, kLastNameplateText});
}

// ---- Kiv.ini and manifest ----

// The program opens on the station the simulator plays, ready for a read-out.
std::string StartCaption(const DemoPlan &plan) {
    const StationPlan *com1 = Com1Station(plan);
    return com1 == nullptr ? std::string() : FiveDigits(com1->address) + " " + com1->label;
}

bool WriteSettings(const std::string &folder, const DemoPlan &plan) {
    const TProgramSettings settings(KivIniPath(folder));
    const ModemPlan modem = DemoModem();
    std::vector<std::string> virtuals;
    for (const VirtualPlan &v : VirtualStations()) {
        TVirtualEntry entry;
        entry.label = v.label;
        entry.formula = v.formula;
        entry.capacity = v.capacity;
        entry.tariffSet = v.tariffSet;
        entry.hasTariff = !v.tariffSet.empty();
        virtuals.push_back(FormatVirtualEntry(entry));
    }
    return settings.SetDataPath(0, folder) && settings.SetModemNames({modem.name}) &&
           settings.SetModemPort(1, modem.port) && settings.SetModemSpeed(1, modem.speed) &&
           settings.SetModemInitString(1, modem.initString) && settings.SetRepBaseHourShift(-2) &&
           settings.SetTariffSets(TariffSetEntries()) && settings.SetVirtualEntries(folder, virtuals) &&
           settings.SetCursorPosition(StartCaption(plan));
}

bool WriteManifest(const std::string &folder, const DemoOptions &options, const DemoPlan &plan) {
    std::ofstream out(folder + kManifestName, std::ios::trunc);
    out << "# Demo data folder written by kiv-demodata: the span and the faults planted on purpose.\n";
    out << "seed\t" << options.seed << "\nfrom\t" << StampText(options.from, 3) << "\nuntil\t"
        << StampText(options.until) << "\n";
    if (const StationPlan *com1 = Com1Station(plan))
        out << "com1\t" << com1->address << '\t' << com1->profileFile << '\t' << com1->serial << '\t'
            << kLastNameplateText << "\n";
    for (const PlantedGap &g : plan.gaps)
        out << "gap\t" << g.address << '\t' << StampText(g.first) << '\t' << StampText(g.last) << "\n";
    for (const PlantedInvalid &g : plan.invalids)
        out << "invalid\t" << g.address << '\t' << StampText(g.first) << '\t' << StampText(g.last) << "\n";
    for (const PlantedJump &j : plan.jumps)
        out << "jump\t" << j.address << '\t' << j.channel << '\t' << StampText(j.time) << '\t' << j.amount
            << "\n";
    return static_cast<bool>(out.flush());
}

std::string AbsoluteFolder(const std::string &folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::filesystem::path path =
        std::filesystem::weakly_canonical(std::filesystem::absolute(folder), ec);
    std::string text = path.string();
    if (text.empty() || text.back() != '/')
        text += '/';
    return text;
}

int WriteStation(const std::string &folder, const DemoOptions &options, const DemoPlan &plan,
                 const StationPlan &s, const ProfileCache &profiles, std::string &error) {
    const auto found = profiles.find(s.profileFile);
    const LoadedProfile *profile = found == profiles.end() ? nullptr : &found->second;
    if (!WriteStationFile(folder, s, profile)) {
        error = "cannot write the station file " + StationFilePath(folder, s.address);
        return 1;
    }
    if (profile == nullptr)
        return 0;
    const StationSeries series = MakeSeries(s, plan, options.seed, options.from, options.until);
    if (const int code = WriteArchives(folder, s, *profile, series, error); code != 0)
        return code;
    if (options.onlyAddress != 0)
        return 0;
    if (WriteEvents(folder, options.profileFolder, s, *profile, options.seed, options.from, options.until) !=
            0 ||
        WriteCurrentData(folder, s, *profile, series) != 0) {
        error = "cannot write the events or current data of station " + std::to_string(s.address);
        return 1;
    }
    return 0;
}

// Each archive month is written with a flush to disk, thousands of them: the
// stations are written into a memory-backed folder when there is one and
// copied over as a whole, which takes a second instead of half a minute.
std::string StagingFolder() {
    std::error_code ec;
    const std::filesystem::path shm = "/dev/shm";
    if (!std::filesystem::is_directory(shm, ec))
        return {};
    const std::filesystem::path stage = shm / ("kiv-demodata-" + std::to_string(::getpid()));
    std::filesystem::remove_all(stage, ec);
    if (!std::filesystem::create_directory(stage, ec))
        return {};
    return stage.string() + "/";
}

bool MoveStations(const std::string &stage, const std::string &folder, std::string &error) {
    std::error_code ec;
    std::filesystem::copy(
        stage, folder,
        std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing, ec);
    std::error_code ignored;
    std::filesystem::remove_all(stage, ignored);
    if (ec)
        error = "cannot copy the stations into " + folder + ": " + ec.message();
    return !ec;
}

int WriteStations(const std::string &folder, const DemoOptions &options, const DemoPlan &plan,
                  std::string &error) {
    ProfileCache profiles;
    if (!LoadProfiles(plan, PathWithSeparator(options.profileFolder), profiles, error))
        return 1;
    bool found = options.onlyAddress == 0;
    for (const StationPlan &s : plan.stations) {
        if (options.onlyAddress != 0 && s.address != options.onlyAddress)
            continue;
        found = true;
        if (const int code = WriteStation(folder, options, plan, s, profiles, error); code != 0)
            return code;
    }
    if (!found) {
        error = "the demo has no station " + std::to_string(options.onlyAddress);
        return 1;
    }
    return 0;
}

} // namespace

int WriteDemo(const DemoOptions &options, std::string &error) {
    if (options.until <= options.from + 7 * 86400) {
        error = "the span must be longer than a week";
        return 1;
    }
    const std::string folder = AbsoluteFolder(options.outFolder);
    // Keys and unused sample bytes follow the seed too: one seed, one folder, byte for byte.
    SeedDataRandom(static_cast<uint32_t>(options.seed ^ (options.seed >> 32)));
    const DemoPlan plan = MakePlan(options.from, options.until);
    const std::string stage = StagingFolder();
    const int code = WriteStations(stage.empty() ? folder : stage, options, plan, error);
    if (!stage.empty() && !MoveStations(stage, folder, error) && code == 0)
        return 1;
    if (code != 0 || options.onlyAddress != 0)
        return code;
    if (!WriteSettings(folder, plan) || !WriteManifest(folder, options, plan)) {
        error = "cannot write Kiv.ini or the manifest in " + folder;
        return 1;
    }
    return 0;
}

bool SetPortMapping(const std::string &folder, const std::string &port, const std::string &device) {
    return WriteIniString("Ports", port, device, KivIniPath(AbsoluteFolder(folder)));
}

} // namespace kiv::demo
