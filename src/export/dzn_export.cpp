#include "export/dzn_export.h"

#include "config/ini_file.h"
#include "config/station_db.h"
#include "config/text_case.h"
#include "datafiles/plik.h"
#include "datafiles/real48.h"
#include "reports/archive_access.h"
#include "support/file_replace.h"
#include "support/messages.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

namespace kiv {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kDaySeconds = 86400;
constexpr int kDayMinutes = 1440;
constexpr uint16_t kUnstatedInterval = 60;
constexpr int kCounterHour = 22;
constexpr std::size_t kCounterOffset = 6;
constexpr int kLastBackup = 9;

// An interval of 0 says nothing; such samples are taken as hourly ones.
uint16_t RowInterval(uint16_t interval) { return interval == 0 ? kUnstatedInterval : interval; }

// Gas days are numbered so that day k starts at k * 86400 + shift + 1.
int64_t DayNumber(TimeStamp time, int32_t shift) {
    const int64_t t = int64_t{time} - 1 - shift;
    return t >= 0 ? t / kDaySeconds : (t - kDaySeconds + 1) / kDaySeconds;
}

std::string TwoDigits(int value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02d", value % 100);
    return text;
}

void PutFloat(std::vector<uint8_t> &content, std::size_t cell, float value) {
    const auto bits = std::bit_cast<uint32_t>(value);
    for (std::size_t b = 0; b < 4; ++b)
        content[cell * 4 + b] = static_cast<uint8_t>(bits >> (8 * b));
}

// The samples of one column that fall into each day.
using TColumnDays = std::map<int64_t, std::vector<const TDznSample *>>;

TDznDay BuildDay(int64_t day, int32_t shift, const std::vector<TColumnDays> &columns, int &skipped) {
    uint16_t interval = kUnstatedInterval;
    for (const TColumnDays &column : columns)
        if (const auto it = column.find(day); it != column.end()) {
            interval = RowInterval(it->second.front()->interval);
            break;
        }
    const int rows = (kDayMinutes + interval - 1) / interval;
    TDznDay result;
    result.dayStart = static_cast<TimeStamp>(day * kDaySeconds + shift + 1);
    const TDateTime date = DecodeTime(static_cast<TimeStamp>(day * kDaySeconds + 1));
    result.date = TwoDigits(date.year) + TwoDigits(date.month) + TwoDigits(date.day);
    result.content.resize(static_cast<std::size_t>(rows) * kDznColumns * 4);
    for (std::size_t cell = 0; cell < static_cast<std::size_t>(rows) * kDznColumns; ++cell)
        PutFloat(result.content, cell, kDznMissing);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const auto it = columns[c].find(day);
        if (it == columns[c].end())
            continue;
        for (const TDznSample *s : it->second) {
            if (RowInterval(s->interval) != interval) {
                ++skipped;
                continue;
            }
            const auto row = static_cast<std::size_t>((s->time - result.dayStart) / (interval * 60u));
            PutFloat(result.content, row * kDznColumns + c, s->value);
        }
    }
    return result;
}

void PutReal48(TMscTable &table, std::size_t offset, double value) { (void)EncodeReal48(value, &table[offset]); }

std::string MscPath(const std::string &prefix, int year, int month) {
    return prefix + TwoDigits(year) + TwoDigits(month) + ".msc";
}

// The month's table from its file, or a fresh one when there is none or it
// is not a monthly file of this size. False (after the message) when an
// existing file cannot be read: it must not be overwritten then.
bool LoadMscTable(const std::string &path, TMscTable &table) {
    ResetMscTable(table);
    std::error_code ec;
    if (!fs::exists(path, ec))
        return true;
    std::string content;
    if (const int code = ReadWholeFile(path, content); code != 0) {
        ShowFileError(code);
        return false;
    }
    if (content.size() == kMscSize)
        std::memcpy(table.data(), content.data(), kMscSize);
    return true;
}

void SaveMscTable(const std::string &path, const TMscTable &table, TExportOutcome &outcome) {
    if (const int code = ReplaceFile(path, table.data(), table.size()); code != 0) {
        ShowFileError(code);
        outcome.failed.push_back(path);
        return;
    }
    NoteWritten(outcome, path);
}

