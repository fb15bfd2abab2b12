#include "reports/virtual_series.h"

#include <cmath>
#include <cstdlib>

namespace kiv {
namespace {

constexpr TimeStamp kHour = 3600;
constexpr TimeStamp kDay = 86400;

bool IsCounter(const std::string &kind) { return kind == "V"; }

// One member's part of one slot.
struct TMemberSlot {
    double value = 0.0;
    int16_t validity = kSlotUnset;
    int16_t status = 1;
};

// The samples ending inside the hour that ends at the slot's time; `at`
// moves past them.
TMemberSlot HourOf(const std::vector<TReportSample> &samples, std::size_t &at, TimeStamp slotTime) {
    TMemberSlot part;
    int minutes = 0;
    for (; at < samples.size() && samples[at].time <= slotTime; ++at) {
        const TReportSample &s = samples[at];
        part.value += s.value;
        minutes += s.interval;
        if (s.validity <= 0)
            part.validity = kSlotIncomplete;
        else if (part.validity == kSlotUnset)
            part.validity = s.validity;
        if (s.status <= 0)
            part.status = -1;
    }
    if (minutes < 60)
        part.validity = kSlotIncomplete;
    return part;
}

// The reading stamped exactly at the slot's time.
TMemberSlot ReadingAt(const TReportSample &s, TimeStamp slotTime) {
    if (s.time != slotTime)
        return {0.0, kSlotIncomplete, 0};
    return {s.value, s.validity, s.status};
}

void Merge(TReportSample &slot, const TMemberSlot &part, bool subtract) {
    slot.value += subtract ? -part.value : part.value;
    if (slot.validity == kSlotUnset)
        slot.validity = part.validity;
    else if (part.validity <= 0 && slot.validity >= kSlotIncomplete)
        slot.validity = kSlotIncomplete;
    if (part.status <= 0)
        slot.status = -1;
}

} // namespace

std::vector<TReportSample> VirtualSlots(bool counter, TimeStamp start, TimeStamp end) {
    const long long hours = end > start ? std::llround((end - start) / double(kHour)) : 0;
    const long long count = counter ? std::llround(double(hours) / 24.0) + 1 : hours;
    std::vector<TReportSample> slots(static_cast<std::size_t>(count));
    const TimeStamp step = counter ? kDay : kHour;
    const TimeStamp first = counter ? start - 1 : start - 1 + kHour;
    for (std::size_t k = 0; k < slots.size(); ++k) {
        TReportSample &slot = slots[k];
        slot.time = first + static_cast<TimeStamp>(k) * step;
        slot.interval = counter ? 1440 : 60;
        slot.validity = kSlotUnset;
        slot.status = 1;
    }
    return slots;
}

void AddMember(std::vector<TReportSample> &slots, const std::vector<TReportSample> &samples, bool subtract,
               bool counter) {
    std::size_t at = 0;
    for (TReportSample &slot : slots) {
        // An hour takes the samples after its first second, a day boundary its exact reading.
        const TimeStamp from = counter ? slot.time : slot.time - (kHour - 1);
        while (at < samples.size() && samples[at].time < from)
            ++at;
        if (at == samples.size()) {
            if (slot.validity >= kSlotIncomplete)
                slot.validity = kSlotIncomplete;
            continue;
        }
        if (!counter && samples[at].time == from)
            ++at;
        Merge(slot, counter ? ReadingAt(samples[at], slot.time) : HourOf(samples, at, slot.time), subtract);
    }
}

void CloseSlots(std::vector<TReportSample> &slots) {
    for (TReportSample &slot : slots)
        if (slot.validity == kSlotUnset)
            slot.validity = 0;
}

std::vector<TReportSample> BuildVirtualSeries(const std::string &dataFolder, const TNumTab &members,
                                              const std::string &parameter, const std::string &kind,
                                              TimeStamp from, TimeStamp to) {
    const bool counter = IsCounter(kind);
    std::vector<TReportSample> slots = VirtualSlots(counter, from, to);
    for (const int32_t member : members) {
        TStationSeries series;
        (void)LoadStationSeries(dataFolder, std::abs(member), parameter, from, to, counter, series);
        AddMember(slots, series.samples, member < 0, counter);
    }
    CloseSlots(slots);
    return slots;
}

int LoadSeries(const std::string &dataFolder, const TNumTab &members, const std::string &parameter,
               const std::string &kind, TimeStamp from, TimeStamp to, TStationSeries &series) {
    series = {};
    if (members.empty())
        return ArcNoFile;
    if (members.size() == 1)
        return LoadStationSeries(dataFolder, std::abs(members[0]), parameter, from, to, IsCounter(kind), series);
    series.samples = BuildVirtualSeries(dataFolder, members, parameter, kind, from, to);
    return 0;
}

} // namespace kiv
