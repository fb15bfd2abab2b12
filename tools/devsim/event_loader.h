#pragma once
// The events a device of a given make and type may log, taken from the event
// definition file (.EVT) the program itself would pick for it, so that the
// generated event log carries known codes with parameters of the right types.
#include <string>
#include <vector>

#include "device_model.h"

namespace kiv::devsim {

// Empty when no definition file of the folder names this make and type.
[[nodiscard]] std::vector<EventKind> LoadEventKinds(const std::string& folder, const std::string& make,
                                                    const std::string& type);

} // namespace kiv::devsim
