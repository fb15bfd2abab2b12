#pragma once
// The current data file of a station (FC_nnnnn/nnnnn.FCC): the packed current
// values of the last read-out, with the read-out time, the name of the device
// profile they were read with and the device's nameplate texts. The read-out
// replaces it after each successful current-data step; the current data view
// reads it back and decodes the values with the named profile's items. The
// file does not describe its values itself.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "datafiles/plik.h"
#include "datafiles/timestamp.h"

namespace kiv {

// Data folder (with trailing "/") + "FC_nnnnn/nnnnn.FCC".
[[nodiscard]] std::string FccFileName(const std::string& dataFolder, int address);

class TFileFCC : public TPlik {
public:
    // Writes the file, replacing an older one (the station folder is created
    // when missing). identity: the six nameplate texts in read-out order; an
    // empty text gets no section. 0 or a file error code.
    [[nodiscard]] int WriteCurrentData(const std::string& dataFolder, int address, std::size_t count,
                                       const uint8_t* values, TimeStamp time, const std::string& profileName,
                                       const std::vector<std::string>& identity);

    // 0 when the file was found: a valid one gives its values (pointing into
    // this object, alive until the next read), time and profile name; one that
    // does not validate gives a null pointer and count 0. -1 when the file is
    // missing or empty.
    [[nodiscard]] int ReadCurrentData(const std::string& dataFolder, int address, std::size_t& count,
                                      const uint8_t*& values, TimeStamp& time, std::string& profileName);

    // After a valid read: texts 1..4 from the file, texts 5 and 6 empty.
    std::vector<std::string> identity;
    ScrambleKey key1{};
    ScrambleKey key2{};

private:
    bool Parse(TimeStamp& time, std::string& profileName);
    Bytes image_;
};

} // namespace kiv
