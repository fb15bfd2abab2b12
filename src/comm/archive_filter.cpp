#include "comm/archive_filter.h"

#include "config/ini_file.h"
#include "support/text_encoding.h"

namespace kiv {

std::string FilterKey(const std::string& shortName) { return DecodeText(shortName); }

bool Wanted(const std::string& stationFile, const std::string& shortName) {
    return ReadIniBool(kTxFilterSection, FilterKey(shortName), true, stationFile);
}

} // namespace kiv