// The counter readings at 22:00 of each day, month by month.
void WriteMonthlyFiles(const std::string &prefix, const std::vector<TReportSample> &counter,
                       TExportOutcome &outcome) {
    TMscTable table{};
    std::string path;
    bool usable = false;
    for (const TReportSample &s : counter) {
        const TDateTime dt = DecodeTime(s.time);
        if (const std::string month = MscPath(prefix, dt.year, dt.month); month != path) {
            if (usable)
                SaveMscTable(path, table, outcome);
            path = month;
            if (!(usable = LoadMscTable(path, table)))
                outcome.failed.push_back(path);
        }
        if (dt.hour != kCounterHour || dt.minute != 0)
            continue;
        const bool known = s.validity != 0 && s.status == 1;
        PutReal48(table, (dt.day - 1u) * kMscEntrySize + kCounterOffset, known ? s.value : kDznMissing);
    }
    if (usable)
        SaveMscTable(path, table, outcome);
}

// The station's label, address and nameplate, rewritten only when they changed.
int WriteConfigFile(const std::string &path, const std::string &dataFolder, int address) {
    const std::string stationFile = StationFilePath(dataFolder, address);
    const std::vector<std::string> nameplate = StoredNameplate(stationFile);
    IniDocument doc;
    const int loaded = doc.Load(path);
    if (loaded != 0 && loaded != 2)
        return loaded;
    bool changed = loaded == 2;
    changed |= doc.WriteString("Main", "Label", ReadStationEntry(stationFile, address).label);
    changed |= doc.WriteString("Main", "Address", std::to_string(address));
    changed |= doc.WriteString("Hardware", "Brand", nameplate[0]);
    changed |= doc.WriteString("Hardware", "Type", nameplate[1]);
    changed |= doc.WriteString("Hardware", "SerialNumber", nameplate[2]);
    return changed ? doc.Save(path) : 0;
}

int Rename(const std::string &from, const std::string &to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    return ec ? FileErrorCode(ec.value()) : 0;
}

// The samples of the eight parameters the station has; false when it has none.
bool LoadStation(const TExportRequest &request, const TExportPeriod &period, int address,
                 std::array<std::vector<TReportSample>, kDznParameterCount> &samples) {
    bool present = false;
    const TParamList list = ListArchiveParameters(request.dataFolder, address, period.start, period.end);
    for (int p = 0; p < kDznParameterCount; ++p) {
        for (const TNProf &entry : list) {
            if (entry.name.empty() || !EqualsNoCase(entry.name, kDznParameters[p]))
                continue;
            const TimeStamp from = p == 0 && period.start > 0 ? period.start - 1 : period.start;
            samples[static_cast<std::size_t>(p)] =
                LoadExportSamples(request.dataFolder, address, entry.name, from, period.end);
            present = true;
            break;
        }
    }
    return present;
}

// Folders, configuration file and day files of one station; false when its
// folder could not be made.
bool WriteStation(const TExportRequest &request, const TExportPeriod &period, const std::string &outFolder,
                  int address, const std::array<std::vector<TReportSample>, kDznParameterCount> &samples,
                  TExportOutcome &outcome) {
    const std::string prefix = DznPrefix(outFolder, address);
    std::error_code ec;
    fs::create_directories(DznStationFolder(outFolder, address), ec);
    if (ec) {
        ShowFileError(FileErrorCode(ec.value()));
        outcome.failed.push_back(DznStationFolder(outFolder, address));
        return false;
    }
    if (const int code = WriteConfigFile(prefix + "_CFG.INI", request.dataFolder, address); code != 0) {
        ShowFileError(code);
        outcome.failed.push_back(prefix + "_CFG.INI");
    } else {
        NoteWritten(outcome, prefix + "_CFG.INI");
    }
    TDznColumnSamples columns;
    for (std::size_t c = 0; c < columns.size(); ++c)
        for (const TReportSample &s : samples[c + 1])
            columns[c].push_back(DznSample(s));
    const TDznDays days = BuildDayFiles(columns, period.shift);
    for (const TDznDay &day : days.days) {
        const std::string path = prefix + day.date + ".dzn";
        if (const int code = WriteDayFile(path, day.content); code != 0) {
            ShowFileError(code);
            outcome.failed.push_back(path);
        } else {
            NoteWritten(outcome, path);
        }
    }
    if (days.skipped > 0)
        (void)MessageDlg("",
                         "Stacja " + FiveDigits(address) +
                             ": próbki o interwale innym niż pozostałe próbki doby nie zostały zapisane w plikach "
                             "*.DZN (liczba próbek: " + std::to_string(days.skipped) + ")",
                         MsgWarning, BtnOk);
    return true;
}

} // namespace

