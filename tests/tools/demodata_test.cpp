#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <unistd.h>

#include "config/ini_file.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "data_loader.h"
#include "datafiles/archive.h"
#include "datafiles/events.h"
#include "datafiles/fcc.h"
#include "datafiles/profile.h"
#include "demo_options.h"
#include "demo_writer.h"
#include "profile_loader.h"
#include "support/message_recorder.h"

namespace kiv::demo {
namespace {

namespace fs = std::filesystem;

constexpr TimeStamp kDay = 86400;

TimeStamp Stamp(const std::string &text) {
    TimeStamp stamp = 0;
    EXPECT_TRUE(ParseStamp(text, stamp)) << text;
    return stamp;
}

std::vector<std::string> Split(const std::string &line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    return fields;
}

struct Manifest {
    std::map<int, std::vector<std::pair<TimeStamp, TimeStamp>>> gaps;
    std::map<int, std::vector<std::pair<TimeStamp, TimeStamp>>> invalids;
    std::map<int, std::vector<std::pair<std::string, TimeStamp>>> jumps;
    int com1 = 0;
};

Manifest ReadManifest(const std::string &folder) {
    Manifest m;
    std::ifstream in(folder + kManifestName);
    for (std::string line; std::getline(in, line);) {
        const std::vector<std::string> f = Split(line);
        if (f.size() >= 4 && f[0] == "gap")
            m.gaps[std::stoi(f[1])].push_back({Stamp(f[2]), Stamp(f[3])});
        if (f.size() >= 4 && f[0] == "invalid")
            m.invalids[std::stoi(f[1])].push_back({Stamp(f[2]), Stamp(f[3])});
        if (f.size() >= 5 && f[0] == "jump")
            m.jumps[std::stoi(f[1])].push_back({f[2], Stamp(f[3])});
        if (f.size() >= 2 && f[0] == "com1")
            m.com1 = std::stoi(f[1]);
    }
    return m;
}

std::vector<TReportSample> Load(const std::string &folder, int address, const std::string &channel) {
    TArchive archive;
    TimeStamp start = 0;
    TimeStamp end = 0xFFFFFFFFu;
    EXPECT_EQ(archive.OpenPeriod(folder, address, start, end, channel), 0) << address << " " << channel;
    std::vector<TReportSample> out;
    archive.ReportSamples(out);
    return out;
}

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Channel names of a station from its month file names.
std::set<std::string> Channels(const std::string &folder, int address) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(StationFolderPath(folder, address), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() >= 19 && name.ends_with(".FCD"))
            names.insert(name.substr(14, name.size() - 18));
    }
    return names;
}

DemoOptions Options(const std::string &folder, uint64_t seed = 5) {
    DemoOptions options;
    options.outFolder = folder;
    options.profileFolder = KIV_PROGRAM_DIR;
    options.seed = seed;
    options.from = Stamp("2025-11-01");
    options.until = Stamp("2026-02-01");
    return options;
}

class DemoFolder : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = (fs::temp_directory_path() / ("demodata_" + std::to_string(getpid()))).string() + "/";
        std::string error;
        ASSERT_EQ(WriteDemo(Options(folder_), error), 0) << error;
        db_.Build(folder_);
    }
    static void TearDownTestSuite() { fs::remove_all(folder_); }

    // Short names of the archived items of the station's device profile.
    static std::set<std::string> ArchivedItems(int address) {
        const std::string name =
            ReadIniString("Hardware", "DeviceProfile", "", StationFilePath(folder_, address));
        const std::string programFolder = std::string(KIV_PROGRAM_DIR) + "/";
        TFCProfileRdWr reader;
        std::set<std::string> names;
        for (const std::string &file : TFCProfileRdWr::ListProfiles(programFolder)) {
            TRecProfParams params;
            std::vector<TParamItem> items;
            std::vector<std::string> groups;
            if (!reader.ReadProfile(programFolder + file, params, items, groups) || params.Name() != name)
                continue;
            for (const TParamItem &item : items)
                if (item.HourIndex() >= 0 || item.DayIndex() >= 0)
                    names.insert(item.ShortName());
        }
        return names;
    }

    static std::string folder_;
    static TStationDb db_;
};
std::string DemoFolder::folder_;
TStationDb DemoFolder::db_;

