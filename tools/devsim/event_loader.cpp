#include "event_loader.h"

#include "config/tini.h"
#include "datafiles/events.h"

namespace kiv::devsim {

std::vector<EventKind> LoadEventKinds(const std::string& folder, const std::string& make, const std::string& type) {
    std::vector<EventKind> kinds;
    if (make.empty() && type.empty()) return kinds;
    const std::string path = FindEventDefinition(folder.empty() ? "." : folder, make + type);
    if (path.empty()) return kinds;
    TIni ini(path);
    // Event codes travel in one byte; every code with a description is a known event.
    for (int code = 0; code < 256; ++code) {
        const TEventDefinition definition = ReadEventDefinition(ini, code);
        if (definition.description.empty()) continue;
        EventKind kind{static_cast<uint8_t>(code), {}};
        for (const TEventParamDef& param : definition.params) kind.paramTypes.push_back(static_cast<uint8_t>(param.typeCode));
        kinds.push_back(std::move(kind));
    }
    return kinds;
}

} // namespace kiv::devsim
