#pragma once
// Generated data folders for the shell tests: station folders with their
// station files, a Kiv.ini, and device profiles in a program folder.
#include "common/param_item.h"
#include "common/temp_folder.h"
#include "config/station_db.h"
#include "datafiles/profile.h"
#include "support/message_recorder.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace kiv::test {

struct ShellTempFolder : TempFolder {
    explicit ShellTempFolder(const std::string& prefix = "kiv-shell") : TempFolder(prefix) {}
    std::string Sub(const std::string& name) const {
        std::filesystem::create_directories(path / name);
        return (path / name).string() + "/";
    }
};

// The base of a window test class on a data folder: a fresh folder with
// "dane/" in it, the Kiv.ini path beside it and the message recorder, made by
// OpenFolder in init() and taken down recorder first by CloseFolder in cleanup().
class DataFolderWindows {
protected:
    void OpenFolder(const std::string& prefix = "kiv-shell") {
        temp_ = std::make_unique<ShellTempFolder>(prefix);
        recorder_ = std::make_unique<MessageRecorder>();
        data_ = temp_->Sub("dane");
        kivIni_ = temp_->Folder() + "Kiv.ini";
    }
    void CloseFolder() {
        recorder_.reset();
        temp_.reset();
    }

    std::unique_ptr<ShellTempFolder> temp_;
    std::unique_ptr<MessageRecorder> recorder_;
    std::string data_;
    std::string kivIni_;
};

inline void WriteText(const std::string& file, const std::string& text) { std::ofstream(file) << text; }

inline std::string ReadText(const std::string& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct StationSpec {
    int address;
    std::string label;
    std::string group;
    bool profile = true;
    bool phone = false;
    bool modem = false;
};

inline void WriteStation(const std::string& dataFolder, const StationSpec& s) {
    std::filesystem::create_directories(dataFolder + "FC_" + FiveDigits(s.address));
    std::string text = "[Main]\nLabel=" + s.label + "\n";
    if (!s.group.empty()) text += "GroupLabel=" + s.group + "\n";
    if (s.phone) text += "TelephoneNumber=0221234567\n";
    text += "[Hardware]\n";
    if (s.profile) text += "DeviceProfile=KM-100\n";
    text += "[Communication]\n";
    if (s.modem) text += "ModemProfile=Modem1\n";
    WriteText(StationFilePath(dataFolder, s.address), text);
}

// A readable profile with the given name, brand, type and serial number.
inline bool WriteProfileFile(const std::string& file, const std::string& name, const std::string& brand,
                             const std::string& type, const std::string& serial) {
    TRecProfParams params;
    params.profileByte = 2;
    params.texts = {name, brand, type, serial, ""};
    const TParamItem item = MakeItem({.shortName = "Vn", .param = 1, .type = 7});
    TFCProfileRdWr writer;
    return writer.WriteProfile(file, params, &item, 1, {"G=Grupa"}) == 0;
}

} // namespace kiv::test