TEST_F(DemoFolder, EveryChannelOpensWithoutMessageAndMatchesTheProfile) {
    MessageRecorder recorder;
    int withArchives = 0;
    for (const TRekStacji &station : db_.Stations()) {
        const std::set<std::string> channels = Channels(folder_, station.address);
        if (!station.hasProfile) {
            EXPECT_TRUE(channels.empty());
            continue;
        }
        ++withArchives;
        std::set<std::string> archived = ArchivedItems(station.address);
        if (!channels.contains("dP"))
            archived.erase("dP"); // no dP sensor fitted
        EXPECT_EQ(channels, archived) << station.address;
        for (const std::string &channel : channels) {
            TArchive archive;
            TimeStamp start = 0;
            TimeStamp end = 0xFFFFFFFFu;
            ASSERT_EQ(archive.OpenPeriod(folder_, station.address, start, end, channel), 0);
            EXPECT_GT(archive.SampleCount(), 80u) << station.address << " " << channel;
            TimeStamp validFrom = 0;
            TParamItem item;
            ASSERT_TRUE(archive.DescriptorEntry(1, validFrom, item));
            EXPECT_EQ(item.ShortName(), channel);
            EXPECT_TRUE(item.HourIndex() >= 0 || item.DayIndex() >= 0);
            for (int month = 1; month <= archive.IdentityCount(); ++month) {
                TDevSign sign;
                ASSERT_TRUE(archive.IdentityEntry(month, validFrom, sign));
                EXPECT_EQ(sign.brand, "Kivmet");
                EXPECT_EQ(sign.serialNumber, ReadIniString("Hardware", "SerialNumber", "",
                                                           StationFilePath(folder_, station.address)));
            }
        }
    }
    EXPECT_EQ(withArchives, 11);
    EXPECT_EQ(recorder.Count(), 0u) << recorder.Last().text;
}

struct DayCheck {
    int matched = 0;
    int plantedMismatches = 0;
};

bool Overlaps(const std::vector<std::pair<TimeStamp, TimeStamp>> &spans, TimeStamp from, TimeStamp to) {
    return std::any_of(spans.begin(), spans.end(),
                       [&](const auto &s) { return s.first <= to && s.second > from; });
}

// Counter readings at the gas-day ends against the increments between them.
DayCheck CheckDays(const std::string &folder, int address, const std::string &counter,
                   const Manifest &manifest) {
    DayCheck check;
    std::map<TimeStamp, double> readings;
    for (const TReportSample &s : Load(folder, address, counter))
        if (s.time % kDay == 22 * 3600 && s.status == 1)
            readings[s.time] = s.value;
    const std::vector<TReportSample> increments = Load(folder, address, "d" + counter);
    std::vector<std::pair<TimeStamp, TimeStamp>> jumps;
    if (manifest.jumps.contains(address))
        for (const auto &[channel, time] : manifest.jumps.at(address))
            if (channel == counter)
                jumps.push_back({time, time + 1});
    const auto gaps = manifest.gaps.contains(address) ? manifest.gaps.at(address) : decltype(jumps){};
    for (const auto &[end, reading] : readings) {
        const auto previous = readings.find(end - kDay);
        if (previous == readings.end())
            continue;
        double sum = 0.0;
        double daily = -1.0;
        for (const TReportSample &s : increments) {
            if (s.time > end - kDay && s.time <= end && s.interval != 1440)
                sum += s.value;
            if (s.time == end && s.interval == 1440)
                daily = s.value;
        }
        const double difference = reading - previous->second;
        const bool planted = Overlaps(gaps, end - kDay, end) || Overlaps(jumps, end - kDay, end);
        if (planted) {
            check.plantedMismatches += std::fabs(difference - sum) > 1.0;
            continue;
        }
        EXPECT_NEAR(difference, sum, 0.02) << address << " " << counter << " " << StampText(end);
        if (daily >= 0.0) {
            EXPECT_NEAR(daily, sum, 0.02) << address << " d" << counter << " " << StampText(end);
        }
        ++check.matched;
    }
    return check;
}

