#include "export/export_period.h"

#include "config/station_db.h"
#include "reports/archive_access.h"
#include "support/helpers.h"

#include <algorithm>

namespace kiv {
namespace {

constexpr int32_t kHourSeconds = 3600;

TimeStamp Moved(TimeStamp stamp, int32_t seconds) {
    const int64_t moved = int64_t{stamp} + seconds;
    return static_cast<TimeStamp>(std::clamp<int64_t>(moved, 0, int64_t{0xFFFFFFFFu}));
}

std::string DayText(TimeStamp stamp) {
    const TDateTime dt = DecodeTime(stamp);
    return DottedDateText(dt.year, dt.month, dt.day);
}

} // namespace

bool ShiftPeriod(const TExportRequest &request, TExportPeriod &period) {
    TExportRequest clipped = request;
    if (!ClipToAcceptedRange(clipped.start, clipped.end, request.lower, request.upper))
        return false;
    period = MovedPeriod(clipped);
    return true;
}

TExportPeriod MovedPeriod(const TExportRequest &request) {
    const int32_t shift = request.hourShift * kHourSeconds;
    return {shift, Moved(request.start, shift), Moved(request.end, shift)};
}

std::string ExportPeriodText(const TExportPeriod &period) {
    return "Za okres:" + DayText(Moved(period.start, -period.shift)) + " - " +
           DayText(Moved(period.end, -period.shift - 1));
}

std::string StationKey(const std::string &keyLabel) { return keyLabel.substr(0, keyLabel.find('@')); }

int LoadExportSamples(const std::string &dataFolder, int address, const std::string &parameter, TimeStamp from,
                      TimeStamp to, bool counter, std::vector<TReportSample> &samples) {
    samples.clear();
    TArchive archive;
    TimeStamp start = counter && from > 0 ? from - 1 : from;
    const int status = archive.OpenPeriod(dataFolder, address, start, to, parameter);
    if (status != 0)
        return status;
    archive.ReportSamples(samples);
    if (!counter)
        std::erase_if(samples, IsDailySample);
    return status;
}

bool ExportReadFailed(int status) { return status != 0 && status != ArcNoFile; }

void NoteWritten(TExportOutcome &outcome, const std::string &path) {
    if (std::find(outcome.written.begin(), outcome.written.end(), path) == outcome.written.end())
        outcome.written.push_back(path);
}

std::string ArchiveName(int address, const std::string &parameter) { return FiveDigits(address) + " " + parameter; }

void NoteUnreadable(TExportOutcome &outcome, int address, const std::string &parameter) {
    const std::string archive = ArchiveName(address, parameter);
    if (std::find(outcome.unreadable.begin(), outcome.unreadable.end(), archive) == outcome.unreadable.end())
        outcome.unreadable.push_back(archive);
}

} // namespace kiv
