#pragma once
// The DZN export: eight fixed parameters of each station (address 1 to 700)
// as binary files for another program, in the output folder's station folder
// "Kiv" + three digits, every name beginning with the address's column
// letters (27 "AA", 700 "ZX"):
// - a configuration file P + "_CFG.INI" with the station's label, address
//   and nameplate;
// - one day file P + yymmdd + ".dzn" per gas day: rows of eight
//   little-endian float32, row k holding the values of the k-th interval
//   after the day start (22:00:01 of the day before with the shift -2),
//   columns 0..6 "dVn" .. "Rez2", column 7 and every missing or invalid
//   cell -100. A day file that exists with another size is kept as .dz1
//   (older ones move up to .dz9); one of the same size is overwritten;
// - with the first day file of an export only, that is for the first
//   station that has a day to write, one file P + yymm + ".msc" per month of
//   31 entries of 14 bytes holding the 48-bit real counter "Vn" at 22:00 of
//   each day (-100 when unknown), merged into an existing file. An existing
//   file of another size is no such file: it is kept and gets nothing.
// A station without any day to write gets no folder and no file at all.
//
// The day loop: every gas day holding any sample of the seven day-file
// parameters gets one file. Its rows are as long as the interval of its
// first "dVn" sample, or, without one, of the first sample of the first
// parameter that has one there; samples of another interval that day do not
// fit the rows and are counted and reported in a warning. The loop walks the
// days once, so it always ends.
#include "export/export_period.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kiv {

constexpr int kMaxDznAddress = 700;
constexpr int kDznParameterCount = 8;
// Index 0 goes to the monthly files, 1..7 to day file columns 0..6.
constexpr const char *kDznParameters[kDznParameterCount] = {"Vn", "dVn", "dVr", "P", "t", "dP", "Rez1", "Rez2"};
constexpr int kDznColumns = 8;
constexpr float kDznMissing = -100.0f;
constexpr std::size_t kMscEntrySize = 14;
constexpr std::size_t kMscEntries = 31;
constexpr std::size_t kMscSize = kMscEntries * kMscEntrySize; // 434
constexpr const char *kDznRefusedMessage =
    "Dane z przelicznikow o numerach większych od 700 nie mogą być zapisywane w plikach *.DZN";

// "A" .. "Z" for 1 .. 26, two letters for 27 .. 700; empty outside 1 .. 700.
[[nodiscard]] std::string DznLetters(int address);
// Output folder + "Kiv" + the last three digits of the address + "/".
[[nodiscard]] std::string DznStationFolder(const std::string &outFolder, int address);
// The station folder + the column letters: the beginning of every file name.
[[nodiscard]] std::string DznPrefix(const std::string &outFolder, int address);

// The value as a 48-bit real; false, with -100 written, when it cannot be
// one (not a number, infinite or beyond the format's largest magnitude).
bool EncodeReal48(double value, uint8_t *sixBytes);

// One sample of a day file column: its value, or -100 when it is invalid.
struct TDznSample {
    TimeStamp time = 0;
    uint16_t interval = 0; // minutes
    float value = kDznMissing;
};
using TDznColumnSamples = std::array<std::vector<TDznSample>, kDznColumns - 1>;
[[nodiscard]] TDznSample DznSample(const TReportSample &sample);

struct TDznDay {
    TimeStamp dayStart = 0; // the day's first second
    std::string date;       // yymmdd of the calendar day the gas day ends on
    std::vector<uint8_t> content;
};
struct TDznDays {
    std::vector<TDznDay> days; // ascending
    int skipped = 0;           // samples whose interval did not fit their day's rows
};
// The day files of the columns' samples (each in time order) for a shift in seconds.
[[nodiscard]] TDznDays BuildDayFiles(const TDznColumnSamples &columns, int32_t shift);

using TMscTable = std::array<uint8_t, kMscSize>;
// Every entry: first real 0, counter -100, two zero bytes.
void ResetMscTable(TMscTable &table);

// Keeps an existing day file of another size as a backup, then writes the
// new content. 0 or a file error code; when the backup could not be made,
// the old file stays and nothing is written.
[[nodiscard]] int WriteDayFile(const std::string &path, const std::vector<uint8_t> &content);

// Writes the files of every station, asking for the folder before the first
// day file. Stations above 700 are refused with the information box; a file
// that cannot be written shows its message and the export goes on; an
// archive that cannot be read is counted in outcome.unreadable.
[[nodiscard]] TExportOutcome ExportDzn(const TExportRequest &request, const TExportPeriod &period,
                                       const TFolderAsk &askFolder);

} // namespace kiv