// A gap over a day end takes that reading along; the days around it cannot be compared.
bool CoversDayEnd(const std::pair<TimeStamp, TimeStamp> &gap) {
    for (TimeStamp t = gap.first; t <= gap.second; t += 3600)
        if (t % kDay == 22 * 3600)
            return true;
    return false;
}

TEST_F(DemoFolder, DailyCounterDifferencesEqualIncrementSumsExceptWherePlanted) {
    const Manifest manifest = ReadManifest(folder_);
    ASSERT_FALSE(manifest.gaps.empty());
    ASSERT_FALSE(manifest.jumps.empty());
    for (const TRekStacji &station : db_.Stations()) {
        if (!station.hasProfile)
            continue;
        for (const std::string counter : {"Vn", "Vr"}) {
            const DayCheck check = CheckDays(folder_, station.address, counter, manifest);
            EXPECT_GT(check.matched, 80) << station.address << " " << counter;
            const bool jumped = manifest.jumps.contains(station.address) && counter == std::string("Vn");
            if (jumped) {
                EXPECT_EQ(check.plantedMismatches, 1) << station.address;
            }
            if (manifest.gaps.contains(station.address) &&
                !CoversDayEnd(manifest.gaps.at(station.address)[0])) {
                EXPECT_GE(check.plantedMismatches, 1) << station.address << " " << counter;
            }
        }
    }
}

TEST_F(DemoFolder, InvalidSamplesAreFlaggedAndMeasuredValuesUnreadable) {
    const Manifest manifest = ReadManifest(folder_);
    ASSERT_EQ(manifest.invalids.size(), 1u);
    const auto &[address, spans] = *manifest.invalids.begin();
    int flagged = 0;
    for (const std::string channel : {"dVn", "P"}) {
        for (const TReportSample &s : Load(folder_, address, channel)) {
            const bool inside = s.time >= spans[0].first && s.time <= spans[0].second && s.interval != 1440;
            EXPECT_EQ(s.validity == 0, inside) << channel << " " << StampText(s.time);
            if (inside && channel == std::string("P")) {
                EXPECT_EQ(s.status, 0);
            }
            flagged += inside;
        }
    }
    EXPECT_EQ(flagged, 10);
}

TEST_F(DemoFolder, GapsLeaveNoSamples) {
    const Manifest manifest = ReadManifest(folder_);
    for (const auto &[address, spans] : manifest.gaps)
        for (const std::string channel : {"dVn", "Vn", "t"})
            for (const TReportSample &s : Load(folder_, address, channel))
                EXPECT_FALSE(s.time >= spans[0].first && s.time <= spans[0].second)
                    << address << " " << channel;
}

TEST_F(DemoFolder, StationTreeHasEveryNodeKind) {
    ASSERT_EQ(db_.Count(), 12);
    EXPECT_EQ(db_.Groups().size(), 3u);
    const auto &all = db_.Stations();
    const auto any = [&](auto predicate) { return std::any_of(all.begin(), all.end(), predicate); };
    EXPECT_TRUE(any([](const TRekStacji &s) { return s.groupLabel.empty(); }));
    EXPECT_TRUE(any([](const TRekStacji &s) { return !s.hasProfile; }));
    EXPECT_TRUE(any([](const TRekStacji &s) { return s.hasTelephone && s.hasModemProfile; }));
    EXPECT_TRUE(any([](const TRekStacji &s) { return s.hasTelephone && !s.hasModemProfile; }));
    EXPECT_EQ(db_.TelephoneCount(), 2);
    int quarterHourly = 0;
    for (const TRekStacji &s : all)
        if (s.hasProfile)
            quarterHourly += Load(folder_, s.address, "dVn").front().interval == 15;
    EXPECT_EQ(quarterHourly, 1);
}

