#pragma once
// Program start: the Kiv.ini path from the working folder, the message boxes
// routed to the program's own dialog, every window created once in the fixed
// start-up order, the keeper of the windows' places watching them all, then
// the event loop until the main window closes.
#include <memory>
#include <string>

class QWidget;

namespace kiv {

class TF_Main;
class TFOProgramie;
class TFOpenWinds;
class TFEditTxt;
class TFWyborOkresu;
class TFCfgStacji;
class TFCfgProgr;
class TFModemProf;
class TFBrowser;
class TFCommModule;
class TFTxProgress;
class TFImportCfg;
class TFFileCopy;

// The windows that live for the whole run. Windows built later join this
// record and CreateStartupWindows, in their place of the start-up order.
struct TStartupWindows {
    std::unique_ptr<TF_Main> main;
    TFCfgStacji* stationConfig = nullptr;
    TFCommModule* comm = nullptr;
    TFTxProgress* progress = nullptr;
    TFOProgramie* about = nullptr;
    TFWyborOkresu* periodChooser = nullptr;
    TFOpenWinds* openWinds = nullptr;
    TFEditTxt* editTxt = nullptr;
    TFModemProf* modemProfile = nullptr;
    TFCfgProgr* programSettings = nullptr;
    TFBrowser* browser = nullptr;
    TFImportCfg* importCfg = nullptr;
    TFFileCopy* fileCopy = nullptr;
};

// workingFolder with a trailing "/"; kivIni is Kiv.ini in it.
[[nodiscard]] TStartupWindows CreateStartupWindows(const std::string& kivIni, const std::string& workingFolder);

// Moves the window to the centre of its screen.
void CentreOnScreen(QWidget* window);

// SIGTERM and Ctrl+C close the main window as the user would: a running
// read-out is stopped at its next request first, so the port is released and
// no data file is left half-written.
void CloseOnStopSignals(QWidget& main);

// The whole program: returns the exit code of the event loop.
[[nodiscard]] int RunProgram(int argc, char** argv);

} // namespace kiv
