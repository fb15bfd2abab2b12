#pragma once
// A station 12 with an events file of five records for the viewer tests and
// a program folder with the device's event definitions:
//   1: code 12, 23 bytes (types 5 and 7): status 0 with 4660, then a NaN float
//   2: code 12, 20 bytes: the standard volume, 0.05
//   3: code 3, 25 bytes: a parameter of no known type, then 1234.5 as a double
//   4, 5: code 7, 17 bytes: no definition fits (two definition errors)
// Generation 1, when asked for, holds one record of another device.
#include "datafiles/events.h"

#include "common/temp_folder.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace kiv::test {

inline const TIdentLines kEventsDevice = {"GazTech", "KX 200", "SN 0042", "", "v1.07", ""};
inline const TIdentLines kOtherDevice = {"Other", "ZX 9", "SN 7", "", "v2", ""};
constexpr int kEventsStation = 12;

inline void AddRecord(Bytes &area, uint8_t code, uint8_t second, const Bytes &params) {
    const Bytes head = {0, 0, code, second, 30, 10, 8, 12, 26, 5, 31, 10, 8, 12, 26};
    const std::size_t at = area.size();
    area.insert(area.end(), head.begin(), head.end());
    area.insert(area.end(), params.begin(), params.end());
    PutU16(area, at, static_cast<uint16_t>(area.size() - at));
}

template <typename T> Bytes ValueBytes(uint8_t status, T value) {
    Bytes bytes(1 + sizeof value, status);
    std::memcpy(bytes.data() + 1, &value, sizeof value);
    return bytes;
}

inline Bytes Join(Bytes a, const Bytes &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes FiveRecords() {
    Bytes area;
    const uint32_t nan = 0x7FC00000u;
    AddRecord(area, 12, 1, Join(ValueBytes<uint16_t>(0, 4660), ValueBytes(1, nan)));
    AddRecord(area, 12, 2, ValueBytes(1, 0.05f));
    AddRecord(area, 3, 3, Join(ValueBytes(1, 1234.5), Bytes{0}));
    AddRecord(area, 7, 4, Bytes{1, 2});
    AddRecord(area, 7, 5, Bytes{1, 2});
    return area;
}

inline void StoreEventRecords(const TempFolder &temp, const Bytes &area, const TIdentLines &device) {
    std::filesystem::create_directories(temp.path / "data" / "FC_00012");
    (void)StoreEvents(temp.Folder() + "data/", kEventsStation, area.data(), area.size(), device);
}

// data/ with generation 0 (five records) and, when asked, generation 1;
// prog/ with the definitions of the first device.
inline void MakeEventsFolders(const TempFolder &temp, bool withOlder) {
    if (withOlder) {
        Bytes older;
        AddRecord(older, 9, 9, {});
        StoreEventRecords(temp, older, kOtherDevice);
    }
    StoreEventRecords(temp, FiveRecords(), kEventsDevice); // another device: the older file rotates to 1
    std::filesystem::create_directories(temp.path / "prog");
    std::ofstream(temp.File("prog/kx200.evt")) << "[Identity]\nBrand=Gaz Tech\nType=KX200\n"
                                                  "[12]\nEventDescription=Otwarcie obudowy\n"
                                                  "ParamDescription0=Licznik\nParamTypeCode0=5\n"
                                                  "ParamDescription1=Temperatura\nParamUnit1=°C\nParamTypeCode1=7\n"
                                                  "[3]\nEventDescription=Przepływ maksymalny\n"
                                                  "ParamDescription0=Rezerwa\nParamTypeCode0=11\n"
                                                  "ParamDescription1=Przepływ\nParamUnit1=m3/h\nParamTypeCode1=9\n";
}

} // namespace kiv::test