TEST_F(DemoFolder, SettingsHoldVirtualStationsTariffsAndModem) {
    const TProgramSettings settings(KivIniPath(folder_));
    EXPECT_EQ(settings.DataPath(), folder_);
    const std::vector<std::string> virtuals = settings.VirtualEntries(folder_);
    ASSERT_EQ(virtuals.size(), 2u);
    std::set<std::string> tariffNames;
    for (const std::string &set : settings.TariffSets())
        tariffNames.insert(set.substr(0, set.find('@')));
    EXPECT_EQ(tariffNames.size(), 2u);
    bool difference = false;
    for (const std::string &text : virtuals) {
        const TVirtualEntry entry = ParseVirtualEntry(text);
        difference = difference || entry.formula.find('-') != std::string::npos;
        EXPECT_NE(entry.capacity, "0");
        if (entry.hasTariff) {
            EXPECT_TRUE(tariffNames.contains(entry.tariffSet)) << entry.tariffSet;
        }
        for (std::size_t at = 0; at < entry.formula.size(); at += 6)
            EXPECT_GE(db_.Find(std::stoi(entry.formula.substr(at + 1, 5))), 1) << entry.formula;
    }
    EXPECT_TRUE(difference);
    EXPECT_EQ(settings.CursorPosition(), "00001 Rozdzielnia Centrum");
    ASSERT_EQ(settings.ModemNames().size(), 1u);
    for (const TRekStacji &s : db_.Stations()) {
        const std::string file = StationFilePath(folder_, s.address);
        const std::string tariff = ReadIniString("Tariff", "TariffSetName", "", file);
        if (!tariff.empty()) {
            EXPECT_TRUE(tariffNames.contains(tariff)) << tariff;
        }
        if (s.hasModemProfile) {
            EXPECT_EQ(ReadIniString("Communication", "ModemProfile", "", file), settings.ModemNames()[0]);
        }
        if (s.hasProfile) {
            EXPECT_GT(ReadIniInteger("Measurements", "PeakFlow", 0, file), 1);
        }
    }
}

TEST_F(DemoFolder, EventsAndCurrentDataReadBack) {
    for (const TRekStacji &s : db_.Stations()) {
        if (!s.hasProfile)
            continue;
        TEventsFile events;
        EXPECT_GT(ReadEventsFile(folder_, s.address, 0, {}, events), 5) << s.address;
        EXPECT_FALSE(
            FindEventDefinition(KIV_PROGRAM_DIR, events.identLines[0] + events.identLines[1]).empty());
        TFileFCC fcc;
        std::size_t count = 0;
        const uint8_t *values = nullptr;
        TimeStamp time = 0;
        std::string profile;
        ASSERT_EQ(fcc.ReadCurrentData(folder_, s.address, count, values, time, profile), 0);
        EXPECT_NE(values, nullptr);
        EXPECT_EQ(profile,
                  ReadIniString("Hardware", "DeviceProfile", "", StationFilePath(folder_, s.address)));
    }
}

TEST_F(DemoFolder, SimulatorTakesTheCom1StationsArchives) {
    const int address = ReadManifest(folder_).com1;
    ASSERT_GT(address, 0);
    devsim::SimProfile profile;
    std::string error;
    ASSERT_TRUE(devsim::LoadProfile(std::string(KIV_PROGRAM_DIR) + "/KM100.FCP", profile, error)) << error;
    devsim::DeviceData data;
    data.address = static_cast<uint16_t>(address);
    ASSERT_TRUE(devsim::LoadArchives(folder_, profile, data, error)) << error;
    EXPECT_EQ(data.hourly.intervalMinutes, 60);
    ASSERT_FALSE(data.hourly.times.empty());
    EXPECT_EQ(data.hourly.times.back(), Stamp("2026-02-01"));
    EXPECT_EQ(data.daily.times.back(), Stamp("2026-01-31 22:00:00"));
}

