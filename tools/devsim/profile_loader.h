#pragma once
// Reads a device profile file through the program's own profile reader and
// keeps what the simulated device needs of it.
#include <string>

#include "device_model.h"

namespace kiv::devsim {

// False, with a reason in `error`, when the file does not read as a profile.
[[nodiscard]] bool LoadProfile(const std::string& fileName, SimProfile& profile, std::string& error);

} // namespace kiv::devsim