std::string DznLetters(int address) {
    if (address < 1 || address > kMaxDznAddress)
        return {};
    const auto letter = [](int n) { return static_cast<char>('A' + n - 1); };
    if (address <= 26)
        return std::string(1, letter(address));
    return {letter((address - 1) / 26), letter((address - 1) % 26 + 1)};
}

std::string DznStationFolder(const std::string &outFolder, int address) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03d", address % 1000);
    return outFolder + "Kiv" + digits + "/";
}

std::string DznPrefix(const std::string &outFolder, int address) {
    return DznStationFolder(outFolder, address) + DznLetters(address);
}

bool EncodeReal48(double value, uint8_t *sixBytes) {
    static const double kLargest = std::ldexp(2.0 - std::ldexp(1.0, -39), 126);
    const bool representable = std::isfinite(value) && std::fabs(value) <= kLargest;
    DoubleToReal48(representable ? value : kDznMissing, sixBytes);
    return representable;
}

TDznSample DznSample(const TReportSample &sample) {
    const bool usable = sample.validity != 0 && sample.status == 1 && std::isfinite(sample.value) &&
                        std::fabs(sample.value) <= FLT_MAX;
    return {sample.time, sample.interval, usable ? static_cast<float>(sample.value) : kDznMissing};
}

TDznDays BuildDayFiles(const TDznColumnSamples &columns, int32_t shift) {
    std::vector<TColumnDays> byDay(columns.size());
    std::map<int64_t, bool> days;
    for (std::size_t c = 0; c < columns.size(); ++c)
        for (const TDznSample &s : columns[c]) {
            const int64_t day = DayNumber(s.time, shift);
            byDay[c][day].push_back(&s);
            days[day] = true;
        }
    TDznDays result;
    for (const auto &[day, ignored] : days)
        result.days.push_back(BuildDay(day, shift, byDay, result.skipped));
    return result;
}

void ResetMscTable(TMscTable &table) {
    table.fill(0);
    for (std::size_t e = 0; e < kMscEntries; ++e)
        PutReal48(table, e * kMscEntrySize + kCounterOffset, kDznMissing);
}

int WriteDayFile(const std::string &path, const std::vector<uint8_t> &content) {
    const long size = TPlik::FileSize(path);
    if (size >= 0 && static_cast<std::size_t>(size) != content.size()) {
        const std::string stem = path.substr(0, path.size() - 1);
        std::error_code ec;
        for (int n = kLastBackup - 1; n >= 1; --n)
            if (fs::exists(stem + std::to_string(n), ec))
                if (const int code = Rename(stem + std::to_string(n), stem + std::to_string(n + 1)); code != 0)
                    return code;
        if (const int code = Rename(path, stem + "1"); code != 0)
            return code;
    }
    return ReplaceFile(path, content.data(), content.size());
}

TExportOutcome ExportDzn(const TExportRequest &request, const TExportPeriod &period, const TFolderAsk &askFolder) {
    TExportOutcome outcome;
    std::string outFolder;
    bool asked = false;
    for (const std::string &keyLabel : request.keyLabels) {
        const int address = StationKeyAddress(StationKey(keyLabel));
        if (address == 0)
            continue;
        if (address > kMaxDznAddress) {
            (void)MessageDlg("", kDznRefusedMessage, MsgInformation, BtnOk);
            ++outcome.refused;
            continue;
        }
        std::array<std::vector<TReportSample>, kDznParameterCount> samples;
        if (!LoadStation(request, period, address, samples))
            continue;
        const bool first = !asked;
        if (first && !(asked = askFolder(outFolder))) {
            outcome.cancelled = true;
            return outcome;
        }
        if (WriteStation(request, period, outFolder, address, samples, outcome) && first)
            WriteMonthlyFiles(DznPrefix(outFolder, address), samples[0], outcome);
    }
    return outcome;
}

} // namespace kiv