// The same seed and start give the same samples however far the span reaches,
// so a simulated device can continue the demo archive.
TEST(DemoData, SameSeedContinuesTheArchiveAndAnotherSeedDiffers) {
    const std::string base =
        (fs::temp_directory_path() / ("demodata_seed_" + std::to_string(getpid()))).string();
    DemoOptions longer = Options(base + "/long/");
    longer.until = Stamp("2026-02-10 13:00:00");
    longer.onlyAddress = 1;
    DemoOptions shorter = Options(base + "/short/");
    shorter.onlyAddress = 1;
    DemoOptions other = Options(base + "/other/", 6);
    other.onlyAddress = 1;
    DemoOptions again = Options(base + "/again/");
    again.onlyAddress = 1;
    std::string error;
    for (const DemoOptions *o : {&longer, &shorter, &other, &again})
        ASSERT_EQ(WriteDemo(*o, error), 0) << error;
    EXPECT_FALSE(fs::exists(base + "/long/Kiv.ini"));
    // Keys and unused sample bytes follow the seed too: the same folder byte for byte.
    std::size_t compared = 0;
    for (const auto &entry : fs::recursive_directory_iterator(shorter.outFolder)) {
        if (!entry.is_regular_file())
            continue;
        const fs::path twin = again.outFolder / fs::relative(entry.path(), shorter.outFolder);
        EXPECT_EQ(ReadFile(entry.path().string()), ReadFile(twin.string())) << twin;
        ++compared;
    }
    EXPECT_GT(compared, 3u);
    for (const std::string channel : {"dVn", "Vn", "Vr", "t"}) {
        const auto a = Load(shorter.outFolder, 1, channel);
        auto b = Load(longer.outFolder, 1, channel);
        ASSERT_GT(b.size(), a.size());
        EXPECT_EQ(b.back().time,
                  longer.until -
                      (channel == std::string("Vn") || channel == std::string("Vr") ? 15 * 3600 : 0));
        b.resize(a.size());
        for (std::size_t i = 0; i < a.size(); ++i) {
            ASSERT_EQ(a[i].time, b[i].time);
            ASSERT_EQ(a[i].value, b[i].value) << channel << " " << StampText(a[i].time);
        }
        const auto c = Load(other.outFolder, 1, channel);
        ASSERT_EQ(c.size(), a.size());
        EXPECT_FALSE(std::equal(a.begin(), a.end(), c.begin(),
                                [](const auto &x, const auto &y) { return x.value == y.value; }));
    }
    fs::remove_all(base);
}

TEST(DemoData, CommandLine) {
    const TimeStamp now = Stamp("2026-03-15 10:42:17");
    struct Case {
        std::vector<std::string> args;
        Command command;
        std::string from;
        std::string until;
    };
    const Case cases[] = {
        {{"out"}, Command::Generate, "2024-03-15", "2026-03-15"},
        {{"out", "--until", "now"}, Command::Generate, "2024-03-15", "2026-03-15 10:00:00"},
        {{"out", "--until", "2026-01-31", "--from", "2025-11-01"},
         Command::Generate,
         "2025-11-01",
         "2026-02-01"},
        {{"out", "--until", "2026-02-30"}, Command::Error, "", ""},
        {{"out", "--from", "2026-03-10"}, Command::Error, "", ""},
        {{"out", "--only", "0"}, Command::Error, "", ""},
        {{"out", "--seed"}, Command::Error, "", ""},
        {{"out", "extra"}, Command::Error, "", ""},
        {{}, Command::Error, "", ""},
        {{"--set-port", "demo", "COM1", "/dev/pts/4"}, Command::SetPort, "", ""},
        {{"--set-port", "demo", "COM1"}, Command::Error, "", ""},
        {{"--help"}, Command::Help, "", ""},
    };
    for (const Case &c : cases) {
        const CommandLine line = ParseCommandLine(c.args, now, "/prog/");
        ASSERT_EQ(line.command, c.command) << (c.args.empty() ? "" : c.args.back());
        if (c.command == Command::Error) {
            EXPECT_FALSE(line.error.empty());
        }
        if (c.from.empty())
            continue;
        EXPECT_EQ(line.demo.from, Stamp(c.from));
        EXPECT_EQ(line.demo.until, Stamp(c.until));
        EXPECT_EQ(line.demo.profileFolder, "/prog/");
    }
}

TEST(DemoData, PortMappingGoesIntoKivIni) {
    const std::string folder =
        (fs::temp_directory_path() / ("demodata_port_" + std::to_string(getpid()))).string();
    ASSERT_TRUE(SetPortMapping(folder, "COM1", "/dev/pts/9"));
    ASSERT_TRUE(SetPortMapping(folder, "COM1", "/dev/pts/7"));
    EXPECT_EQ(TProgramSettings(KivIniPath(folder + "/")).PortDeviceName("COM1"), "/dev/pts/7");
    fs::remove_all(folder);
}

} // namespace
} // namespace kiv::demo
