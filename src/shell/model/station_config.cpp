#include "shell/model/station_config.h"

#include "shell/model/station_tree.h"

#include <sys/stat.h>

namespace kiv {
namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

TRekStacji EntryOf(const TRekStacjiFull& r) {
    return {r.address, r.Label, r.GroupLabel, !r.DeviceProfile.empty(), !r.ModemProfile.empty(),
            !r.TelephoneNumber.empty()};
}

// The move stopped: the list is read again from the folders so that it shows
// where the files are now, and the dialog goes on with the station wherever
// its station file is.
TStationSave AfterFailedMove(TStationDb& db, const std::string& dataFolder, const TRekStacjiFull& edited,
                             const TRekStacjiFull& read) {
    db.Build(dataFolder);
    TStationSave save;
    save.result = StationSaveResult::MoveFailed;
    save.treeChanged = true;
    save.address = Exists(StationFilePath(dataFolder, read.address)) ? read.address : edited.address;
    save.stationFile = StationFilePath(dataFolder, save.address);
    const int index = db.Find(save.address);
    if (index > 0) save.nodeText = StationNodeText(db.Station(index));
    return save;
}

} // namespace

TStationSave SaveStationConfig(TStationDb& db, const std::string& dataFolder, const std::string& stationFile,
                               const TRekStacjiFull& edited, const TRekStacjiFull& read) {
    TStationSave save{StationSaveResult::Saved, false, "", read.address, stationFile};
    const bool moving = edited.address != read.address;
    // A folder of that address that is not in the list yet (made since the
    // list was read) is taken as well: moving into it would mix two stations.
    if (moving && (db.Find(edited.address) > 0 || Exists(StationFolderPath(dataFolder, edited.address)))) {
        save.result = StationSaveResult::AddressTaken;
        return save;
    }
    if (!db.SaveFullRecord(stationFile, edited, read, save.treeChanged)) {
        save.result = StationSaveResult::WriteFailed;
        save.treeChanged = false;
        return save;
    }
    if (moving) {
        if (!ChangeStationAddress(dataFolder, edited.address, read.address))
            return AfterFailedMove(db, dataFolder, edited, read);
        save.address = edited.address;
        save.stationFile = StationFilePath(dataFolder, edited.address);
    }
    if (save.treeChanged) {
        const TRekStacji entry = EntryOf(edited);
        db.ReplaceEntry(read.address, entry);
        save.nodeText = StationNodeText(entry);
    }
    return save;
}

} // namespace kiv
