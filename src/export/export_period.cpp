#include "export/export_period.h"

#include "reports/archive_access.h"

#include <algorithm>
#include <cstdio>

namespace kiv {
namespace {

constexpr int32_t kHourSeconds = 3600;
constexpr uint16_t kDayMinutes = 1440;

TimeStamp Moved(TimeStamp stamp, int32_t seconds) {
    const int64_t moved = int64_t{stamp} + seconds;
    return static_cast<TimeStamp>(std::clamp<int64_t>(moved, 0, int64_t{0xFFFFFFFFu}));
}

std::string DayText(TimeStamp stamp) {
    const TDateTime dt = DecodeTime(stamp);
    char text[32];
    std::snprintf(text, sizeof text, "%02u.%02u.%04u", unsigned{dt.day}, unsigned{dt.month}, unsigned{dt.year});
    return text;
}

} // namespace

bool ShiftPeriod(const TExportRequest &request, TExportPeriod &period) {
    TimeStamp start = request.start;
    TimeStamp end = request.end;
    if (!ClipToAcceptedRange(start, end, request.lower, request.upper))
        return false;
    period.shift = request.hourShift * kHourSeconds;
    period.start = Moved(start, period.shift);
    period.end = Moved(end, period.shift);
    return true;
}

std::string ExportPeriodText(const TExportPeriod &period) {
    return "Za okres:" + DayText(Moved(period.start, -period.shift)) + " - " +
           DayText(Moved(period.end, -period.shift - 1));
}

std::string StationKey(const std::string &keyLabel) { return keyLabel.substr(0, keyLabel.find('@')); }

int StationKeyAddress(const std::string &key) {
    if (key.empty() || key.size() > 5 || !std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return std::stoi(key);
}

std::vector<TReportSample> LoadExportSamples(const std::string &dataFolder, int address,
                                             const std::string &parameter, TimeStamp from, TimeStamp to) {
    std::vector<TReportSample> samples;
    TArchive archive;
    if (archive.OpenPeriod(dataFolder, address, from, to, parameter) != 0)
        return samples;
    archive.ReportSamples(samples);
    const bool shorter = std::any_of(samples.begin(), samples.end(),
                                     [](const TReportSample &s) { return s.interval < kDayMinutes; });
    if (shorter)
        std::erase_if(samples, [](const TReportSample &s) { return s.interval >= kDayMinutes; });
    return samples;
}

void NoteWritten(TExportOutcome &outcome, const std::string &path) {
    if (std::find(outcome.written.begin(), outcome.written.end(), path) == outcome.written.end())
        outcome.written.push_back(path);
}

} // namespace kiv
