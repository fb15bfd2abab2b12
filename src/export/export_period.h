#pragma once
// What the CSV and DZN exports share. The main window (or kiv-cli) hands
// over the stations as "key@label" strings and the chosen period; the export
// clips that period to the accepted range and moves it by the report hour
// shift, so that it covers gas days: start' = start + shift, end' = end +
// shift. Each station's parameters are then read from its month files
// without the reports' scaling (LoadExportSamples), and every file goes into
// one output folder that is asked for once per export. The writers in
// csv_export.h and dzn_export.h report in a TExportOutcome what they wrote,
// what they could not write and which archives they could not read.
// Standard library only; messages go through MessageDlg.
#include "datafiles/archive.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kiv {

struct TExportRequest {
    std::vector<std::string> keyLabels; // "00012@label"
    std::string dataFolder;             // with its trailing "/"
    TimeStamp start = 0;                // first day 00:00:01, as the period chooser gives it
    TimeStamp end = 0;                  // the day after the last one, 00:00:00
    TimeStamp lower = 0;
    TimeStamp upper = 0xFFFFFFFFu;
    int hourShift = -2;
    std::string decimalSeparator = "."; // the system's in the window
};

// The period moved by the shift.
struct TExportPeriod {
    int32_t shift = 0; // seconds
    TimeStamp start = 0;
    TimeStamp end = 0;
};

// Asked once per export for the output folder (ending in "/"); false when
// the user gave none, which ends the export.
using TFolderAsk = std::function<bool(std::string &folder)>;

struct TExportOutcome {
    std::vector<std::string> written;    // each file once, in the order first written
    std::vector<std::string> failed;     // files that could not be written (their message was shown)
    std::vector<std::string> unreadable; // "00012 dVn": archives that could not be read (message shown)
    int refused = 0;                     // stations the format cannot take
    bool cancelled = false;              // no output folder was given
};

// False (after the message) when the period lies outside the accepted range.
[[nodiscard]] bool ShiftPeriod(const TExportRequest &request, TExportPeriod &period);
// The request's period moved by its shift, for a caller that accepts every period.
[[nodiscard]] TExportPeriod MovedPeriod(const TExportRequest &request);
// "Za okres:dd.mm.yyyy - dd.mm.yyyy", the chosen days.
[[nodiscard]] std::string ExportPeriodText(const TExportPeriod &period);

// The key of "key@label".
[[nodiscard]] std::string StationKey(const std::string &keyLabel);

// The samples of a parameter from..to as the archive holds them (unscaled),
// in time order, chosen as the reports choose them: a counter is read from
// one second before `from` and keeps every sample; any other parameter
// leaves out the daily archive that shares its month files (IsDailySample).
// The archive's open status: 0, ArcNoFile or a read failure whose message
// was shown (ExportReadFailed); the samples are empty unless it is 0.
[[nodiscard]] int LoadExportSamples(const std::string &dataFolder, int address, const std::string &parameter,
                                    TimeStamp from, TimeStamp to, bool counter, std::vector<TReportSample> &samples);
[[nodiscard]] bool ExportReadFailed(int status);

// Adds the path to outcome.written unless it is there.
void NoteWritten(TExportOutcome &outcome, const std::string &path);
// "00012 dVn": how outcome.unreadable names an archive.
[[nodiscard]] std::string ArchiveName(int address, const std::string &parameter);
// Adds the archive's name to outcome.unreadable unless it is there.
void NoteUnreadable(TExportOutcome &outcome, int address, const std::string &parameter);

} // namespace kiv
