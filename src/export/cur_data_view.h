#pragma once
// What the current data window shows, computed without widgets. LoadCurData
// reads the station's FCC file, finds the station's device profile in the
// catalogue, reads it and checks that the values were read with it; the
// result is a TCurDataSet holding the value bytes, the compacted items and
// the groups. GroupRows then turns one group into rows of name, unit and
// value text, adding the volume at base conditions composed of the two
// counters a station may be configured for (Calculations/CalcVnMode).
#include <cstdint>
#include <string>
#include <vector>

#include "datafiles/profile_item.h"
#include "datafiles/timestamp.h"

namespace kiv {

// Where the current data of a station come from.
struct TCurDataSource {
    std::string dataFolder; // with its trailing "/"
    int address = 0;
    std::vector<std::string> profileNames; // the catalogue's profile names ...
    std::vector<std::string> profileFiles; // ... and their files in the program folder
    std::string deviceProfile;             // the station's Hardware/DeviceProfile
};

// The station's Calculations keys.
struct TVnCalc {
    int mode = 0; // 0: none, 1: Vn0 + Vn1 * 10000, 2: Vn0 + Vn1 * 100000
    int vn0Index = 0;
    int vn1Index = 1;
};

struct TCurDataSet {
    std::vector<uint8_t> values;     // packed values in parameter-number order
    TimeStamp time = 0;              // when they were read
    std::vector<TParamItem> items;   // compacted: with a parameter number, ordered by it
    std::vector<std::string> groupNames;
    std::vector<std::string> groupCaptions; // for display (UTF-8)
};

enum CurDataLoadResult : int {
    CurDataLoaded = 0,
    CurDataNoFile = 1,       // FCC missing, empty or not valid
    CurDataNoProfile = 2,    // the station's profile is not in the catalogue
    CurDataBadProfile = 3,   // profile unreadable or empty
    CurDataOtherProfile = 4, // the values were read with another profile
};

[[nodiscard]] int LoadCurData(const TCurDataSource& source, TCurDataSet& set);
// The message of a failed load (caption "Kiv"); empty for CurDataLoaded.
[[nodiscard]] std::string CurDataLoadMessage(int result, const std::string& deviceProfile);

struct TCurDataRow {
    std::string name;
    std::string unit;
    std::string value;
};

// The rows of the group: every item of the group in item order, and, when
// the calculation applies and both counters are in the group, the composed
// volume right after the later of the two counters' rows. The counter
// indexes count positions among all compacted items.
[[nodiscard]] std::vector<TCurDataRow> GroupRows(const TCurDataSet& set, const std::string& groupName,
                                                 const TVnCalc& calc);

// The composed volume as text (15 significant digits); false when the mode
// is not 1 or 2 or a counter is negative.
[[nodiscard]] bool ComposedVolume(int mode, double vn0, double vn1, std::string& text);
// A value text as a number; false when it is not one (an invalid value's empty text).
[[nodiscard]] bool ValueNumber(const std::string& text, double& number);
// "Dane bieżące - YYYY-MM-DD hh:mm:ss".
[[nodiscard]] std::string CurDataCaption(TimeStamp time);

} // namespace kiv
