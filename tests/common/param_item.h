#pragma once
// Builds the device profile items tests need. Every field a test leaves out
// means "none": no current value, no archives, no condition pair, so an item
// only has what its test names.
#include <cstdint>
#include <string>

#include "datafiles/profile_item.h"

namespace kiv::test {

struct TItemSpec {
    std::string shortName{};
    int32_t param = -1; // parameter number of the current value
    uint8_t type = 0;   // type code of the current value
    int32_t hour = -1;  // hourly archive index
    uint8_t hourType = 0;
    int32_t day = -1; // daily archive index
    uint8_t dayType = 0;
    std::string fullName{};
    std::string unit{};
    std::string group{};
    std::string kind{};
    int32_t column = 0;
};

inline TParamItem MakeItem(const TItemSpec& fields) {
    TParamItem item;
    item.SetColumnIndex(fields.column);
    item.SetShortName(fields.shortName);
    item.SetFullName(fields.fullName);
    item.SetUnit(fields.unit);
    item.SetGroupName(fields.group);
    item.SetKind(fields.kind);
    item.SetParamNumber(fields.param);
    item.SetTypeCode(fields.type);
    item.SetHourIndex(fields.hour);
    item.SetHourTypeCode(fields.hourType);
    item.SetDayIndex(fields.day);
    item.SetDayTypeCode(fields.dayType);
    item.SetCondFirst(-1);
    item.SetCondSecond(-1);
    return item;
}

// The short form of the profile tests: a current value and archive indexes.
inline TParamItem MakeItem(const std::string& shortName, int32_t param, uint8_t type, int32_t hour = -1,
                           int32_t day = -1) {
    return MakeItem({.shortName = shortName, .param = param, .type = type, .hour = hour, .day = day});
}

} // namespace kiv::test
