#pragma once
// The CSV export: one text file per station and ticked parameter, named
// output folder + key + "_" + name + ".CSV", one line per archive sample,
// "yyyy-mm-dd/hh:mm;value;validity" ended by CR LF, no header. A counter
// (a name beginning with "V") is read from one second before the shifted
// period, so the reading at the start of the first gas day is in, and
// written with 12 significant digits and no decimals; every other parameter
// with 9 significant digits and 3 decimals. A file that exists and is not
// empty gets the new lines appended, so exporting a period twice doubles it.
#include "export/export_period.h"

#include <string>
#include <vector>

namespace kiv {

// The value rounded to `precision` significant digits and written in fixed
// notation with `decimals` decimals and the separator; never an exponent.
[[nodiscard]] std::string FormatFixed(double value, int precision, int decimals, const std::string &separator);
// One line with its CR LF. A value that is no number is written as 0 with
// validity 0, so it is never taken for a valid zero.
[[nodiscard]] std::string CsvLine(const TReportSample &sample, bool counter, const std::string &separator);
// Whether the name is a counter's ("V...").
[[nodiscard]] bool IsCounterName(const std::string &name);

// The names the window offers: each non-empty parameter name of every
// station's list for the shifted period, first station first, then new
// names in order of appearance. A parameter whose month files could not be
// read is offered as well and kept in `unreadable` (its message was shown
// once, while the list was built), so that ticking it tells, at the end,
// that it was not exported.
struct TCsvNames {
    std::vector<std::string> names;
    std::vector<std::string> unreadable; // as ArchiveName gives them
};
[[nodiscard]] TCsvNames CsvParameterNames(const TExportRequest &request, const TExportPeriod &period);

// Writes the files of every station and ticked name, asking for the folder
// before the first one. A file that cannot be written shows its message and
// the export goes on; an archive that cannot be read is counted in
// outcome.unreadable.
[[nodiscard]] TExportOutcome ExportCsv(const TExportRequest &request, const TExportPeriod &period,
                                       const TCsvNames &offered, const std::vector<std::string> &ticked,
                                       const TFolderAsk &askFolder);

} // namespace kiv
