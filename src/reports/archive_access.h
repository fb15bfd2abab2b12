#pragma once
// How every analysis (reports, graphs, export, the capacity optimisation and
// kiv-cli) reaches the archive. A run first clips its period to the accepted
// range, then builds the station's parameter list from the month files of
// that period (or takes the fixed list of a virtual station), looks up each
// parameter's descriptor, and loads the parameter's station series: the
// archive samples of the period, scaled as the descriptor says. The signed
// sums of virtual stations are built from these series in virtual_series.h.
// Standard library only; messages go through MessageDlg.
#include "datafiles/archive.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kiv {

// Stands in the valid-from field of a descriptor that was not found.
constexpr TimeStamp kNoDescriptor = 199999999;

// A parameter descriptor as the month files keep it: valid-from time, then the item.
struct TParamDescriptor {
    TimeStamp validFrom = kNoDescriptor;
    TParamItem item;

    [[nodiscard]] bool Found() const { return validFrom != kNoDescriptor; }
};

// One entry of a parameter list; an entry without a file has an empty name.
struct TNProf {
    std::string name;
    TParamDescriptor descriptor;
};

// Indexed by the descriptors' column indexes.
using TParamList = std::vector<TNProf>;

// Signed station addresses of a virtual station; negative: subtracted.
using TNumTab = std::vector<int32_t>;

// Clips start..end to lower..upper. False, after the error message, when the
// period lies wholly outside; a range narrower than a day leaves it as it is.
[[nodiscard]] bool ClipToAcceptedRange(TimeStamp &start, TimeStamp &end, TimeStamp lower, TimeStamp upper);

// The parameters of a station from its month files "nnnnn_yyyy_mm_NAME.FCD".
// With from = to, both nonzero, only the names are collected, in file name
// order. Otherwise each parameter whose month files overlap from..to (a zero
// bound stands for the file's own month) gets the first descriptor of that
// period, at the position of its column index.
[[nodiscard]] TParamList ListArchiveParameters(const std::string &dataFolder, int address, TimeStamp from,
                                               TimeStamp to);
// The same list; `unreadable` gets the name of each parameter left out of it
// because its month files could not be read (their message was shown), so
// that a caller can tell an incomplete result from one without data.
[[nodiscard]] TParamList ListArchiveParameters(const std::string &dataFolder, int address, TimeStamp from,
                                               TimeStamp to, std::vector<std::string> &unreadable);
// What the reports work through: the entries whose name is their own
// descriptor's name, in list order.
[[nodiscard]] TParamList ReportParameters(const TParamList &list);
// The fixed list of a virtual station: variant 0 Vn, dVn, Vr, dVr (reports);
// 1 dVn, dVr (graphs); 2 Vn, dVn. Other variants give an empty list.
[[nodiscard]] TParamList SetVirtualParameters(int variant);
// With a name: the occurrence-th entry (from 1) whose descriptor bears that
// name; without: the entry at position occurrence (from 1). Not Found() when
// there is none.
[[nodiscard]] TParamDescriptor FindDescriptor(const TParamList &list, const std::string &name, int occurrence);

// "+00012+00013-00020" gives 12, 13, -20; a plain "00012" gives 12. A piece
// that is not a whole number gives an empty table.
[[nodiscard]] TNumTab ParseMemberFormula(const std::string &text);

// Whether the sample is one of the daily archive (an interval of a day or
// more), which shares the month files of the hourly one. Only a counter keeps
// such samples: for any other parameter a daily value would stand beside the
// hourly ones of the same day.
[[nodiscard]] bool IsDailySample(const TReportSample &sample);

struct TStationSeries {
    std::vector<TReportSample> samples; // time order, scaled
    // The device in force at the last sample; the reports put its type and
    // serial number in their titles.
    TDevSign cecha;
};

// The samples of one parameter of one station over from..to. A counter is
// read from one second before `from`, so that the reading at the period's
// start is in, and keeps every sample; any other parameter keeps the samples
// of intervals below a day, leaving out the daily archive that shares its
// month files. The result is the archive's open status (0, ArcNoFile or a
// failure whose message was shown); on failure the series is empty.
[[nodiscard]] int LoadStationSeries(const std::string &dataFolder, int address, const std::string &parameter,
                                    TimeStamp from, TimeStamp to, bool counter, TStationSeries &series);

// The address a station key of one to five decimal digits names (1..65535);
// 0 for anything else, such as a virtual station's member formula.
[[nodiscard]] int KeyAddress(const std::string &key);

// The period proposed for a station key: from the first of the month of the
// newest sample of any parameter, 00:00:00, to the end of that day. Both 0
// when there is no sample or the key is not an address (a virtual station).
void StationDefaultPeriod(const std::string &dataFolder, const std::string &key, TimeStamp &start,
                          TimeStamp &end);

} // namespace kiv
