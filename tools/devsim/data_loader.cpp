#include "data_loader.h"

#include <algorithm>
#include <set>

#include "datafiles/archive.h"

namespace kiv::devsim {
namespace {

constexpr uint16_t kDailyInterval = 1440;

struct LoadedSample {
    uint32_t time;
    Bytes value;
};

// The stored record as the device sends it: the validity flag as the status
// byte, then the value bytes of its type.
Bytes WireValue(const uint8_t* record, uint8_t typeCode) {
    const uint8_t* value = record + 8;
    Bytes out{record[7]};
    const int size = FixedValueSize(typeCode);
    if (size > 0) {
        out.insert(out.end(), value, value + size - 1);
        return out;
    }
    const uint8_t end = typeCode == 11 ? 0xFF : 0x00;
    const uint8_t* stop = std::find(value, value + 8, end);
    out.insert(out.end(), value, stop);
    out.push_back(end);
    return out;
}

Bytes MissingValue(uint8_t typeCode) {
    Bytes out(static_cast<std::size_t>(std::max(FixedValueSize(typeCode), 1)), 0);
    if (typeCode == 11) out.push_back(0xFF);
    if (typeCode == 12) out.push_back(0x00);
    return out;
}

using ChannelSamples = std::map<uint16_t, std::pair<uint8_t, std::vector<LoadedSample>>>;
// The archived numbers of each parameter, by short name.
using Readings = std::map<std::string, std::vector<TReportSample>>;

void BuildTable(const ChannelSamples& channels, ArchiveTable& table) {
    std::set<uint32_t> times;
    for (const auto& [index, typed] : channels)
        for (const LoadedSample& s : typed.second) times.insert(s.time);
    table.times.assign(times.begin(), times.end());
    table.channels.clear();
    for (const auto& [index, typed] : channels) {
        ArchiveChannel& channel = table.channels[index];
        channel.typeCode = typed.first;
        channel.values.assign(table.times.size(), MissingValue(typed.first));
        for (const LoadedSample& s : typed.second) {
            const std::size_t at = table.FirstAtOrAfter(s.time);
            channel.values[at] = s.value;
        }
    }
}

const TReportSample* Newest(const std::vector<TReportSample>& samples) {
    const auto newest = std::max_element(samples.begin(), samples.end(),
                                         [](const TReportSample& a, const TReportSample& b) { return a.time < b.time; });
    return newest == samples.end() ? nullptr : &*newest;
}

// The increments stamped after `time`, from the finest archive that holds
// them: the daily increments only repeat the sums of the hourly ones.
double IncrementsAfter(const std::vector<TReportSample>& increments, uint32_t time) {
    uint16_t finest = 0xFFFF;
    for (const TReportSample& s : increments) finest = std::min(finest, s.interval);
    double sum = 0.0;
    for (const TReportSample& s : increments)
        if (s.interval == finest && s.time > time) sum += s.value;
    return sum;
}

// A meter's counter runs on between two readings: what it shows now is the
// newest archived reading plus the increments archived since. Other archived
// parameters show their newest sample; the rest keep their generated values.
void ContinueCurrentValues(const SimProfile& profile, const Readings& readings, DeviceData& data) {
    for (const SimItem& item : profile.items) {
        const auto own = readings.find(item.shortName);
        if (item.paramNumber < 0 || own == readings.end()) continue;
        const TReportSample* newest = Newest(own->second);
        if (newest == nullptr) continue;
        double value = newest->value;
        const auto increments = readings.find(item.pairedName);
        if (item.kind == "V" && increments != readings.end()) value += IncrementsAfter(increments->second, newest->time);
        data.current[item.paramNumber] = MakeValue(item.typeCode, value);
    }
}

} // namespace

bool LoadArchives(const std::string& dataFolder, const SimProfile& profile, DeviceData& data, std::string& error) {
    std::string folder = dataFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    ChannelSamples hourly;
    ChannelSamples daily;
    uint16_t hourlyInterval = 0;
    Readings readings;
    std::set<std::string> done;
    for (const SimItem& item : profile.items) {
        if ((item.hourIndex < 0 && item.dayIndex < 0) || !done.insert(item.shortName).second) continue;
        TArchive archive;
        TimeStamp start = 0;
        TimeStamp end = 0xFFFFFFFFu;
        const int status = archive.OpenPeriod(folder, data.address, start, end, item.shortName);
        if (status != 0 && status != ArcNoFile) {
            error = "cannot read the archive of " + item.shortName + " (code " + std::to_string(status) + ")";
            return false;
        }
        if (item.hourIndex >= 0) hourly[static_cast<uint16_t>(item.hourIndex)].first = item.hourType;
        if (item.dayIndex >= 0) daily[static_cast<uint16_t>(item.dayIndex)].first = item.dayType;
        std::vector<TReportSample> numbers;
        archive.ReportSamples(numbers);
        for (const TReportSample& s : numbers)
            if (s.status == 1) readings[item.shortName].push_back(s);
        const Bytes& records = archive.Samples();
        for (std::size_t at = 0; at + kSampleSize <= records.size(); at += kSampleSize) {
            const uint8_t* record = records.data() + at;
            const uint32_t time = record[0] | record[1] << 8 | record[2] << 16 | static_cast<uint32_t>(record[3]) << 24;
            const auto interval = static_cast<uint16_t>(record[4] | record[5] << 8);
            const bool isDaily = interval == kDailyInterval;
            const int32_t index = isDaily ? item.dayIndex : item.hourIndex;
            if (index < 0) continue;
            auto& target = (isDaily ? daily : hourly)[static_cast<uint16_t>(index)];
            target.second.push_back({time, WireValue(record, target.first)});
            if (!isDaily && hourlyInterval == 0) hourlyInterval = interval;
        }
    }
    BuildTable(hourly, data.hourly);
    data.hourly.intervalMinutes = hourlyInterval != 0 ? hourlyInterval : 60;
    BuildTable(daily, data.daily);
    data.daily.intervalMinutes = kDailyInterval;
    ContinueCurrentValues(profile, readings, data);
    return true;
}

} // namespace kiv::devsim
