#pragma once
// The data of a virtual station: the signed sum of its members' station
// series, slot by slot. Increments are summed per hour of the period,
// counters per day boundary. A slot's validity tells how complete it is:
// positive when every member delivered a valid value, -1 when a member's
// value was missing, short of the hour, or invalid, 0 when no member had
// anything left for it. Standard library only.
#include "reports/archive_access.h"

#include <string>
#include <vector>

namespace kiv {

// Validity of a slot no member has set yet.
constexpr int16_t kSlotUnset = -2;
constexpr int16_t kSlotIncomplete = -1;

// The empty slots of start..end: for an increment one per hour, stamped at
// the hour's end (start - 1 + (k + 1) * 3600); for a counter one per day
// boundary from start - 1 on, the last at the period's end.
[[nodiscard]] std::vector<TReportSample> VirtualSlots(bool counter, TimeStamp start, TimeStamp end);
// Adds (or, when subtract, takes away) one member's samples, in time order, slot by slot.
void AddMember(std::vector<TReportSample> &slots, const std::vector<TReportSample> &samples, bool subtract,
               bool counter);
// Slots no member reached become invalid.
void CloseSlots(std::vector<TReportSample> &slots);

// The virtual series of a parameter of kind "V" (counter) or any other kind
// (hourly increments) over from..to, the members read in formula order.
[[nodiscard]] std::vector<TReportSample> BuildVirtualSeries(const std::string &dataFolder, const TNumTab &members,
                                                            const std::string &parameter, const std::string &kind,
                                                            TimeStamp from, TimeStamp to);

// The series of a station key parsed into members: a single member is read
// as that station, its sign ignored; two or more are summed. Returns the
// station's archive status, 0 for a sum, ArcNoFile without members.
[[nodiscard]] int LoadSeries(const std::string &dataFolder, const TNumTab &members, const std::string &parameter,
                             const std::string &kind, TimeStamp from, TimeStamp to, TStationSeries &series);

} // namespace kiv
