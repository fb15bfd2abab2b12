#include "comm/archive_filter.h"

#include "config/ini_file.h"

namespace kiv {

bool Wanted(const std::string& stationFile, const std::string& shortName) {
    return ReadIniBool(kTxFilterSection, shortName, true, stationFile);
}

} // namespace kiv
