#include "export/dzn_export.h"

#include "config/ini_file.h"
#include "config/station_db.h"
#include "config/text_case.h"
#include "datafiles/plik.h"
#include "datafiles/real48.h"
#include "reports/archive_access.h"
#include "support/file_replace.h"
#include "support/messages.h"

#include <algorithm>
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

// The month's table from its file, or a fresh one when there is none. False
// (after a message) when an existing file cannot be read or is no monthly
// file of 434 bytes: it is kept as it is and gets no monthly data then.
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
    if (content.size() != kMscSize) {
        (void)MessageDlg("",
                         "Plik " + path + " nie jest miesięcznym plikiem liczników (ma " +
                             std::to_string(content.size()) + " bajtów zamiast " + std::to_string(kMscSize) +
                             "); pozostawiono go bez zmian i nie zapisano w nim danych miesiąca",
                         MsgWarning, BtnOk);
        return false;
    }
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

// The counter readings at 22:00 of each day, month by month. A reading the
// device marked invalid is still the counter's reading; only a value that
// is no number or too large for the file's reals stays unknown (-100).
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
        PutReal48(table, (dt.day - 1u) * kMscEntrySize + kCounterOffset, s.status == 1 ? s.value : kDznMissing);
    }
    if (usable)
        SaveMscTable(path, table, outcome);
}

// The station's label, address and nameplate; other keys a user added stay.
int WriteConfigFile(const std::string &path, const std::string &dataFolder, int address) {
    const std::string stationFile = StationFilePath(dataFolder, address);
    const std::vector<std::string> nameplate = StoredNameplate(stationFile);
    IniDocument doc;
    if (const int loaded = doc.Load(path); loaded != 0 && loaded != 2)
        return loaded;
    doc.WriteString("Main", "Label", ReadStationEntry(stationFile, address).label);
    doc.WriteString("Main", "Address", std::to_string(address));
    doc.WriteString("Hardware", "Brand", nameplate[0]);
    doc.WriteString("Hardware", "Type", nameplate[1]);
    doc.WriteString("Hardware", "SerialNumber", nameplate[2]);
    return doc.Save(path);
}

int Rename(const std::string &from, const std::string &to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    return ec ? FileErrorCode(ec.value()) : 0;
}

// Indexed as kDznParameters.
using TDznParameterSamples = std::array<std::vector<TReportSample>, kDznParameterCount>;

// The samples of the eight parameters in the station's list; an archive that
// cannot be read (its message shown) is noted in the outcome.
TDznParameterSamples LoadStation(const TExportRequest &request, const TExportPeriod &period, int address,
                                 TExportOutcome &outcome) {
    TDznParameterSamples samples;
    std::vector<std::string> unreadable;
    const TParamList list =
        ListArchiveParameters(request.dataFolder, address, period.start, period.end, unreadable);
    for (std::size_t p = 0; p < samples.size(); ++p) {
        const auto named = [p](const std::string &name) {
            return !name.empty() && EqualsNoCase(name, kDznParameters[p]);
        };
        for (const std::string &name : unreadable)
            if (named(name))
                NoteUnreadable(outcome, address, name);
        const auto entry = std::find_if(list.begin(), list.end(), [&](const TNProf &e) { return named(e.name); });
        if (entry != list.end() && ExportReadFailed(LoadExportSamples(request.dataFolder, address, entry->name,
                                                                      period.start, period.end, p == 0, samples[p])))
            NoteUnreadable(outcome, address, entry->name);
    }
    return samples;
}

TDznColumnSamples DayColumns(const TDznParameterSamples &samples) {
    TDznColumnSamples columns;
    for (std::size_t c = 0; c < columns.size(); ++c)
        for (const TReportSample &s : samples[c + 1])
            columns[c].push_back(DznSample(s));
    return columns;
}

// Folder, configuration file and day files of one station; false when its
// folder could not be made.
bool WriteStation(const std::string &dataFolder, const std::string &outFolder, int address, const TDznDays &days,
                  TExportOutcome &outcome) {
    const std::string prefix = DznPrefix(outFolder, address);
    std::error_code ec;
    fs::create_directories(DznStationFolder(outFolder, address), ec);
    if (ec) {
        ShowFileError(FileErrorCode(ec.value()));
        outcome.failed.push_back(DznStationFolder(outFolder, address));
        return false;
    }
    if (const int code = WriteConfigFile(prefix + "_CFG.INI", dataFolder, address); code != 0) {
        ShowFileError(code);
        outcome.failed.push_back(prefix + "_CFG.INI");
    } else {
        NoteWritten(outcome, prefix + "_CFG.INI");
    }
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
        const int address = KeyAddress(StationKey(keyLabel));
        if (address == 0)
            continue;
        if (address > kMaxDznAddress) {
            (void)MessageDlg("", kDznRefusedMessage, MsgInformation, BtnOk);
            ++outcome.refused;
            continue;
        }
        const TDznParameterSamples samples = LoadStation(request, period, address, outcome);
        const TDznDays days = BuildDayFiles(DayColumns(samples), period.shift);
        // The folder, the configuration file and the one turn of the monthly
        // files all come with a day file: a station without one gets nothing.
        if (days.days.empty())
            continue;
        const bool first = !asked;
        if (first && !(asked = askFolder(outFolder))) {
            outcome.cancelled = true;
            return outcome;
        }
        if (WriteStation(request.dataFolder, outFolder, address, days, outcome) && first)
            WriteMonthlyFiles(DznPrefix(outFolder, address), samples[0], outcome);
    }
    return outcome;
}

} // namespace kiv
