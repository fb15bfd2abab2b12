#pragma once
// A working folder for the direct transmission tests: Kiv.ini whose [Ports]
// maps COM1 to the simulator's pseudo-terminal, a data folder with station
// 12 on COM1, the demo profiles of the program folder, and kiv-devsim
// serving that station. Tx.log lands in the working folder.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "config/station_db.h"
#include "datafiles/timestamp.h"
#include "support/helpers.h"

namespace kiv::test {

inline constexpr int kStation = 12;
inline constexpr const char* kProfileName = "Kivmet KM-100";
inline constexpr int kSeed = 7;
inline const std::string kProgramDir = KIV_PROGRAM_DIR "/";

inline void WriteText(const std::string& file, const std::string& text) { std::ofstream(file) << text; }

inline std::string ReadText(const std::string& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// kiv-devsim for station 12 on a pseudo-terminal; stopped with the object.
class Simulator {
public:
    explicit Simulator(const QStringList& extra = {}) {
        QStringList args{"--profile", QString::fromStdString(kProgramDir + "KM100.FCP"), "--address",
                         QString::number(kStation), "--seed", QString::number(kSeed), "--baud", "115200",
                         "--hourly-days", "2", "--daily-days", "3", "--events", "3"};
        process_.start(QString::fromStdString(kProgramDir + "kiv-devsim"), args + extra);
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(5000)) return;
        port_ = process_.readLine().trimmed().toStdString();
    }
    ~Simulator() {
        process_.terminate();
        process_.waitForFinished(5000);
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;
    [[nodiscard]] const std::string& Port() const { return port_; }

private:
    QProcess process_;
    std::string port_;
};

class TxFolder {
public:
    TxFolder() : previous_(QDir::currentPath()) {
        root_ = dir_.path().toStdString() + "/";
        data_ = root_ + "dane/";
        std::filesystem::create_directories(data_);
        QDir::setCurrent(dir_.path());
        SetProgramFolder(kProgramDir);
    }
    ~TxFolder() { QDir::setCurrent(previous_); }
    TxFolder(const TxFolder&) = delete;
    TxFolder& operator=(const TxFolder&) = delete;

    [[nodiscard]] const std::string& Root() const { return root_; }
    [[nodiscard]] const std::string& Data() const { return data_; }
    [[nodiscard]] std::string KivIni() const { return root_ + "Kiv.ini"; }
    [[nodiscard]] std::string StationFile(int address = kStation) const { return StationFilePath(data_, address); }
    [[nodiscard]] std::string TxLog() const { return root_ + "Tx.log"; }

    void WriteKivIni(const std::string& com1) const {
        WriteText(KivIni(), "[Catalogues]\nDataPath=" + data_ + "\n[Ports]\nCOM1=" + com1 + "\n");
    }
    void WriteStation(const std::string& profile = kProfileName, int address = kStation,
                      const std::string& extra = "") const {
        std::filesystem::create_directories(StationFolderPath(data_, address));
        WriteText(StationFile(address), "[Main]\nLabel=Stacja testowa\n[Hardware]\nDeviceProfile=" + profile +
                                            "\n[Communication]\nComNumber=COM1\nBaudRate=115200\nRepeats=2\n"
                                            "StartTimeout=1000\nCharsTimeout=100\n" + extra);
    }

private:
    QTemporaryDir dir_;
    QString previous_;
    std::string root_;
    std::string data_;
};

} // namespace kiv::test
