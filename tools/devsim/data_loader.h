#pragma once
// Fills the device's archives from a data folder of the program: the month
// files of each archived profile parameter of the station are read through
// the program's archive reader, samples of 1440 minutes go to the daily
// archive, all others to the hourly one. A parameter without files leaves
// its channel empty (status 0 on every time of the archive). The current
// values of archived parameters continue the archive, so a counter read now
// never falls behind the readings stored before.
#include <string>

#include "device_model.h"

namespace kiv::devsim {

// False, with the reason in `error`, when a month file could not be read.
[[nodiscard]] bool LoadArchives(const std::string& dataFolder, const SimProfile& profile, DeviceData& data,
                                std::string& error);

} // namespace kiv::devsim
