#pragma once
// Saving the station configuration: the edited record against the one read
// goes through the station database's save of changed keys; a new address
// moves the station's folder to that address. The outcome tells the dialog
// what to say and the main window whether its tree must be rebuilt and which
// node to select then. The station list is kept current here, so the main
// window rebuilds from memory without scanning the data folder.
#include "config/station_db.h"

#include <string>

namespace kiv {

enum class StationSaveResult {
    Saved,
    AddressTaken, // another station has the new address; nothing written
    WriteFailed,  // the station file could not be replaced; nothing written
    MoveFailed,   // the keys were written, the folder could not be moved
};

struct TStationSave {
    StationSaveResult result = StationSaveResult::Saved;
    bool treeChanged = false; // address, label, group, profiles or telephone changed
    std::string nodeText;     // "nnnnn Label" to select, when treeChanged
    int address = 0;          // where the station is after the save ...
    std::string stationFile;  // ... and its station file
};

// read: the record as read from stationFile; edited: the dialog's values.
[[nodiscard]] TStationSave SaveStationConfig(TStationDb& db, const std::string& dataFolder,
                                             const std::string& stationFile, const TRekStacjiFull& edited,
                                             const TRekStacjiFull& read);

} // namespace kiv
