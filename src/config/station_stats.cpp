#include "config/station_stats.h"

#include <algorithm>
#include <cstdint>

#include "config/ini_file.h"
#include "support/helpers.h"

namespace kiv {
namespace {

constexpr const char* kStats = "Stats";
constexpr const char* kLastAttempt = "LastAttempt";
constexpr const char* kLastGood = "LastGoodReadOut";
constexpr const char* kLastResult = "LastResult";
constexpr const char* kLastDial = "LastDialResult";
constexpr const char* kAttempts = "Attempts";
constexpr const char* kGood = "GoodReadOuts";

// A count read back from a hand-edited file never goes below zero.
int Count(const IniDocument& doc, const char* key) { return std::max(0, doc.ReadInteger(kStats, key, 0)); }

} // namespace

std::string StatsTimeText(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    return DateTimeText(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                        local.tm_sec > 59 ? 59 : local.tm_sec);
}

TStationStats ReadStationStats(const std::string& stationFile) {
    IniDocument doc;
    TStationStats stats;
    if (doc.Load(stationFile) != 0) return stats;
    stats.lastAttempt = doc.ReadString(kStats, kLastAttempt, "");
    stats.lastGood = doc.ReadString(kStats, kLastGood, "");
    stats.lastResult = doc.ReadInteger(kStats, kLastResult, -1);
    stats.lastDial = doc.ReadInteger(kStats, kLastDial, -1);
    stats.attempts = Count(doc, kAttempts);
    stats.good = Count(doc, kGood);
    return stats;
}

bool RecordStationAttempt(const std::string& stationFile, const TStatsAttempt& attempt) {
    const std::string when = StatsTimeText(attempt.when);
    return EditIniFile(stationFile, true, [&](IniDocument& doc) {
        // Counts stop at the largest the file's integers hold rather than turn negative.
        const auto next = [&doc](const char* key) {
            const int count = Count(doc, key);
            return std::to_string(count < INT32_MAX ? count + 1 : count);
        };
        doc.WriteString(kStats, kLastAttempt, when);
        doc.WriteString(kStats, kLastResult, std::to_string(attempt.result));
        doc.WriteString(kStats, kLastDial, attempt.dial < 0 ? "" : std::to_string(attempt.dial));
        doc.WriteString(kStats, kAttempts, next(kAttempts));
        if (attempt.good) {
            doc.WriteString(kStats, kLastGood, when);
            doc.WriteString(kStats, kGood, next(kGood));
        }
        return true;
    });
}

} // namespace kiv
