#include "export/csv_export.h"

#include "datafiles/plik.h"
#include "reports/archive_access.h"
#include "support/file_replace.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kiv {
namespace {

constexpr const char *kFormat = "CSV";
constexpr int kCounterPrecision = 12;
constexpr int kCounterDecimals = 0;
constexpr int kValuePrecision = 9;
constexpr int kValueDecimals = 3;

std::string StampField(TimeStamp stamp) {
    const TDateTime dt = DecodeTime(stamp);
    char text[40];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u/%02u:%02u", unsigned{dt.year}, unsigned{dt.month},
                  unsigned{dt.day}, unsigned{dt.hour}, unsigned{dt.minute});
    return text;
}

std::string CsvLines(const std::vector<TReportSample> &samples, bool counter, const std::string &separator) {
    std::string lines;
    for (const TReportSample &s : samples)
        lines += CsvLine(s, counter, separator);
    return lines;
}

// Appends to a non-empty file, else creates it; 0 or a file error code.
int AppendOrCreate(const std::string &path, const std::string &lines) {
    std::string content;
    if (TPlik::FileHasData(path))
        if (const int code = ReadWholeFile(path, content); code != 0)
            return code;
    return ReplaceFile(path, content + lines);
}

} // namespace

std::string FormatFixed(double value, int precision, int decimals, const std::string &separator) {
    if (!std::isfinite(value))
        value = 0.0;
    char buffer[400];
    auto done = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, precision - 1);
    double rounded = 0.0;
    (void)std::from_chars(buffer, done.ptr, rounded);
    if (rounded == 0.0)
        rounded = 0.0; // no "-0"
    done = std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, decimals);
    std::string text(buffer, done.ptr);
    if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-')
        text.erase(0, 1); // a negative value rounded to zero
    if (const std::size_t point = text.find('.'); point != std::string::npos)
        text.replace(point, 1, separator);
    return text;
}

bool IsCounterName(const std::string &name) { return !name.empty() && name[0] == 'V'; }

std::string CsvLine(const TReportSample &sample, bool counter, const std::string &separator) {
    const bool number = sample.status == 1;
    const std::string value = counter ? FormatFixed(number ? sample.value : 0.0, kCounterPrecision,
                                                    kCounterDecimals, separator)
                                      : FormatFixed(number ? sample.value : 0.0, kValuePrecision, kValueDecimals,
                                                    separator);
    return StampField(sample.time) + ";" + value + ";" + std::to_string(number ? sample.validity : 0) + "\r\n";
}

TCsvNames CsvParameterNames(const TExportRequest &request, const TExportPeriod &period) {
    TCsvNames offered;
    const auto offer = [&offered](const std::string &name) {
        if (!name.empty() && std::find(offered.names.begin(), offered.names.end(), name) == offered.names.end())
            offered.names.push_back(name);
    };
    for (const std::string &keyLabel : request.keyLabels) {
        const int address = KeyAddress(StationKey(keyLabel));
        if (address == 0)
            continue;
        std::vector<std::string> unreadable;
        for (const TNProf &entry :
             ListArchiveParameters(request.dataFolder, address, period.start, period.end, unreadable))
            offer(entry.name);
        for (const std::string &name : unreadable) {
            offer(name);
            offered.unreadable.push_back(ArchiveName(address, name));
        }
    }
    return offered;
}

TExportOutcome ExportCsv(const TExportRequest &request, const TExportPeriod &period, const TCsvNames &offered,
                         const std::vector<std::string> &ticked, const TFolderAsk &askFolder) {
    TExportOutcome outcome;
    std::string folder;
    bool asked = false;
    const auto unreadable = [&offered](int address, const std::string &name) {
        return std::find(offered.unreadable.begin(), offered.unreadable.end(), ArchiveName(address, name)) !=
               offered.unreadable.end();
    };
    for (const std::string &keyLabel : request.keyLabels) {
        const std::string key = StationKey(keyLabel);
        const int address = KeyAddress(key);
        for (const std::string &name : ticked) {
            if (!asked && !(asked = askFolder(folder))) {
                outcome.cancelled = true;
                return outcome;
            }
            if (address == 0)
                continue;
            const bool counter = IsCounterName(name);
            std::vector<TReportSample> samples;
            if (unreadable(address, name) ||
                ExportReadFailed(LoadExportSamples(request.dataFolder, address, name, period.start, period.end,
                                                   counter, samples))) {
                NoteUnreadable(outcome, address, name);
                continue;
            }
            if (samples.empty())
                continue;
            const std::string path = folder + key + "_" + name + "." + kFormat;
            if (const int code = AppendOrCreate(path, CsvLines(samples, counter, request.decimalSeparator));
                code != 0) {
                ShowFileError(code);
                outcome.failed.push_back(path);
                continue;
            }
            NoteWritten(outcome, path);
        }
    }
    return outcome;
}

} // namespace kiv
