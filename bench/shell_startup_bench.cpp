// Start-up to the main window shown: station list of 5000 stations (some in
// groups, with virtual stations), tree built and drawn once. Goal: under 1 s.
#include "config/program_settings.h"
#include "config/station_db.h"
#include "shell/main_window.h"
#include "support/helpers.h"
#include "support/message_recorder.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

constexpr int kStations = 5000;

struct DataFolder {
    std::string root;
    DataFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kiv-bench-shell-XXXXXX").string();
        root = std::string(::mkdtemp(pattern.data())) + "/";
        const std::string data = root + "dane/";
        for (int a = 1; a <= kStations; ++a) {
            std::filesystem::create_directories(std::filesystem::path(kiv::StationFilePath(data, a)).parent_path());
            std::ofstream(kiv::StationFilePath(data, a))
                << "[Main]\nLabel=Stacja " << a << "\n"
                << (a % 4 ? "GroupLabel=Grupa " + std::to_string(a % 40) + "\n" : "")
                << (a % 3 ? "TelephoneNumber=0221234567\n" : "") << "[Hardware]\nDeviceProfile=KM-100\n";
        }
        std::ofstream ini(root + "Kiv.ini");
        ini << "[Catalogues]\nDataPath=" << data << "\n[Main]\nCursorPosition=04999 Stacja 4999\n["
            << kiv::VirtualSectionName(data) << "]\n";
        for (int v = 1; v <= 20; ++v) ini << "Sum" << v << "=Suma " << v << "@+" << kiv::FiveDigits(v) << "@0\n";
        kiv::SetProgramFolder(root);
    }
    ~DataFolder() { std::filesystem::remove_all(root); }
};

QApplication& App() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "shell_startup_bench";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

void BM_StartupToMainWindowShown(benchmark::State& state) {
    static DataFolder folder;
    App();
    kiv::MessageRecorder recorder;
    for (auto _ : state) {
        kiv::TF_Main window(folder.root + "Kiv.ini", folder.root);
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.Tree().NodeCount());
    }
    state.counters["stations"] = kStations;
}
BENCHMARK(BM_StartupToMainWindowShown)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
